// The observation viewer's sky pages on the offscreen platform, with the
// shared observation files and their navigation files: the navigation file
// found beside the observation file, remembered and found again; one picked
// by the user; the elevation chart's satellites against the file and RTKLIB;
// the readout under the pointer; the quality report and the sky plot printed,
// the report saved; the
// pages without orbits; slips and gaps on the observable charts.

#include "AppSession.h"
#include "app/PrintListing.h"
#include "app/RinexChart.h"
#include "app/RinexSkyTabs.h"
#include "app/RinexViewer.h"
#include "network/PointTables.h"
#include "project/IniFile.h"
#include "views/RinexSkySource.h"

#include <QAreaSeries>
#include <QChart>
#include <QCheckBox>
#include <QDateTime>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QScatterSeries>
#include <QTabWidget>
#include <QToolButton>

#include <fstream>
#include <set>
#include <sstream>

using namespace korthal;
using namespace korthal::app;
using korthal::app::testing::Session;

namespace {

const QString kDemo = QStringLiteral(KORTHAL_SOURCE_DIR "/examples/demo");

struct SkySession : Session {
    RinexViewer* v;
    explicit SkySession(int row = 7) : Session(kDemo, QStringLiteral("DEMO.WGS84"))
    {
        doc->GPS().moveToRow(row);
        v = w->rinexViewer();
        v->resize(900, 700);
        v->prepareForCurrentPoint();
        v->show();
    }
    // A shared observation or navigation file copied into the working
    // folder (under another name when `as` is given); its absolute path.
    std::string copy(const char* name, const QString& as = {})
    {
        const QString to = dir.filePath(as.isEmpty() ? QString::fromLatin1(name) : as);
        QFile::copy(QStringLiteral(KORTHAL_SHARED_DATA "/rinex/") + QString::fromLatin1(name), to);
        return to.toStdString();
    }
    void read(const std::string& path)
    {
        rec.inputs.push_back(path);
        v->SpeedButton2Click();
    }
    void showTab(QWidget* page) { v->tabs()->setCurrentWidget(page); }
    std::string remembered(const char* key) const
    {
        return IniFile(rinexSettingsFileName(v->RinexFileName())).readString("FILE", key, "");
    }
};

QString pdfText(const QString& pdf)
{
    QProcess text;
    text.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    text.waitForFinished();
    return QString::fromUtf8(text.readAllStandardOutput());
}

}  // namespace

class RinexSkyTabsTest : public QObject {
    Q_OBJECT
private slots:
    void navigationFileFoundRememberedAndFoundAgain();
    void pickedNavigationFileAndMaskAreRemembered();
    void elevationChartHasTheSatellitesOfTheFile();
    void hoverReadoutNamesTheTrackPoint();
    void reportPrintsAndSavesItsFigures();
    void withoutNavigationThePagesSaySoAndTheReportCounts();
    void slipsAndGapsMarkedOnTheObservableCharts();
};

void RinexSkyTabsTest::navigationFileFoundRememberedAndFoundAgain()
{
    SkySession s;
    const std::string obs = s.copy("07590920.05o");
    const std::string nav = s.copy("07590920.05n");
    s.read(obs);
    QCOMPARE(s.remembered("Navigation"), nav);
    QVERIFY(s.v->observationSky().hasEphemerides());
    QVERIFY(s.v->navigationLabel()->text().contains(QStringLiteral("07590920.05n")));

    // Another point (no table) and back: found again.
    const int here = s.v->ComboBox1()->currentIndex();
    s.v->ComboBox1Change(here == 0 ? 1 : 0);
    QVERIFY(!s.v->observationSky().hasEphemerides());
    s.v->ComboBox1Change(here);
    QCOMPARE(s.v->observationSky().navigationFile(), nav);
    QVERIFY(s.v->observationSky().hasEphemerides());

    // The program started again: the viewer finds it for the point's table.
    RinexViewer fresh(*s.doc);
    fresh.prepareForCurrentPoint();
    QCOMPARE(fresh.observationSky().navigationFile(), nav);
    QVERIFY(fresh.quality().sky.available);

    // A table read before the navigation file was remembered: found beside
    // the observation file named in the companion file, and remembered then.
    IniFile(rinexSettingsFileName(s.v->RinexFileName())).writeString("FILE", "Navigation", "");
    RinexViewer older(*s.doc);
    older.prepareForCurrentPoint();
    QCOMPARE(older.observationSky().navigationFile(), nav);
    QCOMPARE(s.remembered("Navigation"), nav);

    // The demo point lies in Greece, the file's header in Japan: the sky is
    // seen from the header. With the point's coordinates typed near the
    // header's, from the point, once the viewer is opened again.
    QVERIFY(s.v->observationSky().source().positionSource.find("απέχουν 8648 km") !=
            std::string::npos);
    QVERIFY(s.doc->InputIsGeocentric());
    MemTable& gps = s.doc->GPS();
    gps.setFloat(gps.current(), gps::X, -3976199.5);
    gps.setFloat(gps.current(), gps::Y, 3382382.5);
    gps.setFloat(gps.current(), gps::Z, 3652497.0);
    s.v->prepareForCurrentPoint();
    const rinex::SkySource& seen = s.v->observationSky().source();
    QCOMPARE(seen.positionSource, std::string("συντεταγμένες του σημείου του δικτύου"));
    QVERIFY(seen.position && seen.position->X == -3976199.5 && seen.position->Z == 3652497.0);
    QVERIFY(s.v->quality().sky.available);
}

