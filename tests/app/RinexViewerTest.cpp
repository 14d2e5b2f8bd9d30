// The observation viewer on the offscreen platform: opened for the current
// point, reading an observation file into the point's table, the path rule
// and "same point: nothing reloads", the grid's texts, colours, sorting and
// hint, the column list, the charts with their check box, zoom and print, and
// the table's listing.

#include "AppSession.h"
#include "app/PrintListing.h"
#include "app/RinexChart.h"
#include "app/RinexGrid.h"
#include "app/RinexViewer.h"
#include "network/PointTables.h"
#include "project/TextOutput.h"
#include "views/RinexReader.h"
#include "project/Settings.h"

#include <QCheckBox>
#include <QDateTime>
#include <QDateTimeAxis>
#include <QFileInfo>
#include <QLabel>
#include <QLineSeries>
#include <QListWidget>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProcess>
#include <QProgressDialog>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <QValueAxis>
#include <QWheelEvent>

#include <fstream>
#include <sstream>
#include <set>

using namespace korthal;
using namespace korthal::app;
using korthal::app::testing::Session;

namespace {

const QString kDemo = QStringLiteral(KORTHAL_SOURCE_DIR "/examples/demo");

std::string rinexFile(const char* name)
{
    return std::string(KORTHAL_SHARED_DATA) + "/rinex/" + name;
}

// The demo network with the viewer prepared for its point in row `row`.
struct ViewerSession : Session {
    RinexViewer* v;
    explicit ViewerSession(int row = 7) : Session(kDemo, QStringLiteral("DEMO.WGS84"))
    {
        doc->GPS().moveToRow(row);
        v = w->rinexViewer();
        v->prepareForCurrentPoint();
        v->show();
    }
    std::string pointName() const { return doc->GPS().asString(gps::Name); }
    std::string expectedPath() const
    {
        char id[16];
        std::snprintf(id, sizeof id, "%06lld", doc->GPS().asInteger(gps::ID));
        return std::string("./RINEX/DEMO") + id + ".RNX";
    }
    // Reads a shared observation file through the search button.
    void read(const char* name)
    {
        rec.inputs.push_back(rinexFile(name));
        v->SpeedButton2Click();
    }
    QVariant cell(int row, int column, int role = Qt::DisplayRole) const
    {
        const auto* m = v->Grid()->gridModel();
        return m->data(m->index(row, column), role);
    }
};

}  // namespace

class RinexViewerTest : public QObject {
    Q_OBJECT
private slots:
    void rinexButtonOpensTheViewerForTheCurrentPoint();
    void readingAFileShowsItsColumnsChartsAndPosition();
    void samePointDoesNotReload();
    void gridTextsColoursSortingAndHint();
    void chartPerObservable();
    void chartPrintsOnALandscapeA4Page();
    void tableListingOfTheVisibleColumns();
    void withoutPointsNothingCanBeRead();
    void generalPageShowsTheFileWhateverTheLocale();
    void noProgressWindowOverAWaitingMessage();
    void searchOffersTheRinexPatternsAndTheSizeIsKept();
};

void RinexViewerTest::rinexButtonOpensTheViewerForTheCurrentPoint()
{
    Session s(kDemo, QStringLiteral("DEMO.WGS84"));
    QToolButton* b = s.w->networkPage()->rinexButton();
    QCOMPARE(b->text(), QStringLiteral("RINEX"));
    QCOMPARE(b->toolTip(), QStringLiteral("Εμφανίζει το αρχείο παρατηρήσεων RINEX"));
    s.doc->GPS().moveToRow(3);
    const QString name = QString::fromStdString(s.doc->GPS().asString(gps::Name));
    bool shown = false;
    QString caption, selected;
    int items = 0;
    QTimer::singleShot(0, [&] {
        RinexViewer* v = s.w->rinexViewer();
        shown = v->isVisible() && v->isModal();
        caption = v->windowTitle();
        selected = v->ComboBox1()->currentText();
        items = v->ComboBox1()->count();
        v->reject();  // Esc
    });
    b->click();
    QVERIFY(shown);
    QCOMPARE(caption, QStringLiteral("  Παρατηρήσεις του σημείου \"") + name + QStringLiteral("\""));
    QCOMPARE(selected, name);
    // Every point of the network, in table order.
    QCOMPARE(items, s.doc->GPS().recordCount());
    QCOMPARE(static_cast<std::size_t>(items), s.doc->pointNames().size());
}

