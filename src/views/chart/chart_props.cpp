#include "views/chart/chart_props.h"

#include "services/settings/IniHandler.h"

namespace {

const QString Section = QStringLiteral("Chart");

struct AxisKeys {
    const char *prefix;
    TAxisProps TChartProps::*axis;
};
// Left, bottom, right: the order of the keys in the file.
const AxisKeys Axes[] = {{"LeftAxis", &TChartProps::left},
                         {"BottomAxis", &TChartProps::bottom},
                         {"RightAxis", &TChartProps::right}};

QString key(const char *prefix, const char *suffix)
{
    return QString::fromLatin1(prefix) + u'_' + QString::fromLatin1(suffix);
}

} // namespace

void save_chart_props(TIniHandler &ini, const TChartProps &props)
{
    for (const AxisKeys &a : Axes)
        ini.writeColor(Section, key(a.prefix, "Axis_Color"), (props.*a.axis).axis_color);
    for (const AxisKeys &a : Axes)
        ini.writeInteger(Section, key(a.prefix, "Axis_Width"), (props.*a.axis).axis_width);
    for (const AxisKeys &a : Axes)
        ini.writeColor(Section, key(a.prefix, "Ticks_Color"), (props.*a.axis).ticks_color);
    for (const AxisKeys &a : Axes)
        ini.writeColor(Section, key(a.prefix, "LabelsFont_Color"), (props.*a.axis).labels_color);
    for (const AxisKeys &a : Axes)
        ini.writeColor(Section, key(a.prefix, "Grid_Color"), (props.*a.axis).grid_color);
    ini.writeColor(Section, QStringLiteral("Back_Panel_Color"), props.back_color);
    ini.writeBool(Section, QStringLiteral("Gradient"), props.gradient);
    ini.writeColor(Section, QStringLiteral("Gradient_StartColor"), props.gradient_start);
    ini.writeColor(Section, QStringLiteral("Gradient_MidColor"), props.gradient_middle);
    ini.writeColor(Section, QStringLiteral("Gradient_EndColor"), props.gradient_end);
    ini.writeInteger(Section, QStringLiteral("Gradient_Direction"), props.gradient_direction);
}

bool read_chart_props(const TIniHandler &ini, TChartProps &props)
{
    if (!ini.hasSection(Section))
        return false;
    const TChartProps defaults;
    TChartProps read;
    for (const AxisKeys &a : Axes) {
        const TAxisProps &d = defaults.*a.axis;
        TAxisProps &axis = read.*a.axis;
        axis.axis_color = ini.readColor(Section, key(a.prefix, "Axis_Color"), d.axis_color);
        axis.axis_width = ini.readInteger(Section, key(a.prefix, "Axis_Width"), d.axis_width);
        axis.ticks_color = ini.readColor(Section, key(a.prefix, "Ticks_Color"), d.ticks_color);
        axis.labels_color = ini.readColor(Section, key(a.prefix, "LabelsFont_Color"), d.labels_color);
        axis.grid_color = ini.readColor(Section, key(a.prefix, "Grid_Color"), d.grid_color);
    }
    read.back_color = ini.readColor(Section, QStringLiteral("Back_Panel_Color"), defaults.back_color);
    read.gradient = ini.readBool(Section, QStringLiteral("Gradient"), defaults.gradient);
    read.gradient_start = ini.readColor(Section, QStringLiteral("Gradient_StartColor"), defaults.gradient_start);
    read.gradient_middle = ini.readColor(Section, QStringLiteral("Gradient_MidColor"), defaults.gradient_middle);
    read.gradient_end = ini.readColor(Section, QStringLiteral("Gradient_EndColor"), defaults.gradient_end);
    read.gradient_direction =
        ini.readInteger(Section, QStringLiteral("Gradient_Direction"), defaults.gradient_direction);
    props = read;
    return true;
}
