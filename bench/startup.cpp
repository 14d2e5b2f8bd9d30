// Start-up of the desktop program with a network of 100 000 points named as
// the last file in the program's settings: from the document and the main
// window made to the window shown with its point grid painted, as the
// program does it (reading the network, the network computation, the first
// paint). The application object is made once, before the timing.

#include "app/MainWindow.h"
#include "app/Program.h"
#include "network/PointTables.h"
#include "project/Dialogs.h"
#include "project/Document.h"
#include "project/IniFile.h"
#include "tools/DemoData.h"

#include <QApplication>
#include <QDir>
#include <QTabWidget>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <string>

namespace {

using namespace korthal;

constexpr int kPoints = 100000;

void BM_StartUpWith100000Points(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString old = QDir::currentPath();
    QDir::setCurrent(dir.path());
    if (!demo::writeGridNetwork(dir.path().toStdString(), kPoints))
        state.SkipWithError("the network could not be written");
    const QString ini = dir.filePath(QStringLiteral("korthal.INI"));
    IniFile(ini.toStdString()).writeString("General", "LastFile", "big.WGS84");
    RecordingDialogs quiet;
    for (auto _ : state) {
        app::createWorkingFolders();
        auto doc = std::make_unique<Document>();
        auto w = std::make_unique<app::MainWindow>(*doc, ini);
        w->FormCreate();
        w->startModes();
        w->show();
        w->PageControl1()->setCurrentWidget(w->TabSheet2());
        (void)w->grab();  // the first paint of the grid
        state.PauseTiming();
        if (doc->GPS().recordCount() != kPoints)
            state.SkipWithError("the network did not load whole");
        w.reset();
        doc.reset();
        state.ResumeTiming();
    }
    QDir::setCurrent(old);
}
BENCHMARK(BM_StartUpWith100000Points)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

}  // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    app::installQtGreek(app);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
