// What the RINEX reader does with files that break the format's limits: counts
// beyond what the format allows, type codes that are no codes, bytes that are
// not ASCII, lines far longer than a RINEX line, and seconds in a table file
// that are no time of day.

#include "views/RinexReader.h"
#include "views/RinexTable.h"

#include "project/Dialogs.h"
#include "project/IniFile.h"
#include "support/Files.h"
#include "table/TableFile.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace korthal;
using namespace korthal::rinex;
using namespace korthal::test;

namespace {

struct Count : ObservationSink {
    int headers = 0;
    Header head;
    std::vector<ObservationRecord> records;
    void header(const Header& h) override { head = h, ++headers; }
    void record(const ObservationRecord& r) override { records.push_back(r); }
};

ReadResult read(const std::string& text, Count& sink)
{
    return readObservationText(text, "t.05o", sink);
}

// Valid UTF-8 throughout (the message box and stderr get nothing else).
bool validUtf8(const std::string& s)
{
    for (std::size_t i = 0; i < s.size();) {
        const auto b = static_cast<unsigned char>(s[i]);
        const std::size_t n = b < 0x80 ? 1 : (b >> 5) == 6 ? 2 : (b >> 4) == 14 ? 3 : (b >> 3) == 30 ? 4 : 0;
        if (n == 0 || i + n > s.size())
            return false;
        for (std::size_t k = 1; k < n; ++k)
            if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80)
                return false;
        i += n;
    }
    return true;
}

std::string typesLine(const std::string& countAndCodes)
{
    std::string line = countAndCodes;
    line.resize(60, ' ');
    return line + "# / TYPES OF OBSERV\n";
}

const std::string kVersion =
    "     2.11           OBSERVATION DATA    G (GPS)             RINEX VERSION / TYPE\n";
const std::string kEnd =
    "                                                            END OF HEADER\n";
const std::string kEpoch = " 05  3 31  0  0  0.0000000  0  1G07\n"
                           "  55923622.160 7  21284566.9364\n";

}  // namespace

TEST(RinexLimits, TypeCountsBeyondTheFormatAreRefusedNamingTheLine)
{
    Count sink;
    // The 34 bytes that once asked for 8 GB before reading anything.
    const std::string tiny = "2147483647 # / TYPES OF OBSERV\n\n\n\n";
    ASSERT_EQ(tiny.size(), 34u);
    ReadResult r = read(tiny, sink);
    EXPECT_EQ(r.status, ReadStatus::HeaderError);
    EXPECT_EQ(r.line, 1);
    EXPECT_NE(r.message.find("γραμμή 1 "), std::string::npos) << r.message;
    EXPECT_NE(r.message.find("από 0 έως 99"), std::string::npos) << r.message;
    EXPECT_EQ(sink.headers, 0);

    for (const char* count : {"   100", "    -1", "99999999999"}) {
        r = read(kVersion + typesLine(std::string(count) + "    L1") + kEnd, sink);
        EXPECT_EQ(r.status, ReadStatus::HeaderError) << count;
        EXPECT_EQ(r.line, 2) << count;
    }

    // 99 types over eleven lines read; a hundredth code on a further line does not.
    std::string header = kVersion;
    std::string codes = "    99";
    for (int i = 0; i < 99; ++i) {
        codes += "    S" + std::to_string(i % 10);
        if (i % 9 == 8) {
            header += typesLine(codes);
            codes = "      ";
        }
    }
    r = read(header + kEnd, sink);
    ASSERT_TRUE(r.ok()) << r.message;
    EXPECT_EQ(sink.head.types.size(), 99u);
    r = read(header + typesLine("      L1") + kEnd, sink);
    EXPECT_EQ(r.status, ReadStatus::HeaderError);
    EXPECT_EQ(r.line, 13);
}

TEST(RinexLimits, TypeCodesAreAsciiLettersAndDigits)
{
    RecordingDialogs quiet;
    Count sink;
    // Tabs between codes are blanks as well.
    ReadResult r = read(kVersion + typesLine("     2\tL1\tC1") + kEnd + kEpoch, sink);
    ASSERT_TRUE(r.ok()) << r.message;
    EXPECT_EQ(sink.head.types, (std::vector<std::string>{"L1", "C1"}));

    // C2 41 is no UTF-8 and no code; "[X]" or "A=B" would break the keys of
    // the point's settings file.
    for (const std::string& code : {std::string("\xC2\x41"), std::string("[X]"), std::string("A=B"),
                                   std::string("L1C1")}) {
        Count none;
        r = read(kVersion + typesLine("     1    " + code) + kEnd + kEpoch, none);
        EXPECT_EQ(r.status, ReadStatus::HeaderError) << code;
        EXPECT_EQ(r.line, 2);
        EXPECT_EQ(none.headers, 0);
        EXPECT_TRUE(validUtf8(r.message)) << r.message;
    }
}

