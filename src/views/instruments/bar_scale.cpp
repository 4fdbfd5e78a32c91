#include "views/instruments/bar_scale.h"

#include "services/utils/ZUtils.h"
#include "views/instruments/round_half_even.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace bar_scale {

namespace {

constexpr int kLabelPrecision = 8;

int ClampToInt(std::int64_t v)
{
    return static_cast<int>(std::clamp<std::int64_t>(v, INT32_MIN, INT32_MAX));
}

} // namespace

std::vector<Stripe> StripeLayout(const BarProperties &p, int width, int height)
{
    std::vector<Stripe> stripes;
    if (p.CountMajor < 1 || !std::isfinite(p.Scale_Min) || !std::isfinite(p.Scale_Max) ||
        p.Scale_Max == p.Scale_Min)
        return stripes;

    const double step = (p.Scale_Max - p.Scale_Min) / p.CountMajor;
    const double minorStep = p.CountMinor > 0 ? step / p.CountMinor : 0.0;
    const int minorCount = std::max(p.CountMinor, 0);
    // Negative heights would let the walk stand still; they draw nothing either way.
    const std::int64_t majorHeight = std::max(p.MajorTick_Width, 0);
    const std::int64_t minorHeight = std::max(p.MinorTick_Width, 0);
    const std::int64_t fw = p.frameWidth;
    const int majorRight = ClampToInt(width - 5 * fw);
    const int minorRight = ClampToInt(width - 6 * fw);
    const std::int64_t lastVisibleTop = static_cast<std::int64_t>(height) + std::max(p.MajorLabelSize, 0);

    std::int64_t bottom = static_cast<std::int64_t>(p.Caption_Space) - 1;
    auto add = [&](std::int64_t stripeHeight, int right, double value, bool major) {
        const std::int64_t top = bottom + 1;
        bottom = top + stripeHeight;
        stripes.push_back({ClampToInt(fw), ClampToInt(top), right, ClampToInt(bottom), value, major});
        return top < lastVisibleTop;
    };

    for (std::int64_t i = 1; i <= static_cast<std::int64_t>(p.CountMajor) + 1; ++i) {
        const double majorValue = p.Scale_Max - static_cast<double>(i - 1) * step;
        if (!add(majorHeight, majorRight, majorValue, true))
            break;
        if (i > p.CountMajor)
            break;
        bool visible = true;
        for (int j = 1; j <= minorCount && visible; ++j)
            visible = add(minorHeight, minorRight, majorValue - j * minorStep, false);
        if (!visible)
            break;
    }
    if (!stripes.empty() && stripes.back().top >= lastVisibleTop)
        stripes.pop_back();
    return stripes;
}

TColor GradientColour(double value, double scaleMin, double scaleMax)
{
    const double green = RoundHalfEvenReal(value * 255.0 / (scaleMax - scaleMin));
    int greenByte = 0;
    if (std::isfinite(green)) {
        const double wrapped = std::fmod(green, 256.0);
        greenByte = static_cast<int>(wrapped < 0 ? wrapped + 256.0 : wrapped);
    }
    return static_cast<TColor>(greenByte) * 256u + 255u;
}

TColor ActiveStripeColour(const BarProperties &p, const Stripe &stripe)
{
    if (p.Gradient)
        return GradientColour(stripe.value, p.Scale_Min, p.Scale_Max);

    const double v = stripe.value;
    TColor colour = stripe.major ? p.MajorColor : p.MinorColor;
    if (p.FaceOptions.Has(ShowIndicatorMax) && v >= p.Max_Range)
        colour = stripe.major ? p.MaxColor : p.MaxColor_minor;
    if (p.FaceOptions.Has(ShowIndicatorMid) && p.Mid_Range <= v && v < p.Max_Range)
        colour = stripe.major ? p.MidColor : p.MidColor_minor;
    if (p.FaceOptions.Has(ShowIndicatorMin) && v < p.Mid_Range)
        colour = stripe.major ? p.MinColor : p.MinColor_minor;
    return colour;
}

QString LabelText(double value, int digits, QChar decimalSeparator)
{
    return ZString::FormatFixed(value, digits, kLabelPrecision, decimalSeparator);
}

int LabelLeft(const BarProperties &p, int width)
{
    return ClampToInt(static_cast<std::int64_t>(width) - 5 * static_cast<std::int64_t>(p.frameWidth) + 5);
}

Redraw RedrawFor(Property property)
{
    switch (property) {
    case Property::FaceColor:
    case Property::FrameColor:
    case Property::CountMajor:
    case Property::CountMinor:
    case Property::CountSub:
    case Property::frameWidth:
    case Property::MajorTick_Width:
    case Property::MinorTick_Width:
    case Property::SubTick_Width:
    case Property::MajorColor:
    case Property::MinorColor:
    case Property::MajorColor_inactive:
    case Property::MinorColor_inactive:
    case Property::Caption_Color:
    case Property::Label_Color:
    case Property::Caption_Size:
        return Redraw::Scale;
    case Property::Gradient:
        return Redraw::Bar;
    case Property::MinColor:
    case Property::MidColor:
    case Property::MaxColor:
    case Property::MinColor_minor:
    case Property::MidColor_minor:
    case Property::MaxColor_minor:
    case Property::Scale_Min:
    case Property::Scale_Max:
    case Property::Caption:
    case Property::Caption_Space:
    case Property::MajorLabelSize:
    case Property::Major_Digits:
    case Property::Mid_Range:
    case Property::Max_Range:
    case Property::FaceOptions:
    case Property::Position:
        break;
    }
    return Redraw::ScaleAndBar;
}

} // namespace bar_scale
