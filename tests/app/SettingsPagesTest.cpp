// The settings pages on the offscreen platform: number display per
// destination, the transformation page on the demo network, the test page,
// and the calculator following the grids.

#include "AppSession.h"
#include "app/CalculatorPage.h"
#include "app/NumberPage.h"
#include "app/PointTableModel.h"
#include "app/TestPage.h"
#include "app/TransformPage.h"
#include "network/PointTables.h"
#include "project/IniFile.h"
#include "project/Settings.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QTabBar>
#include <QTableWidget>
#include <QTimer>
#include <QToolButton>

using namespace korthal;
using namespace korthal::app;
using korthal::app::testing::Session;

namespace {
const QString kDemo = QStringLiteral(KORTHAL_SOURCE_DIR "/examples/demo");
}

class SettingsPagesTest : public QObject {
    Q_OBJECT
private slots:
    void numberPagesKeepTheirOwnValues();
    void separatorsStayDifferentAndRedrawTheGrid();
    void transformationPageOnTheDemoNetwork();
    void residualTableMarksTheSuspectAndLeavesPointsOut();
    void datumPagesShowTheirDatums();
    void datumShiftEditRefusesText();
    void testPageWritesItsReport();
    void testPageCreatesItsReportAtTheStart();
    void testPageLeavesTheNetworkTransformation();
    void calculatorAndMemoFollowTheGrid();
};

void SettingsPagesTest::numberPagesKeepTheirOwnValues()
{
    Session s;
    NumberPage* p = s.w->numberPage();
    QCOMPARE(p->TabControlDecimal->count(), 3);
    QCOMPARE(p->TabControlDecimal->tabText(0), QStringLiteral("Οθόνη-Εκτυπωτής"));
    QCOMPARE(p->TabControlDecimal->tabText(2), QStringLiteral("αρχείο εξόδου"));
    QCOMPARE(p->SpinEdit2->value(), 3);  // no settings file: three decimals

    p->SpinEdit2->setValue(6);
    QVERIFY(s.doc->settingsModified());
    QCOMPARE(s.doc->numberSettings().GPSDecimals[NumberDestination::Screen], 6);

    // Switching the page writes the page left and reads the new one.
    p->TabControlDecimal->setCurrentIndex(1);
    QVERIFY(!s.doc->settingsModified());
    QCOMPARE(p->SpinEdit2->value(), 3);
    IniFile ini(s.doc->settingsFileName());
    QCOMPARE(ini.readInteger("Decimals", "GPSdecimals0", 0), 6LL);
    p->SpinEdit2->setValue(1);
    p->TabControlDecimal->setCurrentIndex(0);
    QCOMPARE(p->SpinEdit2->value(), 6);
    QCOMPARE(s.doc->numberSettings().GPSDecimals[NumberDestination::InputFile], 1);
    QCOMPARE(s.doc->numberSettings().GPSDecimals[NumberDestination::Screen], 6);
}

void SettingsPagesTest::separatorsStayDifferentAndRedrawTheGrid()
{
    Session s;
    NumberPage* p = s.w->numberPage();
    p->ComboBox2->setCurrentIndex(2);  // thousands: space
    p->ComboBox3->setCurrentIndex(0);  // decimal: point
    QCOMPARE(p->ComboBox2->currentIndex(), 2);
    p->ComboBox2->setCurrentIndex(0);  // thousands: point -> decimal becomes comma
    QCOMPARE(p->ComboBox3->currentIndex(), 1);
    p->ComboBox3->setCurrentIndex(0);  // decimal: point -> thousands becomes comma
    QCOMPARE(p->ComboBox2->currentIndex(), 1);
    QCOMPARE(s.doc->numbers().display().decimal, '.');
    QCOMPARE(s.doc->numbers().display().thousands, ',');

    s.w->networkPage()->insertRecord();
    s.type(s.w->networkPage(), 0, QStringLiteral("P1"));
    s.type(s.w->networkPage(), 1, QStringLiteral("4595000"));
    QCOMPARE(s.cell(s.net(), 0, 1), QStringLiteral("4,595,000.000"));
    p->ComboBox2->setCurrentIndex(3);  // none
    QCOMPARE(s.cell(s.net(), 0, 1), QStringLiteral("4595000.000"));
}

