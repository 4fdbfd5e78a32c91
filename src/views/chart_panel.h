// The slide-out chart settings panel beside the monitor chart: pages "Axis", "Chart Color" and
// "Axis Color". It keeps no settings of its own; the main window fills it from the chart and
// carries every change back. User-interface thread only.
#pragma once

#include "tcolor.h"

#include <QTabWidget>
#include <functional>
#include <memory>

class QLineEdit;
class TShape;

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

    // Asks the user for a colour, starting from `initial`; false when cancelled.
    using ColorAsker = std::function<bool(QWidget *parent, TColor initial, TColor &chosen)>;
    void set_color_asker(ColorAsker asker) { fAskColor = std::move(asker); }
    // The colour dialog preset to the swatch's colour; confirmed, the swatch takes the choice.
    void pick_shape_color(TShape &swatch);

    // The lock picture of an axis mode (0 automatic, 1 manual, 2 locked).
    void show_axis_mode(int mode);
    int shown_axis_mode() const { return fMode; }

    // The gradient direction code of the chosen list entry, and the entry for a code.
    int gradient_direction() const;
    void set_gradient_direction(int code);

    // The six number edits: limits and label steps.
    QList<QLineEdit *> number_edits() const;

signals:
    // Enter released in a number edit that holds text.
    void edit_committed(QLineEdit *edit);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    std::unique_ptr<Ui::TChartPanel> ui;
    ColorAsker fAskColor;
    int fMode = -1;
};
