// RINEX 3 and 4 observation files read into the RINEX 2 types of the
// observation table, and the header lines a reading may pass over.

#include "views/RinexReader.h"

#include "support/Files.h"

#include <gtest/gtest.h>

#include <map>

using namespace korthal;
using namespace korthal::rinex;
using namespace korthal::test;

namespace {

std::string dataFile(const std::string& name)
{
    return std::string(KORTHAL_SHARED_DATA) + "/rinex/" + name;
}

struct Keep : ObservationSink {
    Header head;
    std::vector<ObservationRecord> records;
    void header(const Header& h) override { head = h; }
    void record(const ObservationRecord& r) override { records.push_back(r); }
};

std::string pad(std::string s, const std::string& label)
{
    s.resize(60, ' ');
    return s + label + "\n";
}

}  // namespace

// Which code fills which type, by the priority of RinexCodes.h, as the
// header of each file allows; the counts as the files hold them.
TEST(Rinex3Reader, GpsCodesFillTheRinex2TypesByPriority)
{
    struct Case {
        const char* file;
        const char* codes;
        std::int64_t epochs, records, skipped;
    };
    for (const Case& c : {
             Case{"DUTH0630.22O", "C1=C1C L1=L1C D1=D1C S1=S1C P2=C2W L2=L2W D2=D2W S2=S2W", 3, 29, 23},
             Case{"NOA10630.22O", "C1=C1C L1=L1C D1=D1C S1=S1C P2=C2W L2=L2W D2=D2W S2=S2W", 4, 36, 0},
             // L2C tracked beside L2W: C2 from C2S, the phase still from L2W.
             Case{"LARM0630.22O",
                  "C1=C1C L1=L1C D1=D1C S1=S1C C2=C2S P2=C2W L2=L2W D2=D2W S2=S2W C5=C5Q L5=L5Q "
                  "D5=D5Q S5=S5Q",
                  6, 60, 48},
             Case{"gps.23O.gz", "C1=C1C L1=L1C D1=D1C S1=S1C", 216, 953, 0},
             // RINEX 4.00 in Compact RINEX: P1 from C1W, C2 from C2L.
             Case{"KMS300DNK_R_20221591000_01H_30S_MO.crx",
                  "C1=C1C P1=C1W L1=L1C C2=C2L P2=C2W L2=L2W C5=C5Q L5=L5Q", 19, 173, 746},
         }) {
        Keep k;
        const ReadResult r = readObservationFile(dataFile(c.file), k);
        ASSERT_TRUE(r.ok()) << c.file << ": " << r.message;
        EXPECT_EQ(codeSourcesText(r.header.sources), c.codes) << c.file;
        EXPECT_EQ(r.stats.epochs, c.epochs) << c.file;
        EXPECT_EQ(r.stats.records, c.records) << c.file;
        EXPECT_EQ(r.stats.skipped, c.skipped) << c.file;
        EXPECT_EQ(static_cast<std::size_t>(r.header.nTypes), r.header.sources.size());
        EXPECT_NE(readSummary(r).find(std::string("κωδικοί RINEX 3: ") + c.codes), std::string::npos);
    }
    // One record, value by value: DUTH's G01 of the first epoch.
    Keep k;
    ASSERT_TRUE(readObservationFile(dataFile("DUTH0630.22O"), k).ok());
    const ObservationRecord& g01 = k.records.front();
    EXPECT_EQ(g01.prn, 1);
    EXPECT_EQ(g01.year * 10000 + g01.month * 100 + g01.day, 20220304);
    EXPECT_DOUBLE_EQ(g01.slotValues[SlotC1].value, 20243517.560);
    EXPECT_DOUBLE_EQ(g01.slotValues[SlotL1].value, 106380411.418);
    EXPECT_EQ(g01.slotValues[SlotL1].lli, 0);
    EXPECT_EQ(g01.slotValues[SlotL1].strength, 8);
    EXPECT_DOUBLE_EQ(g01.slotValues[SlotP2].value, 20243518.680);
    EXPECT_DOUBLE_EQ(g01.slotValues[SlotD2].value, -968.395);
    EXPECT_DOUBLE_EQ(g01.slotValues[SlotC2].value, 0);
}

