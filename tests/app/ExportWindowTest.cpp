// The export button of the main window exports the table of the tab shown,
// in the file type chosen in its save dialog.

#include "AppSession.h"
#include "export/PointExport.h"

#include <QFileInfo>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

using namespace korthal;
using namespace korthal::app;
using namespace korthal::app::testing;

class ExportWindowTest : public QObject {
    Q_OBJECT
private slots:
    void exportsTheTableOfTheTab();
};

void ExportWindowTest::exportsTheTableOfTheTab()
{
    Session s(QStringLiteral(KORTHAL_SOURCE_DIR "/examples/demo"), QStringLiteral("DEMO.WGS84"));
    QString opened;
    s.w->fileOpener = [&](const QString& f) { opened = f; };
    QCOMPARE(s.doc->GPS().recordCount(), 36);

    // The reference tab exports the reference points.
    s.w->PageControl1()->setCurrentWidget(s.w->TabSheet1());
    s.rec.inputs.push_back(std::string("trig"));
    s.rec.fileTypes.push_back(static_cast<int>(ExportFormat::GeoJSON));
    s.w->SpeedButton3()->click();
    QVERIFY(QFileInfo::exists(s.dir.filePath(QStringLiteral("trig.geojson"))));
    QVERIFY(opened.isEmpty());  // only a listing is shown
    QVERIFY(QString::fromStdString(s.rec.messages().back()).startsWith(QStringLiteral("Γράφτηκαν 10 σημεία")));

    // The network tab the network points.
    s.w->PageControl1()->setCurrentWidget(s.w->TabSheet2());
    s.rec.inputs.push_back(std::string("net.dxf"));
    s.w->SpeedButton3()->click();
    QVERIFY(QFileInfo::exists(s.dir.filePath(QStringLiteral("net.dxf"))));
    QVERIFY(QString::fromStdString(s.rec.messages().back()).startsWith(QStringLiteral("Γράφτηκαν 36 σημεία")));
}

QTEST_MAIN(ExportWindowTest)
#include "ExportWindowTest.moc"
