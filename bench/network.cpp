// The network computation on a large network, and the entry of one point.

#include "network/PointTables.h"
#include "project/Dialogs.h"
#include "project/Document.h"
#include "project/Settings.h"
#include "tools/DemoData.h"

#include <benchmark/benchmark.h>

#include <cstdint>

namespace {

using namespace korthal;

// A network of `points` points over 20 km, `refs` of them reference points.
void buildNetwork(Document& doc, int points, int refs)
{
    std::mt19937_64 gen(99);
    std::uniform_real_distribution<double> u(0.0, 1.0);
    doc.settings().method = EstimationMethod::Similarity3D;
    MemTable& y = doc.GYS();
    MemTable& g = doc.GPS();
    g.disableControls();
    for (int i = 0; i < points; ++i) {
        const bool ref = i < refs;
        const auto p = demo::surveyPoint((ref ? "R" : "P") + std::to_string(i),
                                         380000 + 20000 * u(gen), 4375000 + 20000 * u(gen),
                                         100 + 800 * u(gen), &gen);
        if (ref) {
            Rec r = y.appendRecord();
            y.setString(r, gys::Name, p.name);
            y.setFloat(r, gys::E, p.E);
            y.setFloat(r, gys::N, p.N);
            y.setFloat(r, gys::H, p.H);
            y.setFloat(r, gys::apoxh, p.apoxh);
        }
        Rec r = g.appendRecord();
        g.setString(r, gps::Name, p.name);
        g.setFloat(r, gps::X, p.X);
        g.setFloat(r, gps::Y, p.Y);
        g.setFloat(r, gps::Z, p.Z);
        g.setFloat(r, gps::apoxh, p.apoxh);
        g.setBoolean(r, gps::detailPoint, !ref);
        if (ref) {
            g.setFloat(r, gps::E, p.E);
            g.setFloat(r, gps::N, p.N);
            g.setFloat(r, gps::H, p.H);
        }
    }
    g.enableControls();
}

// A network of `points` points, 50 of them reference points, computed once;
// the dialogs stay quiet.
struct LargeNetwork {
    RecordingDialogs quiet;
    Document doc;
    explicit LargeNetwork(std::int64_t points)
    {
        buildNetwork(doc, static_cast<int>(points), 50);
        doc.RecomputeNetwork();
    }
};

// Recomputes the network over and over. With `nudge` the WGS84 -> EGSA87
// shift alternates by a centimetre, so that every point moves and every
// record is rewritten.
void recomputeRuns(benchmark::State& state, bool nudge,
                   EstimationMethod method = EstimationMethod::Similarity3D)
{
    LargeNetwork n(state.range(0));
    if (method != n.doc.settings().method) {
        n.doc.settings().method = method;
        n.doc.RecomputeNetwork();
    }
    double step = 0.01;
    for (auto _ : state) {
        if (nudge) {
            n.doc.datumShifts()(WGS84, EGSA87).dX += step;
            step = -step;
        }
        n.doc.RecomputeNetwork();
        benchmark::DoNotOptimize(n.doc.RmsTotal);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

// Every run moves every point by a centimetre: all 100 000 records are
// rewritten, and every point is projected again (by two threads: the time
// is wall time).
void BM_RecomputeNetwork3D(benchmark::State& state) { recomputeRuns(state, true); }
BENCHMARK(BM_RecomputeNetwork3D)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same with nothing to rewrite.
void BM_RecomputeNetwork3DUnchanged(benchmark::State& state) { recomputeRuns(state, false); }
BENCHMARK(BM_RecomputeNetwork3DUnchanged)->Arg(100000)->Unit(benchmark::kMillisecond);

// The HEPOS model: the nudge of the shift (which the model does not use)
// makes every point be projected again by the model, nothing is rewritten.
void BM_RecomputeNetworkHepos(benchmark::State& state)
{
    recomputeRuns(state, true, EstimationMethod::HeposModel);
}
BENCHMARK(BM_RecomputeNetworkHepos)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();

// Leaving one reference point out and taking it back in turn: a new
// transformation for every point, with the projections of the points
// unchanged.
void BM_RecomputeAfterReferenceChange(benchmark::State& state)
{
    LargeNetwork n(state.range(0));
    MemTable& g = n.doc.GPS();
    Rec ref = NoRec;
    for (Rec r = g.firstStored(); r != NoRec && ref == NoRec; r = g.nextStored(r))
        if (!g.getBoolean(r, gps::detailPoint))
            ref = r;
    const long long id = g.getInteger(ref, gps::ID);
    bool out = true;
    for (auto _ : state) {
        n.doc.setExcluded(id, out);
        out = !out;
        benchmark::DoNotOptimize(n.doc.RmsTotal);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_RecomputeAfterReferenceChange)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();

// Typing the three coordinates of a detail point in a large network.
void BM_SinglePointEntry(benchmark::State& state)
{
    LargeNetwork n(state.range(0));
    Document& doc = n.doc;
    const auto p = demo::surveyPoint("NEW", 390000, 4380000, 300);
    MemTable& g = doc.GPS();
    g.append();
    doc.enterNetworkPointName("NEW");
    const std::string X = doc.numbers().floatToText(p.X), Y = doc.numbers().floatToText(p.Y);
    const std::string Z = doc.numbers().floatToText(p.Z), Z2 = doc.numbers().floatToText(p.Z + 1);
    doc.enterNetworkCoordinate(gps::X, X);
    doc.enterNetworkCoordinate(gps::Y, Y);
    bool flip = false;
    for (auto _ : state) {
        doc.enterNetworkCoordinate(gps::Z, flip ? Z2 : Z);
        flip = !flip;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_SinglePointEntry)->Arg(1000)->Arg(100000)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
