#include "chart_panel.h"

#include "ui_chart_panel.h"

TChartPanel::TChartPanel(QWidget *parent) : QTabWidget(parent), ui(std::make_unique<Ui::TChartPanel>())
{
    ui->setupUi(this);
}

TChartPanel::~TChartPanel() = default;
