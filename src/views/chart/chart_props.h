#pragma once
// The monitor chart's appearance as the settings file keeps it in section "Chart": axis, tick,
// label and grid colours, axis line widths, back panel and gradient. Widget-free; GUI thread
// only, like the settings store it reads and writes.
#include "views/instruments/tcolor.h"

class TIniHandler;

struct TAxisProps {
    TColor axis_color = 0x000000;
    int axis_width = 1;
    TColor ticks_color = 0x000000;
    TColor labels_color = 0x000000;
    TColor grid_color = 0xC0C0C0;
    bool operator==(const TAxisProps &o) const
    {
        return axis_color == o.axis_color && axis_width == o.axis_width && ticks_color == o.ticks_color &&
               labels_color == o.labels_color && grid_color == o.grid_color;
    }
};

// The defaults are those a stored section falls back to for a missing key.
struct TChartProps {
    TAxisProps left;
    TAxisProps bottom;
    TAxisProps right;
    TColor back_color = 0xFFFFFF;
    bool gradient = false;
    TColor gradient_start = 0x808080;
    TColor gradient_middle = 0xC0C0C0;
    TColor gradient_end = 0xFFFFFF;
    int gradient_direction = 0;
    bool operator==(const TChartProps &o) const
    {
        return left == o.left && bottom == o.bottom && right == o.right && back_color == o.back_color &&
               gradient == o.gradient && gradient_start == o.gradient_start &&
               gradient_middle == o.gradient_middle && gradient_end == o.gradient_end &&
               gradient_direction == o.gradient_direction;
    }
};

// Writes every key of section "Chart", in the file's key order.
void save_chart_props(TIniHandler &ini, const TChartProps &props);
// False, leaving `props` as it is, when the file has no section "Chart"; otherwise every key
// is read, a missing one taking its default.
bool read_chart_props(const TIniHandler &ini, TChartProps &props);