void RinexViewerTest::readingAFileShowsItsColumnsChartsAndPosition()
{
    ViewerSession s;
    RinexViewer* v = s.v;
    QCOMPARE(v->RinexFileName(), s.expectedPath());
    // No table yet: no value columns, no chart tabs, the position 0.
    QCOMPARE(v->rinex().table().recordCount(), 0);
    for (int slot = 1; slot <= 8; ++slot) QVERIFY(!v->tabShown(v->chartTab(slot)));
    QCOMPARE(v->Label4()->text(), QStringLiteral("0"));

    s.read("delf0010.21o");
    QVERIFY2(s.rec.messages().empty(), s.rec.messages().empty() ? "" : s.rec.messages()[0].c_str());
    const int records = v->rinex().table().recordCount();
    QVERIFY(records > 1000);
    QCOMPARE(v->Grid()->model()->rowCount(), records);
    QVERIFY(QFileInfo::exists(QString::fromStdString(s.expectedPath())));
    // The types of the header (L1 L2 C1 P2 P1 S1 S2): their value columns
    // and chart tabs; the LLI and strength columns hidden.
    for (int slot : {1, 3, 4, 5, 6}) QVERIFY(v->tabShown(v->chartTab(slot)));
    for (int slot : {2, 7, 8}) QVERIFY(!v->tabShown(v->chartTab(slot)));
    QVERIFY(!v->Grid()->isColumnHidden(5));   // C1
    QVERIFY(v->Grid()->isColumnHidden(6));    // C1-LLI
    QVERIFY(v->Grid()->isColumnHidden(8));    // C2
    QVERIFY(!v->Grid()->isColumnHidden(17));  // L1
    QVERIFY(v->Grid()->isColumnHidden(20));   // L1-slip
    QVERIFY(!v->Grid()->isColumnHidden(33));  // comments
    QVERIFY(v->Label4()->text().startsWith(QStringLiteral("3924687")));
    QVERIFY(v->Label6()->text().endsWith(QStringLiteral("775")));

    // The column list: unticking "L1" hides the column and the tab.
    QListWidget* list = v->CheckListBox2();
    QCOMPARE(list->count(), 33);
    list->item(12)->setCheckState(Qt::Unchecked);
    QVERIFY(v->Grid()->isColumnHidden(17));
    QVERIFY(!v->tabShown(v->chartTab(rinex::SlotL1)));
    list->item(13)->setCheckState(Qt::Checked);  // L1-LLI
    QVERIFY(!v->Grid()->isColumnHidden(18));
}

void RinexViewerTest::samePointDoesNotReload()
{
    ViewerSession s;
    RinexViewer* v = s.v;
    s.read("07590920.05o");
    QCOMPARE(v->rinex().table().recordCount(), 948);
    RinexGridModel* m = v->Grid()->gridModel();
    // A comment typed into the grid stays when the same point is shown again.
    QVERIFY(m->setData(m->index(0, 33), QStringLiteral("ιστός"), Qt::EditRole));
    QVERIFY(!m->setData(m->index(0, 5), QStringLiteral("1"), Qt::EditRole));  // observations stay
    v->prepareForCurrentPoint();
    QCOMPARE(s.cell(0, 33).toString(), QStringLiteral("ιστός"));
    const std::string first = s.pointName();

    // Another point: its own (missing) table; the network's record follows.
    const int other = v->ComboBox1()->currentIndex() + 1;
    const QString otherName = v->ComboBox1()->itemText(other);
    v->ComboBox1()->setCurrentIndex(other);
    v->ComboBox1Change(other);
    QCOMPARE(QString::fromStdString(s.pointName()), otherName);
    QCOMPARE(v->rinex().table().recordCount(), 0);
    QVERIFY(v->windowTitle().contains(QLatin1Char('"') + otherName + QLatin1Char('"')));
    // Back: the table file is loaded again, with the comment it was left with.
    const int back = v->ComboBox1()->findText(QString::fromStdString(first));
    v->ComboBox1Change(back);
    QCOMPARE(v->rinex().table().recordCount(), 948);
    QCOMPARE(s.cell(0, 33).toString(), QStringLiteral("ιστός"));
}

