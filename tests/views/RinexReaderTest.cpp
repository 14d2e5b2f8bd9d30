// Reading RINEX 2 observation files into records, with the real files of the
// shared test data and small made-up pieces for the corner cases.

#include "views/RinexReader.h"

#include "project/Dialogs.h"

#include <gtest/gtest.h>

#include <set>

using namespace korthal;
using namespace korthal::rinex;

namespace {

std::string dataFile(const std::string& name)
{
    return std::string(KORTHAL_SHARED_DATA) + "/rinex/" + name;
}

struct Collect : ObservationSink {
    Header head;
    int headers = 0;
    std::vector<ObservationRecord> records;
    ReadResult result;
    void header(const Header& h) override { head = h, ++headers; }
    void record(const ObservationRecord& r) override { records.push_back(r); }
    const ObservationRecord& at(int epoxh, int prn) const
    {
        for (const auto& r : records)
            if (r.epoxh == epoxh && r.prn == prn)
                return r;
        throw std::runtime_error("no such record");
    }
    bool has(int epoxh, int prn) const
    {
        for (const auto& r : records)
            if (r.epoxh == epoxh && r.prn == prn)
                return true;
        return false;
    }
};

Collect readFile(const std::string& name)
{
    Collect c;
    c.result = readObservationFile(dataFile(name), c);
    return c;
}

Collect readText(const std::string& text)
{
    Collect c;
    c.result = readObservationText(text, "t.05o", c);
    return c;
}

void expectSlot(const SlotValue& s, double value, int lli, int strength)
{
    EXPECT_DOUBLE_EQ(s.value, value);
    EXPECT_EQ(s.lli, lli);
    EXPECT_EQ(s.strength, strength);
}

// A GPS-only header with the types L1 C1 L2 P2.
const std::string kHeader =
    "     2.11           OBSERVATION DATA    G (GPS)             RINEX VERSION / TYPE\n"
    "     4    L1    C1    L2    P2                              # / TYPES OF OBSERV\n"
    "                                                            END OF HEADER\n";

}  // namespace

TEST(RinexReader, GpsOnlyFiles)
{
    RecordingDialogs rec;
    Collect c = readFile("07590920.05o");
    ASSERT_TRUE(c.result.ok()) << c.result.message;
    EXPECT_EQ(c.headers, 1);
    EXPECT_EQ(c.result.stats.epochs, 120);
    EXPECT_EQ(c.result.stats.records, 948);
    EXPECT_EQ(c.result.stats.events, 3);  // flag-4 comments, the last one ends the file
    EXPECT_EQ(c.result.stats.specialRecords, 3);
    EXPECT_EQ(c.head.types, (std::vector<std::string>{"L1", "C1", "L2", "P2"}));
    EXPECT_DOUBLE_EQ(c.head.Xo, -3976219.5082);
    // "G 3": letter, blank, digit. The 4 after the phases sits in the LLI column.
    const ObservationRecord& a = c.records.front();
    EXPECT_EQ(a.prn, 3);
    EXPECT_EQ(a.year * 10000 + a.month * 100 + a.day, 20050402);
    expectSlot(a.slotValues[SlotL1], 55923622.160, 0, 0);
    expectSlot(a.slotValues[SlotL2], 43647388.242, 4, 0);
    expectSlot(a.slotValues[SlotP2], 24767684.822, 4, 0);
    expectSlot(a.slotValues[SlotC2], 0, 0, 0);
    EXPECT_TRUE(rec.entries.empty());

    // Blank system letters, seconds "00.0000000", types L1 L2 P1 P2 C1.
    c = readFile("KOSG0010.95O");
    ASSERT_TRUE(c.result.ok()) << c.result.message;
    EXPECT_EQ(c.result.stats.records, 23);
    EXPECT_EQ(c.result.stats.satellites(), 18);
    const ObservationRecord& k = c.records.front();
    EXPECT_EQ(k.prn, 6);
    EXPECT_EQ(k.year, 1995);
    expectSlot(k.slotValues[SlotL1], 21700656.314, 4, 7);
    expectSlot(k.slotValues[SlotP1], 0, 4, 1);  // ".00041" ends two columns late
    expectSlot(k.slotValues[SlotC1], 24479975.232, 4, 7);
    EXPECT_EQ(c.records.back().hour * 100 + c.records.back().min, 2044);
}