void SettingsPagesTest::transformationPageOnTheDemoNetwork()
{
    Session s(kDemo, QStringLiteral("DEMO.WGS84"));
    QVERIFY(s.doc->GPS().recordCount() > 0);
    TransformPage* t = s.w->transformPage();
    QCOMPARE(t->RG2d->checkedId(), storedNumber(s.doc->settings().method));
    QVERIFY(s.doc->RefPointCount >= 2);
    QCOMPARE(t->residuals->rowCount(), static_cast<int>(s.doc->residuals().size()));
    QVERIFY(t->rms->text().startsWith(QStringLiteral("RMS")));
    for (QLabel* l : t->equations) QVERIFY(l->text().contains(QStringLiteral("E</b><sub>b</sub>")));

    // The a-priori precision on the page judges the reference points' agreement.
    QCOMPARE(t->aprioriH->value(), 20);
    QVERIFY(t->testSummary->text().contains(QStringLiteral("± 0,020 m (E, N), ± 0,040 m (H)")));
    t->aprioriH->setValue(5);
    t->aprioriV->setValue(8);
    QCOMPARE(s.doc->settings().aprioriH, 5);
    QCOMPARE(s.doc->settings().aprioriV, 8);
    QVERIFY(s.doc->settingsModified());
    QVERIFY(t->testSummary->text().contains(QStringLiteral("± 0,005 m (E, N), ± 0,008 m (H)")));

    // "κανένας": the identity shows the symbols only, and the network is
    // recomputed at once.
    s.doc->NetworkModified = false;
    t->RG2d->button(0)->click();
    QVERIFY(s.doc->settingsModified());
    QCOMPARE(s.doc->settings().method, EstimationMethod::None);
    QCOMPARE(t->equations[0]->text(),
             QStringLiteral("<b>E<sub>a</sub></b> = <b>E</b><sub>b</sub>"));
    QVERIFY(t->Lex->isHidden() == !s.doc->parameters().LexVisible);

    // The HEPOS model: no parameters, the discrepancies of the reference
    // points from the model without a test or a tick to leave one out.
    t->RG2d->button(3)->click();
    QCOMPARE(t->RG2d->button(3)->text(), QStringLiteral("μοντέλο HEPOS"));
    QCOMPARE(s.doc->settings().method, EstimationMethod::HeposModel);
    QVERIFY(t->parametersBox->isHidden());
    QCOMPARE(t->residuals->horizontalHeaderItem(1)->text(), QStringLiteral("dE  (m)"));
    QVERIFY(t->residuals->isColumnHidden(4));
    QVERIFY(!t->residuals->item(0, 0)->data(Qt::CheckStateRole).isValid());
    QVERIFY(t->testSummary->text().contains(QStringLiteral("RMS των αποκλίσεων από το μοντέλο")));

    t->RG2d->button(2)->click();
    QVERIFY(t->equations[0]->text().contains(QStringLiteral("N</b>")));
    QVERIFY(!t->parametersBox->isHidden());
    QCOMPARE(t->residuals->horizontalHeaderItem(1)->text(), QStringLiteral("vE  (m)"));
    QVERIFY(t->residuals->item(0, 0)->data(Qt::CheckStateRole).isValid());

    // A new network starts with the identity, and the page says so.
    QVERIFY(t->residuals->rowCount() > 0);
    s.rec.inputs.push_back(std::nullopt);  // the changed network is not saved
    s.w->SpeedButton7()->click();
    QCOMPARE(t->equations[0]->text(),
             QStringLiteral("<b>E<sub>a</sub></b> = <b>E</b><sub>b</sub>"));
    QCOMPARE(t->equations[2]->text(),
             QStringLiteral("<b>H<sub>a</sub></b> = <b>H</b><sub>b</sub>"));
    QCOMPARE(t->residuals->rowCount(), 0);
    QVERIFY(s.doc->NetworkModified);
}

