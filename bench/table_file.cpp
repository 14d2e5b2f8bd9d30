// Saving and loading table files: a network of 100 000 points against zlib's
// own compress/uncompress of the same text, and the observation table's bulk
// appends at the size of a long RINEX session.

#include "table/MemTable.h"
#include "network/PointTables.h"
#include "table/Cp1253.h"
#include "table/TableFile.h"

#include <benchmark/benchmark.h>
#include <zlib.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <unistd.h>

using namespace korthal;

namespace {

constexpr int kPoints = 100000;

void fillNetwork(MemTable& t)
{
    t.disableControls();
    for (int i = 0; i < kPoints; ++i) {
        const Rec r = t.appendRecord();
        t.setString(r, gps::Name, "Σ" + std::to_string(i));
        t.setFloat(r, gps::X, 4591240.123 + i * 0.731);
        t.setFloat(r, gps::Y, 2029372.456 - i * 0.377);
        t.setFloat(r, gps::Z, 3898731.789 + i * 0.113);
        t.setFloat(r, gps::E, 476543.2109 + i * 0.5);
        t.setFloat(r, gps::N, 4201234.5678 - i * 0.25);
        t.setFloat(r, gps::H, 123.456 + (i % 1000) * 0.01);
        t.setFloat(r, gps::apoxh, 31.25 + (i % 97) * 0.001);
        t.setBoolean(r, gps::detailPoint, i % 50 != 0);
        if (i % 10 == 0)
            t.setString(r, gps::Perigrafh, "Βάθρο σκυροδέματος\r\nστη γωνία του οικοπέδου");
    }
    t.enableControls();
}

struct Fixture {
    DatumShiftTable shifts;
    MemTable table{"GPS"};
    std::string path;
    std::string text;    // code page 1253, as inside the file
    std::string stream;  // zlib's compress2 of it
    Fixture()
    {
        defineGPS(table, shifts);
        fillNetwork(table);
        path = (std::filesystem::temp_directory_path() / ("korthal_bench_network_" + std::to_string(getpid()) + ".WGS84")).string();
        SaveToFile(table, path);
        text = utf8ToCp1253(tableText(table));
        uLongf size = compressBound(static_cast<uLong>(text.size()));
        stream.resize(size);
        compress2(reinterpret_cast<Bytef*>(stream.data()), &size,
                  reinterpret_cast<const Bytef*>(text.data()), static_cast<uLong>(text.size()), 9);
        stream.resize(size);
    }
    ~Fixture() { std::remove(path.c_str()); }
};

Fixture& fixture()
{
    static Fixture f;
    return f;
}

void BM_SaveNetwork(benchmark::State& state)
{
    Fixture& f = fixture();
    for (auto _ : state)
        benchmark::DoNotOptimize(SaveToFile(f.table, f.path).ok);
    state.counters["text_MB"] = static_cast<double>(f.text.size()) / 1e6;
    state.counters["file_MB"] = static_cast<double>(f.stream.size()) / 1e6;
}
BENCHMARK(BM_SaveNetwork)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_LoadNetwork(benchmark::State& state)
{
    Fixture& f = fixture();
    for (auto _ : state) {
        state.PauseTiming();
        auto t = std::make_unique<MemTable>("GPS");
        defineGPS(*t, f.shifts);
        state.ResumeTiming();
        const LoadResult r = LoadFromFile(*t, f.path);
        if (!r.ok() || t->recordCount() != kPoints)
            state.SkipWithError("load failed");
        // Freeing the table is no part of loading it.
        state.PauseTiming();
        t.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_LoadNetwork)->Unit(benchmark::kMillisecond)->Iterations(10);

void BM_ZlibCompressSameText(benchmark::State& state)
{
    Fixture& f = fixture();
    std::string out(compressBound(static_cast<uLong>(f.text.size())), '\0');
    for (auto _ : state) {
        uLongf size = static_cast<uLongf>(out.size());
        compress2(reinterpret_cast<Bytef*>(out.data()), &size,
                  reinterpret_cast<const Bytef*>(f.text.data()), static_cast<uLong>(f.text.size()), 9);
        benchmark::DoNotOptimize(size);
    }
}
BENCHMARK(BM_ZlibCompressSameText)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_ZlibUncompressSameText(benchmark::State& state)
{
    Fixture& f = fixture();
    std::string out(f.text.size(), '\0');
    for (auto _ : state) {
        uLongf size = static_cast<uLongf>(out.size());
        uncompress(reinterpret_cast<Bytef*>(out.data()), &size,
                   reinterpret_cast<const Bytef*>(f.stream.data()), static_cast<uLong>(f.stream.size()));
        benchmark::DoNotOptimize(size);
    }
}
BENCHMARK(BM_ZlibUncompressSameText)->Unit(benchmark::kMillisecond)->Iterations(10);

// An observation-sized table: 38 fields, bulk appends keyed by epoch time.
void defineObservations(MemTable& t)
{
    t.addField({"epoxh", FieldType::Integer});
    t.addField({"Date", FieldType::Date});
    t.addField({"Hour", FieldType::Integer});
    t.addField({"min", FieldType::Integer});
    t.addField({"sec", FieldType::Float});
    t.addField({"Health", FieldType::Integer});
    t.addField({"PRN", FieldType::Integer});
    for (int i = 0; i < 29; ++i)
        t.addField({"v" + std::to_string(i), i % 3 == 0 ? FieldType::Float : FieldType::Integer});
    t.addField({"Sxolio", FieldType::String, 20});
    t.addField(FieldDef::calc("Time", FieldType::String));
    t.addIndex("byEpoxh", "Date;Hour;min;sec;epoxh;PRN");
    t.addIndex("byPRN", "PRN;date;hour;min;sec;epoxh");
}

void appendObservations(MemTable& t, int n)
{
    t.disableControls();
    for (int i = 0; i < n; ++i) {
        const int epoch = i / 10 + 1;
        const Rec r = t.appendRecord();
        t.setInteger(r, 0, epoch);
        t.setDate(r, 1, Date{2003, 4, 5});
        t.setInteger(r, 2, (epoch / 3600) % 24);
        t.setInteger(r, 3, (epoch / 60) % 60);
        t.setFloat(r, 4, epoch % 60);
        t.setInteger(r, 6, 1 + (i * 7) % 32);
        for (int k = 7; k < 36; ++k) {
            if ((k - 7) % 3 == 0)
                t.setFloat(r, k, 20000000.0 + i * 0.123 + k);
            else
                t.setInteger(r, k, (i + k) % 10);
        }
    }
    t.enableControls();
}

void BM_ObservationBulkAppend(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    for (auto _ : state) {
        auto t = std::make_unique<MemTable>("RINEX");
        defineObservations(*t);
        appendObservations(*t, n);
        benchmark::DoNotOptimize(t->recAt(n - 1));
        state.counters["MB"] = static_cast<double>(t->memoryUse()) / 1e6;
        state.PauseTiming();
        t.reset();  // destruction outside the timing
        state.ResumeTiming();
    }
}
BENCHMARK(BM_ObservationBulkAppend)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(1);

struct Observations {
    MemTable table{"RINEX"};
    std::string path =
        (std::filesystem::temp_directory_path() / ("korthal_bench_observations_" + std::to_string(getpid()) + ".RNX")).string();
    std::string text;
    explicit Observations(int n)
    {
        defineObservations(table);
        appendObservations(table, n);
        text = utf8ToCp1253(tableText(table));
    }
    ~Observations() { std::remove(path.c_str()); }
};

Observations& observations()
{
    static Observations o(200000);
    return o;
}

void BM_ObservationText(benchmark::State& state)
{
    Observations& o = observations();
    for (auto _ : state)
        benchmark::DoNotOptimize(tableText(o.table).size());
    state.counters["text_MB"] = static_cast<double>(o.text.size()) / 1e6;
}
BENCHMARK(BM_ObservationText)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_ObservationCompress(benchmark::State& state)
{
    Observations& o = observations();
    for (auto _ : state)
        benchmark::DoNotOptimize(GPSCompressSave(o.text).size());
}
BENCHMARK(BM_ObservationCompress)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_ObservationSave(benchmark::State& state)
{
    Observations& o = observations();
    for (auto _ : state)
        benchmark::DoNotOptimize(SaveToFile(o.table, o.path).ok);
}
BENCHMARK(BM_ObservationSave)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_ObservationLoad(benchmark::State& state)
{
    Observations& o = observations();
    SaveToFile(o.table, o.path);
    for (auto _ : state) {
        MemTable back("RINEX");
        defineObservations(back);
        if (!LoadFromFile(back, o.path).ok() || back.recordCount() != o.table.recordCount())
            state.SkipWithError("load failed");
    }
}
BENCHMARK(BM_ObservationLoad)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
