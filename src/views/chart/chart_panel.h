// The slide-out chart settings panel beside the monitor chart: pages "Axis", "Chart Color" and
// "Axis Color". It keeps no settings of its own: its owner fills it, reads it back and hears of
// each user edit. User-interface thread only.
#pragma once

#include "views/chart/chart_props.h"
#include "views/instruments/tcolor.h"

#include <QTabWidget>
#include <functional>
#include <memory>

class QLineEdit;
class TShape;

namespace Ui {
class TChartPanel;
}

// The controls of one value axis on the "Axis" page.
struct TChartPanelAxis {
    bool automatic = true; // the "Automatic" box
    bool enabled = true;   // limits, step, decimals and the reset button usable
    double max = 0.0;
    double min = 0.0;
    double increment = 0.0;
    int decimals = 3;
    bool grid = true;
    bool operator==(const TChartPanelAxis &o) const
    {
        return automatic == o.automatic && enabled == o.enabled && max == o.max && min == o.min &&
               increment == o.increment && decimals == o.decimals && grid == o.grid;
    }
};

struct TChartPanelValues {
    TChartProps look; // swatches, line widths, solid brush and gradient direction
    TColor pressure_color = 0;
    TColor temperature_color = 0;
    TChartPanelAxis left;
    TChartPanelAxis right;
    bool operator==(const TChartPanelValues &o) const
    {
        return look == o.look && pressure_color == o.pressure_color && temperature_color == o.temperature_color &&
               left == o.left && right == o.right;
    }
};

class TChartPanel : public QTabWidget
{
    Q_OBJECT
public:
    enum Side { Left, Right };
    // What the user changed; read() holds the new value.
    enum Field {
        LeftAuto,
        RightAuto,
        LeftMax,
        LeftMin,
        LeftIncrement,
        RightMax,
        RightMin,
        RightIncrement,
        LeftDecimals,
        RightDecimals,
        LeftGrid,
        RightGrid,
        PressureColor,
        TemperatureColor,
        Look, // a swatch, a line width or the solid brush box
    };
    Q_ENUM(Field)

    explicit TChartPanel(QWidget *parent = nullptr);
    ~TChartPanel() override;

    // Sets every control without telling anyone. The limits are shown with the decimals the
    // field shows (a value outside its range is clamped); a disabled axis keeps its texts.
    void fill(const TChartPanelValues &values);
    // The values the controls hold; a limit or step as last filled, shown or committed.
    TChartPanelValues read() const;

    // The range an axis uses, in its limit edits; what the user is typing stays until Enter.
    void show_axis_range(Side side, double min, double max);
    void set_automatic(Side side, bool on);

    // Asks the user for a colour, starting from `initial`; false when cancelled.
    using ColorAsker = std::function<bool(QWidget *parent, TColor initial, TColor &chosen)>;
    void set_color_asker(ColorAsker asker) { fAskColor = std::move(asker); }
    // The colour dialog preset to the swatch's colour; confirmed, the swatch takes the choice.
    void pick_shape_color(TShape &swatch);

    // The lock picture of an axis mode (0 automatic, 1 manual, 2 locked).
    void show_axis_mode(int mode);
    int shown_axis_mode() const { return fMode; }

    // Every caption in the current language; on making and after a change of language.
    void translateCaptions();

    // The gradient direction code of the chosen list entry, and the entry for a code.
    int gradient_direction() const;
    void set_gradient_direction(int code);

signals:
    void changed(TChartPanel::Field field);
    void lock_clicked();
    // Enter in a limit or step edit whose text is no number; nothing was taken.
    void invalid_number(const QString &text);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct AxisControls;
    AxisControls axis_controls(Side side) const;
    void connect_controls();
    void connect_swatch(TShape *swatch, QWidget *button, Field field);
    void commit(QLineEdit *edit);
    void fill_axis(Side side, const TChartPanelAxis &axis);
    void show_limit(QLineEdit *edit, double value, int decimals);

    std::unique_ptr<Ui::TChartPanel> ui;
    ColorAsker fAskColor;
    int fMode = -1;
    // Limits and steps as last shown or committed: [side][max, min, increment].
    double fNumbers[2][3] = {{0.0, 0.0, 0.0}, {0.0, 0.0, 0.0}};
};