void RinexViewerTest::gridTextsColoursSortingAndHint()
{
    ViewerSession s;
    RinexViewer* v = s.v;
    s.read("07590920.05o");
    RinexGrid* g = v->Grid();
    const QColor first(251, 251, 238), second(238, 240, 251);
    // Epoch order: epoch 1 (odd) in the second colour, epoch 2 in the first.
    QCOMPARE(s.cell(0, 0).toString(), QStringLiteral("1"));
    QCOMPARE(s.cell(0, 0, Qt::BackgroundRole).value<QColor>(), second);
    int row2 = 0;
    while (s.cell(row2, 0).toString() == QStringLiteral("1")) ++row2;
    QCOMPARE(s.cell(row2, 0, Qt::BackgroundRole).value<QColor>(), first);
    QCOMPARE(s.cell(0, 3).toString(), QStringLiteral("normal"));
    QCOMPARE(s.cell(0, 3, Qt::ForegroundRole).value<QColor>(), QColor(Qt::black));
    // The L2 LLI digit 4 of this receiver: "AS ON" in red.
    QCOMPARE(s.cell(0, 23).toString(), QStringLiteral("AS ON"));
    QCOMPARE(s.cell(0, 23, Qt::ForegroundRole).value<QColor>(), QColor(255, 0, 0));

    // A click on the PRN title sorts by satellite; the colour changes with it.
    QHeaderView* h = g->horizontalHeader();
    QTest::mouseClick(h->viewport(), Qt::LeftButton, {},
                      QPoint(h->sectionViewportPosition(4) + 5, 40));
    QCOMPARE(QString::fromStdString(v->rinex().table().indexName()), QStringLiteral("byPRN"));
    QCOMPARE(s.cell(0, 4).toString(), QStringLiteral("G01"));
    int change = 0;
    while (s.cell(change, 4).toString() == QStringLiteral("G01")) ++change;
    QCOMPARE(s.cell(change - 1, 4, Qt::BackgroundRole).value<QColor>(), second);
    QCOMPARE(s.cell(change, 4, Qt::BackgroundRole).value<QColor>(), first);
    // Other titles: the epoch ones sort by epoch, the others do nothing.
    g->titleClick(5);
    QCOMPARE(QString::fromStdString(v->rinex().table().indexName()), QStringLiteral("byPRN"));
    g->titleClick(2);
    QCOMPARE(QString::fromStdString(v->rinex().table().indexName()), QStringLiteral("byEpoxh"));

    // The hint over the sorting titles only.
    g->titleMouseMove(QPoint(10, 10));
    QCOMPARE(h->viewport()->toolTip(), QStringLiteral("Κάντε κλίκ για αλλαγή ταξινόμισης"));
    QCOMPARE(h->viewport()->cursor().shape(), Qt::DragCopyCursor);
    int sortWidth = 0;
    for (int c = 0; c < 5; ++c) sortWidth += g->fullWidth(c);
    g->titleMouseMove(QPoint(sortWidth + 5, 10));
    QCOMPARE(h->viewport()->toolTip(), QString());
    g->titleMouseMove(QPoint(10, RinexGrid::kTitleBand + 5));
    QCOMPARE(h->viewport()->toolTip(), QString());
    // The group titles and the fixed heights.
    QCOMPARE(g->groupHeader()->groupTitle(0), QStringLiteral("εποχή παρατήρησης"));
    QCOMPARE(g->groupHeader()->groupTitle(5), QStringLiteral("C/A-1"));
    QCOMPARE(g->groupHeader()->groupTitle(4), QString());
    QCOMPARE(h->height(), RinexGrid::kTitleBand);
    QCOMPARE(g->verticalHeader()->defaultSectionSize(), RinexGrid::kRowHeight);
}

