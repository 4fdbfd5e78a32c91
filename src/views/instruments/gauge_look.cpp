#include "views/instruments/gauge_look.h"

#include <algorithm>

namespace gauge {

GaugeColours DisabledColours()
{
    GaugeColours c;
    c.MinColor = 0x747474;
    c.MidColor = 0xD8D8D8;
    c.MaxColor = 0x828282;
    c.FaceColor = 0xB6C1C7;
    c.TicksColor = 0xB4B4B4;
    c.ValueColor = 0x808080;
    c.CaptionColor = 0x7A7A7A;
    c.ArrowColor = 0x747474;
    c.MarginColor = 0x808080;
    c.CenterColor = 0x808080;
    c.CircleColor = 0x575757;
    return c;
}

bool AngleAccepted(int angle) { return angle > 10 && angle <= 360; }

int ClampArrowWidth(int width) { return std::clamp(width, 1, 5); }

RangeNotices NoticesFor(double position, double indMinimum, double indMaximum)
{
    RangeNotices notices;
    notices.overMax = position >= indMaximum;
    notices.overMin = position <= indMinimum;
    notices.inOkRange = indMinimum < position && position < indMaximum;
    return notices;
}

} // namespace gauge
