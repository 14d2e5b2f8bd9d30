// Speed of the TM87 projection, forward and inverse, in points per second.

#include "geodesy/Angles.h"
#include "geodesy/TM87.h"

#include <benchmark/benchmark.h>

#include <vector>

using namespace korthal;

namespace {

std::vector<Geographic> greekPoints(std::size_t n)
{
    std::vector<Geographic> pts(n);
    for (std::size_t i = 0; i < n; ++i) {
        const Extended f = static_cast<Extended>(i) / static_cast<Extended>(n);
        pts[i] = {(34 + 8 * f) * kPi / 180, (19.5L + 10 * (1 - f)) * kPi / 180, 100 + 500 * f};
    }
    return pts;
}

void BM_EllipsoidalToTM87(benchmark::State& state)
{
    auto pts = greekPoints(1024);
    std::size_t i = 0;
    for (auto _ : state) {
        const Geographic& g = pts[i++ & 1023];
        benchmark::DoNotOptimize(EllipsoidalToTM87(g.phi, g.lambda, g.h, 35));
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()));
}
BENCHMARK(BM_EllipsoidalToTM87);

void BM_TM87ToEllipsoidal(benchmark::State& state)
{
    auto pts = greekPoints(1024);
    std::vector<TM87> proj;
    for (const auto& g : pts)
        proj.push_back(EllipsoidalToTM87(g.phi, g.lambda, g.h, 35));
    std::size_t i = 0;
    for (auto _ : state) {
        const TM87& t = proj[i++ & 1023];
        benchmark::DoNotOptimize(TM87ToEllipsoidal(t.E, t.N, t.H, 35));
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()));
}
BENCHMARK(BM_TM87ToEllipsoidal);

}  // namespace

BENCHMARK_MAIN();