void SettingsPagesTest::residualTableMarksTheSuspectAndLeavesPointsOut()
{
    Session s(kDemo, QStringLiteral("DEMO.WGS84"));
    TransformPage* t = s.w->transformPage();
    PointTableModel* net = s.net();
    // Σ104's known northing typed half a metre wrong.
    MemTable& g = s.doc->GPS();
    int gridRow = -1;
    for (int row = 0; row < g.recordCount(); ++row)
        if (g.getString(g.recAt(row), gps::Name) == "Σ104") gridRow = row;
    QVERIFY(gridRow >= 0);
    const Rec r = g.recAt(gridRow);
    const long long id = g.getInteger(r, gps::ID);
    g.setFloat(r, gps::N, g.getFloat(r, gps::N) + 0.5);
    s.doc->RecomputeNetwork();

    int row = -1;
    for (int i = 0; i < t->residuals->rowCount(); ++i)
        if (t->residuals->item(i, 0)->text() == QStringLiteral("Σ104")) row = i;
    QVERIFY(row >= 0);
    QCOMPARE(t->residuals->columnCount(), 6);
    QCOMPARE(t->residuals->item(row, 5)->text(), QStringLiteral("ΥΠΟΠΤΟ"));
    QCOMPARE(t->residuals->item(row, 1)->background().color(), kSuspectBackground);
    QVERIFY(t->residuals->item(row, 4)->text().toDouble() == 0);  // "3,xx": the comma
    QVERIFY(t->testSummary->text().contains(QStringLiteral("Ύποπτο σημείο: Σ104")));
    QVERIFY(!t->sMix->text().isEmpty());
    QVERIFY(t->sMix->text().endsWith(QStringLiteral("ppm")));
    QCOMPARE(net->data(net->index(gridRow, 0), Qt::BackgroundRole).value<QColor>(), kSuspectBackground);
    QVERIFY(!net->data(net->index(gridRow + 1, 0), Qt::BackgroundRole).isValid());

    // Unticked: a check point in its own colour, in both places.
    s.doc->setSettingsModified(false);
    t->residuals->item(row, 0)->setCheckState(Qt::Unchecked);
    QTRY_VERIFY(s.doc->isExcluded(id));
    QVERIFY(s.doc->settingsModified());
    QCOMPARE(s.doc->RefPointCount, 5);
    QCOMPARE(t->residuals->item(row, 0)->checkState(), Qt::Unchecked);
    QCOMPARE(t->residuals->item(row, 5)->text(), QStringLiteral("σημείο ελέγχου"));
    QCOMPARE(t->residuals->item(row, 2)->foreground().color(), kCheckPointColour);
    // Known minus transformed: the half metre typed too much.
    QVERIFY(t->residuals->item(row, 2)->text().startsWith(QStringLiteral("0,4")) ||
            t->residuals->item(row, 2)->text().startsWith(QStringLiteral("0,5")));
    QVERIFY(t->testSummary->text().contains(QStringLiteral("Κανένα ύποπτο σημείο")));
    QVERIFY(t->testSummary->text().contains(QStringLiteral("Σημεία ελέγχου (εκτός εκτίμησης): Σ104")));
    QCOMPARE(net->data(net->index(gridRow, 0), Qt::ForegroundRole).value<QColor>(), kCheckPointColour);
    QCOMPARE(net->data(net->index(gridRow, 1), Qt::ForegroundRole).isValid(), false);
    QVERIFY(!net->data(net->index(gridRow, 0), Qt::ToolTipRole).toString().isEmpty());

    // Ticked again: back in the estimation.
    t->residuals->item(row, 0)->setCheckState(Qt::Checked);
    QTRY_VERIFY(!s.doc->isExcluded(id));
    QCOMPARE(t->residuals->item(row, 5)->text(), QStringLiteral("ΥΠΟΠΤΟ"));
}

