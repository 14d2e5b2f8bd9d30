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

// Calls `project` on the points in turn, one point per iteration. The count
// of points is a power of two, so that the turn costs a mask, not a division.
template <class Point, class Projection>
void eachPoint(benchmark::State& state, const std::vector<Point>& pts, Projection project)
{
    const std::size_t mask = pts.size() - 1;
    std::size_t i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(project(pts[i++ & mask]));
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()));
}

void BM_EllipsoidalToTM87(benchmark::State& state)
{
    eachPoint(state, greekPoints(1024),
              [](const Geographic& g) { return EllipsoidalToTM87(g.phi, g.lambda, g.h, 35); });
}
BENCHMARK(BM_EllipsoidalToTM87);

void BM_TM87ToEllipsoidal(benchmark::State& state)
{
    std::vector<TM87> proj;
    for (const auto& g : greekPoints(1024))
        proj.push_back(EllipsoidalToTM87(g.phi, g.lambda, g.h, 35));
    eachPoint(state, proj, [](const TM87& t) { return TM87ToEllipsoidal(t.E, t.N, t.H, 35); });
}
BENCHMARK(BM_TM87ToEllipsoidal);

}  // namespace

BENCHMARK_MAIN();
