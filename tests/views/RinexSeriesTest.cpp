// The chart data of an observation table: lines per satellite, wavelength
// factors, zeros left out, times of day, and the thinning for drawing.

#include "views/RinexSeries.h"

#include "project/Dialogs.h"
#include "support/Files.h"
#include "views/RinexReader.h"
#include "views/RinexTable.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>

using namespace korthal;
using namespace korthal::rinex;
using namespace korthal::test;

namespace {

std::string dataFile(const std::string& name)
{
    return std::string(KORTHAL_SHARED_DATA) + "/rinex/" + name;
}

// Counts, straight from the reader, the non-zero observations per satellite.
struct CountingSink : ObservationSink {
    int slot = 0;
    std::map<int, int> nonZero;
    std::map<int, int> records;
    void header(const Header&) override {}
    void record(const ObservationRecord& r) override
    {
        ++records[r.prn];
        if (r.slotValues[static_cast<std::size_t>(slot)].value != 0)
            ++nonZero[r.prn];
    }
};

struct ReadTable {
    TempDir dir{"rinex_series"};
    RinexTable rt;
    explicit ReadTable(const std::string& file)
    {
        rt.RinexFileName = dir.file("P000001.RNX");
        EXPECT_TRUE(rt.readObservations(dataFile(file), true).ok());
    }
};

const SatelliteSeries* line(const ChartSeries& c, int prn)
{
    for (const SatelliteSeries& s : c.satellites)
        if (s.prn == prn)
            return &s;
    return nullptr;
}

const SeriesPoint* pointAt(const SatelliteSeries& s, std::int32_t ms)
{
    for (const SeriesPoint& p : s.points)
        if (p.ms == ms)
            return &p;
    return nullptr;
}

}  // namespace

TEST(RinexSeries, LinesPerSatelliteFromARealFile)
{
    ReadTable t("07590920.05o");
    for (int slot : {int(SlotL1), int(SlotC1), int(SlotL2), int(SlotP2), int(SlotC2)}) {
        CountingSink sink;
        sink.slot = slot;
        ASSERT_TRUE(readObservationFile(dataFile("07590920.05o"), sink).ok());
        const ChartSeries c = buildChartSeries(t.rt.table(), slot);
        EXPECT_EQ(c.badTimes, 0);
        // Every satellite of the table has a line, in number order, with a
        // point for each observation that is not 0.
        ASSERT_EQ(c.satellites.size(), sink.records.size()) << slot;
        std::int64_t total = 0;
        for (const SatelliteSeries& s : c.satellites) {
            EXPECT_EQ(static_cast<int>(s.points.size()), sink.nonZero[s.prn]) << slot << " " << s.prn;
            total += static_cast<std::int64_t>(s.points.size());
            // Times run forward, as the epochs do.
            EXPECT_TRUE(std::is_sorted(s.points.begin(), s.points.end(),
                                       [](auto& a, auto& b) { return a.ms < b.ms; }));
        }
        EXPECT_EQ(c.points, total);
        EXPECT_TRUE(std::is_sorted(c.satellites.begin(), c.satellites.end(),
                                   [](auto& a, auto& b) { return a.prn < b.prn; }));
    }
    // C2 is not in the file: eleven lines, all empty, still listed.
    const ChartSeries c2 = buildChartSeries(t.rt.table(), SlotC2);
    EXPECT_EQ(c2.satellites.size(), 11u);
    EXPECT_EQ(c2.points, 0);
    EXPECT_EQ(c2.satellites.front().title(), "G01");
    EXPECT_EQ(c2.satellites.back().title(), "G28");
}

