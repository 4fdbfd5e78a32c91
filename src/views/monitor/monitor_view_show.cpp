// What the monitor view shows: the range, the measurements (a run's drawn at most once per
// frame), the greyed instruments without a device, and its captions.
#include "views/monitor/monitor_view.h"

#include "services/settings/window_text.h"
#include "views/chart/chart.h"
#include "views/chart/chart_picture_save.h"
#include "views/chart/monitor_chart.h"
#include "ui_monitor_view.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <algorithm>
#include <cmath>

using window_text::tr_;

namespace {

const QString Placeholder = QStringLiteral("-------");
constexpr TColor Grey = 0x808080;
constexpr TColor Silver = 0xC0C0C0;
// At most 60 frames a second.
constexpr qint64 FrameMs = 17;

} // namespace

void TMonitorView::show_range(double pmin, double pmax)
{
    fPmin = pmin;
    fPmax = pmax;
    const double fullScale = (pmax - pmin) / 100;
    fChart->set_pressure_full_scale(fullScale);
    // Every scan cycle comes here; resetting the bar only for a new range keeps it from
    // dropping to zero between two measurements.
    const double scaleMax = pmax + std::nearbyint(10 * fullScale);
    TBarDisplay &bar = *ui->pressure_bar;
    if (bar.GetScale_Min() != -1.0 || bar.GetScale_Max() != scaleMax) {
        bar.SetScale_Min(-1.0);
        bar.SetScale_Max(scaleMax);
        bar.SetPosition(0);
    }
    if (pmax != pmin) {
        TAnalogDisplay &gauge = *ui->AnalogDisplay;
        gauge.SetIndMaximum(0);
        gauge.SetScaleMin(pmin);
        gauge.SetScaleMax(pmax);
        gauge.SetIndMinimum(pmax);
        gauge.SetDigits(2);
    }
}

void TMonitorView::show_measurement(const session::Measurement &m)
{
    // Older values waiting for a frame must not replace these.
    fValuesPending = false;
    show_values(m);
    fChart->initial_ranges(m.pressure, m.temperature);
}

void TMonitorView::add_measurement(const session::Measurement &m)
{
    fChart->record(m.time, {m.pressure_raw, m.temperature_raw, m.range_min, m.range_max, m.address});
    fLast = m;
    fValuesPending = true;
    fChartPending = true;
    schedule_draw();
}

void TMonitorView::show_no_device()
{
    fValuesPending = false;
    ui->pressuredisplay->setText(Placeholder);
    ui->Temperaturedisplay->setText(Placeholder);
    ui->AnalogDisplay->SetFaceColor(Grey);
    ui->AnalogDisplay->SetMinColor(Silver);
    ui->thermometer->SetFaceColor(Grey);
    ui->pressure_bar->SetFaceColor(Grey);
    // Nothing measured: no stripe stays lit, whatever redraws the bars later (a new caption, a style).
    for (TBarDisplay *bar : {ui->pressure_bar, ui->thermometer})
        bar->SetPosition(bar->GetScale_Min() - 1);
}

// Numbers, bars and gauge.
void TMonitorView::show_values(const session::Measurement &m)
{
    // A new face colour redraws the scale without the bar; the positions that follow draw it.
    ui->pressure_bar->SetFaceColor(0xFFFFFF);
    ui->thermometer->SetFaceColor(0xFFFFFF);
    ui->thermometer->SetPosition(m.temperature);
    ui->pressure_bar->SetPosition(m.pressure);
    ui->pu16_ed->setText(QString::number(m.pressure_raw));
    ui->Tu16_ed->setText(QString::number(m.temperature_raw));
    ui->pressuredisplay->setText(m.pressure_text);
    ui->Temperaturedisplay->setText(m.temperature_text);
    ui->AnalogDisplay->SetMinColor(fChart->pressure_color());
    ui->AnalogDisplay->SetFaceColor(fChart->back_color());
    ui->AnalogDisplay->SetPosition(m.pressure);
}

// The first record after a quiet spell is drawn at once; the next ones wait out the frame.
void TMonitorView::schedule_draw()
{
    if (fDrawTimer.isActive())
        return;
    const qint64 since = fSinceDraw.isValid() ? fSinceDraw.elapsed() : FrameMs;
    fDrawTimer.start(int(std::max<qint64>(0, FrameMs - since)));
}

void TMonitorView::draw()
{
    fSinceDraw.start();
    if (fChartPending) {
        fChartPending = false;
        fChart->show_recorded();
    }
    if (fValuesPending) {
        fValuesPending = false;
        show_values(fLast);
    }
}

// Captions -----------------------------------------------------------------------------------------

void TMonitorView::translateCaptions()
{
    const struct {
        const char *key;
        const char *defaultText;
        QWidget *target;
    } captions[] = {
        {"monitor_Group", "Monitor", ui->monitor_Group},
        {"pressure_display_group", "Pressure [bar]", ui->pressure_display_group},
        {"temperature_display_group", "Temperature [°C]", ui->temperature_display_group},
        {"fast_Label", "Fast", ui->fast_Label},
        {"slow_Label", "Slow", ui->slow_Label},
        {"start_btn", "Start", ui->start_btn},
        {"stop_btn", "Stop", ui->stop_btn},
        {"clear_btn", "Clear Chart", ui->clear_btn},
        {"pressure_Box", "Pressure", ui->pressure_Box},
        {"Temperature_Box", "Temperature", ui->Temperature_Box},
    };
    for (const auto &c : captions) {
        const QString text = tr_(c.key, c.defaultText);
        if (auto *group = qobject_cast<QGroupBox *>(c.target))
            group->setTitle(text);
        else if (auto *label = qobject_cast<QLabel *>(c.target))
            label->setText(text);
        else if (auto *button = qobject_cast<QAbstractButton *>(c.target))
            button->setText(text);
    }
    if (!fRunCaption.isEmpty())
        ui->monitor_Group->setTitle(ui->monitor_Group->title() + QStringLiteral(" – ") + fRunCaption);
    ui->pressure_bar->SetCaption(tr_("pressure_display_group", "Pressure [bar]"));
    ui->thermometer->SetCaption(tr_("temperature_display_group", "Temperature [°C]"));
    ui->table_btn->setText(tr_("table", "Table"));
    if (fChart) // made later, by setup
        fChart->translateCaptions();
    if (fPictureSave)
        fPictureSave->translateCaptions();
    ui->AnalogDisplay->SetCaption(tr_("pressure_display_group", "Pressure [bar]"));
    show_switch_caption();
}

// The switch names what the monitor shows.
void TMonitorView::show_switch_caption()
{
    const bool chartShown = ui->chart_stack->currentWidget() == ui->chart_page;
    ui->switch_button->setText(chartShown ? tr_("switch_chart", "Chart") : tr_("switch_gauge", "Gauge"));
}
