// The slide-out chart settings panel beside the monitor chart: pages "Axis", "Chart Color" and
// "Axis Color". It keeps no settings of its own; the main window fills it from the chart.
#pragma once

#include <QTabWidget>
#include <memory>

namespace Ui {
class TChartPanel;
}

class TChartPanel : public QTabWidget
{
    Q_OBJECT
public:
    explicit TChartPanel(QWidget *parent = nullptr);
    ~TChartPanel() override;

    Ui::TChartPanel &controls() { return *ui; }

private:
    std::unique_ptr<Ui::TChartPanel> ui;
};
