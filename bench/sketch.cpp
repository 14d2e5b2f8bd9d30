// Redrawing the network sketch onto a picture of the sketch tab's size:
// a survey of 50 network points and 10 000 detail points in each coordinate
// mode, and 1 000 network points (half a million dotted lines).

#include "paint/Headless.h"
#include "paint/SketchPainter.h"
#include "network/PointTables.h"
#include "project/Document.h"
#include "views/Sketch.h"

#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <random>
#include <string>

namespace {

using namespace korthal;

// Points spread over 5 km × 4 km, the network points first.
void fill(Document& doc, int network, int detail)
{
    std::mt19937_64 gen(7);
    std::uniform_real_distribution<double> u(0.0, 1.0);
    MemTable& g = doc.GPS();
    g.disableControls();
    for (int i = 0; i < network + detail; ++i) {
        const bool isDetail = i >= network;
        Rec r = g.appendRecord();
        g.setString(r, gps::Name, (isDetail ? "P" : "T") + std::to_string(i));
        g.setFloat(r, gps::E, 380000 + 5000 * u(gen));
        g.setFloat(r, gps::N, 4375000 + 4000 * u(gen));
        g.setFloat(r, gps::H, 100 + 300 * u(gen));
        g.setBoolean(r, gps::detailPoint, isDetail);
    }
    g.enableControls();
}

// args: network points, detail points, mode.
void sketchRedraw(benchmark::State& state)
{
    static paint::HeadlessGui gui;
    Document doc;
    fill(doc, static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    const int mode = static_cast<int>(state.range(2));
    QImage picture(kSketchPictureWidth, kSketchPictureHeight, QImage::Format_RGB32);
    Sketch sketch;
    sketch.SketchMode = mode;
    sketch.SketchFilter = SketchAllPoints;
    for (auto _ : state) {
        const SketchLayout& layout = sketch.plot(doc, picture.width(), picture.height());
        QPainter p(&picture);
        paint::paintSketch(p, layout, false);
        p.end();
        benchmark::DoNotOptimize(picture.constBits());
    }
}
BENCHMARK(sketchRedraw)
    ->ArgNames({"network", "detail", "mode"})
    ->Args({50, 10000, 0})
    ->Args({50, 10000, 1})
    ->Args({50, 10000, 2})
    ->Args({1000, 0, 0})
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
