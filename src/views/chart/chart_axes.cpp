#include "views/chart/chart_axes.h"

#include "services/utils/ZUtils.h"

#include <QLocale>
#include <algorithm>
#include <cmath>

namespace chart_axes {

Range initial_left_range(double pressure, double full_scale)
{
    return {std::max(pressure - full_scale, -1.0), pressure + full_scale};
}

Range initial_right_range(double temperature)
{
    return {temperature - 0.5, temperature + 1.0};
}

void Extremes::track(double value)
{
    if (value < min)
        min = value;
    if (value > max)
        max = value;
}

std::optional<Range> extended_range(const Range &current, const Extremes &seen, double divisor)
{
    Range widened = current;
    // The margin goes outwards also for negative values, so that the extremes stay in view.
    if (current.min > seen.min)
        widened.min = seen.min - std::fabs(seen.min) / divisor;
    if (current.max < seen.max)
        widened.max = seen.max + std::fabs(seen.max) / divisor;
    if (widened == current)
        return std::nullopt;
    return widened;
}

int next_axis_mode(int mode)
{
    const int next = mode + 1;
    return next > Locked ? Automatic : next;
}

AxisModeEffect axis_mode_effect(int mode)
{
    AxisModeEffect effect;
    switch (mode) {
    case Automatic:
        effect = {true, true, true, true, false, true};
        break;
    case Manual:
        effect = {true, false, true, true, true, false};
        break;
    case Locked:
        effect = {true, false, false, false, true, false};
        break;
    default:
        break;
    }
    return effect;
}

Range with_min(const Range &limits, double min)
{
    return {min > limits.max ? limits.max : min, limits.max};
}

Range with_max(const Range &limits, double max)
{
    return {limits.min, max < limits.min ? limits.min : max};
}

QString label_format(int decimals)
{
    // The count may come from the settings file: never more than the axes can show.
    return QStringLiteral("###0.") + QString(std::clamp(decimals, 0, MaxLabelDecimals), u'#');
}

int format_decimals(const QString &format)
{
    const qsizetype point = format.indexOf(u'.');
    if (point < 0)
        return 0;
    int decimals = 0;
    for (qsizetype i = point + 1; i < format.size() && (format[i] == u'#' || format[i] == u'0'); ++i)
        ++decimals;
    return decimals;
}

QString format_value(double value, const QString &format, QChar decimal_separator)
{
    QString text = ZString::FormatFixed(value, format_decimals(format), 15, decimal_separator);
    if (text.contains(decimal_separator) && !text.contains(u'E')) {
        while (text.endsWith(u'0'))
            text.chop(1);
        if (text.endsWith(decimal_separator))
            text.chop(1);
    }
    return text;
}

QString format_axis_label(const QString &label, int decimals, QChar decimal_separator)
{
    double value = 0.0;
    if (!ZString::TryToFloat(label, value))
        return label;
    return ZString::FormatFixed(value, decimals, 8, decimal_separator);
}

int reserved_label_width(int current, int text_length)
{
    return std::max(current, 8 * text_length);
}

double label_step(double increment, double range, int max_labels)
{
    if (!(increment > 0.0) || !std::isfinite(increment))
        return 0.0;
    max_labels = std::max(max_labels, 1);
    if (!(range > 0.0) || !std::isfinite(range))
        return increment;
    static const double ladder[] = {2.0, 2.5, 2.0}; // 1, 2, 5, 10, 20, 50, ...
    double step = increment;
    for (int i = 0; range / step > max_labels; i = (i + 1) % 3)
        step *= ladder[i];
    return step;
}

} // namespace chart_axes
