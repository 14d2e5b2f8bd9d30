// "korthal-cli rinex" end to end on a 46 MB RINEX 2.11 file, as a user runs
// it: start, reading, the observation table stored, the companion file.
//
// The file is made here from delf0010.21o (GPS and GLONASS, seven types, two
// lines per satellite, epoch continuation lines): its 105 epochs repeated
// one second apart, with the times rewritten, for 20 000 epochs. The stored
// table is set beside what zlib's level 9 makes of the same table text.

#include "table/TableFile.h"
#include "table/TableText.h"
#include "views/RinexTable.h"

#include <benchmark/benchmark.h>
#include <zlib.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;

constexpr int kEpochs = 20000;

struct Folder {
    fs::path dir = fs::temp_directory_path() / ("korthal_bench_rinex_" + std::to_string(getpid()));
    std::string obs = (dir / "delf46.21o").string();
    std::string rnx = (dir / "DELF.RNX").string();
    std::uint64_t bytes = 0;
    Folder()
    {
        fs::create_directories(dir);
        std::ifstream in(std::string(KORTHAL_SHARED_DATA) + "/rinex/delf0010.21o", std::ios::binary);
        std::stringstream ss;
        ss << in.rdbuf();
        const std::string text = ss.str();
        const std::size_t end = text.find('\n', text.find("END OF HEADER")) + 1;

        // Each epoch: the epoch line from column 27 on, its continuation
        // lines and the satellites' lines (two each: seven types).
        std::vector<std::string> epochs;
        std::istringstream lines(text.substr(end));
        std::string line;
        while (std::getline(lines, line)) {
            if (line.size() < 32)
                continue;
            const int n = std::stoi(line.substr(29, 3));
            std::string e = line.substr(26) + "\n";
            const int more = (n - 1) / 12 + 2 * n;
            for (int i = 0; i < more && std::getline(lines, line); ++i)
                e += line + "\n";
            epochs.push_back(std::move(e));
        }

        std::ofstream out(obs, std::ios::binary);
        out.write(text.data(), static_cast<std::streamsize>(end));
        for (int k = 0; k < kEpochs; ++k) {
            char head[40];
            std::snprintf(head, sizeof head, " 21  1  1 %2d %2d %2d.0000000", k / 3600, k / 60 % 60,
                          k % 60);
            out << head << epochs[static_cast<std::size_t>(k) % epochs.size()];
        }
        out.close();
        bytes = fs::file_size(obs);
    }
    ~Folder() { fs::remove_all(dir); }
};

// The size zlib's level 9 gives the table text of a stored observation
// table (the text the file holds, made again from the table loaded).
double zlibLevel9Size(const std::string& rnx)
{
    korthal::MemTable t("RINEX");
    korthal::defineRinexTable(t);
    if (!korthal::LoadFromFile(t, rnx).ok())
        return 0;
    const std::string text = korthal::tableFileText(t);
    uLongf size = compressBound(static_cast<uLong>(text.size()));
    std::string out(size, '\0');
    compress2(reinterpret_cast<Bytef*>(out.data()), &size,
              reinterpret_cast<const Bytef*>(text.data()), static_cast<uLong>(text.size()), 9);
    return static_cast<double>(size);
}

void BM_CliRinex46MB(benchmark::State& state)
{
    static Folder f;
    const std::string cmd = std::string("\"") + KORTHAL_CLI + "\" rinex \"" + f.obs + "\" --out \"" +
                            f.rnx + "\" > /dev/null";
    for (auto _ : state)
        if (std::system(cmd.c_str()) != 0)
            state.SkipWithError("korthal-cli rinex failed");
    state.counters["RINEX MB"] = static_cast<double>(f.bytes) / 1e6;
    const double stored = static_cast<double>(fs::file_size(f.rnx));
    state.counters["stored MB"] = stored / 1e6;
    state.counters["zlib-9 MB"] = zlibLevel9Size(f.rnx) / 1e6;
}
BENCHMARK(BM_CliRinex46MB)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

}  // namespace

BENCHMARK_MAIN();