void RinexSkyTabsTest::pickedNavigationFileAndMaskAreRemembered()
{
    SkySession s;
    // Under a name whose navigation file is not beside it.
    const std::string obs = s.copy("07590920.05o", QStringLiteral("point7.05o"));
    // A navigation file with one number damaged (G01's record of 02:00).
    const std::string nav = s.copy("07590920.05n", QStringLiteral("orbits.nav"));
    {
        QFile f(QString::fromStdString(nav));
        QVERIFY(f.open(QIODevice::ReadWrite));
        QByteArray text = f.readAll();
        const qsizetype at = text.indexOf("    1.400000000000D+02-5.218750000000D+01");
        QVERIFY(at > 0);
        text[at + 8] = 'X';
        f.seek(0);
        f.write(text);
    }
    s.read(obs);
    QCOMPARE(s.remembered("Navigation"), std::string());
    SkyPage* page = s.v->skyTabs()->skyPage();
    s.showTab(page);
    QVERIFY(!page->contentShown());
    QVERIFY(page->pickButton()->isVisible());

    s.rec.inputs.push_back(nav);
    page->pickButton()->click();
    QCOMPARE(s.remembered("Navigation"), nav);
    QVERIFY(page->contentShown());
    // The record skipped is counted under the pages and named in the hint.
    QVERIFY2(s.v->navigationLabel()->text().endsWith(QStringLiteral("(1 εγγραφή παραλείφθηκε)")),
             qPrintable(s.v->navigationLabel()->text()));
    QVERIFY2(s.v->navigationLabel()->toolTip().contains(QStringLiteral("14")),
             qPrintable(s.v->navigationLabel()->toolTip()));

    // The mask: changed, remembered, applied to the report, kept on reopening.
    s.v->maskBox()->setValue(15);
    QCOMPARE(s.v->quality().mask, 15.0);
    QCOMPARE(s.remembered("ElevationMask"), std::string("15"));
    RinexViewer fresh(*s.doc);
    fresh.prepareForCurrentPoint();
    QCOMPARE(fresh.maskBox()->value(), 15.0);
    QCOMPARE(fresh.observationSky().navigationFile(), nav);
}

void RinexSkyTabsTest::elevationChartHasTheSatellitesOfTheFile()
{
    SkySession s;
    s.read(s.copy("07590920.05o"));
    s.copy("07590920.05n");
    s.v->findNavigationFile();
    s.showTab(s.v->skyTabs()->elevationPage());
    QVERIFY(s.v->skyTabs()->elevationPage()->contentShown());
    QChart* chart = s.v->skyTabs()->elevationChart();
    // One legend entry per GPS satellite of the file (its epoch lines), and the mask.
    std::set<QString> names;
    QLineSeries* g07 = nullptr;
    for (QAbstractSeries* series : chart->series()) {
        for (QLegendMarker* m : chart->legend()->markers(series))
            if (m->isVisible()) names.insert(series->name());
        if (series->name() == QStringLiteral("G07") && !g07)
            g07 = static_cast<QLineSeries*>(series);
    }
    const std::set<QString> expected{"G01", "G03", "G04", "G07", "G08", "G11",
                                     "G19", "G20", "G23", "G24", "G28", "μάσκα"};
    QCOMPARE(names, expected);
    // G07 at the first epoch against RTKLIB 2.4.3 (elevation 16.2°, to 0.1°).
    QVERIFY(g07 && g07->count() > 0);
    QVERIFY2(std::abs(g07->at(0).y() - 16.2) <= 0.1, qPrintable(QString::number(g07->at(0).y())));

    // No signal strength in this file: the page says so and offers no file.
    SkyPage* snr = s.v->skyTabs()->snrPage();
    QVERIFY(!snr->contentShown());
    QVERIFY(snr->reasonLabel()->text().contains(QStringLiteral("ποιότητα σήματος")));
    QVERIFY(!snr->pickButton()->isVisibleTo(snr));
}