TEST(RinexSeries, ValuesInTheChartsUnitAtTheTimeOfDay)
{
    ReadTable t("07590920.05o");
    // Epoch 00:45:30.004, satellite 7: L1 -1721275.980 C1 24165911.179
    // L2 -1339679.243 P2 24165907.723 (file line 813).
    const std::int32_t at = (45 * 60 + 30) * 1000 + 4;
    struct Case {
        int slot;
        double expected;
    } cases[] = {{SlotL1, -1721275.980 * 0.190293672883},
                 {SlotL2, -1339679.243 * 0.244210213534},
                 {SlotC1, 24165911.179},
                 {SlotP2, 24165907.723}};
    for (const Case& k : cases) {
        const ChartSeries c = buildChartSeries(t.rt.table(), k.slot);
        const SatelliteSeries* g07 = line(c, 7);
        ASSERT_NE(g07, nullptr);
        const SeriesPoint* p = pointAt(*g07, at);
        ASSERT_NE(p, nullptr) << k.slot;
        EXPECT_DOUBLE_EQ(p->value, k.expected) << k.slot;
    }
    // Satellite 4 has no L2 at that epoch (blank field): no point there.
    const ChartSeries l1 = buildChartSeries(t.rt.table(), SlotL1);
    const ChartSeries l2 = buildChartSeries(t.rt.table(), SlotL2);
    const SatelliteSeries* g04L1 = line(l1, 4);
    const SatelliteSeries* g04L2 = line(l2, 4);
    ASSERT_TRUE(g04L1 && g04L2);
    EXPECT_NE(pointAt(*g04L1, at), nullptr);
    EXPECT_EQ(pointAt(*g04L2, at), nullptr);

    // The order of the table does not change what a satellite's line holds.
    const ChartSeries byEpoch = buildChartSeries(t.rt.table(), SlotL1);
    ASSERT_TRUE(t.rt.table().setIndex("byPRN"));
    const ChartSeries bySatellite = buildChartSeries(t.rt.table(), SlotL1);
    ASSERT_EQ(byEpoch.satellites.size(), bySatellite.satellites.size());
    for (std::size_t i = 0; i < byEpoch.satellites.size(); ++i) {
        const auto& a = byEpoch.satellites[i].points;
        const auto& b = bySatellite.satellites[i].points;
        ASSERT_EQ(a.size(), b.size());
        for (std::size_t k = 0; k < a.size(); ++k)
            EXPECT_TRUE(a[k].ms == b[k].ms && a[k].value == b[k].value);
    }
    // The offset of "συσχέτιση" is the line's first value.
    const SatelliteSeries* g07 = line(byEpoch, 7);
    ASSERT_TRUE(g07 && !g07->points.empty());
    EXPECT_EQ(g07->offset(), g07->points.front().value);
    EXPECT_EQ(SatelliteSeries{}.offset(), 0.0);
}

TEST(RinexSeries, TimesOfDay)
{
    std::int32_t ms = -1;
    EXPECT_TRUE(encodeTimeOfDay(0, 45, 30.004, ms));
    EXPECT_EQ(ms, 2730004);
    EXPECT_EQ(formatTimeOfDay(ms), "00:45:30.004");
    EXPECT_TRUE(encodeTimeOfDay(23, 59, 59.9999999, ms));
    EXPECT_EQ(formatTimeOfDay(ms), "23:59:59.999");
    EXPECT_TRUE(encodeTimeOfDay(9, 5, 7.0, ms));
    EXPECT_EQ(formatTimeOfDay(ms), "09:05:07.000");
    // A seconds value of 60 carried into minute 59 makes minute 60.
    EXPECT_FALSE(encodeTimeOfDay(10, 60, 0, ms));
    EXPECT_FALSE(encodeTimeOfDay(24, 0, 0, ms));
    EXPECT_FALSE(encodeTimeOfDay(-1, 0, 0, ms));
    EXPECT_FALSE(encodeTimeOfDay(1, 0, 60.0, ms));
    EXPECT_FALSE(encodeTimeOfDay(1, 0, -0.5, ms));
}

TEST(RinexSeries, TimeAxisTicksFallOnRoundTimes)
{
    constexpr std::int32_t s = 1000, m = 60 * s, h = 60 * m;
    // A day of 1-second epochs: every 4 hours, from midnight to midnight.
    TimeTicks t = roundTimeTicks(0, 23 * h + 59 * m + 59 * s, 6);
    EXPECT_EQ(t.from, 0);
    EXPECT_EQ(t.to, 24 * h);
    EXPECT_EQ(t.step, 4 * h);
    EXPECT_EQ(t.ticks, 7);
    EXPECT_EQ(roundTimeTicks(0, 23 * h + 59 * m + 59 * s, 8).step, 3 * h);
    // A session of 10:17:30 to 12:04:00: every 15 minutes from 10:15 to 12:15.
    t = roundTimeTicks(10 * h + 17 * m + 30 * s, 12 * h + 4 * m, 8);
    EXPECT_EQ(t.from, 10 * h + 15 * m);
    EXPECT_EQ(t.to, 12 * h + 15 * m);
    EXPECT_EQ(t.step, 15 * m);
    EXPECT_EQ(t.ticks, 9);
    // Ends already on round times stay; the span never shrinks.
    t = roundTimeTicks(2 * h, 3 * h, 6);
    EXPECT_EQ(t.from, 2 * h);
    EXPECT_EQ(t.to, 3 * h);
    EXPECT_EQ(t.step, 10 * m);
    // One epoch widened by half a minute each side, across midnight.
    t = roundTimeTicks(-30 * s, 30 * s, 8);
    EXPECT_EQ(t.from, -30 * s);
    EXPECT_EQ(t.to, 30 * s);
    EXPECT_EQ(t.step, 10 * s);
    EXPECT_EQ(t.ticks, 7);
    // A single instant still spans one step.
    t = roundTimeTicks(5 * s, 5 * s, 8);
    EXPECT_LT(t.from, t.to);
    EXPECT_EQ(t.ticks, 2);
}

