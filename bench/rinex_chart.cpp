// The observation viewer's chart on a day of 1-second observations
// (RinexDay.h), drawn offscreen: from the tab change to the chart drawn, a
// zoom step of the wheel drawn, a redraw.

#include "app/RinexChart.h"
#include "bench/RinexDay.h"
#include "network/NumberText.h"

#include <QApplication>
#include <QChart>
#include <QDateTimeAxis>
#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

using namespace korthal;

const RinexTable& day() { return bench::observationDay(); }

// The chart as the window shows it, 700 x 470 pixels.
app::RinexChart& chart()
{
    static std::unique_ptr<app::RinexChart> c;
    if (!c) {
        c = std::make_unique<app::RinexChart>();
        c->resize(700, 470);
        c->show();
        QApplication::processEvents();
    }
    return *c;
}

// Everything pending done and the widget painted, as the screen would be.
void draw(app::RinexChart& c)
{
    QApplication::processEvents();
    QImage image(c.size(), QImage::Format_ARGB32_Premultiplied);
    QPainter p(&image);
    c.render(&p);
}

void BM_TabChangeToChartDrawn(benchmark::State& state)
{
    const MemTable& t = day().table();
    const NumberText numbers(Separators{',', '.'});
    app::RinexChart& c = chart();
    for (auto _ : state) {
        c.build(t, static_cast<int>(state.range(0)), numbers);
        draw(c);
    }
    state.counters["records"] = t.recordCount();
    state.counters["points"] = static_cast<double>(c.series().points);
}
BENCHMARK(BM_TabChangeToChartDrawn)->Arg(rinex::SlotL1)->Arg(rinex::SlotC1)
    ->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_WheelZoomDrawn(benchmark::State& state)
{
    const NumberText numbers(Separators{',', '.'});
    app::RinexChart& c = chart();
    c.build(day().table(), rinex::SlotC1, numbers);
    draw(c);
    int step = 0;
    for (auto _ : state) {
        // In and out by turns, around the middle of the plot.
        c.view()->zoomAround(c.chart()->plotArea().center(), step++ % 2 ? 1.25 : 0.8);
        draw(c);
    }
}
BENCHMARK(BM_WheelZoomDrawn)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Redraw(benchmark::State& state)
{
    const NumberText numbers(Separators{',', '.'});
    app::RinexChart& c = chart();
    c.build(day().table(), rinex::SlotC1, numbers);
    draw(c);
    for (auto _ : state)
        draw(c);
}
BENCHMARK(BM_Redraw)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
