#pragma once
// Published state of the round gauge and its colour and clamp rules, free of widgets.
#include "views/instruments/gauge_geometry.h"
#include "views/instruments/option_set.h"
#include "views/instruments/tcolor.h"

#include <QString>

namespace gauge {

enum TFaceOption {
    ShowMargin,
    ShowCircles,
    ShowMainTicks,
    ShowSubTicks,
    ShowIndicatorMin,
    ShowIndicatorMid,
    ShowIndicatorMax,
    ShowValues,
    ShowCenter,
    ShowFrame,
    Show3D,
    ShowCaption,
    ShowDigital,
};
using TFaceOptions = OptionSet<TFaceOption>;

// Fixed stand-ins for the desktop's button colours, so the gauge looks the same everywhere.
constexpr TColor kButtonFace = 0xF0F0F0;
constexpr TColor kButtonShadow = 0xA0A0A0;
constexpr TColor kButtonHighlight = 0xFFFFFF;
constexpr TColor kButtonText = 0x000000;

// The colours a disabled gauge swaps out and later puts back.
struct GaugeColours
{
    TColor MinColor = 0x008000;
    TColor MidColor = 0x00FFFF;
    TColor MaxColor = 0x0000FF;
    TColor FaceColor = kButtonFace;
    TColor TicksColor = 0x000000;
    TColor ValueColor = 0x000000;
    TColor CaptionColor = 0x000000;
    TColor ArrowColor = 0x000000;
    TColor MarginColor = 0x000000;
    TColor CenterColor = 0x808080;
    TColor CircleColor = 0xFF0000;
};

GaugeColours DisabledColours();

struct GaugeProperties
{
    GaugeColours colours;
    int CenterRadius = 8;
    int CircleRadius = 3;
    int Angle = 120;
    int Margin = 10;
    TStyle Style = CenterStyle;
    int ArrowWidth = 1;
    int NumberMainTicks = 10;
    int NumberMinorTicks = 5;
    int Digits = 2;
    int DigitsDigital = 2;
    int IndMinWidth = 1;
    int IndMidWidth = 1;
    int IndMaxWidth = 1;
    int LengthMainTicks = 15;
    int LengthSubTicks = 8;
    TFaceOptions FaceOptions = TFaceOptions::FromMask(4045);
    double Position = 0.0;
    double ScaleMax = 100.0;
    double ScaleMin = 0.0;
    double IndMaximum = 80.0;
    double IndMinimum = 30.0;
    QString Caption = QStringLiteral("mV");
    TAntialiased AntiAliased = aaNone;
    bool up_date = false;
};

// A sweep is taken only when 10 < angle <= 360.
bool AngleAccepted(int angle);

// Needle width kept within 1 … 5.
int ClampArrowWidth(int width);

// Which of the three range notifications a new position raises.
struct RangeNotices
{
    bool overMax = false;
    bool overMin = false;
    bool inOkRange = false;
};
RangeNotices NoticesFor(double position, double indMinimum, double indMaximum);

} // namespace gauge
