#include "views/RinexSeries.h"

#include "views/RinexReader.h"
#include "views/RinexTable.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>

namespace korthal::rinex {

double chartFactor(int slot)
{
    if (slot == SlotL1)
        return kWavelengthL1;
    if (slot == SlotL2)
        return kWavelengthL2;
    return 1.0;
}

bool chartInCycles(int slot)
{
    return slot == SlotD1 || slot == SlotD2;
}

bool encodeTimeOfDay(long long hour, long long minute, double seconds, std::int32_t& ms)
{
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || !(seconds >= 0) || !(seconds < 60))
        return false;
    // Cut to the millisecond; the small allowance keeps 30.004, which a
    // double holds as 30.00399999..., at 4 ms.
    const auto milli = static_cast<std::int32_t>(std::floor(seconds * 1000.0 + 1e-6));
    ms = static_cast<std::int32_t>((hour * 60 + minute) * 60000) + std::min(milli, 59999);
    return true;
}

std::string formatTimeOfDay(std::int32_t ms)
{
    char buf[32];
    std::snprintf(buf, sizeof buf, "%02d:%02d:%02d.%03d", ms / 3600000, ms / 60000 % 60,
                  ms / 1000 % 60, ms % 1000);
    return buf;
}

TimeTicks roundTimeTicks(std::int32_t from, std::int32_t to, int maxIntervals)
{
    static constexpr std::int32_t kSecond = 1000, kMinute = 60 * kSecond, kHour = 60 * kMinute;
    static constexpr std::int32_t kSteps[] = {
        kSecond,      2 * kSecond,  5 * kSecond,  10 * kSecond, 15 * kSecond, 30 * kSecond,
        kMinute,      2 * kMinute,  5 * kMinute,  10 * kMinute, 15 * kMinute, 30 * kMinute,
        kHour,        2 * kHour,    3 * kHour,    4 * kHour,    6 * kHour,    12 * kHour,
        24 * kHour};
    if (to < from)
        std::swap(from, to);
    maxIntervals = std::max(maxIntervals, 1);
    TimeTicks t;
    for (const std::int32_t step : kSteps) {
        // Floor and ceiling in whole steps, also for times before midnight.
        const auto down = [step](std::int64_t v) {
            return (v >= 0 ? v / step : -((-v + step - 1) / step)) * step;
        };
        const std::int64_t a = down(from);
        std::int64_t b = down(to);
        if (b < to)
            b += step;
        if (b == a)
            b += step;
        t = TimeTicks{static_cast<std::int32_t>(a), static_cast<std::int32_t>(b), step,
                      static_cast<int>((b - a) / step) + 1};
        if ((b - a) / step <= maxIntervals)
            break;
    }
    return t;
}

std::string SatelliteSeries::title() const
{
    char buf[16];
    std::snprintf(buf, sizeof buf, "G%02d", prn);
    return buf;
}

std::string ChartSeries::badTimeMessage() const
{
    if (badTimes == 0)
        return {};
    SatelliteSeries first;
    first.prn = firstBadPrn;
    return "Η ώρα " + std::to_string(badTimes) +
           (badTimes == 1 ? " εγγραφής" : " εγγραφών") +
           " δεν είναι ώρα της ημέρας (η πρώτη: εποχή " + std::to_string(firstBadEpoch) +
           ", δορυφόρος " + first.title() + ", ώρα \"" + firstBadTime +
           "\"). Αυτές οι εγγραφές δεν φαίνονται στο γράφημα.";
}

