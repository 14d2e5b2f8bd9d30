// Reading RINEX 2 observation files into records, with the real files of the
// shared test data and small made-up pieces for the corner cases.

#include "views/RinexReader.h"

#include "geodesy/Dialogs.h"

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
    void header(const Header& h) override
    {
        head = h;
        ++headers;
    }
    void record(const ObservationRecord& r) override { records.push_back(r); }

    const ObservationRecord* find(int epoxh, int prn) const
    {
        for (const auto& r : records)
            if (r.epoxh == epoxh && r.prn == prn)
                return &r;
        return nullptr;
    }
};

// A minimal GPS-only header with the given type line.
std::string header(const std::string& typesLine)
{
    return "     2.11           OBSERVATION DATA    G (GPS)             RINEX VERSION / TYPE\n"
           "  4375274.0000   587466.0000  4589095.0000                  APPROX POSITION XYZ\n" +
           typesLine +
           "                                                            END OF HEADER\n";
}

const std::string kFourTypes =
    "     4    L1    C1    L2    P2                              # / TYPES OF OBSERV\n";

}  // namespace

TEST(RinexReader, GpsOnlyFileCountsAndValues)
{
    RecordingDialogs rec;
    Collect sink;
    const ReadResult r = readObservationFile(dataFile("07590920.05o"), sink);
    ASSERT_TRUE(r.ok()) << r.message;
    EXPECT_EQ(sink.headers, 1);
    EXPECT_EQ(r.stats.epochs, 120);
    EXPECT_EQ(r.stats.records, 948);
    EXPECT_EQ(r.stats.events, 3);           // three flag-4 comment records
    EXPECT_EQ(r.stats.specialRecords, 3);
    EXPECT_EQ(r.stats.skipped, 0);
    EXPECT_TRUE(rec.entries.empty());
    EXPECT_EQ(sink.head.nTypes, 4);
    EXPECT_EQ(sink.head.types, (std::vector<std::string>{"L1", "C1", "L2", "P2"}));
    EXPECT_DOUBLE_EQ(sink.head.Xo, -3976219.5082);

    // First record: G 3 (the system letter and a blank before the digit).
    const ObservationRecord& a = sink.records.front();
    EXPECT_EQ(a.epoxh, 1);
    EXPECT_EQ(a.prn, 3);
    EXPECT_EQ(a.year, 2005);
    EXPECT_EQ(a.month, 4);
    EXPECT_EQ(a.day, 2);
    EXPECT_DOUBLE_EQ(a.slots[SlotL1].value, 55923622.160);
    EXPECT_DOUBLE_EQ(a.slots[SlotC1].value, 24767686.375);
    EXPECT_DOUBLE_EQ(a.slots[SlotL2].value, 43647388.242);
    EXPECT_EQ(a.slots[SlotL2].lli, 4);  // the digit in the LLI column: AS on
    EXPECT_EQ(a.slots[SlotL2].strength, 0);
    EXPECT_DOUBLE_EQ(a.slots[SlotP2].value, 24767684.822);
    EXPECT_EQ(a.slots[SlotP2].lli, 4);
    EXPECT_EQ(a.slots[SlotC2].value, 0);
    EXPECT_EQ(a.slots[SlotD1].value, 0);
}

TEST(RinexReader, BlankSystemLetterAndPackedDigits)
{
    Collect sink;
    const ReadResult r = readObservationFile(dataFile("KOSG0010.95O"), sink);
    ASSERT_TRUE(r.ok()) << r.message;
    EXPECT_EQ(r.stats.epochs, 3);
    EXPECT_EQ(r.stats.records, 23);
    EXPECT_EQ(r.stats.satellites(), 18);
    EXPECT_EQ(sink.head.version, 2);
    // Types L1 L2 P1 P2 C1: the five fields go to those slots in that order.
    const ObservationRecord& a = sink.records.front();
    EXPECT_EQ(a.prn, 6);
    EXPECT_EQ(a.year, 1995);
    EXPECT_DOUBLE_EQ(a.slots[SlotL1].value, 21700656.314);
    EXPECT_EQ(a.slots[SlotL1].lli, 4);
    EXPECT_EQ(a.slots[SlotL1].strength, 7);
    EXPECT_DOUBLE_EQ(a.slots[SlotL2].value, 16909599.970);
    EXPECT_EQ(a.slots[SlotL2].strength, 4);
    // ".00041" ends two columns late: the value reads .000, then the digits.
    EXPECT_EQ(a.slots[SlotP1].value, 0);
    EXPECT_EQ(a.slots[SlotP1].lli, 4);
    EXPECT_EQ(a.slots[SlotP1].strength, 1);
    EXPECT_DOUBLE_EQ(a.slots[SlotP2].value, 24479973.678);
    EXPECT_DOUBLE_EQ(a.slots[SlotC1].value, 24479975.232);
    EXPECT_EQ(a.slots[SlotC1].lli, 4);
    EXPECT_EQ(a.slots[SlotC1].strength, 7);
    const ObservationRecord& last = sink.records.back();
    EXPECT_EQ(last.epoxh, 3);
    EXPECT_EQ(last.hour, 20);
    EXPECT_EQ(last.min, 44);
    EXPECT_DOUBLE_EQ(last.sec, 30);
}