// The first two epochs of NOA10630.22O written again by hand as RINEX 2.11
// (types C1 L1 D1 S1 P2 L2 D2 S2: the codes' RINEX 2 names, five fields a
// line) give the same records as the RINEX 3 text.
TEST(Rinex3Reader, Rinex211AndRinex3GiveTheSameRecords)
{
    const std::string three = readBytes(dataFile("NOA10630.22O"));
    const std::size_t body = three.find('\n', three.find("END OF HEADER")) + 1;
    std::string two =
        pad("     2.11           OBSERVATION DATA    G (GPS)", "RINEX VERSION / TYPE") +
        pad("     8    C1    L1    D1    S1    P2    L2    D2    S2", "# / TYPES OF OBSERV") +
        pad("", "END OF HEADER");
    std::string threeCut = three.substr(0, body);
    std::istringstream lines(three.substr(body));
    std::string line;
    int epochs = 0;
    while (std::getline(lines, line) && !(line[0] == '>' && ++epochs > 2)) {
        threeCut += line + "\n";
        if (line[0] == '>') {
            // "> 2022 03 04 00 00  0.0000000  0  9" -> " 22  3  4  0  0  0.0000000  0  9G01..."
            const int n = std::stoi(line.substr(32, 3));
            char head[64];
            std::snprintf(head, sizeof head, " %02d %2d %2d %2d %2d%11s  %c%3d", std::stoi(line.substr(4, 2)),
                          std::stoi(line.substr(7, 2)), std::stoi(line.substr(10, 2)),
                          std::stoi(line.substr(13, 2)), std::stoi(line.substr(16, 2)),
                          line.substr(18, 11).c_str(), line[31], n);
            std::string sats, data;
            for (int s = 0; s < n && std::getline(lines, line); ++s) {
                threeCut += line + "\n";
                sats += line.substr(0, 3);
                const std::string fields = line.substr(3);
                data += fields.substr(0, 80) + "\n" + (fields.size() > 80 ? fields.substr(80) : "") + "\n";
            }
            two += head + sats + "\n" + data;
        }
    }
    Keep a, b;
    const ReadResult ra = readObservationText(two, "noa1.22o", a);
    const ReadResult rb = readObservationText(threeCut, "noa1.rnx", b);
    ASSERT_TRUE(ra.ok()) << ra.message;
    ASSERT_TRUE(rb.ok()) << rb.message;
    EXPECT_EQ(a.head.types, b.head.types);
    ASSERT_EQ(a.records.size(), 18u);
    ASSERT_EQ(a.records.size(), b.records.size());
    for (std::size_t i = 0; i < a.records.size(); ++i) {
        const ObservationRecord &x = a.records[i], &y = b.records[i];
        EXPECT_EQ(std::tie(x.epoxh, x.year, x.month, x.day, x.hour, x.min, x.sec, x.flag, x.prn),
                  std::tie(y.epoxh, y.year, y.month, y.day, y.hour, y.min, y.sec, y.flag, y.prn));
        for (std::size_t s = 1; s <= kSlotCount; ++s) {
            EXPECT_EQ(x.slotValues[s].value, y.slotValues[s].value) << i << " " << s;
            EXPECT_EQ(x.slotValues[s].lli, y.slotValues[s].lli);
            EXPECT_EQ(x.slotValues[s].strength, y.slotValues[s].strength);
        }
    }
}

// Informational lines that break their columns are read by their fields,
// or left empty, with a warning naming the line; the reading goes on.
TEST(Rinex3Reader, InformationalHeaderLinesAreReadLeniently)
{
    struct Case {
        std::string line;    // the header line
        bool position;       // read?
        double x;            // X, or the interval
        std::string warning; // part of the warning, empty for none
    };
    const std::string epochs = " 21  1  1  0  0  0.0000000  0  1G07\n  24767686.375\n";
    for (const Case& c : {
             Case{pad("  4362689.8809  2026647.9686  4174234.2239", "APPROX POSITION XYZ"), true,
                  4362689.8809, ""},
             // A RINEX 2.10 writer that put the numbers one column right.
             Case{pad("   4362689.8809  2026647.9686  4174234.2239", "APPROX POSITION XYZ"), true,
                  4362689.8809, "διαβάστηκαν από τα κενά"},
             // Numbers that touch read by their columns alone.
             Case{pad("-4362689.88090-2026647.96860-4174234.22390", "APPROX POSITION XYZ"), true,
                  -4362689.8809, ""},
             Case{pad("  4362689.8809  unknown", "APPROX POSITION XYZ"), false, 0,
                  "δεν διαβάζεται και μένει κενή"},
             Case{pad("    30.000", "INTERVAL"), true, 30, ""},
             Case{pad("  thirty", "INTERVAL"), false, 0, "δεν διαβάζεται και μένει κενή"},
         }) {
        Keep k;
        const ReadResult r = readObservationText(
            pad("     2.10           OBSERVATION DATA    G (GPS)", "RINEX VERSION / TYPE") +
                pad("     1    C1", "# / TYPES OF OBSERV") + c.line + pad("", "END OF HEADER") +
                epochs,
            "t.21o", k);
        ASSERT_TRUE(r.ok()) << c.line << r.message;
        EXPECT_EQ(k.records.size(), 1u);
        const bool isInterval = c.line.find("INTERVAL") != std::string::npos;
        EXPECT_EQ(isInterval ? r.header.hasInterval : r.header.hasPosition, c.position) << c.line;
        EXPECT_DOUBLE_EQ(isInterval ? r.header.interval : r.header.Xo, c.x) << c.line;
        if (c.warning.empty()) {
            EXPECT_EQ(r.warnings.count, 0) << c.line;
        } else {
            ASSERT_EQ(r.warnings.count, 1) << c.line;
            EXPECT_EQ(r.warnings.kept[0].line, 3);
            const std::string message = findingsMessage(r, "t.21o");
            EXPECT_NE(message.find("γραμμή 3: "), std::string::npos) << message;
            EXPECT_NE(message.find(c.warning), std::string::npos) << message;
        }
    }
}

TEST(Rinex3Reader, ScaleFactorsDivideTheirTypes)
{
    const std::string text =
        pad("     3.04           OBSERVATION DATA    G (GPS)", "RINEX VERSION / TYPE") +
        pad("G    2 C1C L1C", "SYS / # / OBS TYPES") +
        pad("G   10  1 L1C", "SYS / SCALE FACTOR") + pad("", "END OF HEADER") +
        "> 2021 01 01 00 00  0.0000000  0  2\n"
        "G07  20176608.780  1060288021.180 8\n"
        "E11  20176608.780  1060288021.180 8\n";
    Keep k;
    const ReadResult r = readObservationText(text, "t.rnx", k);
    ASSERT_TRUE(r.ok()) << r.message;
    ASSERT_EQ(k.records.size(), 1u);
    EXPECT_DOUBLE_EQ(k.records[0].slotValues[SlotC1].value, 20176608.780);
    EXPECT_DOUBLE_EQ(k.records[0].slotValues[SlotL1].value, 106028802.118);
    EXPECT_EQ(k.records[0].slotValues[SlotL1].strength, 8);
    EXPECT_EQ(r.stats.skipped, 1);
}