void RinexSkyTabsTest::hoverReadoutNamesTheTrackPoint()
{
    SkySession s;
    s.copy("07590920.05n");
    s.read(s.copy("07590920.05o"));
    s.showTab(s.v->skyTabs()->skyPage());
    SkyPlotWidget* plot = s.v->skyTabs()->skyPlot();
    QVERIFY(plot->width() >= 300);
    const rinex::SkyView& sky = s.v->quality().sky;
    // Reference: RTKLIB 2.4.3 at 00:00 and 00:50, azimuth and elevation to 0.1°.
    struct Case {
        int prn, minute;
        double azimuth, elevation;
    };
    const Case cases[] = {{7, 0, 298.1, 16.2}, {20, 0, 161.2, 45.4}, {24, 50, 271.1, 50.8}};
    for (const Case& c : cases) {
        std::size_t track = sky.tracks.size(), point = 0;
        for (std::size_t t = 0; t < sky.tracks.size(); ++t)
            if (sky.tracks[t].prn == c.prn) track = t;
        QVERIFY(track < sky.tracks.size());
        const auto& points = sky.tracks[track].points;
        // The drawn point nearest the minute.
        double best = 1e9;
        for (std::size_t k = 0; k < points.size(); ++k) {
            const double minute = (s.v->quality().epochs[static_cast<std::size_t>(points[k].epoch)] -
                                   s.v->quality().epochs.front()) / 60.0;
            if (std::abs(minute - c.minute) < best) best = std::abs(minute - c.minute), point = k;
        }
        QVERIFY(best < 1.0);
        QMouseEvent move(QEvent::MouseMove, plot->pointOf(track, point), plot->mapToGlobal(QPointF()),
                         Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(plot, &move);
        const QString text = s.v->skyTabs()->readout()->text();
        const QRegularExpression re(QStringLiteral(
            "^G(\\d\\d)  2005-04-02 00:(\\d\\d):\\d\\d  αζιμούθιο ([\\d.]+)°  ύψος ([\\d.]+)°  SNR -$"));
        const auto m = re.match(text);
        QVERIFY2(m.hasMatch(), qPrintable(text));
        QCOMPARE(m.captured(1).toInt(), c.prn);
        QVERIFY2(std::abs(m.captured(2).toInt() - c.minute) <= 1, qPrintable(text));
        // Within a minute of the reference epoch the satellite moves < 0.3°.
        QVERIFY2(std::abs(m.captured(3).toDouble() - c.azimuth) <= 0.4, qPrintable(text));
        QVERIFY2(std::abs(m.captured(4).toDouble() - c.elevation) <= 0.4, qPrintable(text));
    }
    // Off the tracks: the hint again.
    QMouseEvent away(QEvent::MouseMove, QPointF(2, 2), plot->mapToGlobal(QPointF()), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(plot, &away);
    QVERIFY(!s.v->skyTabs()->readout()->text().startsWith(QStringLiteral("G")));
}

void RinexSkyTabsTest::reportPrintsAndSavesItsFigures()
{
    SkySession s;
    s.copy("07590920.05n");
    s.read(s.copy("07590920.05o"));
    s.showTab(s.v->skyTabs()->reportPage());
    const QString pdf = s.dir.filePath(QStringLiteral("report.pdf"));
    setPrintDialogHook([&](QPrinter& printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        return true;
    });
    s.v->skyTabs()->reportPrintButton()->click();
    setPrintDialogHook({});
    const QString printed = pdfText(pdf);
    // 120 epochs at 30 s, one hour without a gap (the file's epoch lines);
    // G08 loses lock on L1 at 00:28:30 (its LLI digit 1); G27 rises above
    // the mask by the orbit but the receiver never tracked it.
    const QString figures[] = {
        QStringLiteral("120 από 120 αναμενόμενες \\(100[.,]0 %\\)"),
        QStringLiteral("διάστημα \\(s\\) +: 30[.,]000"),
        QStringLiteral("2005-04-02 00:28:30 +G08 +lli"),
        QStringLiteral("χωρίς παρατήρηση *: G27"),
        QStringLiteral("G07 +120 +120 +120 +0 "),
    };
    for (const QString& f : figures)
        QVERIFY2(printed.contains(QRegularExpression(f)), qPrintable(f + "\n" + printed));

    // The sky plot on its A4 page names the satellites and the point.
    const QString skyPdf = s.dir.filePath(QStringLiteral("sky.pdf"));
    setPrintDialogHook([&](QPrinter& printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(skyPdf);
        return true;
    });
    s.showTab(s.v->skyTabs()->skyPage());
    s.v->skyTabs()->skyPrintButton()->click();
    setPrintDialogHook({});
    const QString sky = pdfText(skyPdf);
    for (const char* word : {"διάγραμμα ουρανού", "G07", "G28", "G27", "γωνία αποκοπής: 10"})
        QVERIFY2(sky.contains(QString::fromUtf8(word)), qPrintable(QString::fromUtf8(word) + "\n" + sky));

    // Saved as text, the same figures.
    const std::string out = s.dir.filePath(QStringLiteral("qc.txt")).toStdString();
    s.rec.inputs.push_back(out);
    s.v->skyTabs()->reportSaveButton()->click();
    QCOMPARE(s.doc->LastTextFile, out);
    QFile saved(QString::fromStdString(out));
    QVERIFY(saved.open(QIODevice::ReadOnly));
    const QByteArray bytes = saved.readAll();
    QVERIFY(bytes.contains("2005-04-02 00:28:30  G08  lli"));
    QVERIFY(bytes.contains("G27"));
}

void RinexSkyTabsTest::withoutNavigationThePagesSaySoAndTheReportCounts()
{
    SkySession s;
    s.read(s.copy("delf0010.21o"));
    for (SkyPage* page : {s.v->skyTabs()->skyPage(), s.v->skyTabs()->elevationPage(),
                          s.v->skyTabs()->snrPage()}) {
        s.showTab(page);
        QVERIFY(!page->contentShown());
        QVERIFY2(page->reasonLabel()->text().contains(QStringLiteral("Δεν βρέθηκε αρχείο εφημερίδων")),
                 qPrintable(page->reasonLabel()->text()));
        QVERIFY(page->pickButton()->isVisible());
    }
    QVERIFY(s.v->skyBar()->isVisible());
    QVERIFY(s.v->navigationLabel()->text().contains(QStringLiteral("χωρίς αρχείο εφημερίδων")));
    // 105 epochs at 30 s (the file's epoch lines) need no orbits.
    s.showTab(s.v->skyTabs()->reportPage());
    const QString report = s.v->skyTabs()->reportText()->toPlainText();
    QVERIFY2(report.contains(QRegularExpression(QStringLiteral("105 από 105 αναμενόμενες"))),
             qPrintable(report));
    QVERIFY(report.contains(QStringLiteral("χωρίς ύψη δορυφόρων")));
    // The other tabs have no sky bar.
    s.showTab(s.v->TabSheet1());
    QVERIFY(!s.v->skyBar()->isVisible());
}

void RinexSkyTabsTest::slipsAndGapsMarkedOnTheObservableCharts()
{
    const auto timeOf = [](const QPointF& p) {
        return QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(p.x())).time().toString(
            QStringLiteral("hh:mm:ss"));
    };
    {
    SkySession s;
    // Six epochs in three runs: 00:00:00-00:00:30, 01:10:00, 02:25:00-02:26:00.
    s.read(s.copy("rovn0010.21o"));
    s.showTab(s.v->chartTab(rinex::SlotL1));
    RinexChart* c = s.v->Chart1();
    QCOMPARE(c->gapSeries().size(), std::size_t(2));
    QCOMPARE(timeOf(c->gapSeries()[0]->upperSeries()->at(0)), QStringLiteral("00:00:30"));
    QCOMPARE(timeOf(c->gapSeries()[0]->upperSeries()->at(1)), QStringLiteral("01:10:00"));
    QCOMPARE(timeOf(c->gapSeries()[1]->upperSeries()->at(0)), QStringLiteral("01:10:00"));
    QCOMPARE(timeOf(c->gapSeries()[1]->upperSeries()->at(1)), QStringLiteral("02:25:00"));
    }

    // G08's loss of lock on the L1 line at 00:28:30, shifted with its line.
    SkySession t;
    t.copy("07590920.05n");
    t.read(t.copy("07590920.05o"));
    t.showTab(t.v->chartTab(rinex::SlotL1));
    RinexChart* l1 = t.v->Chart1();
    QVERIFY(l1->slipSeries());
    QCOMPARE(l1->slipSeries()->count(), 1);
    QCOMPARE(timeOf(l1->slipSeries()->at(0)), QStringLiteral("00:28:30"));
    const QPointF mark = l1->slipSeries()->at(0);
    const QLineSeries* g08 = nullptr;
    for (QLineSeries* line : l1->lines())
        if (line->name() == QStringLiteral("G08")) g08 = line;
    QVERIFY(g08);
    bool onLine = false;
    for (const QPointF& p : g08->points()) onLine = onLine || (p.x() == mark.x() && p.y() == mark.y());
    QVERIFY(onLine);
    // Nothing corrects the slips: the box stays disabled.
    QVERIFY(!l1->slipsBox()->isEnabled());
}

QTEST_MAIN(RinexSkyTabsTest)
#include "RinexSkyTabsTest.moc"
