#pragma once
// Value-axis rules of the monitor chart: automatic ranges, axis modes, manual limits, label texts
// and label steps. Stateless; callable from any thread.
#include <QChar>
#include <QString>
#include <optional>

namespace chart_axes {

struct Range {
    double min = 0.0;
    double max = 0.0;
    bool operator==(const Range &other) const { return min == other.min && max == other.max; }
};

// The first measurement after a scan, while a series holds fewer than two points.
Range initial_left_range(double pressure, double full_scale);
Range initial_right_range(double temperature);

// Lowest and highest value seen since the last clear; they only ever widen in between.
struct Extremes {
    static constexpr double ResetMin = 1.0E6;
    static constexpr double ResetMax = 1.0E-6;
    double min = ResetMin;
    double max = ResetMax;
    void reset() { *this = Extremes{}; }
    void track(double value);
};
// The axis range widened to take in the extremes with a margin of 1/`divisor` of each value's
// size, or nothing when the current range holds them already.
std::optional<Range> extended_range(const Range &current, const Extremes &seen, double divisor);
constexpr double LeftMarginDivisor = 20.0;
constexpr double RightMarginDivisor = 10.0;

// 0 automatic, 1 manual, 2 locked.
enum AxisMode { Automatic = 0, Manual = 1, Locked = 2 };
int next_axis_mode(int mode);
struct AxisModeEffect {
    bool known = false; // other values change nothing but the icon
    bool automatic = false;
    bool zoom = false;
    bool pan_vertical = false; // panning is always allowed horizontally
    bool apply_limits = false;
    bool take_focus = false;
};
AxisModeEffect axis_mode_effect(int mode);

// Manual limits: a minimum above the maximum becomes the maximum and the other way round.
Range with_min(const Range &limits, double min);
Range with_max(const Range &limits, double max);

// "###0." followed by one "#" per decimal, at most MaxLabelDecimals of them.
constexpr int MaxLabelDecimals = 8;
QString label_format(int decimals);
// The decimals a label format allows: the "#" and "0" after its point.
int format_decimals(const QString &format);
// A value as the chart writes it with such a format: up to that many decimals, no trailing zeros.
QString format_value(double value, const QString &format, QChar decimal_separator);
// A value-axis label rewritten with `decimals` fixed decimals and precision 8; the text is read
// leniently. A text that is no number stays as it is.
QString format_axis_label(const QString &label, int decimals, QChar decimal_separator);
// Pixels an axis reserves for its labels once a label of `text_length` characters was drawn;
// never less than before.
int reserved_label_width(int current, int text_length);

// The step between value labels: `increment` (0: the chart chooses, returned as 0), doubled up
// the 1-2-5 ladder while more than `max_labels` labels would fit into `range`.
double label_step(double increment, double range, int max_labels);

} // namespace chart_axes
