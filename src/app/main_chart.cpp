// The monitor chart: series, time axis and axis ranges.
#include "main.h"

#include "ui_main.h"

#include <qcustomplot.h>

double Tmain_Form::elapsed_days(const QDateTime &from, const QDateTime &to)
{
    return double(from.msecsTo(to)) / 86400000.0;
}

void Tmain_Form::init_series()
{
    QCustomPlot &chart = *ui->Chart;
    chart.clearGraphs();
    QCPGraph *pressure = chart.addGraph(chart.xAxis, chart.yAxis);
    pressure->setName(QStringLiteral("Pressure"));
    pressure->setPen(QPen(TColorToQColor(p_color), 2));
    QCPGraph *temperature = chart.addGraph(chart.xAxis, chart.yAxis2);
    temperature->setName(QStringLiteral("Temperature"));
    temperature->setPen(QPen(TColorToQColor(t_color), 2));
    chart.yAxis2->setVisible(true);
    set_led(0);
}

void Tmain_Form::collapse_sidebar()
{
    f_sidebar_expanded = false;
}

void Tmain_Form::expand_sidebar()
{
    f_sidebar_expanded = true;
}

TColor Tmain_Form::chart_background() const
{
    return f_back_color;
}

void Tmain_Form::chart_initial_ranges() {}

void Tmain_Form::chart_extend_ranges() {}

void Tmain_Form::chart_add_point(double x, double pressure, double temperature)
{
    QCustomPlot &chart = *ui->Chart;
    if (chart.graphCount() < 2)
        return;
    chart.graph(0)->addData(x, pressure);
    chart.graph(1)->addData(x, temperature);
    chart.rescaleAxes();
    chart.replot(QCustomPlot::rpQueuedReplot);
}
