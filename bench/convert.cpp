// "korthal-cli convert wgs84-xyz tm87 --undulation 0" on a million points,
// text in and text out, timed as a whole process (start, reading, threads,
// writing), as a user runs it.

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

// A million WGS84 points over Greece, X Y Z in metres with three decimals.
struct PointFile {
    std::string path = (std::filesystem::temp_directory_path() /
                        ("korthal_bench_points_" + std::to_string(getpid()) + ".txt"))
                           .string();
    std::uintmax_t bytes = 0;
    PointFile()
    {
        std::mt19937_64 gen(15);
        std::uniform_real_distribution<double> phi(34, 42), lam(19.5, 29.5), h(0, 2500);
        std::FILE* f = std::fopen(path.c_str(), "wb");
        for (int i = 0; i < kPoints; ++i) {
            const Geocentric g = EllipsoidalToGeocentric(WGS84, phi(gen) * kPi / 180,
                                                         lam(gen) * kPi / 180, h(gen));
            std::fprintf(f, "%.3Lf %.3Lf %.3Lf\n", g.X, g.Y, g.Z);
        }
        std::fclose(f);
        bytes = std::filesystem::file_size(path);
    }
    ~PointFile() { std::remove(path.c_str()); }
};

void BM_ConvertMillionPoints(benchmark::State& state)
{
    static PointFile points;
    const std::string cmd = std::string("\"") + KORTHAL_CLI +
                            "\" convert wgs84-xyz tm87 --undulation 0 < \"" + points.path +
                            "\" > /dev/null";
    for (auto _ : state) {
        if (std::system(cmd.c_str()) != 0)
            state.SkipWithError("korthal-cli convert failed");
    }
    state.counters["points/s"] = benchmark::Counter(
        static_cast<double>(kPoints) * static_cast<double>(state.iterations()),
        benchmark::Counter::kIsRate);
    state.counters["input MB"] = static_cast<double>(points.bytes) / 1e6;
}
BENCHMARK(BM_ConvertMillionPoints)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

}  // namespace

BENCHMARK_MAIN();