void SettingsPagesTest::testPageLeavesTheNetworkTransformation()
{
    Session s(kDemo, QStringLiteral("DEMO.WGS84"));
    const Transformation before = s.doc->transformation();
    QVERIFY(before.parameters().shiftX != 0);
    TestPage* p = s.w->testPage();
    p->SErepetitions->setValue(3);
    p->setSeed(5);
    p->speedButton4->click();
    QVERIFY(!p->Label73->text().isEmpty());
    const Transformation& after = s.doc->transformation();
    QCOMPARE(static_cast<double>(after.parameters().scale), static_cast<double>(before.parameters().scale));
    QCOMPARE(static_cast<double>(after.parameters().shiftX), static_cast<double>(before.parameters().shiftX));
    QCOMPARE(static_cast<double>(after.parameters().rotZ), static_cast<double>(before.parameters().rotZ));
    for (std::size_t r = 0; r < 3; ++r)
        for (std::size_t c = 0; c < 4; ++c)
            QCOMPARE(static_cast<double>(after.matrix()[r][c]),
                     static_cast<double>(before.matrix()[r][c]));
}

void SettingsPagesTest::datumPagesShowTheirDatums()
{
    Session s;
    TransformPage* t = s.w->transformPage();
    const QChar dec = QLatin1Char(s.doc->numbers().system().decimal);
    // Three decimals, right-aligned in ten characters.
    QCOMPARE(t->shiftEdits[0][0]->text(), QStringLiteral("   200") + dec + QStringLiteral("200"));
    QCOMPARE(t->shiftEdits[1][2]->text(), QStringLiteral("  -502") + dec + QStringLiteral("543"));
    QCOMPARE(t->shiftEdits[2][1]->text(), QStringLiteral("    92") + dec + QStringLiteral("500"));

    // Each triple stands between WGS84 and its target datum, over the
    // constants of the target's ellipsoid.
    const char* targets[3] = {"[ΕΓΣΑ87]", "[GR]", "[ED50]"};
    for (int k = 0; k < 3; ++k) {
        QWidget* page = t->shiftEdits[static_cast<std::size_t>(k)][0]->parentWidget();
        QStringList texts;
        for (QLabel* l : page->findChildren<QLabel*>()) texts << l->text();
        QVERIFY(texts.contains(QStringLiteral("[WGS84]")));
        QVERIFY(texts.contains(QString::fromUtf8(targets[k])));
        QVERIFY(texts.filter(QStringLiteral("  a = ")).size() == 1);
        if (k == 0) {
            QVERIFY(texts.contains(
                QStringLiteral("  a = 6.378.137,0000 m          f = 0.00335281066")));
            QVERIFY(texts.contains(QStringLiteral("  Ao =   1.000006345 ,     A1 =  -2.5188441e-3")));
            QVERIFY(texts.contains(QStringLiteral("  A2 =   5.2871167e-6 ,    A3 =  -1.0357890e-8")));
        }
    }
}

void SettingsPagesTest::datumShiftEditRefusesText()
{
    Session s;
    TransformPage* t = s.w->transformPage();
    QLineEdit* dx = t->shiftEdits[0][0];
    QVERIFY(dx->text().trimmed().startsWith(QStringLiteral("200")));
    dx->setText(QStringLiteral("abc"));
    emit dx->textEdited(dx->text());
    QVERIFY(s.doc->settingsModified());
    t->shiftEditExit(0, 0);
    QCOMPARE(s.rec.messages().size(), std::size_t(1));
    QVERIFY(dx->text().trimmed().startsWith(QStringLiteral("200")));
    // The settings can still be written whole.
    QVERIFY(s.doc->saveParams());
}

