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

TEST(NumberText, ReadsExactlyWhatTheDisplayWrites)
{
    NumberText nt(kPointSystem);
    nt.setDisplay({',', '.'});
    for (const char* text : {"1.903.500,456", "1903500,456", "-12,5", "+0,25", " 7 ", ",5", "1,5E3"})
        EXPECT_TRUE(nt.readDisplayed(text).ok) << text;
    EXPECT_EQ(nt.readDisplayed("1.903.500,456").value, 1903500.456L);
    EXPECT_EQ(nt.readDisplayed("1,5E3").value, 1500.0L);
    // Grouping that the display never writes is refused, not misread.
    for (const char* text : {"1.9", "19.03", "1903.500", "1.903.50,4", ".500", "1..000",
                             "12,5,3", "12,5.3", "1.000.", "", "abc", "1.000,5x"})
        EXPECT_FALSE(nt.readDisplayed(text).ok) << text;

    nt.setDisplay({'.', ' '});
    EXPECT_EQ(nt.readDisplayed("4 151 000.5").value, 4151000.5L);
    EXPECT_FALSE(nt.readDisplayed("4151000,5").ok);
    nt.setDisplay({',', '\0'});  // no thousands separator
    EXPECT_EQ(nt.readDisplayed("4151000,5").value, 4151000.5L);
    EXPECT_FALSE(nt.readDisplayed("4.151.000,5").ok);
    EXPECT_FALSE(nt.readDisplayed("12.5").ok);
}

TEST(NumberText, GridEntryTakesTheSystemsTextAndThenWhatTheGridShows)
{
    // A C-locale system under a Greek display: "1903500,5" is what the
    // user sees, "1903500.5" what the system writes; both are taken.
    NumberText nt(kPointSystem);
    nt.setDisplay({',', '.'});
    EXPECT_EQ(nt.readTyped("1903500.5").value, 1903500.5L);
    EXPECT_EQ(nt.readTyped("1903500,5").value, 1903500.5L);
    EXPECT_EQ(nt.readTyped("1.903.500,456").value, 1903500.456L);
    // The system's reading wins where both read.
    EXPECT_EQ(nt.readTyped("1.500").value, 1.5L);
    const NumberResult bad = nt.readTyped("1,2,3");
    EXPECT_FALSE(bad.ok);
    EXPECT_NE(bad.error.find("\"1,2,3\" δεν είναι έγκυρος αριθμός"), std::string::npos);
    EXPECT_FALSE(nt.readTyped("").ok);

    // The calculator's edits: the display first, then the system's.
    EXPECT_EQ(nt.readShown("1.903.500,5").value, 1903500.5L);
    EXPECT_EQ(nt.readShown("1.9").value, 1.9L);  // not 19
    EXPECT_EQ(nt.readShown("384841.15").value, 384841.15L);
    EXPECT_EQ(nt.readShown("1.500").value, 1500.0L);
    EXPECT_TRUE(nt.readShown("").ok);
    EXPECT_FALSE(nt.readShown("1,2,3").ok);
}

TEST(NumberText, NumbersWrittenIntoEditsReadBackUnchanged)
{
    const Separators displays[] = {{',', '.'}, {'.', ','}, {',', ' '}, {'.', '\0'}, {',', '\0'}};
    for (Separators system : {kCommaSystem, kPointSystem}) {
        for (Separators display : displays) {
            NumberText nt(system);
            nt.setDisplay(display);
            for (Extended v : {1.9L, 6.9L, -2.5L, 33.123456789L, 0.0L, 1234.5L, 0.0000015L}) {
                const std::string text = nt.floatToShownText(v);
                const NumberResult r = nt.readShown(text);
                ASSERT_TRUE(r.ok) << text;
                EXPECT_NEAR(static_cast<double>(r.value), static_cast<double>(v), 1e-13) << text;
            }
        }
    }
}

TEST(NumberText, PackedAnglesShowNoSixtySeconds)
{
    NumberText nt(kPointSystem);
    nt.setDisplay({',', '.'});
    EXPECT_EQ(nt.formatPacked(37.59599999999L, 9), "38,000000000");
    EXPECT_EQ(nt.formatPacked(23.45599999999L, 9), "23,460000000");
    EXPECT_EQ(nt.formatPacked(23.4559L, 9), "23,455900000");
}

TEST(Separators, FromTheTextsOfALocale)
{
    EXPECT_EQ(separatorsFrom(",", ".").decimal, ',');
    EXPECT_EQ(separatorsFrom(",", ".").thousands, '.');
    EXPECT_EQ(separatorsFrom(".", ",").thousands, ',');
    EXPECT_EQ(separatorsFrom(",", "\xE2\x80\xAF").thousands, ' ');  // narrow no-break space
    EXPECT_EQ(separatorsFrom(".", "").thousands, ',');
    EXPECT_EQ(separatorsFrom(",", ",").thousands, '.');
}
