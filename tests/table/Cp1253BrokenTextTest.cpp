// UTF-8 that is broken or holds characters code page 1253 lacks: one '?' per
// piece, nothing after it swallowed, every piece reported where it starts.

#include "table/Cp1253.h"

#include <gtest/gtest.h>

using namespace korthal;

namespace {

std::string convert(std::string_view text, std::vector<UnconvertedCharacter>& lost)
{
    return utf8ToCp1253(text, lost);
}

}  // namespace

TEST(Cp1253BrokenText, LeadByteWithoutContinuationKeepsTheNextByte)
{
    std::vector<UnconvertedCharacter> lost;
    // C2 41 once became the undefined byte 0x81 and lost the 'A'.
    EXPECT_EQ(convert("L\xC2" "A1", lost), "L?A1");
    EXPECT_EQ(lost, (std::vector<UnconvertedCharacter>{{1, "\xC2"}}));
    EXPECT_EQ(convert("\xC3" "B", lost), "?B");
    EXPECT_EQ(lost.size(), 1u);
    // A lead byte before a Greek letter: the letter stays.
    EXPECT_EQ(convert("\xC2\xCE\xB1", lost), "?\xE1");
    EXPECT_EQ(lost, (std::vector<UnconvertedCharacter>{{0, "\xC2"}}));
}

TEST(Cp1253BrokenText, EveryKindOfBrokenPieceIsOneQuestionMarkAndReported)
{
    std::vector<UnconvertedCharacter> lost;
    // A stray continuation byte, an overlong '/', a surrogate, a code point
    // beyond U+10FFFF, C0/C1/F5 lead bytes.
    EXPECT_EQ(convert("a\x80" "b", lost), "a?b");
    EXPECT_EQ(lost, (std::vector<UnconvertedCharacter>{{1, "\x80"}}));
    EXPECT_EQ(convert("\xC0\xAF" "x", lost), "??x");
    EXPECT_EQ(lost.size(), 2u);
    EXPECT_EQ(convert("\xED\xA0\x80" "x", lost), "???x");
    EXPECT_EQ(convert("\xF4\x90\x80\x80" "x", lost), "????x");
    EXPECT_EQ(convert("\xC1\xBF\xF5" "x", lost), "???x");
    // A three-byte character cut short: the good start is one piece.
    EXPECT_EQ(convert("\xE2\x82" "x", lost), "?x");
    EXPECT_EQ(lost, (std::vector<UnconvertedCharacter>{{0, "\xE2\x82"}}));
    // Cut short at the very end of the text.
    EXPECT_EQ(convert("ab\xE2\x82", lost), "ab?");
    EXPECT_EQ(lost, (std::vector<UnconvertedCharacter>{{2, "\xE2\x82"}}));
}

TEST(Cp1253BrokenText, CharactersTheCodePageLacksAreListedInOrder)
{
    std::vector<UnconvertedCharacter> lost;
    EXPECT_EQ(convert("Σ☃€😀Ω☃", lost), "\xD3?\x80?\xD9?");
    ASSERT_EQ(lost.size(), 3u);
    EXPECT_EQ(lost[0], (UnconvertedCharacter{2, "☃"}));
    EXPECT_EQ(lost[1], (UnconvertedCharacter{8, "😀"}));
    EXPECT_EQ(lost[2], (UnconvertedCharacter{14, "☃"}));
    EXPECT_EQ(describeUnconverted(lost), "☃ 😀");
    convert("x\xC2" "A\xFF", lost);
    EXPECT_EQ(describeUnconverted(lost), "<C2> <FF>");

    bool lossy = true;
    EXPECT_EQ(utf8ToCp1253("Σημείο", &lossy), "\xD3\xE7\xEC\xE5\xDF\xEF");
    EXPECT_FALSE(lossy);
    EXPECT_EQ(utf8ToCp1253("\xC2" "A", &lossy), "?A");
    EXPECT_TRUE(lossy);
}

TEST(Cp1253BrokenText, UndefinedBytesStillComeBackAndAreNotReported)
{
    std::vector<UnconvertedCharacter> lost;
    const std::string odd = "\x81\x88\xAA\xD2\xFF";
    EXPECT_EQ(convert(cp1253ToUtf8(odd), lost), odd);
    EXPECT_TRUE(lost.empty());
    // Latin-1 letters that code page 1253 has not are no undefined bytes.
    EXPECT_EQ(convert("é", lost), "?");
    EXPECT_EQ(lost.size(), 1u);
    // A long text crosses the converter's buffer: nothing lost at the seams.
    std::string longText;
    for (int i = 0; i < 5000; ++i)
        longText += "α\xC2" "b";
    const std::string out = convert(longText, lost);
    EXPECT_EQ(lost.size(), 5000u);
    EXPECT_EQ(out.size(), 15000u);
    EXPECT_EQ(out.substr(0, 6), "\xE1?b\xE1?b");
    EXPECT_EQ(lost.back().offset, longText.size() - 2);
}