ChartSeries buildChartSeries(const MemTable& t, int slot)
{
    ChartSeries out;
    out.slot = slot;
    const int field = rnx::valueFieldOfSlot(slot);
    if (field < 0)
        return out;
    const double factor = chartFactor(slot);

    // Satellite numbers index their line directly; others (a damaged or
    // foreign table) go through a search.
    constexpr int kDirect = 256;
    std::array<int, kDirect> lineOf;
    lineOf.fill(-1);
    std::vector<SatelliteSeries> lines;
    auto lineFor = [&](long long prn) -> SatelliteSeries& {
        if (prn >= 0 && prn < kDirect) {
            int& k = lineOf[static_cast<std::size_t>(prn)];
            if (k < 0) {
                k = static_cast<int>(lines.size());
                lines.push_back(SatelliteSeries{static_cast<int>(prn), {}});
            }
            return lines[static_cast<std::size_t>(k)];
        }
        for (SatelliteSeries& s : lines)
            if (s.prn == prn)
                return s;
        lines.push_back(SatelliteSeries{static_cast<int>(prn), {}});
        return lines.back();
    };

    const int n = t.recordCount();
    for (int row = 0; row < n; ++row) {
        const Rec r = t.recAt(row);
        SatelliteSeries& line = lineFor(t.getInteger(r, rnx::PRN));
        const double y = t.getFloat(r, field) * factor;
        if (y == 0)
            continue;
        std::int32_t ms = 0;
        if (!encodeTimeOfDay(t.getInteger(r, rnx::Hour), t.getInteger(r, rnx::min),
                             t.getFloat(r, rnx::sec), ms)) {
            if (out.badTimes++ == 0) {
                out.firstBadEpoch = static_cast<int>(t.getInteger(r, rnx::epoxh));
                out.firstBadPrn = line.prn;
                out.firstBadTime = t.text(r, rnx::Time);
            }
            continue;
        }
        line.points.push_back(SeriesPoint{ms, y});
        ++out.points;
    }
    std::sort(lines.begin(), lines.end(),
              [](const SatelliteSeries& a, const SatelliteSeries& b) { return a.prn < b.prn; });
    out.satellites = std::move(lines);
    return out;
}

std::vector<std::uint32_t> thinForColumns(const std::vector<SeriesPoint>& p, std::int32_t from,
                                          std::int32_t to, int columns)
{
    std::vector<std::uint32_t> keep;
    const std::size_t n = p.size();
    if (n == 0)
        return keep;
    columns = std::max(columns, 1);
    if (to <= from)
        to = from + 1;
    auto side = [&](std::size_t i) { return p[i].ms < from ? -1 : p[i].ms > to ? 1 : 0; };

    std::size_t inSpan = 0;
    for (const SeriesPoint& q : p)
        inSpan += q.ms >= from && q.ms <= to;
    const bool thin = inSpan > 4 * static_cast<std::size_t>(columns);
    const double scale = static_cast<double>(columns) / static_cast<double>(to - from);
    auto column = [&](std::size_t i) {
        return std::min(columns - 1, static_cast<int>((p[i].ms - from) * scale));
    };

    // The run of consecutive points in one column.
    int runColumn = -1;
    std::size_t first = 0, last = 0, low = 0, high = 0;
    auto flush = [&] {
        if (runColumn < 0)
            return;
        std::size_t pick[4] = {first, low, high, last};
        std::sort(pick, pick + 4);
        for (std::size_t k = 0; k < 4; ++k)
            if (k == 0 || pick[k] != pick[k - 1])
                keep.push_back(static_cast<std::uint32_t>(pick[k]));
        runColumn = -1;
    };

    for (std::size_t i = 0; i < n; ++i) {
        const int s = side(i);
        if (s != 0) {
            // Outside the span: kept where the line goes into it or across it.
            const bool crosses = (i > 0 && side(i - 1) != s) || (i + 1 < n && side(i + 1) != s);
            if (crosses) {
                flush();
                keep.push_back(static_cast<std::uint32_t>(i));
            }
            continue;
        }
        if (!thin) {
            keep.push_back(static_cast<std::uint32_t>(i));
            continue;
        }
        const int c = column(i);
        if (c != runColumn) {
            flush();
            runColumn = c;
            first = last = low = high = i;
            continue;
        }
        last = i;
        if (p[i].value < p[low].value)
            low = i;
        if (p[i].value > p[high].value)
            high = i;
    }
    flush();
    return keep;
}

std::vector<SlipMark> slipMarks(const ChartSeries& series, const std::vector<SlipAt>& slips)
{
    std::vector<SlipMark> out;
    for (const SlipAt& s : slips)
        for (const SatelliteSeries& line : series.satellites) {
            if (line.prn != s.prn)
                continue;
            for (const SeriesPoint& p : line.points)
                if (std::abs(p.ms - s.ms) <= 1) {
                    out.push_back({s.prn, p.ms, p.value});
                    break;
                }
        }
    return out;
}

}  // namespace korthal::rinex
