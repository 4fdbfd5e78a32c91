#pragma once
// Layout, colour rules and redraw rules of the striped bar display, free of widgets.
#include "views/instruments/option_set.h"
#include "views/instruments/tcolor.h"

#include <QChar>
#include <QString>
#include <vector>

namespace bar_scale {

enum TFaceOption {
    ShowMargin,
    ShowMainTicks,
    ShowSubTicks,
    ShowIndicatorMin,
    ShowIndicatorMid,
    ShowIndicatorMax,
    ShowValues,
    ShowFrame,
    Show3D,
    ShowCaption,
    ShowDigital,
};
using TFaceOptions = OptionSet<TFaceOption>;

struct BarProperties
{
    TColor FaceColor = 0xFFFFFF;
    TColor FrameColor = 0x000000;
    int CountMajor = 10;
    int CountMinor = 9;
    int CountSub = 0;
    int frameWidth = 10;
    int MajorTick_Width = 2;
    int MinorTick_Width = 1;
    int SubTick_Width = 0;
    TColor MajorColor = 0xC0C0C0;
    TColor MinorColor = 0x808080;
    TColor MajorColor_inactive = 0xC0C0C0;
    TColor MinorColor_inactive = 0x808080;
    TColor Caption_Color = 0x000000;
    TColor Label_Color = 0x000000;
    TColor MinColor = 0xFFC753;
    TColor MidColor = 0x00FF80;
    TColor MaxColor = 0x115FFF;
    TColor MinColor_minor = 0xC08000;
    TColor MidColor_minor = 0x7DFFBE;
    TColor MaxColor_minor = 0x88AEFF;
    double Scale_Min = 0.0;
    double Scale_Max = 10.0;
    QString Caption;
    int Caption_Space = 60;
    int Caption_Size = 10;
    int MajorLabelSize = 8;
    int Major_Digits = 3;
    double Mid_Range = 2.0;
    double Max_Range = 8.0;
    TFaceOptions FaceOptions = TFaceOptions::FromMask(999);
    bool Gradient = false;
    double Position = 0.0;
};

// One horizontal stripe: fill covers columns left..right-1 and rows top..bottom-1.
struct Stripe
{
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    double value = 0.0;
    bool major = false;
};

// Stripes from the top down for a surface of the given size. Stripes whose pixels and label
// would both lie below `height` are left out; an unusable scale (CountMajor < 1, equal limits,
// non-finite limits) has no stripes.
std::vector<Stripe> StripeLayout(const BarProperties &p, int width, int height);

// Fill of an active stripe: the gradient colour, or the range colour rules in their order.
TColor ActiveStripeColour(const BarProperties &p, const Stripe &stripe);

// Red with green = round-half-even(value * 255 / (scaleMax - scaleMin)) modulo 256.
TColor GradientColour(double value, double scaleMin, double scaleMax);

QString LabelText(double value, int digits, QChar decimalSeparator);

// Left edge of the value labels.
int LabelLeft(const BarProperties &p, int width);

enum class Redraw { Scale, ScaleAndBar, Bar };

enum class Property {
    FaceColor, FrameColor, CountMajor, CountMinor, CountSub, frameWidth, MajorTick_Width,
    MinorTick_Width, SubTick_Width, MajorColor, MinorColor, MajorColor_inactive,
    MinorColor_inactive, Caption_Color, Label_Color, MinColor, MidColor, MaxColor,
    MinColor_minor, MidColor_minor, MaxColor_minor, Scale_Min, Scale_Max, Caption,
    Caption_Space, Caption_Size, MajorLabelSize, Major_Digits, Mid_Range, Max_Range,
    FaceOptions, Gradient, Position,
};

// Which drawing a changed property needs.
Redraw RedrawFor(Property property);

} // namespace bar_scale