void RinexViewerTest::chartPerObservable()
{
    ViewerSession s;
    RinexViewer* v = s.v;
    s.read("07590920.05o");
    RinexChart* c = v->Chart1();
    QVERIFY(c->alignBox()->isChecked());
    QCOMPARE(c->alignBox()->toolTip(), QStringLiteral("Ταυτίζει τα offset όλων των γραμμών"));
    QVERIFY(!c->slipsBox()->isEnabled());
    QCOMPARE(c->slipsBox()->toolTip(), QStringLiteral("Κάνει διόρθωση των cycle slips"));
    QVERIFY(!c->helpButton()->isEnabled());
    QCOMPARE(c->printButton()->text(), QStringLiteral("Εκτύπωση"));
    QCOMPARE(c->printButton()->toolTip(), QStringLiteral("Εκτυπώνει το γράφημα σε  Landscape A4"));

    v->tabs()->setCurrentWidget(v->chartTab(rinex::SlotL1));
    QCOMPARE(c->parentWidget(), v->chartTab(rinex::SlotL1));
    QCOMPARE(c->lines().size(), std::size_t(11));
    QCOMPARE(c->lines().front()->name(), QStringLiteral("G01"));
    QCOMPARE(c->lines().back()->name(), QStringLiteral("G28"));
    QCOMPARE(c->valueAxis()->titleText(), QStringLiteral("Φάσεις (m)"));
    QCOMPARE(c->timeAxis()->titleText(), QStringLiteral("χρόνος παρατήρησης  (GPS)"));
    QCOMPARE(c->timeAxis()->format(), QStringLiteral("h:mm:ss"));
    QVERIFY(c->chart()->legend()->reverseMarkers());
    QCOMPARE(c->lines().front()->pen().width(), 3);
    // "συσχέτιση": every line starts at 0; unticked, the phase in metres.
    QApplication::processEvents();
    const rinex::SatelliteSeries& g01 = c->series().satellites.front();
    QCOMPARE(c->lines().front()->at(0).y(), 0.0);
    c->alignBox()->setChecked(false);
    QCOMPARE(c->lines().front()->at(0).y(), g01.points.front().value);
    QCOMPARE(c->lines().front()->at(0).x(), c->xOf(g01.points.front().ms));

    // The wheel zooms into the time span, the reset button shows it all again.
    const qint64 span = c->timeAxis()->max().toMSecsSinceEpoch() - c->timeAxis()->min().toMSecsSinceEpoch();
    const QPointF centre = c->chart()->plotArea().center();
    QWheelEvent wheel(centre, c->view()->mapToGlobal(centre.toPoint()), {}, QPoint(0, 120),
                      Qt::NoButton, {}, Qt::NoScrollPhase, false);
    QApplication::sendEvent(c->view()->viewport(), &wheel);
    const qint64 zoomed = c->timeAxis()->max().toMSecsSinceEpoch() - c->timeAxis()->min().toMSecsSinceEpoch();
    QVERIFY(zoomed < span);
    c->resetButton()->click();
    QCOMPARE(c->timeAxis()->max().toMSecsSinceEpoch() - c->timeAxis()->min().toMSecsSinceEpoch(), span);

    // P2: metres as stored.
    v->tabs()->setCurrentWidget(v->chartTab(rinex::SlotP2));
    QCOMPARE(c->parentWidget(), v->chartTab(rinex::SlotP2));
    QCOMPARE(c->series().slot, int(rinex::SlotP2));
    QVERIFY(s.rec.messages().empty());

    // Another file read in place of this one: the chart on show follows it.
    s.rec.answers.push_back(Answer::Yes);
    s.read("KOSG0010.95O");
    QCOMPARE(v->rinex().table().recordCount(), 23);
    QCOMPARE(v->tabs()->currentWidget(), v->chartTab(rinex::SlotP2));
    std::set<long long> satellites;
    for (Rec r = v->rinex().table().firstStored(); r != NoRec; r = v->rinex().table().nextStored(r))
        satellites.insert(v->rinex().table().getInteger(r, rnx::PRN));
    QCOMPARE(c->lines().size(), satellites.size());
    QCOMPARE(c->series().points, 23);
}