TEST(RinexReader, ContinuationLinesAndMixedSystems)
{
    {
        // 22 types over three header lines, five lines per satellite, 26
        // satellites over three epoch lines, empty data lines.
        Collect sink;
        const ReadResult r = readObservationFile(dataFile("AJAC3550.21O"), sink);
        ASSERT_TRUE(r.ok()) << r.message;
        EXPECT_EQ(sink.head.nTypes, 22);
        EXPECT_EQ(sink.head.types.size(), 22u);
        EXPECT_EQ(r.stats.epochs, 2);
        EXPECT_EQ(r.stats.records, 18);   // 9 GPS satellites in each epoch
        EXPECT_EQ(r.stats.skipped, 34);   // 17 of R, E and S in each epoch
        const ObservationRecord* g7 = sink.find(1, 7);
        ASSERT_NE(g7, nullptr);
        EXPECT_DOUBLE_EQ(g7->slots[SlotL1].value, 131857102.133);
        EXPECT_EQ(g7->slots[SlotL1].lli, 0);
        EXPECT_EQ(g7->slots[SlotL1].strength, 6);
        EXPECT_DOUBLE_EQ(g7->slots[SlotL2].value, 102745756.542);
        EXPECT_EQ(g7->slots[SlotL2].lli, 4);
        EXPECT_EQ(g7->slots[SlotL2].strength, 5);
        EXPECT_DOUBLE_EQ(g7->slots[SlotC1].value, 25091572.300);
        EXPECT_EQ(g7->slots[SlotC2].value, 0);
        EXPECT_EQ(g7->slots[SlotP1].value, 0);
        EXPECT_DOUBLE_EQ(g7->slots[SlotP2].value, 25091565.600);
        EXPECT_DOUBLE_EQ(g7->slots[SlotD1].value, -411.138);
        EXPECT_DOUBLE_EQ(g7->slots[SlotD2].value, -320.373);
        // No GLONASS number may appear as a GPS one: R04 must not become G04.
        EXPECT_EQ(sink.find(1, 4), nullptr);
    }
    {
        // Types in an unusual order: C1 and L1 sit on the third line of a
        // record, P2 on the fifth, past the tenth position.
        Collect sink;
        const ReadResult r = readObservationFile(dataFile("nklg170b00.16o"), sink);
        ASSERT_TRUE(r.ok()) << r.message;
        EXPECT_EQ(r.stats.epochs, 5);
        const ObservationRecord& g3 = sink.records.front();
        EXPECT_EQ(g3.prn, 3);
        EXPECT_EQ(g3.year, 2016);
        EXPECT_EQ(g3.month, 6);
        EXPECT_EQ(g3.hour, 1);
        EXPECT_DOUBLE_EQ(g3.slots[SlotL2].value, 94445620.204);
        EXPECT_DOUBLE_EQ(g3.slots[SlotC1].value, 23064576.248);
        EXPECT_DOUBLE_EQ(g3.slots[SlotL1].value, 121205201.215);
        EXPECT_DOUBLE_EQ(g3.slots[SlotP2].value, 23064583.288);
        EXPECT_EQ(g3.slots[SlotC2].value, 0);
        EXPECT_EQ(g3.slots[SlotP1].value, 0);
    }
    {
        Collect sink;
        const ReadResult r = readObservationFile(dataFile("delf0010.21o"), sink);
        ASSERT_TRUE(r.ok()) << r.message;
        EXPECT_EQ(r.stats.epochs, 105);
        EXPECT_EQ(r.stats.records, 1247);
        EXPECT_EQ(r.stats.skipped, 832);
    }
    {
        // The last, blank, line of the last record is missing.
        Collect sink;
        const ReadResult r = readObservationFile(dataFile("rovn0010.21o"), sink);
        ASSERT_TRUE(r.ok()) << r.message;
        EXPECT_EQ(r.stats.epochs, 6);
        EXPECT_GT(r.stats.records, 0);
        EXPECT_GT(r.stats.skipped, 0);
        EXPECT_EQ(sink.records.back().epoxh, 6);
    }
}

