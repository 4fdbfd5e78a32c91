#include "services/utils/ZUtils.h"
#include "qt_printers.h"

#include <gtest/gtest.h>
#include <limits>

namespace {

struct FixedCase
{
    double value;
    int precision;
    int digits;
    const char *expected;
};

class FixedText : public ::testing::TestWithParam<FixedCase>
{
};

TEST_P(FixedText, MatchesTheExpectedText)
{
    const FixedCase &c = GetParam();
    EXPECT_EQ(ZString::FormatFixed(c.value, c.digits, c.precision, QLatin1Char('.')), QString::fromLatin1(c.expected))
        << c.value << " precision " << c.precision << " digits " << c.digits;
}

INSTANTIATE_TEST_SUITE_P(
    Labels, FixedText,
    ::testing::Values(FixedCase{10.0, 8, 3, "10.000"}, FixedCase{9.8, 8, 3, "9.800"}, FixedCase{-1.0, 8, 3, "-1.000"},
                      FixedCase{0.0, 8, 3, "0.000"}, FixedCase{125.0, 8, 0, "125"}, FixedCase{-25.0, 8, 0, "-25"},
                      FixedCase{6.27, 12, 2, "6.27"}, FixedCase{100.0, 12, 2, "100.00"}));

INSTANTIATE_TEST_SUITE_P(
    Rounding, FixedText,
    ::testing::Values(FixedCase{2.5, 8, 0, "3"}, FixedCase{-2.5, 8, 0, "-3"}, FixedCase{0.125, 8, 2, "0.13"},
                      FixedCase{9.9996, 8, 3, "10.000"}, FixedCase{0.0006, 8, 3, "0.001"},
                      FixedCase{0.0004, 8, 3, "0.000"}, FixedCase{-0.0004, 8, 3, "0.000"},
                      FixedCase{3.7, 8, -2, "4"}, FixedCase{1234567.891, 8, 3, "1234567.900"},
                      FixedCase{12345678.4, 8, 0, "12345678"}, FixedCase{9.995, 12, 2, "9.99"},
                      FixedCase{99.996, 12, 2, "100.00"}, FixedCase{1234.5, 4, 3, "1235.000"},
                      FixedCase{123456789012.0, 12, 0, "123456789012"}));

INSTANTIATE_TEST_SUITE_P(
    Scientific, FixedText,
    ::testing::Values(FixedCase{123456789.5, 8, 3, "1.2345679E8"}, FixedCase{99999999.9, 8, 0, "1E8"},
                      FixedCase{-3.0e15, 12, 2, "-3E15"}));

INSTANTIATE_TEST_SUITE_P(
    NotANumber, FixedText,
    ::testing::Values(FixedCase{std::numeric_limits<double>::quiet_NaN(), 8, 3, "NAN"},
                      FixedCase{std::numeric_limits<double>::infinity(), 8, 3, "INF"},
                      FixedCase{-std::numeric_limits<double>::infinity(), 8, 3, "-INF"}));

TEST(FixedTextSeparator, UsesTheGivenSeparator)
{
    EXPECT_EQ(ZString::FormatFixed(1.5, 3, 8, QLatin1Char(',')), QStringLiteral("1,500"));
    EXPECT_EQ(ZString::FormatFixed(123456789.5, 3, 8, QLatin1Char(',')), QStringLiteral("1,2345679E8"));
}

} // namespace