void RinexViewerTest::chartPrintsOnALandscapeA4Page()
{
    ViewerSession s;
    s.read("07590920.05o");
    s.v->tabs()->setCurrentWidget(s.v->chartTab(rinex::SlotC1));
    QApplication::processEvents();
    // The print dialog answered: into a PDF file.
    const QString pdf = s.dir.filePath(QStringLiteral("chart.pdf"));
    QString offered;
    setPrintDialogHook([&](QPrinter& printer) {
        offered = printer.outputFileName();
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        return true;
    });
    const bool printed = s.v->Chart1()->printButton()->isEnabled() && s.v->Chart1()->print();
    setPrintDialogHook({});
    QVERIFY(printed);
    // Without a printer the dialog starts on a PDF file beside the table.
    if (QPrinterInfo::availablePrinterNames().isEmpty())
        QVERIFY2(offered.endsWith(QStringLiteral("/RINEX/DEMO") +
                                  QString::fromStdString(s.expectedPath()).mid(12, 6) +
                                  QStringLiteral("_C1.pdf")),
                 qPrintable(offered));
    QVERIFY(QFileInfo(pdf).size() > 1000);
    QProcess info;
    info.start(QStringLiteral("pdfinfo"), {pdf});
    QVERIFY(info.waitForFinished());
    const QString out = QString::fromUtf8(info.readAllStandardOutput());
    QVERIFY2(out.contains(QRegularExpression(QStringLiteral("Pages: +1\n"))), qPrintable(out));
    QVERIFY2(out.contains(QStringLiteral("842 x 595")), qPrintable(out));  // A4 across
    QProcess text;
    text.start(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
    QVERIFY(text.waitForFinished());
    const QString words = QString::fromUtf8(text.readAllStandardOutput());
    QVERIFY2(words.contains(QStringLiteral("G07")), qPrintable(words));
    QVERIFY2(words.contains(QStringLiteral("Ψευδοαποστάσεις")), qPrintable(words));
    // The heading names the point, the observable and the shift of the lines.
    QVERIFY2(words.contains(QRegularExpression(
                 QStringLiteral("Παρατηρήσεις του σημείου \"") +
                 QString::fromStdString(s.pointName()) + QStringLiteral("\" +- +C1\n"))),
             qPrintable(words));
    QVERIFY2(words.contains(QStringLiteral("συσχέτιση")), qPrintable(words));
    // The time axis ticks on round times of day.
    QCOMPARE(QDateTime::fromMSecsSinceEpoch(s.v->Chart1()->timeAxis()->min().toMSecsSinceEpoch())
                 .time()
                 .second(),
             0);

    // A PDF file that cannot be written is said so, not taken for printed.
    s.rec.clear();
    const QString nowhere = s.dir.filePath(QStringLiteral("no such folder/chart.pdf"));
    setPrintDialogHook([&](QPrinter& printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(nowhere);
        return true;
    });
    const bool failed = !s.v->Chart1()->print();
    setPrintDialogHook({});
    QVERIFY(failed);
    QCOMPARE(s.rec.messages().size(), std::size_t(1));
    QVERIFY2(s.rec.messages()[0].find("chart.pdf") != std::string::npos, s.rec.messages()[0].c_str());
}

void RinexViewerTest::tableListingOfTheVisibleColumns()
{
    ViewerSession s;
    s.read("07590920.05o");
    // Printed: into a PDF file through the print dialog.
    const QString pdf = s.dir.filePath(QStringLiteral("table.pdf"));
    setPrintDialogHook([&](QPrinter& printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        return true;
    });
    const bool printed = s.v->printTable();
    setPrintDialogHook({});
    QVERIFY(printed);
    QProcess text;
    text.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    QVERIFY(text.waitForFinished());
    const QString printedText = QString::fromUtf8(text.readAllStandardOutput());
    QVERIFY2(printedText.contains(QStringLiteral("24.767.686,375")), qPrintable(printedText.left(2000)));
    QVERIFY(printedText.contains(QStringLiteral("L2")));
    QVERIFY(!printedText.contains(QStringLiteral("C1-LLI")));

    QString opened;
    s.w->fileOpener = [&](const QString& f) { opened = f; };
    const std::string out = s.dir.filePath(QStringLiteral("obs.txt")).toStdString();
    s.rec.inputs.push_back(out);
    QVERIFY(s.v->saveTable());
    QCOMPARE(s.doc->LastTextFile, out);
    QVERIFY(opened.endsWith(QStringLiteral("obs.txt")));
    const auto lines = readTextLines(out);
    QVERIFY(lines.has_value());
    QVERIFY(lines->size() == 6u + 948u);
    // The titles of the visible columns only.
    const std::string& titles = (*lines)[4];
    for (const char* t : {"α/α", "ώρα", "PRN", "C1", "L1", "L2", "P2", "σχόλια"})
        QVERIFY2(titles.find(t) != std::string::npos, t);
    QVERIFY(titles.find("C1-LLI") == std::string::npos);
    QVERIFY(titles.find("D1") == std::string::npos);
    // The value columns with the output file's separators (DEMO.INI: , and .).
    QVERIFY2((*lines)[6].find("24.767.686,375") != std::string::npos, (*lines)[6].c_str());
}

void RinexViewerTest::withoutPointsNothingCanBeRead()
{
    Session s;
    RinexViewer* v = s.w->rinexViewer();
    v->prepareForCurrentPoint();
    QCOMPARE(v->windowTitle(), QStringLiteral("  Παρατηρήσεις του σημείου \"\""));
    QVERIFY(!v->SpeedButton2()->isEnabled());
    QCOMPARE(v->ComboBox1()->count(), 0);
    QCOMPARE(v->RinexFileName(), std::string());
}

// The "Γενικά" page: the header's position whatever decimal separator the
// companion file was written with, labelled as geocentric X, Y, Z; the
// file read, its receiver, antenna, antenna height, interval, first and
// last epoch, the observations of other systems skipped and the codes.
void RinexViewerTest::generalPageShowsTheFileWhateverTheLocale()
{
    ViewerSession s;
    RinexViewer* v = s.v;
    s.read("DUTH0630.22D");
    QVERIFY2(s.rec.messages().empty(), s.rec.messages().empty() ? "" : s.rec.messages()[0].c_str());
    QVERIFY(v->Label4()->text().startsWith(QStringLiteral("4362689")));
    QVERIFY(v->Label6()->text().startsWith(QStringLiteral("4174234")));
    const QList<QLabel*> rows = v->TabSheet1()->findChildren<QLabel*>();
    QVERIFY(std::any_of(rows.begin(), rows.end(),
                        [](QLabel* l) { return l->text() == QStringLiteral("Ζ ="); }));
    using I = RinexViewer::Info;
    QCOMPARE(v->info(I::File)->text(), QStringLiteral("DUTH0630.22D"));
    QCOMPARE(v->info(I::Receiver)->text(), QStringLiteral("LEICA GRX1200GGPRO"));
    QCOMPARE(v->info(I::Antenna)->text(), QStringLiteral("LEIAT504GG      LEIS"));
    QVERIFY2(v->info(I::AntennaHeight)->text().endsWith(QStringLiteral("1830 m")),
             qPrintable(v->info(I::AntennaHeight)->text()));
    QCOMPARE(v->info(I::Interval)->text(), QStringLiteral("30 s"));
    QCOMPARE(v->info(I::First)->text(), QStringLiteral("4/3/2022 00:00:00"));
    QCOMPARE(v->info(I::Last)->text(), QStringLiteral("4/3/2022 00:57:00"));
    QCOMPARE(v->info(I::OtherSystems)->text(), QStringLiteral("23"));
    QCOMPARE(v->info(I::Codes)->text(),
             QStringLiteral("C1=C1C L1=L1C D1=D1C S1=S1C P2=C2W L2=L2W D2=D2W S2=S2W"));
    // The line under the tabs says what was skipped.
    QVERIFY(v->summaryLine()->isVisibleTo(v));
    QVERIFY2(v->summaryLine()->text().contains(
                 QStringLiteral("παρατηρήσεις άλλων συστημάτων που παραλείφθηκαν: 23")),
             qPrintable(v->summaryLine()->text()));
    // The chart's print heading names the file read, not the table.
    v->tabs()->setCurrentWidget(v->chartTab(rinex::SlotC1));
    QVERIFY(v->Chart1()->heading.contains(QStringLiteral("DUTH0630.22D")));
    QVERIFY(!v->Chart1()->heading.contains(QStringLiteral(".RNX")));

    // A companion file written under a desktop locale with the decimal comma.
    const std::string ini = rinexSettingsFileName(s.expectedPath());
    std::ofstream(ini) << "[POSITION]\r\nXo=4362689,8809\r\nYo=2026647,9686\r\nHo=4174234,2239\r\n";
    v->ApplyObservationTypes();
    QVERIFY2(v->Label4()->text().startsWith(QStringLiteral("4362689")), qPrintable(v->Label4()->text()));
    QVERIFY(v->Label6()->text().startsWith(QStringLiteral("4174234")));
}

// A file cut inside an epoch: the message waits for an answer for more
// than a second, and no progress window shows over or under it.
void RinexViewerTest::noProgressWindowOverAWaitingMessage()
{
    ViewerSession s;
    struct Slow : RecordingDialogs {
        int progressShown = -1;
        void message(const std::string& text, MsgIcon icon, const std::string& caption) override
        {
            QTest::qWait(1200);
            progressShown = 0;
            for (QWidget* w : QApplication::topLevelWidgets())
                if (qobject_cast<QProgressDialog*>(w) && w->isVisible()) ++progressShown;
            RecordingDialogs::message(text, icon, caption);
        }
    } slow;
    std::ifstream in(rinexFile("delf0010.21o"), std::ios::binary);
    std::stringstream whole;
    whole << in.rdbuf();
    std::string text = whole.str();
    text.resize(text.find(" 21  1  1  0 30  0.0000000") + 200);
    const std::string cut = s.dir.filePath(QStringLiteral("cut.21o")).toStdString();
    std::ofstream(cut, std::ios::binary) << text;
    slow.inputs.push_back(cut);
    s.v->SpeedButton2Click();
    QCOMPARE(slow.messages().size(), std::size_t(1));
    QVERIFY(slow.messages()[0].find("τελειώνει μέσα στην εποχή") != std::string::npos);
    QCOMPARE(slow.progressShown, 0);
    QCOMPARE(s.v->rinex().table().recordCount(), 0);
}

// The search offers the observation files' patterns in Greek; the window
// keeps its size and maximized state for the next opening.
void RinexViewerTest::searchOffersTheRinexPatternsAndTheSizeIsKept()
{
    ViewerSession s;
    s.v->SpeedButton2Click();  // cancelled
    QCOMPARE(s.rec.entries.size(), std::size_t(1));
    const std::string filter = s.rec.entries[0].text;
    for (const char* part : {"*.??o", "*.??d", "*.rnx", "*.crx", "*.gz", "*.Z", "Όλα τα αρχεία|*"})
        QVERIFY2(filter.find(part) != std::string::npos, filter.c_str());

    s.v->hide();
    QSize shown;
    bool maximized = true;
    QTimer::singleShot(0, [&] {
        s.v->resize(760, 520);
        QApplication::processEvents();
        s.v->reject();
    });
    s.v->showForCurrentPoint();
    QCOMPARE(s.doc->RinexWindowPlacement.width, 760);
    QCOMPARE(s.doc->RinexWindowPlacement.height, 520);
    QVERIFY(!s.doc->RinexWindowPlacement.maximized);
    QTimer::singleShot(0, [&] {
        shown = s.v->size();
        maximized = s.v->isMaximized();
        s.v->reject();
    });
    s.v->showForCurrentPoint();
    QCOMPARE(shown, QSize(760, 520));
    QVERIFY(!maximized);
    // Through the program settings file.
    std::string error;
    ProgramSettings p;
    p.rinexWindow = WindowPlacement{true, 10, 20, 800, 500, true};
    QVERIFY(saveProgramSettings(s.ini.toStdString(), p, error));
    const ProgramSettings back = loadProgramSettings(s.ini.toStdString());
    QVERIFY(back.rinexWindow.known && back.rinexWindow.maximized);
    QCOMPARE(back.rinexWindow.width, 800);
}

QTEST_MAIN(RinexViewerTest)
#include "RinexViewerTest.moc"
