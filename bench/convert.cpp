// "korthal-cli convert wgs84-xyz tm87 --undulation 0" and "convert tm07 tm87
// --undulation 0" (the HEPOS model) on a million points each, text in and
// text out, timed as a whole process (start, reading, threads, writing), as a
// user runs it. Target: the HEPOS model takes no more than 1.5 times as long.

#include "geodesy/Angles.h"
#include "geodesy/Ellipsoids.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <unistd.h>

namespace {

using namespace korthal;

constexpr int kPoints = 1000000;

// A million points over Greece with three decimals: WGS84 X Y Z in metres,
// or TM07 E N and h inside the HEPOS grid.
struct PointFile {
    std::string path;
    std::uintmax_t bytes = 0;
    explicit PointFile(bool tm07)
        : path((std::filesystem::temp_directory_path() /
                ("korthal_bench_" + std::string(tm07 ? "tm07_" : "points_") +
                 std::to_string(getpid()) + ".txt"))
                   .string())
    {
        std::mt19937_64 gen(15);
        std::uniform_real_distribution<double> phi(34, 42), lam(19.5, 29.5), h(0, 2500);
        std::uniform_real_distribution<double> E(100000, 850000), N(1900000, 2600000);
        std::FILE* f = std::fopen(path.c_str(), "wb");
        for (int i = 0; i < kPoints; ++i) {
            if (tm07) {
                const double e = E(gen), n = N(gen);
                std::fprintf(f, "%.3f %.3f %.3f\n", e, n, h(gen));
                continue;
            }
            const Geocentric g = EllipsoidalToGeocentric(WGS84, phi(gen) * kPi / 180,
                                                         lam(gen) * kPi / 180, h(gen));
            std::fprintf(f, "%.3Lf %.3Lf %.3Lf\n", g.X, g.Y, g.Z);
        }
        std::fclose(f);
        bytes = std::filesystem::file_size(path);
    }
    ~PointFile() { std::remove(path.c_str()); }
};

void convertMillionPoints(benchmark::State& state, const PointFile& points, const char* forms)
{
    const std::string cmd = std::string("\"") + KORTHAL_CLI + "\" convert " + forms +
                            " --undulation 0 < \"" + points.path + "\" > /dev/null";
    for (auto _ : state) {
        if (std::system(cmd.c_str()) != 0)
            state.SkipWithError("korthal-cli convert failed");
    }
    state.counters["points/s"] = benchmark::Counter(
        static_cast<double>(kPoints) * static_cast<double>(state.iterations()),
        benchmark::Counter::kIsRate);
    state.counters["input MB"] = static_cast<double>(points.bytes) / 1e6;
}

void BM_ConvertMillionPoints(benchmark::State& state)
{
    static const PointFile points(false);
    convertMillionPoints(state, points, "wgs84-xyz tm87");
}
BENCHMARK(BM_ConvertMillionPoints)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

void BM_ConvertMillionPointsHepos(benchmark::State& state)
{
    static const PointFile points(true);
    convertMillionPoints(state, points, "tm07 tm87");
}
BENCHMARK(BM_ConvertMillionPointsHepos)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(5);

}  // namespace

BENCHMARK_MAIN();
