// Numbers at the edges of what the formatting can be asked: widths and
// decimals with far too many digits, values beyond a double, integers from
// values no integer holds.

#include "network/NumberText.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace korthal;

TEST(NumberLimits, WidthsAndDecimalsWithManyDigitsStopAtTheirLimits)
{
    NumberText nt(Separators{'.', ','});
    nt.setDisplay({',', '.'});
    // Digits enough to overflow an int: the widest field, the most decimals.
    const std::string wide = nt.FormatNumber("%99999999999999.2n", {Extended(1.5)});
    EXPECT_EQ(wide.size(), 255u);
    EXPECT_EQ(wide.substr(wide.size() - 4), "1,50");
    const std::string precise = nt.FormatNumber("%.99999999999999n", {Extended(0.5)});
    EXPECT_EQ(precise, "0," + std::string("5") + std::string(98, '0'));
    EXPECT_EQ(nt.FormatNumber("%.1000s", {std::string(120, 'x')}).size(), 99u);
}

TEST(NumberLimits, ValuesBeyondADoubleAreWrittenOutNotZeroed)
{
    NumberText nt(Separators{'.', ','});
    nt.setDisplay({'.', '\0'});
    const Extended huge = std::ldexp(1.0L, 13000);  // 3914 digits, exact in binary
    const std::string big = nt.formatFixed(huge, 2);
    EXPECT_EQ(big.size(), 3914u + 3u);
    EXPECT_EQ(big.substr(big.size() - 3), ".00");
    const NumberResult back = nt.ParseNumber(big);
    ASSERT_TRUE(back);
    EXPECT_EQ(back.value, huge);

    const Extended top = std::numeric_limits<Extended>::max();
    EXPECT_EQ(nt.formatFixed(top, 0).size(), 4933u);
    EXPECT_EQ(nt.formatFixed(-top, 99).size(), 1u + 4933u + 1u + 99u);
}

TEST(NumberLimits, IntegerSpecifiersOfHugeValuesStayDefined)
{
    NumberText nt(Separators{'.', ','});
    EXPECT_EQ(nt.FormatNumber("%d", {Extended(1e30)}), "9223372036854775807");
    EXPECT_EQ(nt.FormatNumber("%d", {Extended(-1e30)}), "-9223372036854775808");
    EXPECT_EQ(nt.FormatNumber("%d", {std::numeric_limits<Extended>::quiet_NaN()}), "0");
    EXPECT_EQ(nt.FormatNumber("%d", {Extended(-2.5)}), "-3");
}