TEST(RinexSeries, RecordsWithNoTimeOfDayAreReportedOnce)
{
    RecordingDialogs rec;
    RinexTable rt;
    MemTable& t = rt.table();
    ObservationRecord o;
    o.year = 2021, o.month = 1, o.day = 1;
    o.hour = 10;
    o.prn = 5;
    for (int k = 0; k < 5; ++k) {
        o.epoxh = k + 1;
        o.min = 58 + k;  // 58, 59, then three records of minutes 60 to 62
        o.slotValues[SlotC1].value = 20000000.0 + k;
        appendObservation(t, o);
    }
    const ChartSeries c = buildChartSeries(t, SlotC1);
    ASSERT_EQ(c.satellites.size(), 1u);
    EXPECT_EQ(c.satellites[0].points.size(), 2u);
    EXPECT_EQ(c.badTimes, 3);
    EXPECT_EQ(c.firstBadEpoch, 3);
    EXPECT_EQ(c.firstBadPrn, 5);
    const std::string msg = c.badTimeMessage();
    EXPECT_NE(msg.find("3 εγγραφών"), std::string::npos) << msg;
    EXPECT_NE(msg.find("εποχή 3"), std::string::npos) << msg;
    EXPECT_NE(msg.find("G05"), std::string::npos) << msg;
    EXPECT_NE(msg.find("10 : 60"), std::string::npos) << msg;
    // Building reports nothing itself: the caller shows the one message.
    EXPECT_TRUE(rec.entries.empty());
    EXPECT_EQ(buildChartSeries(t, SlotL1).badTimeMessage(), "");  // no values, no times read
}

namespace {

// The lowest and highest value of the points of each column.
std::map<int, std::pair<double, double>> columnExtremes(const std::vector<SeriesPoint>& p,
                                                        const std::vector<std::uint32_t>& keep,
                                                        std::int32_t from, std::int32_t to,
                                                        int columns, bool all)
{
    std::map<int, std::pair<double, double>> out;
    auto add = [&](const SeriesPoint& q) {
        if (q.ms < from || q.ms > to)
            return;
        const int c = std::min(columns - 1, int((q.ms - from) * double(columns) / (to - from)));
        auto [it, fresh] = out.emplace(c, std::make_pair(q.value, q.value));
        if (!fresh) {
            it->second.first = std::min(it->second.first, q.value);
            it->second.second = std::max(it->second.second, q.value);
        }
    };
    if (all)
        for (const SeriesPoint& q : p)
            add(q);
    else
        for (std::uint32_t i : keep)
            add(p[i]);
    return out;
}

}  // namespace

TEST(RinexSeries, ThinningKeepsWhatEachColumnShows)
{
    // A day at 1 s of a wavy line.
    std::vector<SeriesPoint> p;
    for (std::int32_t s = 0; s < 86400; ++s)
        p.push_back({s * 1000, std::sin(s / 500.0) * 1000 + (s % 7) * 3.0});

    const int columns = 700;
    const auto keep = thinForColumns(p, 0, 86399000, columns);
    EXPECT_LE(keep.size(), 4u * columns);
    EXPECT_GE(keep.size(), 2u * columns);
    EXPECT_TRUE(std::is_sorted(keep.begin(), keep.end()));
    EXPECT_EQ(keep.front(), 0u);
    EXPECT_EQ(keep.back(), p.size() - 1);
    EXPECT_EQ(columnExtremes(p, keep, 0, 86399000, columns, false),
              columnExtremes(p, keep, 0, 86399000, columns, true));

    // Zoomed into an hour: the points around it where the line enters and
    // leaves, and every column's extremes inside.
    const std::int32_t from = 36000000, to = 39600000;
    const auto zoom = thinForColumns(p, from, to, columns);
    EXPECT_EQ(p[zoom.front()].ms, from - 1000);
    EXPECT_EQ(p[zoom.back()].ms, to + 1000);
    EXPECT_EQ(columnExtremes(p, zoom, from, to, columns, false),
              columnExtremes(p, zoom, from, to, columns, true));

    // Few points in the span: all are kept.
    const auto close = thinForColumns(p, from, from + 600000, columns);
    EXPECT_EQ(close.size(), 601u + 2u);

    // A line that crosses the span between two points keeps both.
    const std::vector<SeriesPoint> gap{{0, 1}, {1000, 2}, {90000, 3}, {91000, 4}};
    EXPECT_EQ(thinForColumns(gap, 5000, 6000, 100), (std::vector<std::uint32_t>{1, 2}));
    EXPECT_TRUE(thinForColumns({}, 0, 1, 10).empty());
}