TEST(RinexReader, EventRecordsAreSkipped)
{
    RecordingDialogs rec;
    {
        Collect sink;
        const ReadResult r = readObservationFile(dataFile("mixed211.05o"), sink);
        ASSERT_TRUE(r.ok()) << r.message;
        EXPECT_EQ(r.stats.epochs, 7);          // six of flag 0, one of flag 6
        EXPECT_EQ(r.stats.events, 8);          // flags 2, 3, 4 (x5), 5
        EXPECT_EQ(r.stats.specialRecords, 4 + 1 + 4 + 0 + 1 + 1 + 2 + 3);
        EXPECT_EQ(r.stats.skipped, 4);         // E11 twice, R21, R22
        EXPECT_EQ(r.stats.records, 3 + 3 + 4 + 4 + 4 + 2 + 4);
        // The cycle-slip record (flag 6) is read as observations.
        const ObservationRecord* slip = sink.find(6, 16);
        ASSERT_NE(slip, nullptr);
        EXPECT_EQ(slip->flag, 6);
        EXPECT_DOUBLE_EQ(slip->slots[SlotL1].value, 123456789.0);
        EXPECT_DOUBLE_EQ(slip->slots[SlotL2].value, -9876543.5);
        // "G 9" is satellite 9; the odd time 13:13:1.2345678 is an event.
        EXPECT_NE(sink.find(6, 9), nullptr);
        EXPECT_EQ(sink.records.front().slots[SlotP1].value, 23629347.915);
        EXPECT_EQ(sink.records.front().slots[SlotL1].strength, 8);
    }
    {
        // Events without a date, with header records inside the data, CR LF
        // line ends, 13 satellites over two epoch lines.
        Collect sink;
        const ReadResult r = readObservationFile(dataFile("14601736.18o"), sink);
        ASSERT_TRUE(r.ok()) << r.message;
        EXPECT_EQ(r.stats.epochs, 3);
        EXPECT_EQ(r.stats.events, 3);
        std::set<int> prns;
        for (const auto& o : sink.records)
            prns.insert(o.prn);
        EXPECT_EQ(prns, (std::set<int>{3, 7, 9, 16, 23, 30}));
        const ObservationRecord* g3 = sink.find(1, 3);
        ASSERT_NE(g3, nullptr);
        EXPECT_EQ(g3->hour, 6);
        EXPECT_EQ(g3->min, 17);
        EXPECT_DOUBLE_EQ(g3->sec, 30);
    }
    EXPECT_TRUE(rec.entries.empty());
}

TEST(RinexReader, HeaderProblemsReadNothing)
{
    RecordingDialogs rec;
    {
        Collect sink;
        const ReadResult r =
            readObservationFile(dataFile("ACOR00ESP_R_20213550000_01D_30S_MO.rnx"), sink);
        EXPECT_EQ(r.status, ReadStatus::HeaderError);
        EXPECT_NE(r.message.find("3.04"), std::string::npos);
        EXPECT_EQ(sink.headers, 0);
        EXPECT_TRUE(sink.records.empty());
    }
    {
        Collect sink;
        const ReadResult r = readObservationText(
            "     2.11           OBSERVATION DATA    G (GPS)             RINEX VERSION / TYPE\n" +
                kFourTypes,
            "cut.05o", sink);
        EXPECT_EQ(r.status, ReadStatus::HeaderError);
        EXPECT_NE(r.message.find("END OF HEADER"), std::string::npos);
        EXPECT_NE(r.message.find("cut.05o"), std::string::npos);
        EXPECT_EQ(sink.headers, 0);
    }
    {
        Collect sink;
        const ReadResult r = readObservationFile(dataFile("no such file.05o"), sink);
        EXPECT_EQ(r.status, ReadStatus::CannotOpen);
        EXPECT_FALSE(r.message.empty());
    }
    // None of these speaks through the dialogs: the caller shows the message.
    EXPECT_TRUE(rec.entries.empty());
}

TEST(RinexReader, EpochTimesDatesAndEmptyEpochs)
{
    const std::string text = header(kFourTypes) +
                             " 00  1  1  0  0 30.0000000  0  0\n"
                             " 99 12 31 23 59 60.0000000  0  1G05\n"
                             "  55923622.160    24767686.375\n"
                             " 79  2 28  9  5  7.5000000  0  1G12\n"
                             "  55923622.160\n";
    Collect sink;
    const ReadResult r = readObservationText(text, "t.99o", sink);
    ASSERT_TRUE(r.ok()) << r.message;
    EXPECT_EQ(r.stats.epochs, 3);
    ASSERT_EQ(sink.records.size(), 2u);
    const ObservationRecord& a = sink.records[0];
    EXPECT_EQ(a.epoxh, 2);  // the empty epoch still counts
    EXPECT_EQ(a.year, 1999);
    EXPECT_EQ(a.hour, 23);
    EXPECT_EQ(a.min, 60);   // 60 seconds carried into the minute only
    EXPECT_EQ(a.sec, 0);
    EXPECT_EQ(sink.records[1].year, 2079);
    EXPECT_EQ(fullYear(0), 2000);
    EXPECT_EQ(fullYear(80), 1980);

    EXPECT_EQ(formatEpochTime(9, 5, 7.5, ','), " 9 :  5 :  07,5000000");
    EXPECT_EQ(formatEpochTime(13, 10, 30, '.'), "13 : 10 :  30.0000000");
    EXPECT_EQ(formatEpochTime(0, 0, 36.004, '.'), " 0 :  0 :  36.0040000");
    EXPECT_EQ(formatEpochTime(0, 0, 1.23456789, '.'), " 0 :  0 :  01.2345678");
}

