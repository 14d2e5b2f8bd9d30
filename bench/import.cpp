// Point lists and the other operations that touch every record of a large
// network: the import of a list (as the window opens a ".TXT" and as
// korthal-cli import does), the switch of the input form, the deletion of a
// point, and the self-test at its largest run.

#include "network/PointTables.h"
#include "network/SelfTest.h"
#include "project/Dialogs.h"
#include "project/Document.h"
#include "project/Settings.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

namespace {

using namespace korthal;
namespace fs = std::filesystem;

// A folder of its own with a list of `points` detail points around Larisa
// (X, Y, Z with three decimals, commas between), and the program's settings
// file for the list (numbers with a point, no grouping).
struct PointList {
    fs::path dir;
    std::string path;
    explicit PointList(long points)
    {
        dir = fs::temp_directory_path() / ("korthal-bench-import-" + std::to_string(points));
        fs::create_directories(dir);
        path = (dir / "LIST.TXT").string();
        std::ofstream out(path, std::ios::binary);
        std::mt19937_64 gen(3);
        std::uniform_real_distribution<double> u(-5000.0, 5000.0);
        char line[128];
        for (long i = 0; i < points; ++i) {
            const int n = std::snprintf(line, sizeof line, "P%ld,%.3f,%.3f,%.3f\r\n", i,
                                        4538567.695 + u(gen), 1901291.101 + u(gen),
                                        4044813.091 + u(gen));
            out.write(line, n);
        }
        std::ofstream(dir / "LIST.INI", std::ios::binary)
            << "[Separators]\r\nDseparator1=0\r\nTseparator1=3\r\n";
    }
    ~PointList() { fs::remove_all(dir); }
    PointList(const PointList&) = delete;
    PointList& operator=(const PointList&) = delete;
};

// The window's open of a point list: the whole openNetwork, the network
// computation included.
void BM_OpenPointList(benchmark::State& state)
{
    PointList list(state.range(0));
    RecordingDialogs quiet;
    for (auto _ : state) {
        Document doc;
        doc.openNetwork(list.path);
        if (doc.LastImport.imported != state.range(0))
            state.SkipWithError("the list was not read whole");
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_OpenPointList)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();

// korthal-cli import of the list into a network file: the whole process.
void BM_CliImport(benchmark::State& state)
{
    PointList list(state.range(0));
    const std::string out = (list.dir / "OUT.WGS84").string();
    const std::string cmd = std::string(KORTHAL_CLI) + " import " + list.path + " --out " + out +
                            " >/dev/null 2>&1";
    for (auto _ : state)
        if (std::system(cmd.c_str()) != 0)
            state.SkipWithError("korthal-cli import failed");
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_CliImport)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();

// A network of `points` imported points.
struct Network {
    RecordingDialogs dialogs;
    PointList list;
    Document doc;
    explicit Network(long points) : list(points) { doc.openNetwork(list.path); }
};

// The input form switched to φ, λ, h and back: every record converted and
// posted, twice.
void BM_SwitchInputForm(benchmark::State& state)
{
    Network n(state.range(0));
    for (auto _ : state) {
        n.doc.SwitchInputForm(InputForm::Ellipsoidal);
        n.doc.SwitchInputForm(InputForm::Geocentric);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0) * 2);
}
BENCHMARK(BM_SwitchInputForm)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();

// A point deleted through the cursor (the question answered yes) and a new
// one entered by name, in the middle of a large network.
void BM_DeleteAndEnterPoint(benchmark::State& state)
{
    Network n(state.range(0));
    MemTable& g = n.doc.GPS();
    long k = 0;
    for (auto _ : state) {
        g.moveToRow(g.recordCount() / 2);
        n.dialogs.answers.push_back(Answer::Yes);
        g.remove();
        g.append();
        n.doc.enterNetworkPointName("N" + std::to_string(k++));
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_DeleteAndEnterPoint)->Arg(100000)->Unit(benchmark::kMicrosecond);

// One self-test run of the largest size (it works on points of its own,
// not on the network's table).
void BM_SelfTestLargestRun(benchmark::State& state)
{
    RecordingDialogs quiet;
    Transformation tr;
    NumberText numbers(Separators{'.', ','});
    SelfTestSettings s;
    s.Pmin = s.Pmax = 9999;
    s.SErepetitions = 1;
    for (auto _ : state) {
        SelfTest test(tr, numbers);
        test.setSeed(1);
        benchmark::DoNotOptimize(test.run(s));
    }
}
BENCHMARK(BM_SelfTestLargestRun)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
