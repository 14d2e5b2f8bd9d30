// The quality report with its sky, and the sky plot picture, for a day of
// observations on 2005-04-02, the day of the navigation file 07590920.05n:
// 30-second data of 30 satellites at every epoch (2 880 epochs, 86 400
// records; 28 of them have ephemerides) and 1-second data of 10 satellites
// (86 400 epochs, 864 000 records). The observations are simulated (smooth ranges, a slow
// ionosphere, code noise); the orbits, the look angles and every step of the
// report are the real ones.

#include "paint/Headless.h"
#include "paint/SkyPlotPainter.h"
#include "views/RinexNavigation.h"
#include "views/RinexQuality.h"
#include "views/RinexSeries.h"
#include "views/RinexTable.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>

namespace {

using namespace korthal;

const gnss::EphemerisSet& ephemerides()
{
    static const gnss::EphemerisSet set(
        rinex::readNavigationFile(std::string(KORTHAL_SHARED_DATA) + "/rinex/07590920.05n")
            .ephemerides);
    return set;
}

void fillDay(MemTable& table, int step, std::size_t satellites)
{
    // The satellites of the navigation file, and others without an
    // ephemeris (left out of the sky) to make up the number.
    std::vector<int> prns = ephemerides().satellites();
    for (int prn = 1; prn <= 32 && prns.size() < satellites; ++prn)
        if (std::find(prns.begin(), prns.end(), prn) == prns.end())
            prns.push_back(prn);
    prns.resize(std::min(prns.size(), satellites));
    constexpr double f1 = 1575.42e6, f2 = 1227.60e6, gamma = (f1 / f2) * (f1 / f2);
    std::uint64_t seed = 1;
    const auto noise = [&seed](double sigma) {
        seed = seed * 6364136223846793005ULL + 1442695040888963407ULL;
        return sigma * (static_cast<double>(seed >> 11) / 9007199254740992.0 - 0.5);
    };
    table.disableControls();
    for (int k = 0; k * step < 86400; ++k) {
        const int t = k * step;
        for (int prn : prns) {
            rinex::ObservationRecord o;
            o.epoxh = k + 1;
            o.year = 2005, o.month = 4, o.day = 2;
            o.hour = t / 3600, o.min = t / 60 % 60, o.sec = t % 60;
            o.prn = prn;
            const double rho = 2.2e7 + 1.0e5 * prn + 3.0e6 * std::sin(t / 20000.0 + prn);
            const double iono = 3.0 + std::sin(t / 30000.0);
            o.slotValues[rinex::SlotC1].value = rho + iono + noise(1.0);
            o.slotValues[rinex::SlotP2].value = rho + gamma * iono + noise(1.0);
            o.slotValues[rinex::SlotL1].value = (rho - iono) / rinex::kWavelengthL1 + 1e6;
            o.slotValues[rinex::SlotL2].value = (rho - gamma * iono) / rinex::kWavelengthL2;
            o.slotValues[rinex::SlotL1].strength = static_cast<int>(4 + prn % 5);
            o.slotValues[rinex::SlotL2].strength = static_cast<int>(3 + prn % 5);
            appendObservation(table, o);
        }
    }
    table.enableControls();
}

const RinexTable& day(int step)
{
    static RinexTable thirty, one;
    static const bool filled = (fillDay(thirty.table(), 30, 30), fillDay(one.table(), 1, 10), true);
    (void)filled;
    return step == 30 ? thirty : one;
}

void BM_QualityAndSkyPlot(benchmark::State& state)
{
    static paint::HeadlessGui gui;
    const int step = static_cast<int>(state.range(0));
    const MemTable& t = day(step).table();
    rinex::SkySource source;
    source.ephemerides = &ephemerides();
    source.navigationName = "07590920.05n";
    source.position = rinex::Position{-3976219.5082, 3382372.5671, 3652512.9849};
    std::size_t slips = 0, tracks = 0;
    for (auto _ : state) {
        const rinex::QualityReport q = rinex::computeQuality(t, source);
        const QImage image = paint::skyPlotImage(q.sky, QSize(640, 640));
        slips = q.slips.size();
        tracks = q.sky.tracks.size();
        benchmark::DoNotOptimize(image.constBits());
    }
    state.counters["records"] = t.recordCount();
    state.counters["slips"] = static_cast<double>(slips);
    state.counters["tracks"] = static_cast<double>(tracks);
}
BENCHMARK(BM_QualityAndSkyPlot)->Arg(30)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
