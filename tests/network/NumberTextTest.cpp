#include "network/NumberText.h"

#include <gtest/gtest.h>

#include <limits>

using namespace korthal;

namespace {
const Separators kCommaSystem{',', '.'};  // decimal ',', thousands '.'
const Separators kPointSystem{'.', ','};  // decimal '.', thousands ','
}  // namespace

TEST(FormatNumber, GroupsWithTheUsersSeparatorsWhateverTheSystem)
{
    for (Separators system : {kCommaSystem, kPointSystem}) {
        NumberText nt(system);
        nt.setDisplay({'.', ' '});
        EXPECT_EQ(nt.FormatNumber("%.4n m", {Extended(4151000.5)}), "4 151 000.5000 m");
        nt.setDisplay({'.', '\0'});
        EXPECT_EQ(nt.FormatNumber("%.4n m", {Extended(4151000.5)}), "4151000.5000 m");
        nt.setDisplay({',', '.'});
        EXPECT_EQ(nt.FormatNumber("%.2n", {Extended(-1234567.125)}), "-1.234.567,13");
        nt.setDisplay({'.', ','});
        EXPECT_EQ(nt.FormatNumber("%.3n", {Extended(1234.5)}), "1,234.500");
    }
}

TEST(FormatNumber, PiecesWidthsAndNonNumberSpecifiers)
{
    NumberText nt(kPointSystem);
    nt.setDisplay({',', '.'});
    EXPECT_EQ(nt.FormatNumber("%8.2n", {Extended(3.14159)}), "    3,14");
    EXPECT_EQ(nt.FormatNumber("a = %.1n; b = %.1n", {Extended(1.25), Extended(2000)}),
              "a = 1,3; b = 2.000,0");
    EXPECT_EQ(nt.FormatNumber("%-5s|%3d", {std::string("ab"), 7LL}), "ab   |  7");
    // A piece without 'n' keeps the system separators.
    EXPECT_EQ(nt.FormatNumber("%.2f", {Extended(1234.5)}), "1234.50");
    EXPECT_EQ(nt.FormatNumber("%.10n°", {Extended(0.5)}), "0,5000000000°");
    EXPECT_EQ(nt.formatFixed(0, 0), "0");
    EXPECT_EQ(nt.formatFixed(999.9996, 3), "1.000,000");
    // A parameter that is not a number gives a word, never digits read out of range.
    EXPECT_EQ(nt.FormatNumber("%.10n°", {std::numeric_limits<Extended>::quiet_NaN()}), "NAN°");
    EXPECT_EQ(nt.FormatNumber("%8.4n", {-std::numeric_limits<Extended>::infinity()}), "    -INF");
}

TEST(ParseNumber, HonoursTheUsersSeparators)
{
    NumberText nt(kPointSystem);
    nt.setDisplay({',', ' '});
    auto r = nt.ParseNumber("1 234,5");
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.value, 1234.5L);

    // Only the first decimal separator is translated.
    auto bad = nt.ParseNumber("1,2,3");
    EXPECT_FALSE(bad.ok);
    EXPECT_NE(bad.error.find("1,2,3"), std::string::npos);

    auto empty = nt.ParseNumber("");
    ASSERT_TRUE(empty.ok);
    EXPECT_EQ(empty.value, 0);

    nt.setDisplay({'.', '\0'});  // thousands "none": nothing removed
    auto plain = nt.ParseNumber("12.5");
    ASSERT_TRUE(plain.ok);
    EXPECT_EQ(plain.value, 12.5L);

    NumberText comma(kCommaSystem);
    comma.setDisplay({'.', ','});  // the user's choice swaps the system's
    auto swapped = comma.ParseNumber("4,151,000.5");
    ASSERT_TRUE(swapped.ok);
    EXPECT_EQ(swapped.value, 4151000.5L);
    EXPECT_FALSE(comma.ParseNumber("abc").ok);
}

TEST(Separators, TheTwoNeverStayEqual)
{
    EXPECT_EQ(afterThousandsChange({'.', '.'}).decimal, ',');
    EXPECT_EQ(afterThousandsChange({',', ','}).decimal, '.');
    EXPECT_EQ(afterThousandsChange({',', ' '}).decimal, ',');
    EXPECT_EQ(afterDecimalChange({'.', '.'}).thousands, ',');
    EXPECT_EQ(afterDecimalChange({',', ','}).thousands, '.');
    EXPECT_EQ(afterDecimalChange({'.', '\0'}).thousands, '\0');
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(thousandsToIndex(thousandsFromIndex(i)), i);
}

TEST(GeneralFormat, FifteenDigitsAndExponentRule)
{
    EXPECT_EQ(generalFormat(1234.5L, ','), "1234,5");
    EXPECT_EQ(generalFormat(0, ','), "0");
    EXPECT_EQ(generalFormat(0.00001L, ','), "0,00001");
    EXPECT_EQ(generalFormat(0.0000015L, ','), "1,5E-6");
    EXPECT_EQ(generalFormat(1e15L, '.'), "1E15");
    EXPECT_EQ(generalFormat(-200.2L, '.'), "-200.2");
    EXPECT_EQ(generalFormat(4500200.2, '.'), "4500200.2");
}