void SettingsPagesTest::testPageWritesItsReport()
{
    Session s;
    QString opened;
    s.w->fileOpener = [&](const QString& f) { opened = f; };
    TestPage* p = s.w->testPage();
    QCOMPARE(p->speedButton4->text(), QStringLiteral("start"));
    p->Pmin->setValue(4);
    p->Pmax->setValue(4);
    p->SErepetitions->setValue(3);
    p->RadioButton1->setChecked(true);
    p->setSeed(7);
    p->speedButton4->click();  // runs to the end
    QVERIFY(!p->running());
    QCOMPARE(p->speedButton4->text(), QStringLiteral("start"));
    QVERIFY(p->Label53->isHidden());
    QVERIFY(!p->SpeedButton6->isHidden());
    QVERIFY(!p->Label73->text().isEmpty());
    QVERIFY(opened.endsWith(QStringLiteral("TEST.TXT")));
    QFile f(s.dir.filePath(QStringLiteral("TEST.TXT")));
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = f.readAll().split('\n');
    // Header, then per run: 4 points, an empty line, parameters, 3 matrix
    // lines and the separator.
    QCOMPARE(lines.size() - 1, 1 + 3 * (4 + 1 + 1 + 3 + 1));
    QVERIFY(s.rec.messages().empty());

    // Unticking the box hides the file button while the file exists.
    p->RadioButton1->click();
    QVERIFY(p->SpeedButton6->isHidden());
}

void SettingsPagesTest::testPageCreatesItsReportAtTheStart()
{
    Session s;
    QString opened;
    s.w->fileOpener = [&](const QString& f) { opened = f; };
    TestPage* p = s.w->testPage();
    p->Pmin->setValue(20);
    p->Pmax->setValue(20);
    p->SErepetitions->setValue(2);
    p->RadioButton1->setChecked(true);
    p->setSeed(11);
    const QString path = s.dir.filePath(QStringLiteral("TEST.TXT"));
    bool existedDuringRun = false;
    // Runs at the first pause of the test for the user interface.
    QTimer::singleShot(0, p, [&] { existedDuringRun = QFile::exists(path); });
    p->speedButton4->click();
    QVERIFY(existedDuringRun);
    QVERIFY(opened.endsWith(QStringLiteral("TEST.TXT")));
    QCOMPARE(QString::fromStdString(s.doc->LastTextFile), QStringLiteral("TEST.TXT"));

    // A report that cannot be written is said so, and the earlier file
    // name stays in force.
    s.doc->LastTextFile = "LIST.TXT";
    QVERIFY(QFile::remove(path));
    QVERIFY(QDir(s.dir.path()).mkdir(QStringLiteral("TEST.TXT")));
    opened.clear();
    p->speedButton4->click();
    QCOMPARE(s.rec.messages().size(), std::size_t(1));
    QVERIFY(QString::fromStdString(s.rec.messages()[0]).startsWith(QStringLiteral("Το αρχείο TEST.TXT")));
    QCOMPARE(QString::fromStdString(s.doc->LastTextFile), QStringLiteral("LIST.TXT"));
    QVERIFY(opened.isEmpty());
}

void SettingsPagesTest::calculatorAndMemoFollowTheGrid()
{
    Session s(kDemo, QStringLiteral("DEMO.WGS84"));
    NetworkPage* np = s.w->networkPage();
    s.w->PageControl1()->setCurrentWidget(s.w->TabSheet2());
    QVERIFY(s.net()->rowCount() >= 2);
    np->grid()->setCurrentIndex(s.net()->index(1, 1));
    const Rec r = s.doc->GPS().recAt(1);
    const QString x = QString::fromStdString(
        s.doc->numbers().formatFixed(s.doc->GPS().getFloat(r, gps::X),
                                     s.doc->numberSettings().GPSDecimals[NumberDestination::Screen]));
    QCOMPARE(s.w->calculatorPage()->edit(CalcEdit::WGS84X)->text(), x);
    QVERIFY(s.w->calculatorPage()->edit(CalcEdit::TM87Em)->text().isEmpty());

    // The description typed under the grid goes to its record.
    np->memo()->setPlainText(QStringLiteral("κορυφή λόφου"));
    np->grid()->setCurrentIndex(s.net()->index(0, 1));
    QCOMPARE(QString::fromStdString(s.doc->GPS().getString(r, gps::Perigrafh)),
             QStringLiteral("κορυφή λόφου"));
    QVERIFY(s.doc->NetworkModified);
}

QTEST_MAIN(SettingsPagesTest)
#include "SettingsPagesTest.moc"
