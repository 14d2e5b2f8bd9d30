// Start-up of the desktop program with a network of 100 000 points named as
// the last file in the program's settings: from the document and the main
// window made to the window shown with its point grid painted, as the
// program does it (reading the network, the network computation, the first
// paint). The application object is made once, before the timing.

#include "app/MainWindow.h"
#include "app/Program.h"
#include "geodesy/Dialogs.h"
#include "network/PointTables.h"
#include "project/Document.h"
#include "project/IniFile.h"
#include "table/TableFile.h"

#include <QApplication>
#include <QDir>
#include <QTabWidget>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <string>

namespace {

using namespace korthal;

constexpr int kPoints = 100000;

// A network file of n points around Athens, the first five of them
// reference points, and the reference file that names them.
void writeNetwork(const QString& dir, int n)
{
    DatumShiftTable shifts;
    MemTable gps("GPS");
    defineGPS(gps, shifts);
    MemTable gys("GYS");
    defineGYS(gys);
    gps.disableControls();
    for (int i = 0; i < n; ++i) {
        const Rec r = gps.appendRecord();
        const bool ref = i < 5;
        gps.setString(r, gps::Name, (ref ? "R" : "P") + std::to_string(i));
        gps.setFloat(r, gps::X, 4595000.0 + 13.0 * (i % 100));
        gps.setFloat(r, gps::Y, 2031000.0 + 11.0 * (i / 100 % 100));
        gps.setFloat(r, gps::Z, 3903000.0 + 7.0 * (i % 37));
        gps.setFloat(r, gps::apoxh, 35.0);
        gps.setBoolean(r, gps::detailPoint, !ref);
        if (ref) {
            gps.setFloat(r, gps::E, 476000.0 + 100 * i);
            gps.setFloat(r, gps::N, 4200000.0 + 50 * i);
            gps.setFloat(r, gps::H, 100.0);
            const Rec g = gys.appendRecord();
            gys.setString(g, gys::Name, "R" + std::to_string(i));
            gys.setFloat(g, gys::E, 476000.0 + 100 * i);
            gys.setFloat(g, gys::N, 4200000.0 + 50 * i);
            gys.setFloat(g, gys::H, 100.0);
        }
    }
    gps.enableControls();
    SaveToFile(gps, QDir(dir).filePath(QStringLiteral("big.WGS84")).toStdString());
    SaveToFile(gys, QDir(dir).filePath(QStringLiteral("EGSA87")).toStdString());
}

void BM_StartUpWith100000Points(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString old = QDir::currentPath();
    QDir::setCurrent(dir.path());
    writeNetwork(dir.path(), kPoints);
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
