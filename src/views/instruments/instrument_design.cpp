#include "views/instruments/instrument_design.h"

namespace instrument_design {

QFont MainWindowFont()
{
    QFont font(QStringLiteral("Tahoma"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSize(8);
    return font;
}

void DesignBar(TBarDisplay &bar, Bar which)
{
    const bool pressure = which == Bar::Pressure;
    bar.resize(107, pressure ? 238 : 187);
    bar.SetCountSub(0);
    bar.SetSubTick_Width(0);
    bar.SetMinColor(0xFF0000);
    bar.SetMidColor(0x4080FF);
    bar.SetMaxColor(0x0000FF);
    bar.SetMinColor_minor(0xC08000);
    bar.SetMidColor_minor(0x53A9FF);
    bar.SetMaxColor_minor(0x88AEFF);
    bar.SetCaption_Size(8);
    bar.SetMid_Range(2.0);
    bar.SetMax_Range(50.0);
    bar.SetFaceOptions(TBarDisplay::TFaceOptions::FromMask(0x07FF));
    bar.SetCountMajor(pressure ? 10 : 7);
    bar.SetCountMinor(5);
    bar.SetScale_Min(pressure ? 0.0 : -50.0);
    bar.SetScale_Max(pressure ? 10.0 : 125.0);
    bar.SetMajor_Digits(pressure ? 3 : 0);
    bar.SetCaption(pressure ? QStringLiteral("Pressure [bar]") : QStringLiteral("Temperature °C"));
    bar.SetPosition(100.0);
}

void DesignGauge(TAnalogDisplay &gauge)
{
    gauge.setFont(MainWindowFont());
    gauge.resize(313, 530);
    gauge.SetFaceColor(0xD3FCFE);
    gauge.SetMinColor(0x008000);
    gauge.SetMidColor(0x00FFFF);
    gauge.SetMaxColor(0x0000FF);
    gauge.SetTicksColor(0);
    gauge.SetValueColor(0);
    gauge.SetCaptionColor(0);
    gauge.SetArrowColor(0);
    gauge.SetMarginColor(0);
    gauge.SetCircleColor(0);
    gauge.SetCenterColor(0x808080);
    gauge.SetCenterRadius(8);
    gauge.SetCircleRadius(2);
    gauge.SetAngle(120);
    gauge.SetMargin(10);
    gauge.SetStyle(gauge::CenterStyle);
    gauge.SetArrowWidth(2);
    gauge.SetNumberMainTicks(10);
    gauge.SetNumberMinorTicks(5);
    gauge.SetDigits(2);
    gauge.SetDigitsDigital(2);
    gauge.SetLengthMainTicks(15);
    gauge.SetLengthSubTicks(8);
    gauge.SetFaceOptions({gauge::ShowCircles, gauge::ShowMainTicks, gauge::ShowSubTicks, gauge::ShowIndicatorMin,
                          gauge::ShowValues, gauge::ShowCenter, gauge::ShowFrame, gauge::Show3D, gauge::ShowCaption});
    gauge.SetScaleMax(100.0);
    gauge.SetIndMaximum(80.0);
    gauge.SetIndMinimum(30.0);
    gauge.SetCaption(QStringLiteral("Pressure [bar]"));
    gauge.SetAntiAliased(gauge::aaQuadral);
    gauge.Setup_date(true);
}

} // namespace instrument_design
