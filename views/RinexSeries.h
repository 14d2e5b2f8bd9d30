#pragma once
// The data of the observation charts: for one observable, one line per
// satellite of (time of day, value) points, taken from a point's observation
// table (RinexTable.h).
//
// Plain data, no drawing: the viewer's chart shows it, `korthal-cli
// rinex-series` prints it, the tests check it without a screen. The viewer
// draws a long line through thinForColumns, which keeps per pixel column only
// the points that decide what the column shows.

#include "table/MemTable.h"

#include <cstdint>
#include <string>
#include <vector>

namespace korthal::rinex {

// Carrier wavelengths (m) that bring the phases L1 and L2 from cycles to metres.
inline constexpr double kWavelengthL1 = 0.190293672883;
inline constexpr double kWavelengthL2 = 0.244210213534;

// The factor from the table's value of an observable (a reader slot, 1 = C1
// ... 8 = D2) to the chart's: the wavelength for L1 and L2, 1 for the others.
double chartFactor(int slot);
// Whether the chart's values are cycles (D1, D2) rather than metres.
bool chartInCycles(int slot);

// The time of day of an epoch in milliseconds (the seconds' fraction cut to
// the millisecond). False when it is no time of a day: an hour outside 0-23,
// a minute outside 0-59 (a seconds value of 60 carried into minute 59 gives
// minute 60) or seconds outside [0, 60).
bool encodeTimeOfDay(long long hour, long long minute, double seconds, std::int32_t& ms);
// "hh:mm:ss.sss" of a time of day in milliseconds.
std::string formatTimeOfDay(std::int32_t ms);

// The time axis of a chart showing the times [from, to] (ms of the day): a
// span widened to whole multiples of a round step (1, 2, 5, 10, 15 or 30
// seconds or minutes, or 1, 2, 3, 4, 6 or 12 hours), the smallest step that
// needs no more than `maxIntervals` intervals, so that every tick falls on a
// round time of day.
struct TimeTicks {
    std::int32_t from = 0, to = 0;  // ms of the day
    std::int32_t step = 0;          // ms between ticks
    int ticks = 0;                  // counting both ends
};
TimeTicks roundTimeTicks(std::int32_t from, std::int32_t to, int maxIntervals);

struct SeriesPoint {
    std::int32_t ms = 0;  // time of day of the epoch
    double value = 0;     // the chart's value: metres, or cycles for D1 and D2
};

struct SatelliteSeries {
    int prn = 0;
    std::vector<SeriesPoint> points;  // in the table's order
    // "G" and the satellite number in two digits: G05.
    std::string title() const;
    // What "συσχέτιση" subtracts from every value: the first one (0 for a
    // line without points), so that the line starts at 0.
    double offset() const { return points.empty() ? 0.0 : points.front().value; }
};

struct ChartSeries {
    int slot = 0;
    // One per satellite of the table, in satellite number order; a satellite
    // whose values are all 0 has a line without points.
    std::vector<SatelliteSeries> satellites;
    std::int64_t points = 0;    // in all lines
    // Records left out because their time is no time of a day, and the
    // first of them (in the table's order).
    std::int64_t badTimes = 0;
    int firstBadEpoch = 0;
    int firstBadPrn = 0;
    std::string firstBadTime;   // the table's Time text of that record

    // The one message about the records left out; empty when there are none.
    std::string badTimeMessage() const;
};

// Walks the table in its current index order. Every record adds its
// satellite's line; a record whose value is 0 (not observed) adds no point.
ChartSeries buildChartSeries(const MemTable& rinex, int slot);

// Marks on an observable's chart: a cycle slip of a satellite at the time of
// day (ms) of the first epoch after it, and a gap between two epochs.
struct SlipAt {
    int prn = 0;
    std::int32_t ms = 0;
};
struct TimeSpan {
    std::int32_t from = 0, to = 0;  // ms of the day
};
// A slip where the chart draws it: on its satellite's line, at the point of
// that epoch (a millisecond apart is the same epoch: the table's times are
// cut to the millisecond).
struct SlipMark {
    int prn = 0;
    std::int32_t ms = 0;
    double value = 0;  // the line's value there (before any shift)
};
// The slips that fall on a point of their satellite's line.
std::vector<SlipMark> slipMarks(const ChartSeries& series, const std::vector<SlipAt>& slips);

// Thinning for drawing a line of many points into `columns` pixel columns
// spanning the times [from, to]: the indexes (ascending) of the points to
// draw. Of each run of consecutive points that fall into one column it keeps
// the first, the lowest, the highest and the last, which draw that column as
// the whole run would; points outside [from, to] are kept only where the
// line crosses into the span. A line with no more than 4 points per column
// in the span keeps all its points there.
std::vector<std::uint32_t> thinForColumns(const std::vector<SeriesPoint>& points,
                                          std::int32_t from, std::int32_t to, int columns);

}  // namespace korthal::rinex
