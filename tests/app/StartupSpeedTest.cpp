// Start-up with a large network loads it whole, and the grid's work when it
// scrolls: only the rows on show are computed.

#include "app/MainWindow.h"
#include "app/NetworkPage.h"
#include "app/Program.h"
#include "geodesy/Dialogs.h"
#include "network/PointTables.h"
#include "project/Document.h"
#include "project/IniFile.h"
#include "table/TableFile.h"

#include <QDir>
#include <QElapsedTimer>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace korthal;
using namespace korthal::app;

namespace {

constexpr int kPoints = 10000;

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
        gps.setFloat(r, gps::Y, 2031000.0 + 11.0 * (i / 100));
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
    QVERIFY(SaveToFile(gps, QDir(dir).filePath(QStringLiteral("big.WGS84")).toStdString()).ok);
    QVERIFY(SaveToFile(gys, QDir(dir).filePath(QStringLiteral("EGSA87")).toStdString()).ok);
}

}  // namespace

class StartupSpeedTest : public QObject {
    Q_OBJECT
private slots:
    void startUpWithTenThousandPoints();
};

void StartupSpeedTest::startUpWithTenThousandPoints()
{
    QTemporaryDir dir;
    const QString old = QDir::currentPath();
    QDir::setCurrent(dir.path());
    writeNetwork(dir.path(), kPoints);
    const QString ini = dir.filePath(QStringLiteral("korthal.INI"));
    {
        IniFile f(ini.toStdString());
        f.writeString("General", "LastFile", "big.WGS84");
    }
    RecordingDialogs rec;

    QElapsedTimer t;
    t.start();
    createWorkingFolders();
    Document doc;
    MainWindow w(doc, ini);
    w.FormCreate();
    w.startModes();
    w.show();
    w.PageControl1()->setCurrentWidget(w.TabSheet2());
    (void)w.grab();  // the first paint of the grid
    const qint64 startMs = t.elapsed();
    QCOMPARE(doc.GPS().recordCount(), kPoints);
    // The figure is printed only: the speed of start-up is measured by
    // bench_startup, not by a timed test.
    qInfo("start-up with %d points: %lld ms", kPoints, startMs);

    // Scrolling: the calculated fields are computed for the rows on show
    // only, not for the whole table.
    NetworkPage* np = w.networkPage();
    np->SBGridClick();  // mode 1 shows calculated latitudes and longitudes
    int calcs = 0;
    auto inner = doc.GPS().onCalcFields;
    doc.GPS().onCalcFields = [&](const RecordView& v, CalcValues& out) {
        ++calcs;
        inner(v, out);
    };
    t.restart();
    QScrollBar* bar = np->grid()->verticalScrollBar();
    for (int step = 0; step < 20; ++step) {
        bar->setValue(bar->maximum() * step / 19);
        (void)np->grid()->grab();
    }
    const qint64 scrollMs = t.elapsed();
    qInfo("20 scroll steps with repaint: %lld ms, %d calculated records", scrollMs, calcs);
    QVERIFY(calcs > 0);
    QVERIFY(calcs < kPoints / 5);
    doc.GPS().onCalcFields = inner;
    QDir::setCurrent(old);
}

QTEST_MAIN(StartupSpeedTest)
#include "StartupSpeedTest.moc"