TEST(RinexReader, ContinuationLinesAndMixedSystems)
{
    // 22 types over three header lines (five lines per satellite), 26
    // satellites over three epoch lines, empty data lines; G, R, E and S.
    Collect c = readFile("AJAC3550.21O");
    ASSERT_TRUE(c.result.ok()) << c.result.message;
    EXPECT_EQ(c.head.nTypes, 22);
    EXPECT_EQ(c.result.stats.records, 18);
    EXPECT_EQ(c.result.stats.skipped, 34);
    const ObservationRecord& g7 = c.at(1, 7);
    expectSlot(g7.slotValues[SlotL1], 131857102.133, 0, 6);
    expectSlot(g7.slotValues[SlotL2], 102745756.542, 4, 5);
    expectSlot(g7.slotValues[SlotC1], 25091572.300, 0, 0);
    expectSlot(g7.slotValues[SlotP2], 25091565.600, 0, 0);  // second line of the record
    expectSlot(g7.slotValues[SlotD2], -320.373, 0, 0);
    EXPECT_FALSE(c.has(1, 4));  // R04 must not turn into G04

    // C1 and L1 on the third line of a record, P2 on the fifth.
    c = readFile("nklg170b00.16o");
    ASSERT_TRUE(c.result.ok()) << c.result.message;
    EXPECT_EQ(c.result.stats.epochs, 5);
    const ObservationRecord& g3 = c.at(1, 3);
    expectSlot(g3.slotValues[SlotL2], 94445620.204, 0, 0);
    expectSlot(g3.slotValues[SlotC1], 23064576.248, 0, 0);
    expectSlot(g3.slotValues[SlotL1], 121205201.215, 0, 0);
    expectSlot(g3.slotValues[SlotP2], 23064583.288, 0, 0);

    // The last, blank, line of the last record is missing from the file.
    c = readFile("rovn0010.21o");
    ASSERT_TRUE(c.result.ok()) << c.result.message;
    EXPECT_EQ(c.records.back().epoxh, 6);
}

TEST(RinexReader, EventRecordsAreSkipped)
{
    RecordingDialogs rec;
    Collect c = readFile("mixed211.05o");
    ASSERT_TRUE(c.result.ok()) << c.result.message;
    EXPECT_EQ(c.result.stats.epochs, 7);  // six of flag 0, one of flag 6
    EXPECT_EQ(c.result.stats.events, 8);  // flags 2, 3, 4 (five times), 5
    EXPECT_EQ(c.result.stats.specialRecords, 16);
    EXPECT_EQ(c.result.stats.skipped, 4);  // E11 twice, R21, R22
    EXPECT_EQ(c.result.stats.records, 24);
    // The cycle-slip record (flag 6) is read as observations; "G 9" is 9.
    const ObservationRecord& slip = c.at(6, 16);
    EXPECT_EQ(slip.flag, 6);
    expectSlot(slip.slotValues[SlotL1], 123456789.0, 0, 0);
    EXPECT_TRUE(c.has(6, 9));

    // Events without a date, header records inside the data, CR LF line
    // ends, 13 satellites over two epoch lines.
    c = readFile("14601736.18o");
    ASSERT_TRUE(c.result.ok()) << c.result.message;
    EXPECT_EQ(c.result.stats.epochs, 3);
    std::set<int> prns;
    for (const auto& o : c.records)
        prns.insert(o.prn);
    EXPECT_EQ(prns, (std::set<int>{3, 7, 9, 16, 23, 30}));
    EXPECT_DOUBLE_EQ(c.at(1, 3).sec, 30);
    EXPECT_TRUE(rec.entries.empty());
}

TEST(RinexReader, UnusableHeadersReadNothing)
{
    RecordingDialogs rec;
    Collect c = readFile("ACOR00ESP_R_20213550000_01D_30S_MO.rnx");
    EXPECT_EQ(c.result.status, ReadStatus::HeaderError);
    EXPECT_NE(c.result.message.find("3.04"), std::string::npos);
    EXPECT_EQ(c.headers, 0);

    c = readText(kHeader.substr(0, kHeader.find("  END")));
    EXPECT_EQ(c.result.status, ReadStatus::HeaderError);
    EXPECT_NE(c.result.message.find("END OF HEADER"), std::string::npos);
    EXPECT_EQ(c.headers, 0);

    c = readText("1.0                 COMPACT RINEX FORMAT                    CRINEX VERS   / TYPE\n" +
                 kHeader);
    EXPECT_EQ(c.result.status, ReadStatus::HeaderError);
    EXPECT_EQ(c.headers, 0);

    c = readFile("no such file.05o");
    EXPECT_EQ(c.result.status, ReadStatus::CannotOpen);
    // The caller shows these messages, not the reader.
    EXPECT_TRUE(rec.entries.empty());
}

