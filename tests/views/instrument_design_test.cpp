// The instruments as the main window shows them during a measurement; with ZORBIT_SCREENSHOT_DIR
// set, the pictures are also written there.
#include "main_window_instruments.h"

#include <QDir>
#include <QPixmap>
#include <cmath>
#include <gtest/gtest.h>

namespace {

constexpr double kPmin = 0.0;
constexpr double kPmax = 10.0;

void SaveIfAsked(const QImage &picture, const char *name)
{
    const QByteArray dir = qgetenv("ZORBIT_SCREENSHOT_DIR");
    if (dir.isEmpty())
        return;
    ASSERT_TRUE(QDir().mkpath(QString::fromLocal8Bit(dir)));
    EXPECT_TRUE(picture.save(QDir(QString::fromLocal8Bit(dir)).filePath(QString::fromLatin1(name))));
}

QRgb At(const QImage &image, int x, int y) { return image.pixel(x, y) | 0xFF000000u; }

TEST(InstrumentLook, PressureBarDuringMeasurement)
{
    TBarDisplay bar(nullptr, QStringLiteral("pressure_bar"));
    bar.setFont(instrument_design::MainWindowFont());
    instrument_design::DesignBar(bar, instrument_design::Bar::Pressure);
    instrument_design::RunBar(bar, instrument_design::Bar::Pressure, kPmin, kPmax);
    bar.SetPosition(6.27);
    const QImage picture = bar.grab().toImage();
    ASSERT_EQ(picture.size(), QSize(107, 238));

    // Scale -1 … 11 in steps of 1.2: the major stripe of 5.0 is the 6th (rows 75 + 60 …).
    for (const bar_scale::Stripe &stripe : bar_scale::StripeLayout(bar.Properties(), 107, 238)) {
        const QRgb expected = stripe.value <= 6.27 ? TColorToRgb(instrument_design::kPressureColour)
                                                   : TColorToRgb(stripe.major ? 0xC0C0C0 : 0x808080);
        EXPECT_EQ(At(picture, stripe.left + 2, stripe.top), expected) << "stripe of value " << stripe.value;
    }
    SaveIfAsked(picture, "bar_pressure.png");
}

TEST(InstrumentLook, ThermometerDuringMeasurement)
{
    TBarDisplay bar(nullptr, QStringLiteral("thermometer"));
    bar.setFont(instrument_design::MainWindowFont());
    instrument_design::DesignBar(bar, instrument_design::Bar::Thermometer);
    instrument_design::RunBar(bar, instrument_design::Bar::Thermometer, kPmin, kPmax);
    bar.SetPosition(23.4);
    const QImage picture = bar.grab().toImage();
    ASSERT_EQ(picture.size(), QSize(107, 187));
    const auto stripes = bar_scale::StripeLayout(bar.Properties(), 107, 187);
    ASSERT_EQ(stripes.size(), 8u + 7u * 5u);
    EXPECT_EQ(stripes.back().bottom - 1, 152);
    for (const bar_scale::Stripe &stripe : stripes) {
        const QRgb expected = stripe.value <= 23.4 ? TColorToRgb(instrument_design::kTemperatureColour)
                                                   : TColorToRgb(stripe.major ? 0xC0C0C0 : 0x808080);
        EXPECT_EQ(At(picture, stripe.right - 1, stripe.bottom - 1), expected) << "stripe of value " << stripe.value;
    }
    SaveIfAsked(picture, "bar_temperature.png");
}

TEST(InstrumentLook, GaugeDuringMeasurement)
{
    TAnalogDisplay gauge;
    instrument_design::DesignGauge(gauge);
    instrument_design::RunGauge(gauge, kPmin, kPmax, 6.27);
    const QImage picture = gauge.grab().toImage();
    ASSERT_EQ(picture.size(), QSize(313, 530));

    // Face white; the low-range arc in the pressure colour spans the whole scale. Probed just
    // outside the scale circle (centre (156.5, 350), radius 169), halfway between two sub ticks
    // and away from the main ticks (every 12 degrees from 30).
    EXPECT_EQ(At(picture, 20, 500), qRgb(255, 255, 255));
    for (double phi : {36.0, 96.0, 144.0}) {
        const double radians = phi * 3.14159265358979323846 / 180.0;
        const int x = static_cast<int>(std::lround(156.5 - 170.0 * std::cos(radians)));
        const int y = static_cast<int>(std::lround(350.0 - 170.0 * std::sin(radians)));
        EXPECT_EQ(At(picture, x, y), TColorToRgb(instrument_design::kPressureColour)) << phi;
    }
    SaveIfAsked(picture, "gauge.png");
}

} // namespace
