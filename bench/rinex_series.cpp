// The chart data of a day of 1-second observations (RinexDay.h): the lines
// of one observable taken from the table, and the thinning of every line to
// the pixel columns of a plot.

#include "bench/RinexDay.h"
#include "views/RinexSeries.h"

#include <benchmark/benchmark.h>

namespace {

using namespace korthal;

const RinexTable& day() { return bench::observationDay(); }

void BM_BuildChartSeries(benchmark::State& state)
{
    const MemTable& t = day().table();
    std::int64_t points = 0;
    for (auto _ : state) {
        const rinex::ChartSeries c = rinex::buildChartSeries(t, rinex::SlotL1);
        points = c.points;
        benchmark::DoNotOptimize(c.satellites.data());
    }
    state.counters["records"] = t.recordCount();
    state.counters["points"] = static_cast<double>(points);
}
BENCHMARK(BM_BuildChartSeries)->Unit(benchmark::kMillisecond)->UseRealTime();

// Every line of the day thinned for a plot `columns` pixels wide, over the
// whole day (range(1) = 0) or over one hour (a zoom).
void BM_ThinForPlot(benchmark::State& state)
{
    const rinex::ChartSeries c = rinex::buildChartSeries(day().table(), rinex::SlotC1);
    const int columns = static_cast<int>(state.range(0));
    const std::int32_t from = state.range(1) ? 36000000 : 0;
    const std::int32_t to = state.range(1) ? 39600000 : 86399000;
    std::size_t kept = 0;
    for (auto _ : state) {
        kept = 0;
        for (const rinex::SatelliteSeries& s : c.satellites)
            kept += rinex::thinForColumns(s.points, from, to, columns).size();
        benchmark::DoNotOptimize(kept);
    }
    state.counters["points"] = static_cast<double>(c.points);
    state.counters["kept"] = static_cast<double>(kept);
}
BENCHMARK(BM_ThinForPlot)->Args({500, 0})->Args({1900, 0})->Args({500, 1})
    ->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
