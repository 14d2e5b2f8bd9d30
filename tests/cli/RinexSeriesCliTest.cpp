// korthal-cli rinex-series: the chart data of an observation table, and
// korthal-cli rinex on a file whose reading stops part way.

#include "support/RunCli.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <sstream>
#include <string>

namespace fs = std::filesystem;

namespace {

using namespace korthal::test;

std::string shared(const std::string& name)
{
    return std::string(KORTHAL_SHARED_DATA) + "/rinex/" + name;
}

// A table of 07590920.05o in `dir`.
std::string makeTable(const fs::path& dir)
{
    const std::string rnx = (dir / "P.RNX").string();
    const CliResult r = runCli("rinex \"" + shared("07590920.05o") + "\" --out \"" + rnx + "\"");
    EXPECT_EQ(r.status, 0) << r.err;
    return rnx;
}

struct Line {
    std::string sat, time;
    double value = 0;
};

std::vector<Line> parse(const std::string& out)
{
    std::vector<Line> lines;
    std::istringstream in(out);
    Line l;
    while (in >> l.sat >> l.time >> l.value)
        lines.push_back(l);
    return lines;
}

}  // namespace

TEST(CliRinexSeries, PrintsTheChartDataSatelliteBySatellite)
{
    TempDir dir("rinex_series");
    const std::string rnx = makeTable(dir.path);

    const CliResult l1 = runCli("rinex-series \"" + rnx + "\" --type L1");
    ASSERT_EQ(l1.status, 0) << l1.err;
    EXPECT_EQ(l1.err, "");
    const std::vector<Line> lines = parse(l1.out);
    // One line per point: 80 of satellite 1 first, in time order.
    std::map<std::string, int> count;
    for (const Line& l : lines)
        ++count[l.sat];
    EXPECT_EQ(count.size(), 11u);
    EXPECT_EQ(count["G07"], 120);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.front().sat, "G01");
    EXPECT_EQ(lines.back().sat, "G28");
    EXPECT_TRUE(std::is_sorted(lines.begin(), lines.end(), [](const Line& a, const Line& b) {
        return a.sat < b.sat || (a.sat == b.sat && a.time < b.time);
    }));
    // Epoch 00:45:30.004 of satellite 7: L1 -1721275.980 cycles, in metres.
    const std::string g07 = "G07 00:45:30.004 ";
    const std::size_t at = l1.out.find(g07);
    ASSERT_NE(at, std::string::npos);
    const double v = std::strtod(l1.out.c_str() + at + g07.size(), nullptr);
    EXPECT_EQ(v, -1721275.980 * 0.190293672883);

    // --aligned: each satellite's line starts at 0, the differences stay.
    const CliResult c1 = runCli("rinex-series \"" + rnx + "\" --type=C1");
    const CliResult aligned = runCli("rinex-series \"" + rnx + "\" --type C1 --aligned");
    ASSERT_EQ(aligned.status, 0) << aligned.err;
    const auto raw = parse(c1.out), shifted = parse(aligned.out);
    ASSERT_EQ(raw.size(), shifted.size());
    double first = 0;
    for (std::size_t i = 0; i < raw.size(); ++i) {
        if (i == 0 || raw[i].sat != raw[i - 1].sat) {
            first = raw[i].value;
            EXPECT_EQ(shifted[i].value, 0.0) << raw[i].sat;
        }
        EXPECT_NEAR(shifted[i].value, raw[i].value - first, 1e-6);
        EXPECT_EQ(shifted[i].time, raw[i].time);
    }

    // A type the file does not have: no lines.
    const CliResult d1 = runCli("rinex-series \"" + rnx + "\" --type D1");
    EXPECT_EQ(d1.status, 0);
    EXPECT_EQ(d1.out, "");
}

TEST(CliRinexSeries, MissingOrUnreadableTableAndBadArguments)
{
    TempDir dir("rinex_series_bad");
    const CliResult missing = runCli("rinex-series \"" + dir.file("none.RNX") + "\" --type C1");
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.out, "");
    EXPECT_NE(missing.err.find("none.RNX"), std::string::npos) << missing.err;

    const std::string junk = writeBytes(dir.file("junk.RNX"), "not a table file");
    const CliResult unreadable = runCli("rinex-series \"" + junk + "\" --type C1");
    EXPECT_EQ(unreadable.status, 1);
    EXPECT_EQ(unreadable.out, "");
    EXPECT_NE(unreadable.err.find("junk.RNX"), std::string::npos) << unreadable.err;

    EXPECT_EQ(runCli("rinex-series \"" + junk + "\" --type S1").status, 2);
    EXPECT_EQ(runCli("rinex-series \"" + junk + "\"").status, 2);
    EXPECT_EQ(runCli("rinex-series --type C1").status, 2);
    EXPECT_EQ(runCli("rinex-series \"" + junk + "\" --type C1 --fast").status, 2);
}

TEST(CliRinex, ReadingThatStopsPartWayWritesNothing)
{
    TempDir dir("rinex_stops");
    const std::string rnx = makeTable(dir.path);
    const std::string ini = dir.file("P.INI");
    const std::string before = readBytes(rnx), iniBefore = readBytes(ini);
    const std::string broken = writeBytes(
        dir.file("broken.05o"),
        "     2.11           OBSERVATION DATA    G (GPS)             RINEX VERSION / TYPE\n"
        "     2    C1    S1                                          # / TYPES OF OBSERV\n"
        "                                                            END OF HEADER\n"
        " 05  4  2  0  0  0.0000000  0  1G01\n"
        "  23407378.219\n"
        " 05  4  2  0  0 30.0000000  0  xG01\n");
    const CliResult r = runCli("rinex \"" + broken + "\" --out \"" + rnx + "\"");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find("γραμμή 6"), std::string::npos) << r.err;
    EXPECT_EQ(readBytes(rnx), before);
    EXPECT_EQ(readBytes(ini), iniBefore);
}
