// Start-up with a large network loads it whole, and the grid's work when it
// scrolls: only the rows on show are computed.

#include "app/MainWindow.h"
#include "app/NetworkPage.h"
#include "app/Program.h"
#include "network/PointTables.h"
#include "project/Dialogs.h"
#include "project/Document.h"
#include "project/IniFile.h"
#include "tools/DemoData.h"

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
    QVERIFY(demo::writeGridNetwork(dir.path().toStdString(), kPoints));
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