TEST(RinexLimits, NonAsciiBytesInMessagesAreShownAsText)
{
    RecordingDialogs rec;
    Count sink;
    // A satellite that cannot be read shows its epoch line; a byte beyond
    // ASCII in it reaches the message as a character, not a broken sequence.
    const std::string epoch = " 05  3 31  0  0  0.0000000  0  1G0\xE1\n"
                              "  55923622.160 7  21284566.9364\n";
    const ReadResult r =
        read(kVersion + typesLine("     2    L1    C1") + kEnd + epoch + kEpoch, sink);
    ASSERT_TRUE(r.ok()) << r.message;
    ASSERT_EQ(rec.entries.size(), 1u);
    EXPECT_TRUE(validUtf8(rec.entries[0].text));
    EXPECT_NE(rec.entries[0].text.find("1G0α"), std::string::npos);
    EXPECT_EQ(sink.records.size(), 1u);
}

TEST(RinexLimits, OverlongLinesEndTheReadingWithAMessage)
{
    RecordingDialogs quiet;
    const std::string huge(1000000, 'x');
    Count sink;
    ReadResult r = read(kVersion + huge + "\n" + typesLine("     1    L1") + kEnd, sink);
    EXPECT_EQ(r.status, ReadStatus::HeaderError);
    EXPECT_EQ(r.line, 2);
    EXPECT_NE(r.message.find("Η γραμμή 2 "), std::string::npos) << r.message;
    EXPECT_EQ(sink.headers, 0);

    // In the observations: the epochs before it stay.
    const std::string head = kVersion + typesLine("     2    L1    C1") + kEnd;
    r = read(head + kEpoch + huge + kEpoch, sink);
    EXPECT_EQ(r.status, ReadStatus::StoppedAtLine);
    EXPECT_EQ(r.line, 6);
    EXPECT_EQ(sink.records.size(), 1u);

    // From a file, the line is not gathered whole: 64 MB without a line end.
    TempDir dir("rinex-long");
    const std::string path = dir.file("long.05o");
    {
        std::FILE* f = std::fopen(path.c_str(), "wb");
        ASSERT_NE(f, nullptr);
        std::fputs((head + kEpoch).c_str(), f);
        const std::string block(1 << 20, ' ');
        for (int i = 0; i < 64; ++i)
            std::fwrite(block.data(), 1, block.size(), f);
        std::fclose(f);
    }
    Count fromFile;
    r = readObservationFile(path, fromFile);
    EXPECT_EQ(r.status, ReadStatus::StoppedAtLine);
    EXPECT_EQ(r.line, 6);
    EXPECT_EQ(fromFile.records.size(), 1u);
}

TEST(RinexLimits, SecondsThatAreNoTimeOfDayShowWithoutBreakingTheText)
{
    EXPECT_EQ(formatEpochTime(9, 5, 7.5, ','), " 9 :  5 :  07,5000000");
    EXPECT_EQ(formatEpochTime(9, 5, 99999.25, '.'), " 9 :  5 :  99999.2500000");
    EXPECT_EQ(formatEpochTime(9, 5, 1e30, ','), " 9 :  5 :  1E30");
    EXPECT_EQ(formatEpochTime(9, 5, -2.5, ','), " 9 :  5 :  -2,5");
    EXPECT_EQ(formatEpochTime(0, 0, std::numeric_limits<double>::max(), '.'),
              " 0 :  0 :  1.79769313486232E308");
    EXPECT_EQ(formatEpochTime(0, 0, std::nan(""), '.'), " 0 :  0 :  0");

    // A table file whose seconds say 1E30 loads, and its Time shows them.
    TempDir dir("rinex-sec");
    const std::string path = dir.file("P000001.RNX");
    RinexTable written;
    const Rec r = written.table().appendRecord();
    written.table().setInteger(r, rnx::Hour, 12);
    written.table().setInteger(r, rnx::min, 30);
    written.table().setFloat(r, rnx::sec, 1e30);
    ASSERT_TRUE(SaveToFile(written.table(), path).ok);
    RinexTable loaded;
    loaded.RinexFileName = path;
    ASSERT_TRUE(loaded.load());
    const MemTable& t = loaded.table();
    ASSERT_EQ(t.recordCount(), 1);
    EXPECT_EQ(t.text(t.firstStored(), rnx::Time), "12 : 30 :  1E30");
}
