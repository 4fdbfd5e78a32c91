#include "views/instruments/image_downsample.h"

#include "downsample_reference.h"

#include <gtest/gtest.h>
#include <random>

namespace {

QImage RandomImage(QSize size, std::mt19937 &random)
{
    QImage image(size, kSupersampleFormat);
    std::uniform_int_distribution<int> byte(0, 255);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            image.setPixel(x, y, qRgb(byte(random), byte(random), byte(random)));
    return image;
}

class DownsampleFactor : public ::testing::TestWithParam<int>
{
};

TEST_P(DownsampleFactor, EqualsThePerPixelReferenceOnARandomImage)
{
    const int k = GetParam();
    std::mt19937 random(1234u + static_cast<unsigned>(k));
    const QSize target(37, 23);
    // Two spare columns and a spare row that the filter must not read into the result.
    const QImage source = RandomImage(QSize(target.width() * k + 2, target.height() * k + 1), random);
    QImage reduced(target, kSupersampleFormat);
    ASSERT_TRUE(Downsample(source, reduced, k));
    EXPECT_EQ(reduced, ReferenceDownsample(source, target, k));
}

TEST_P(DownsampleFactor, KeepsWhiteWhiteAndBlackBlack)
{
    const int k = GetParam();
    QImage source(QSize(8 * k, 4 * k), kSupersampleFormat);
    source.fill(qRgb(255, 255, 255));
    for (int y = 0; y < source.height(); ++y)
        for (int x = 0; x < 4 * k; ++x)
            source.setPixel(x, y, qRgb(0, 0, 0));
    QImage reduced(QSize(8, 4), kSupersampleFormat);
    ASSERT_TRUE(Downsample(source, reduced, k));
    EXPECT_EQ(reduced.pixel(0, 0), qRgb(0, 0, 0));
    EXPECT_EQ(reduced.pixel(7, 3), qRgb(255, 255, 255));
}

INSTANTIATE_TEST_SUITE_P(Factors, DownsampleFactor, ::testing::Values(1, 2, 3, 4, 16));

TEST(Downsample, DropsTheRemainder)
{
    // Channel sums 1+0+0+0 = 1, 255*3 = 765, 2+2+2+3 = 9 over four pixels.
    QImage source(QSize(2, 2), kSupersampleFormat);
    source.setPixel(0, 0, qRgb(1, 255, 2));
    source.setPixel(1, 0, qRgb(0, 255, 2));
    source.setPixel(0, 1, qRgb(0, 255, 2));
    source.setPixel(1, 1, qRgb(0, 0, 3));
    QImage reduced(QSize(1, 1), kSupersampleFormat);
    ASSERT_TRUE(Downsample(source, reduced, 2));
    EXPECT_EQ(reduced.pixel(0, 0), qRgb(0, 191, 2));
}

TEST(Downsample, WritesOnlyTheGivenArea)
{
    std::mt19937 random(99u);
    const QImage source = RandomImage(QSize(40, 40), random);
    QImage reduced(QSize(10, 10), kSupersampleFormat);
    reduced.fill(qRgb(1, 2, 3));
    ASSERT_TRUE(Downsample(source, reduced, 4, QRect(2, 3, 4, 5)));
    const QImage reference = ReferenceDownsample(source, QSize(10, 10), 4);
    for (int y = 0; y < 10; ++y) {
        for (int x = 0; x < 10; ++x) {
            const bool inside = QRect(2, 3, 4, 5).contains(x, y);
            EXPECT_EQ(reduced.pixel(x, y), inside ? reference.pixel(x, y) : qRgb(1, 2, 3)) << x << "," << y;
        }
    }
}

struct Refusal
{
    const char *what;
    QImage::Format sourceFormat;
    QSize sourceSize;
    int k;
};

class DownsampleRefusal : public ::testing::TestWithParam<Refusal>
{
};

TEST_P(DownsampleRefusal, LeavesTheTargetUntouched)
{
    const Refusal &c = GetParam();
    QImage source(c.sourceSize, c.sourceFormat);
    source.fill(Qt::black);
    QImage reduced(QSize(4, 4), kSupersampleFormat);
    reduced.fill(qRgb(9, 9, 9));
    EXPECT_FALSE(Downsample(source, reduced, c.k)) << c.what;
    EXPECT_EQ(reduced.pixel(0, 0), qRgb(9, 9, 9)) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, DownsampleRefusal,
    ::testing::Values(Refusal{"source too narrow", kSupersampleFormat, QSize(7, 8), 2},
                      Refusal{"source too low", kSupersampleFormat, QSize(8, 7), 2},
                      Refusal{"other pixel format", QImage::Format_RGB888, QSize(8, 8), 2},
                      Refusal{"factor 0", kSupersampleFormat, QSize(8, 8), 0},
                      Refusal{"factor above 16", kSupersampleFormat, QSize(80, 80), 17}));

} // namespace
