// Reading a large RINEX observation file.
//
// The file is made here from a real one: its epochs are repeated one second
// apart, with the times rewritten, until the file holds about a million
// records (a day and a bit at 1 s). The benchmarks read it from disk into a
// counting sink (the parser alone), and into the observation table.

#include "views/RinexReader.h"
#include "views/RinexTable.h"

#include "project/Dialogs.h"
#include "table/TableFile.h"
#include "table/TableText.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using namespace korthal;

constexpr std::int64_t kTargetRecords = 1000000;

struct BigFile {
    std::string path;
    std::uint64_t bytes = 0;
    std::int64_t records = 0;
};

// The days of a month, for rolling the date on.
int daysIn(int y, int m)
{
    static const int d[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return d[m - 1] + (m == 2 && y % 4 == 0 ? 1 : 0);
}

// A file name of this process in the temporary folder.
std::string tempPath(const std::string& name)
{
    return (std::filesystem::temp_directory_path() /
            ("korthal_bench_" + std::to_string(getpid()) + "_" + name))
        .string();
}

// Removes the big file when the program ends.
struct RemoveAtExit {
    std::string path;
    ~RemoveAtExit()
    {
        if (!path.empty())
            std::filesystem::remove(path);
    }
};

const BigFile& bigFile()
{
    static RemoveAtExit cleanup;
    static BigFile big = [] {
        std::ifstream in(std::string(KORTHAL_SHARED_DATA) + "/rinex/07590920.05o");
        std::stringstream ss;
        ss << in.rdbuf();
        const std::string text = ss.str();
        const std::size_t end = text.find('\n', text.find("END OF HEADER")) + 1;

        // The observation epochs (flag 0) of the file: epoch line and data lines.
        struct Epoch {
            std::string rest;  // epoch line from column 27 on, with LF
            std::string data;  // the satellite lines
            int satellites = 0;
        };
        std::vector<Epoch> epochs;
        std::istringstream lines(text.substr(end));
        std::string line;
        while (std::getline(lines, line)) {
            const int n = std::stoi(line.substr(29, 3));
            const bool event = line[28] >= '2' && line[28] <= '5';
            Epoch e;
            e.rest = line.substr(26) + "\n";
            e.satellites = n;
            for (int i = 0; i < n && std::getline(lines, line); ++i)
                e.data += line + "\n";
            if (!event)
                epochs.push_back(std::move(e));
        }

        BigFile b;
        b.path = tempPath("big.05o");
        std::FILE* f = std::fopen(b.path.c_str(), "wb");
        std::fwrite(text.data(), 1, end, f);
        int y = 2005, mo = 4, d = 2, h = 0, mi = 0, s = 0;
        for (std::size_t k = 0; b.records < kTargetRecords; ++k) {
            const Epoch& e = epochs[k % epochs.size()];
            char head[80];
            std::snprintf(head, sizeof head, " %02d %2d %2d %2d %2d %2d.0000000", y % 100, mo, d,
                          h, mi, s);
            std::fputs(head, f);
            std::fputs(e.rest.c_str(), f);
            std::fputs(e.data.c_str(), f);
            b.records += e.satellites;
            if (++s == 60) {
                s = 0;
                if (++mi == 60) {
                    mi = 0;
                    if (++h == 24) {
                        h = 0;
                        if (++d > daysIn(y, mo)) {
                            d = 1;
                            ++mo;
                        }
                    }
                }
            }
        }
        std::fclose(f);
        b.bytes = std::filesystem::file_size(b.path);
        cleanup.path = b.path;
        return b;
    }();
    return big;
}

struct CountSink : rinex::ObservationSink {
    std::int64_t n = 0;
    double sum = 0;
    void header(const rinex::Header&) override {}
    void record(const rinex::ObservationRecord& r) override
    {
        ++n;
        sum += r.slotValues[rinex::SlotC1].value;
    }
};

void report(benchmark::State& state, std::int64_t records)
{
    const BigFile& b = bigFile();
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(b.bytes));
    state.counters["records/s"] = benchmark::Counter(
        static_cast<double>(records) * static_cast<double>(state.iterations()),
        benchmark::Counter::kIsRate);
    state.counters["records"] = static_cast<double>(records);
    state.counters["MB"] = static_cast<double>(b.bytes) / 1e6;
}

void BM_ParseToSink(benchmark::State& state)
{
    const BigFile& b = bigFile();
    std::int64_t records = 0;
    for (auto _ : state) {
        CountSink sink;
        const auto r = rinex::readObservationFile(b.path, sink);
        if (!r.ok())
            state.SkipWithError(r.message.c_str());
        records = sink.n;
        benchmark::DoNotOptimize(sink.sum);
    }
    report(state, records);
}
BENCHMARK(BM_ParseToSink)->Unit(benchmark::kMillisecond)->UseRealTime();

// Reading into the table, without the table file.
void BM_ReadIntoTable(benchmark::State& state)
{
    const BigFile& b = bigFile();
    const std::string rnx = tempPath("point.RNX");
    std::int64_t records = 0;
    for (auto _ : state) {
        RinexTable t;
        t.RinexFileName = rnx;
        const auto r = t.readObservations(b.path, true);
        if (!r.ok())
            state.SkipWithError(r.message.c_str());
        records = t.table().recordCount();
        state.counters["table MB"] = static_cast<double>(t.table().memoryUse()) / 1e6;
    }
    report(state, records);
    std::filesystem::remove(rinexSettingsFileName(rnx));
}
BENCHMARK(BM_ReadIntoTable)->Unit(benchmark::kMillisecond)->UseRealTime();

// The whole reading into the table, storing the table file included.
void BM_ReadAndStore(benchmark::State& state)
{
    const BigFile& b = bigFile();
    const std::string rnx = tempPath("point.RNX");
    std::int64_t records = 0;
    for (auto _ : state) {
        RinexTable t;
        t.RinexFileName = rnx;
        const auto out = t.readFileIntoTable(b.path, ReadMode::Replace);
        if (!out.ok())
            state.SkipWithError(out.read.message.c_str());
        records = t.table().recordCount();
        state.PauseTiming();
        state.counters["table MB"] = static_cast<double>(t.table().memoryUse()) / 1e6;
        // The store alone, once more, for the share it takes.
        const auto start = std::chrono::steady_clock::now();
        std::string error;
        t.store(error);
        state.counters["store s"] =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        state.counters["RNX MB"] = static_cast<double>(std::filesystem::file_size(rnx)) / 1e6;
        {
            // The text and its compression, each on its own (the store
            // writes and compresses parts of the text at the same time).
            const auto t0 = std::chrono::steady_clock::now();
            const std::string text = tableFileText(t.table());
            const auto t1 = std::chrono::steady_clock::now();
            const std::string z = GPSCompressSave(text);
            const auto t2 = std::chrono::steady_clock::now();
            state.counters["text s"] = std::chrono::duration<double>(t1 - t0).count();
            state.counters["compress s"] = std::chrono::duration<double>(t2 - t1).count();
            state.counters["text MB"] = static_cast<double>(text.size()) / 1e6;
        }
        state.ResumeTiming();
    }
    report(state, records);
    std::filesystem::remove(rnx);
    std::filesystem::remove(rinexSettingsFileName(rnx));
}
BENCHMARK(BM_ReadAndStore)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