TEST(RinexReader, ObservationLineColumns)
{
    // Positions: S1 (not kept), L1, C1; a short line reads blank past its end.
    const std::vector<int> slots{NoSlot, SlotL1, SlotC1};
    SlotBuffer b;
    b[SlotD2].value = 5;
    ASSERT_TRUE(ParseObservationLine("        45.000    -1234567.891 7", slots, b));
    EXPECT_DOUBLE_EQ(b[SlotL1].value, -1234567.891);
    EXPECT_EQ(b[SlotL1].lli, 0);
    EXPECT_EQ(b[SlotL1].strength, 7);
    EXPECT_EQ(b[SlotC1].value, 0);
    EXPECT_EQ(b[SlotD2].value, 0);  // cleared
    EXPECT_FALSE(ParseObservationLine("                   12x4.5", slots, b));
    EXPECT_EQ(slotOfCode("S1"), NoSlot);
    EXPECT_EQ(slotOfCode("D2"), SlotD2);
}

TEST(RinexReader, BadSatelliteShowsEpochLineAndOthersStay)
{
    const std::string epoch = " 05  4  2  0  0  0.0000000  0  3G01G02G03";
    const std::string text = header(kFourTypes) + epoch + "\n" +
                             "  55923622.160    24767686.375\n"
                             "  5592362x.160    24767686.375\n"
                             "  55923622.160    24767686.375\n";
    RecordingDialogs rec;
    Collect sink;
    const ReadResult r = readObservationText(text, "bad.05o", sink);
    ASSERT_TRUE(r.ok());
    ASSERT_EQ(sink.records.size(), 2u);
    EXPECT_EQ(sink.records[0].prn, 1);
    EXPECT_EQ(sink.records[1].prn, 3);
    EXPECT_EQ(rec.messages(), std::vector<std::string>{epoch});
    EXPECT_EQ(rec.entries.at(0).icon, MsgIcon::None);
}

TEST(RinexReader, ErrorOutsideASatelliteStopsAndKeepsRecords)
{
    const std::string good = " 05  4  2  0  0  0.0000000  0  1G01\n  55923622.160\n";
    {
        // A broken epoch line: the records before it are kept, the line named.
        Collect sink;
        const ReadResult r = readObservationText(
            header(kFourTypes) + good + " 05  4  2  0  0 30.0000000  0  xG01\n" + good, "b.05o",
            sink);
        EXPECT_EQ(r.status, ReadStatus::StoppedAtLine);
        EXPECT_EQ(r.line, 7);
        EXPECT_NE(r.message.find(" 7 "), std::string::npos);
        EXPECT_NE(r.message.find("xG01"), std::string::npos);
        EXPECT_EQ(sink.records.size(), 1u);
        EXPECT_TRUE(r.headerRead());
    }
    {
        // Blank lines at the very end are harmless; inside the data they stop.
        Collect sink;
        ReadResult r = readObservationText(header(kFourTypes) + good + "\n   \n", "c.05o", sink);
        EXPECT_TRUE(r.ok());
        r = readObservationText(header(kFourTypes) + good + "\n" + good, "c.05o", sink);
        EXPECT_EQ(r.status, ReadStatus::StoppedAtLine);
        EXPECT_EQ(r.line, 7);
    }
    {
        // The file ends before the satellites of its last epoch.
        Collect sink;
        const ReadResult r = readObservationText(
            header(kFourTypes) + good + " 05  4  2  0  0 30.0000000  0  2G01G02\n  1.0\n",
            "d.05o", sink);
        EXPECT_EQ(r.status, ReadStatus::StoppedAtLine);
        EXPECT_EQ(sink.records.size(), 2u);
    }
}

TEST(RinexReader, ProgressReachesTheEnd)
{
    std::uint64_t last = 0, total = 0;
    int calls = 0;
    Collect sink;
    readObservationFile(dataFile("delf0010.21o"), sink, [&](std::uint64_t d, std::uint64_t t) {
        EXPECT_GE(d, last);
        last = d;
        total = t;
        ++calls;
    });
    EXPECT_GE(calls, 1);
    EXPECT_EQ(total, 244899u);
    EXPECT_EQ(last, total);
}