TEST(RinexReader, EpochTimesDatesAndEmptyEpochs)
{
    const Collect c = readText(kHeader +
                               " 00  1  1  0  0 30.0000000  0  1G07\n"
                               "  55923622.160\n"
                               " 99 12 31 23 59 30.0000000  0  0\n"
                               " 99 12 31 23 59 60.0000000  0  1G05\n"
                               "  55923622.160    24767686.375\n"
                               " 79  2 28  9  5  7.5000000  0  1G12\n"
                               "  55923622.160\n");
    ASSERT_TRUE(c.result.ok()) << c.result.message;
    EXPECT_EQ(c.result.stats.epochs, 4);
    ASSERT_EQ(c.records.size(), 3u);
    EXPECT_EQ(c.records[0].year, 2000);
    EXPECT_EQ(c.records[0].sec, 30);
    const ObservationRecord& a = c.records[1];
    EXPECT_EQ(a.epoxh, 3);  // the empty epoch still counts
    EXPECT_EQ(a.year, 1999);
    EXPECT_EQ(a.hour, 23);
    EXPECT_EQ(a.min, 60);  // 60 seconds carried into the minute only
    EXPECT_EQ(a.sec, 0);
    EXPECT_EQ(c.records[2].year, 2079);
    EXPECT_EQ(fullYear(0), 2000);
    EXPECT_EQ(fullYear(80), 1980);

    EXPECT_EQ(formatEpochTime(9, 5, 7.5, ','), " 9 :  5 :  07,5000000");
    EXPECT_EQ(formatEpochTime(13, 10, 30, '.'), "13 : 10 :  30.0000000");
    EXPECT_EQ(formatEpochTime(0, 0, 36.004, '.'), " 0 :  0 :  36.0040000");
    EXPECT_EQ(formatEpochTime(0, 0, 1.23456789, '.'), " 0 :  0 :  01.2345678");  // cut
}

TEST(RinexReader, BadSatelliteShowsEpochLineAndOthersStay)
{
    const std::string epoch = " 05  4  2  0  0  0.0000000  0  3G01G02G03";
    RecordingDialogs rec;
    const Collect c = readText(kHeader + epoch + "\n" +
                               "  55923622.160    24767686.375\n"
                               "  5592362x.160    24767686.375\n"
                               "  55923622.160    24767686.375\n");
    ASSERT_TRUE(c.result.ok());
    ASSERT_EQ(c.records.size(), 2u);
    EXPECT_EQ(c.records[1].prn, 3);
    EXPECT_EQ(rec.messages(), std::vector<std::string>{epoch});
    EXPECT_EQ(rec.entries.at(0).icon, MsgIcon::None);
}

TEST(RinexReader, ErrorOutsideASatelliteStopsAndKeepsRecords)
{
    const std::string good = " 05  4  2  0  0  0.0000000  0  1G01\n  55923622.160\n";
    // A broken satellite count: the records before it stay, the line is named.
    Collect c = readText(kHeader + good + " 05  4  2  0  0 30.0000000  0  xG01\n" + good);
    EXPECT_EQ(c.result.status, ReadStatus::StoppedAtLine);
    EXPECT_EQ(c.result.line, 6);
    EXPECT_NE(c.result.message.find(" 6 "), std::string::npos);
    EXPECT_NE(c.result.message.find("xG01"), std::string::npos);
    EXPECT_EQ(c.records.size(), 1u);

    // Blank lines at the very end are harmless; inside the data they stop.
    EXPECT_TRUE(readText(kHeader + good + "\n   \n").result.ok());
    c = readText(kHeader + good + "\n" + good);
    EXPECT_EQ(c.result.status, ReadStatus::StoppedAtLine);
    EXPECT_EQ(c.result.line, 6);

    // The file ends before the second satellite of its last epoch.
    c = readText(kHeader + good + " 05  4  2  0  0 30.0000000  0  2G01G02\n  1.0\n");
    EXPECT_EQ(c.result.status, ReadStatus::StoppedAtLine);
    EXPECT_EQ(c.records.size(), 2u);
}
