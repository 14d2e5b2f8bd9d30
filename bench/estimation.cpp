// Speed of the composite WGS84 → TM87 conversion of a GPS point, and of the
// seven-parameter estimation for networks of 10, 100 and 1000 points.

#include "geodesy/Angles.h"
#include "geodesy/DatumShift.h"
#include "geodesy/Ellipsoids.h"
#include "geodesy/Transformation.h"

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
        benchmark::DoNotOptimize(WGS84ToTM87(shifts, true, static_cast<double>(g.X),
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

}  // namespace

BENCHMARK_MAIN();
