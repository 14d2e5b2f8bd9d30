// A day of 1-second RINEX 3 observations read by "korthal-cli rinex" from
// the plain file and from its Hatanaka-compressed (Compact RINEX) form, and
// the Hatanaka decoder alone.
//
// The day is made here from DUTH0630.22O (RINEX 3.02, GPS and GLONASS,
// eight types each): its epochs repeated one second apart, with the times
// rewritten, for 86 400 epochs; the Compact RINEX form is written by our own
// "korthal-cli rinex-text --crx". Targets: reading the compressed form takes
// at most 1.3 times as long as the plain one ("ratio"), and the decoder
// restores at least 100 MB of text a second on one core. Each is given in
// wall-clock and in processor time: on a busy machine the second is the
// measure.

#include "views/RinexText.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <ctime>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;

constexpr int kEpochs = 86400;

struct Day {
    fs::path dir = fs::temp_directory_path() / ("korthal_bench_crx_" + std::to_string(getpid()));
    std::string plain = (dir / "DUTH00GRC_R_20220630000_01D_01S_MO.rnx").string();
    std::string compact = (dir / "DUTH00GRC_R_20220630000_01D_01S_MO.crx").string();
    std::uint64_t plainBytes = 0, compactBytes = 0;
    bool ok = false;

    Day()
    {
        fs::create_directories(dir);
        std::ifstream in(std::string(KORTHAL_SHARED_DATA) + "/rinex/DUTH0630.22O", std::ios::binary);
        std::stringstream ss;
        ss << in.rdbuf();
        std::string text = ss.str();
        const std::size_t end = text.find('\n', text.find("END OF HEADER")) + 1;
        std::string header = text.substr(0, end);
        const std::size_t interval = header.find("    30.000");
        if (interval != std::string::npos)
            header.replace(interval, 10, "     1.000");

        // Each epoch: its epoch line from the epoch flag on, and the
        // satellites' lines.
        std::vector<std::string> epochs;
        std::istringstream lines(text.substr(end));
        std::string line;
        while (std::getline(lines, line)) {
            if (line.empty() || line[0] != '>')
                continue;
            const int n = std::stoi(line.substr(32, 3));
            std::string e = line.substr(29) + "\n";
            for (int i = 0; i < n && std::getline(lines, line); ++i)
                e += line + "\n";
            epochs.push_back(std::move(e));
        }

        std::ofstream out(plain, std::ios::binary);
        out << header;
        for (int k = 0; k < kEpochs; ++k) {
            char head[40];
            std::snprintf(head, sizeof head, "> 2022 03 04 %02d %02d %2d.0000000", k / 3600,
                          k / 60 % 60, k % 60);
            out << head << epochs[static_cast<std::size_t>(k) % epochs.size()];
        }
        out.close();
        plainBytes = fs::file_size(plain);
        const std::string cmd = std::string("\"") + KORTHAL_CLI + "\" rinex-text \"" + plain +
                                "\" --crx --out \"" + compact + "\"";
        ok = std::system(cmd.c_str()) == 0;
        if (ok)
            compactBytes = fs::file_size(compact);
    }
    ~Day() { fs::remove_all(dir); }
};

Day& day()
{
    static Day d;
    return d;
}

// The processor time of the finished child processes so far (user and system).
double childCpuSeconds()
{
    rusage u{};
    getrusage(RUSAGE_CHILDREN, &u);
    const auto s = [](const timeval& t) { return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6; };
    return s(u.ru_utime) + s(u.ru_stime);
}

struct Run {
    double wall = 0, cpu = 0;
};

// Runs a command; adds its wall-clock and processor time. On a shared,
// busy machine the processor time is the steadier of the two.
void run(const std::string& cmd, Run& total, bool& ok)
{
    const auto t0 = std::chrono::steady_clock::now();
    const double c0 = childCpuSeconds();
    ok = std::system(cmd.c_str()) == 0 && ok;
    total.cpu += childCpuSeconds() - c0;
    total.wall += std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

// Both forms read by the command, one after the other in each iteration.
void BM_CliRinexDayPlainAndHatanaka(benchmark::State& state)
{
    Day& d = day();
    if (!d.ok) {
        state.SkipWithError("korthal-cli rinex-text --crx failed");
        return;
    }
    const auto command = [&](const std::string& in, const char* out) {
        return std::string("\"") + KORTHAL_CLI + "\" rinex \"" + in + "\" --out \"" +
               (d.dir / out).string() + "\" > /dev/null";
    };
    Run plain, compact;
    bool ok = true;
    for (auto _ : state) {
        run(command(d.plain, "PLAIN.RNX"), plain, ok);
        run(command(d.compact, "CRX.RNX"), compact, ok);
    }
    if (!ok)
        state.SkipWithError("korthal-cli rinex failed");
    const auto n = static_cast<double>(state.iterations());
    state.counters["plain MB"] = static_cast<double>(d.plainBytes) / 1e6;
    state.counters["crx MB"] = static_cast<double>(d.compactBytes) / 1e6;
    state.counters["plain s"] = plain.wall / n;
    state.counters["crx s"] = compact.wall / n;
    state.counters["ratio"] = compact.wall / plain.wall;
    state.counters["plain cpu s"] = plain.cpu / n;
    state.counters["crx cpu s"] = compact.cpu / n;
    state.counters["cpu ratio"] = compact.cpu / plain.cpu;
    if (fs::file_size(d.dir / "PLAIN.RNX") != fs::file_size(d.dir / "CRX.RNX"))
        state.SkipWithError("the two forms stored different tables");
}
BENCHMARK(BM_CliRinexDayPlainAndHatanaka)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(3);

// The decoder alone: the Compact RINEX file restored line by line, in this
// process, on one core. The bytes counted are those of the restored text.
void BM_HatanakaDecoderDay(benchmark::State& state)
{
    Day& d = day();
    if (!d.ok) {
        state.SkipWithError("korthal-cli rinex-text --crx failed");
        return;
    }
    std::uint64_t bytes = 0;
    timespec c0{}, c1{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &c0);
    for (auto _ : state) {
        const auto in = korthal::rinex::openRinexText(d.compact);
        std::string_view line;
        while (in->next(line))
            bytes += line.size() + 1;
        if (in->error())
            state.SkipWithError(in->error().message.c_str());
    }
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &c1);
    const double cpu = static_cast<double>(c1.tv_sec - c0.tv_sec) +
                       static_cast<double>(c1.tv_nsec - c0.tv_nsec) / 1e9;
    state.SetBytesProcessed(static_cast<std::int64_t>(bytes));
    state.counters["restored MB/s cpu"] = static_cast<double>(bytes) / 1e6 / cpu;
}
BENCHMARK(BM_HatanakaDecoderDay)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
