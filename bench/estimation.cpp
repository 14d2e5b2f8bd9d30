// Speed of the composite WGS84 → TM87 conversion of a GPS point, and of the
// seven-parameter estimation for networks of 10, 100 and 1000 points; and
// the long run of the blunder simulation of the tests of the reference
// points, whose rates it reports as counters.

#include "geodesy/Angles.h"
#include "geodesy/DatumShift.h"
#include "geodesy/Ellipsoids.h"
#include "geodesy/Transformation.h"
#include "tests/support/RandomNetworks.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

using namespace korthal;

namespace {

void BM_WGS84ToTM87(benchmark::State& state)
{
    const DatumShiftTable shifts;
    std::vector<Geocentric> pts(1024);
    for (std::size_t i = 0; i < pts.size(); ++i) {
        const Extended f = Extended(i) / 1024;
        pts[i] = EllipsoidalToGeocentric(WGS84, (34.5L + 7 * f) * kPi / 180,
                                         (20 + 8 * (1 - f)) * kPi / 180, 100 + 900 * f);
    }
    std::size_t i = 0;
    for (auto _ : state) {
        const Geocentric& g = pts[i++ & 1023];
        benchmark::DoNotOptimize(WGS84ToTM87(shifts, InputForm::Geocentric, static_cast<double>(g.X),
                                             static_cast<double>(g.Y), static_cast<double>(g.Z),
                                             35));
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()));
}
BENCHMARK(BM_WGS84ToTM87);

void BM_EstimateTransformation(benchmark::State& state)
{
    const auto n = static_cast<std::size_t>(state.range(0));
    const Transformation truth(SimilarityParameters{1 + 5e-6L, 2e-5L, -1e-5L, 1.5e-5L, 250, -180, 40});
    TVector XS(n), YS(n), ZS(n), XT(n), YT(n), ZT(n);
    for (std::size_t i = 0; i < n; ++i) {
        XS[i] = 450000 + 20000 * std::sin(Extended(i));
        YS[i] = 4200000 + 15000 * std::cos(Extended(3 * i));
        ZS[i] = 100 + 800 * std::fabs(std::sin(Extended(7 * i)));
        XT[i] = XS[i];
        YT[i] = YS[i];
        ZT[i] = ZS[i];
        truth.ApplyTransformation(XT[i], YT[i], ZT[i]);
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(EstimateTransformation(XT, YT, ZT, XS, YS, ZS, {}));
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()));
}
BENCHMARK(BM_EstimateTransformation)->Arg(10)->Arg(100)->Arg(1000)->Unit(benchmark::kMicrosecond);

// 50 000 jobs of 6 to 12 reference points, each without and with a gross
// error of 0.5 m to 2 m in one point (tests/support/RandomNetworks.h), 1.5 cm
// noise on E and N and that times the second argument / 10 on H. The
// counters, in per cent: named_1m, the point named for errors of 1 m and
// more (target at least 95); named_small, for 0.5 m to 1 m; warned, the
// variance factor above its critical value (target at least 99); and
// without an error false_named and false_warned (targets at most 2 each).
void BM_BlunderSimulation(benchmark::State& state)
{
    const bool threeD = state.range(0) != 0;
    const double heightNoise = static_cast<double>(state.range(1)) / 10;
    constexpr int kNetworks = 50000;
    test::BlunderRates r;
    for (auto _ : state)
        r = test::simulateBlunders(threeD, kNetworks, 2024, heightNoise);
    auto percent = [](int part, int whole) { return whole > 0 ? 100.0 * part / whole : 0.0; };
    state.counters["named_1m"] = percent(r.largeNamed, r.large);
    state.counters["named_small"] = percent(r.smallNamed, r.small);
    state.counters["warned"] = percent(r.warned, r.small + r.large);
    state.counters["false_named"] = percent(r.cleanNamed, r.clean);
    state.counters["false_warned"] = percent(r.cleanWarned, r.clean);
}
BENCHMARK(BM_BlunderSimulation)
    ->ArgNames({"3d", "h_noise_x10"})
    ->Args({0, 10})
    ->Args({1, 10})
    ->Args({1, 20})
    ->Iterations(1)
    ->Unit(benchmark::kSecond);

}  // namespace

BENCHMARK_MAIN();
