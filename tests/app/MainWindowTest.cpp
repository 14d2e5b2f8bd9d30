// The desktop program's window on the offscreen platform: start-up on an
// empty folder, typing into the grids, the messages and questions, the
// display modes, a calculator chain, the keys and the exit sequence.

#include "AppSession.h"
#include "app/CalculatorPage.h"
#include "app/QtDialogs.h"
#include "app/MainWindow.h"
#include "app/NetworkPage.h"
#include "app/Program.h"
#include "app/ReferencePage.h"
#include "app/TestPage.h"
#include "project/Dialogs.h"
#include "network/PointTables.h"
#include "project/Document.h"
#include "project/RecentNetworks.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <cmath>
#include <memory>

using namespace korthal;
using namespace korthal::app;
using korthal::app::testing::Session;


class MainWindowTest : public QObject {
    Q_OBJECT
private slots:
    void startUpOnEmptyFolder();
    void typingDetailAndReferencePoints();
    void outOfRangeValueKeepsTheField();
    void deleteQuestionAndCtrlDelete();
    void titlesThroughTheModes();
    void calculatorChain();
    void keys();
    void exitSequenceWritesTheFiles();
    void newAsksToSaveChanges();
    void partlyLoadedFilesAreReported();
    void exportWritesTheListing();
    void openDialogFilters();
};

void MainWindowTest::startUpOnEmptyFolder()
{
    Session s;
    QCOMPARE(s.w->windowTitle(), QStringLiteral("   Korthal  (v1.0)    Αρχείο : TEMP.WGS84"));
    QCOMPARE(s.w->size(), QSize(700, 539));
    QCOMPARE(s.doc->GPS().recordCount(), 0);
    QCOMPARE(s.doc->GYS().recordCount(), 0);
    QCOMPARE(s.net()->rowCount(), 0);
    QCOMPARE(s.w->PageControl1()->currentWidget(), s.w->TabSheet4());
    QVERIFY(QDir(s.dir.path()).exists(QStringLiteral("Images")));
    QVERIFY(QDir(s.dir.path()).exists(QStringLiteral("RINEX")));

    QTabWidget* p = s.w->PageControl1();
    QCOMPARE(p->count(), 6);
    QCOMPARE(p->tabText(0), QStringLiteral("Σημεία δικτύου"));
    QCOMPARE(p->tabText(1), QStringLiteral("Σκαρίφημα δικτύου"));
    QCOMPARE(p->tabText(2), QStringLiteral("Σημεία αναφοράς"));
    QCOMPARE(p->tabText(3), QStringLiteral("ρυθμίσεις"));
    QVERIFY(p->tabText(4).isEmpty() && !p->tabIcon(4).isNull());
    QVERIFY(p->tabText(5).isEmpty() && !p->tabIcon(5).isNull());
    QTabWidget* sp = s.w->settingsPages();
    QCOMPARE(sp->tabText(0), QStringLiteral("εμφάνιση αριθμών"));
    QCOMPARE(sp->tabText(1), QStringLiteral("ρυθμίσεις μετασχηματισμού"));
    QCOMPARE(sp->tabText(2), QStringLiteral("Αναγωγές συντεταγμένων"));
    QCOMPARE(sp->tabText(3), QStringLiteral("test"));

    // The tool panel follows the page; the open button only on the grids.
    QVERIFY(s.w->Panel9()->isHidden());
    p->setCurrentWidget(s.w->TabSheet2());
    QVERIFY(!s.w->Panel9()->isHidden());
    QVERIFY(!s.w->SpeedButton2()->isHidden());
    p->setCurrentWidget(s.w->TabSheet5());
    QVERIFY(!s.w->Panel9()->isHidden());
    QVERIFY(s.w->SpeedButton2()->isHidden());
    p->setCurrentWidget(s.w->TabSheet9());
    QVERIFY(s.w->Panel9()->isHidden());

    // Start-up filled the area list and the HATT undulation.
    QCOMPARE(s.w->calculatorPage()->CBperioxhs()->count(), 136);
    QVERIFY(s.w->calculatorPage()->edit(CalcEdit::EditApoxhHATT)->text().contains(
        QStringLiteral("2")));
    QVERIFY(s.rec.entries.empty());
}

void MainWindowTest::typingDetailAndReferencePoints()
{
    Session s;
    s.addReference(QStringLiteral("T1"), QStringLiteral("476000"), QStringLiteral("4200000"),
                   QStringLiteral("100"));
    QCOMPARE(s.doc->GYS().recordCount(), 1);
    QVERIFY(s.doc->ReferenceModified);
    QVERIFY(!s.cell(s.ref(), 0, 1).isEmpty());
    QVERIFY(!s.cell(s.ref(), 0, 5).isEmpty());  // φ derived from E, N

    s.w->PageControl1()->setCurrentWidget(s.w->TabSheet2());
    QVERIFY(s.w->networkPage()->pickList().contains(QStringLiteral("T1")));

    // A detail point, X typed through the grid's own editor.
    NetworkPage* np = s.w->networkPage();
    np->insertRecord();
    s.type(s.w->networkPage(), 0, QStringLiteral("P1"));
    s.type(np, 1, QStringLiteral("4595000"));
    QCOMPARE(np->grid()->currentIndex().row(), s.doc->GPS().currentRow());
    QCOMPARE(np->grid()->currentIndex().column(), 1);
    QCOMPARE(s.doc->GPS().asFloat(gps::X), 4595000.0);
    s.type(s.w->networkPage(), 2, QStringLiteral("2031000"));
    s.type(s.w->networkPage(), 3, QStringLiteral("3903000"));
    const int row = s.doc->GPS().currentRow();
    QVERIFY(!s.cell(s.net(), row, 4).isEmpty());  // E computed
    QVERIFY(!s.cell(s.net(), row, 7).isEmpty());  // undulation from the geoid model
    QVERIFY(!s.net()->data(s.net()->index(row, 4), Qt::ForegroundRole).isValid());
    QVERIFY(s.doc->NetworkModified);

    // A network point named after the reference point is red and sorts first.
    np->insertRecord();
    s.type(s.w->networkPage(), 0, QStringLiteral("T1"));
    QCOMPARE(s.cell(s.net(), 0, 0), QStringLiteral("T1"));
    QCOMPARE(s.net()->data(s.net()->index(0, 4), Qt::ForegroundRole).value<QColor>(),
             QColor(255, 0, 0));
    QVERIFY(!s.net()->data(s.net()->index(0, 1), Qt::ForegroundRole).isValid());
    QVERIFY(!s.cell(s.net(), 0, 4).isEmpty());  // known E copied
    QVERIFY(s.cell(s.net(), 0, 1).isEmpty());   // X not typed: drawn empty
    QVERIFY(s.rec.messages().empty());

    // Typed key by key, the start of a reference point's name stays what
    // was typed: a detail point.
    np->insertRecord();
    QApplication::processEvents();
    const QModelIndex nameCell = np->grid()->currentIndex();
    auto* cb = qobject_cast<QComboBox*>(np->grid()->indexWidget(nameCell));
    QVERIFY(cb);
    QTest::keyClicks(cb->lineEdit(), QStringLiteral("T"));
    QTest::keyClick(cb->lineEdit(), Qt::Key_Return);
    QApplication::processEvents();
    QVERIFY(!np->grid()->indexWidget(nameCell));
    const Rec typed = s.doc->GPS().current();
    QCOMPARE(QString::fromStdString(s.doc->GPS().getString(typed, gps::Name)), QStringLiteral("T"));
    QVERIFY(s.doc->GPS().getBoolean(typed, gps::detailPoint));
}

void MainWindowTest::outOfRangeValueKeepsTheField()
{
    Session s;
    s.w->networkPage()->insertRecord();
    s.type(s.w->networkPage(), 0, QStringLiteral("P1"));
    s.type(s.w->networkPage(), 3, QStringLiteral("4000000"));
    s.rec.clear();
    s.type(s.w->networkPage(), 3, QStringLiteral("4248851"));
    QCOMPARE(s.rec.messages().size(), std::size_t(1));
    QVERIFY(QString::fromStdString(s.rec.messages()[0])
                .startsWith(QStringLiteral("Μέγιστη επιτρεπόμενη τμή : ")));
    QVERIFY(QString::fromStdString(s.rec.messages()[0]).contains(QStringLiteral("4")));
    QCOMPARE(s.doc->GPS().asFloat(gps::Z), 4000000.0);

    // Text that is not a number gets the conversion message.
    s.rec.clear();
    s.type(s.w->networkPage(), 3, QStringLiteral("abc"));
    QCOMPARE(s.rec.messages().size(), std::size_t(1));
    QCOMPARE(s.doc->GPS().asFloat(gps::Z), 4000000.0);
}

void MainWindowTest::deleteQuestionAndCtrlDelete()
{
    Session s;
    NetworkPage* np = s.w->networkPage();
    np->insertRecord();
    s.type(s.w->networkPage(), 0, QStringLiteral("P1"));
    s.doc->NetworkModified = false;

    // Ctrl+Delete deletes nothing and asks nothing.
    np->grid()->setCurrentIndex(s.net()->index(0, 0));
    QTest::keyClick(np->grid(), Qt::Key_Delete, Qt::ControlModifier);
    QCOMPARE(s.doc->GPS().recordCount(), 1);
    QVERIFY(s.rec.entries.empty());

    s.rec.answers.push_back(Answer::No);
    np->navButton(1)->click();
    QCOMPARE(s.doc->GPS().recordCount(), 1);
    QVERIFY(!s.doc->NetworkModified);
    QCOMPARE(s.rec.entries.size(), std::size_t(1));
    QVERIFY(s.rec.entries[0].question);
    QCOMPARE(QString::fromStdString(s.rec.entries[0].caption),
             QStringLiteral("ΠΡΟΣΟΧΗ !  ΔΙΑΓΡΑΦΗ ΕΓΓΡΑΦΗΣ"));
    QCOMPARE(QString::fromStdString(s.rec.entries[0].text),
             QStringLiteral("Θέλετε να διαγράψετε αυτή την εγγραφή ?"));

    s.rec.answers.push_back(Answer::Yes);
    np->navButton(1)->click();
    QCOMPARE(s.doc->GPS().recordCount(), 0);
    QCOMPARE(s.net()->rowCount(), 0);
    QVERIFY(s.doc->NetworkModified);
}

void MainWindowTest::titlesThroughTheModes()
{
    Session s;
    NetworkPage* np = s.w->networkPage();
    auto title = [&](int c) { return s.net()->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString(); };
    auto group = [&] { return np->grid()->groupHeader()->groupTitle(4); };
    QVERIFY(np->gridMode() == NetworkView::Egsa87Projected);
    QCOMPARE(np->SBGrid()->text(), QStringLiteral("π"));
    QCOMPARE(group(), QStringLiteral("Προβολικές ΕΓΣΑ'87"));
    QCOMPARE(title(4), QStringLiteral("E  (m)"));
    QCOMPARE(np->grid()->groupHeader()->groupTitle(1), QStringLiteral("Γεωκεντρικές WGS84"));
    QCOMPARE(title(1), QStringLiteral("X (m)"));
    QCOMPARE(np->grid()->groupHeader()->groupTitle(0), QStringLiteral("Σημείο"));
    QCOMPARE(np->SpeedButton10()->toolTip(),
             QStringLiteral("Καταχώρηση - εμφάνιση γεωκεντρικών συντεταγμένων"));
    QCOMPARE(np->SpeedButton12()->toolTip(),
             QStringLiteral("Καταχώρηση - εμφάνιση ελλειψοειδών συντεταγμένων"));
    QCOMPARE(np->SpeedButton8()->toolTip(), QStringLiteral("Εμφανίζει τον χάρτη του γεωειδούς"));

    np->SBGridClick();
    QCOMPARE(group(), QStringLiteral("Ελλειψοειδείς ΕΓΣΑ'87  "));
    QCOMPARE(title(4), QStringLiteral("  φ°     DD.MMSSss"));
    QCOMPARE(title(6), QStringLiteral("h  (m)"));
    QCOMPARE(np->grid()->toolTip(), QStringLiteral("απεικόνιση ελλειψοειδών συντεταγμένων ΕΓΣΑ87"));
    QVERIFY(!np->SpeedButton8()->isHidden());

    np->SBGridClick();
    QCOMPARE(group(), QStringLiteral("Προβολικές HATT"));
    QCOMPARE(title(4), QStringLiteral("x  (m)"));
    QCOMPARE(title(5), QStringLiteral("y  (m)"));
    QVERIFY(np->SpeedButton8()->isHidden());
    np->insertRecord();
    QVERIFY(!(s.net()->flags(s.net()->index(0, 7)) & Qt::ItemIsEditable));

    np->SBGridClick();
    QVERIFY(np->gridMode() == NetworkView::Egsa87Projected);
    QCOMPARE(title(4), QStringLiteral("E  (m)"));
    QVERIFY(!np->SpeedButton8()->isHidden());
    QVERIFY(s.net()->flags(s.net()->index(0, 7)) & Qt::ItemIsEditable);

    // The ellipsoidal input form retitles the WGS84 columns.
    np->SpeedButton12()->click();
    QCOMPARE(np->grid()->groupHeader()->groupTitle(1), QStringLiteral("Ελλειψοειδείς WGS84"));
    QCOMPARE(title(1), QStringLiteral("  φ°    DD.MMSSss"));
    QVERIFY(!s.doc->InputIsGeocentric());
    QVERIFY(s.doc->settingsModified());
    np->SpeedButton12()->click();  // the button already down: nothing changes
    QVERIFY(!s.doc->InputIsGeocentric());
    np->SpeedButton10()->click();
    QVERIFY(s.doc->InputIsGeocentric());

    // A value still in the cell editor is stored in the form it was typed
    // in before the switch converts the coordinates, and before a mode makes
    // its column read-only.
    s.w->PageControl1()->setCurrentWidget(s.w->TabSheet2());
    const int row = s.doc->GPS().currentRow();
    s.type(np, 1, QStringLiteral("4595000"));
    s.type(np, 2, QStringLiteral("2031000"));
    s.type(np, 3, QStringLiteral("3903000"));
    auto openEditor = [&](int col, const QString& text) {
        const QModelIndex i = s.net()->index(row, col);
        np->grid()->setCurrentIndex(i);
        np->grid()->edit(i);
        auto* ed = qobject_cast<QLineEdit*>(np->grid()->indexWidget(i));
        QVERIFY(ed);
        ed->setText(text);
    };
    openEditor(3, QStringLiteral("3904000"));
    QTest::mouseClick(np->SpeedButton12(), Qt::LeftButton);
    QVERIFY(!s.doc->InputIsGeocentric());
    const Rec r = s.doc->GPS().recAt(row);
    QVERIFY(std::abs(s.doc->GPS().getFloat(r, gps::X) - 38.0) < 2);  // φ
    QTest::mouseClick(np->SpeedButton10(), Qt::LeftButton);
    QVERIFY(std::abs(s.doc->GPS().getFloat(r, gps::Z) - 3904000) < 0.01);

    QVERIFY(np->gridMode() == NetworkView::Egsa87Projected);
    np->SBGridClick();  // mode 1: the undulation column can be typed into
    openEditor(7, QStringLiteral("2,5").replace(QLatin1Char(','),
                                                 QLatin1Char(s.doc->numbers().system().decimal)));
    QTest::mouseClick(np->SBGrid(), Qt::LeftButton);
    QVERIFY(np->gridMode() == NetworkView::Hatt);
    QCOMPARE(s.doc->GPS().getFloat(r, gps::apoxh), 2.5);
}

void MainWindowTest::calculatorChain()
{
    Session s;
    CalculatorPage* cp = s.w->calculatorPage();
    s.w->PageControl1()->setCurrentWidget(s.w->TabSheet9());
    s.w->settingsPages()->setCurrentWidget(cp);
    QToolButton* chain = cp->button(CalcButton::SBWGS84eEGSA87e);
    QVERIFY(!chain->isEnabled());
    const QChar dec = QLatin1Char(s.doc->numberSettings().DecimalSeparators[NumberDestination::Screen]);
    QTest::keyClicks(cp->edit(CalcEdit::WGS84f), QStringLiteral("38") + dec + QStringLiteral("1530123"));
    QTest::keyClicks(cp->edit(CalcEdit::WGS84l), QStringLiteral("23") + dec + QStringLiteral("4512345"));
    QVERIFY(!chain->isEnabled());
    QTest::keyClicks(cp->edit(CalcEdit::WGS84h), QStringLiteral("150"));
    QVERIFY(chain->isEnabled());
    chain->click();
    QVERIFY(!cp->edit(CalcEdit::WGS84X)->text().isEmpty());
    QVERIFY(!cp->edit(CalcEdit::EGSA87X)->text().isEmpty());
    QVERIFY(!cp->edit(CalcEdit::EGSA87f)->text().isEmpty());
    QVERIFY(!cp->edit(CalcEdit::EditApoxhEGSA)->text().isEmpty());
    QVERIFY(cp->button(CalcButton::SBEGSAeTM)->isEnabled());
    QVERIFY(s.rec.messages().empty());

    // Picking an area selects its sheet.
    int k = cp->CBperioxhs()->findText(QStringLiteral("THESSALONIKI"));
    QVERIFY(k >= 0);
    s.w->calculator().selectHattArea(k);
    QCOMPARE(cp->CBf()->currentIndex(), 12);
    QCOMPARE(cp->CBl()->currentIndex(), 7);
}

void MainWindowTest::keys()
{
    Session s;
    QVERIFY(s.w->testTabShown());
    QTest::keyClick(s.w.get(), Qt::Key_F1, Qt::ShiftModifier);
    QVERIFY(!s.w->testTabShown());
    QTest::keyClick(s.w->networkPage()->grid(), Qt::Key_F1, Qt::ControlModifier);
    QVERIFY(s.w->testTabShown());
    QTest::keyClick(s.w.get(), Qt::Key_F1);
    QVERIFY(s.w->testTabShown());
    QVERIFY(s.w->isVisible());
    QTest::keyClick(s.w->networkPage()->grid(), Qt::Key_Escape);
    QVERIFY(!s.w->isVisible());
}

void MainWindowTest::exitSequenceWritesTheFiles()
{
    {
        Session s;
        s.w->networkPage()->insertRecord();
        s.type(s.w->networkPage(), 0, QStringLiteral("P1"));
        s.type(s.w->networkPage(), 1, QStringLiteral("4595000"));
        s.addReference(QStringLiteral("T1"), QStringLiteral("476000"), QStringLiteral("4200000"),
                       QStringLiteral("100"));
        // A value still in an open editor is kept when the window closes.
        s.w->PageControl1()->setCurrentWidget(s.w->TabSheet2());
        QApplication::processEvents();
        const QModelIndex y = s.net()->index(0, 2);
        s.w->networkPage()->grid()->setCurrentIndex(y);
        s.w->networkPage()->grid()->edit(y);
        auto* ed = qobject_cast<QLineEdit*>(s.w->networkPage()->grid()->indexWidget(y));
        QVERIFY(ed);
        ed->setText(QStringLiteral("2031000"));
        // Closing asks whether to save the changes, then for the name.
        s.rec.answers.push_back(Answer::Yes);
        s.rec.inputs.push_back(std::string("job1.WGS84"));
        s.w->close();
        QCOMPARE(s.doc->GPS().getFloat(s.doc->GPS().recAt(0), gps::Y), 2031000.0);
        const ExitResult r = s.doc->ExitSequence(s.ini.toStdString());
        QVERIFY(!s.doc->NetworkModified);
        QVERIFY(r.referenceWritten);
        QVERIFY(QFile::exists(s.dir.filePath(QStringLiteral("job1.WGS84"))));
        QVERIFY(QFile::exists(s.dir.filePath(QStringLiteral("EGSA87"))));
        QVERIFY(QFile::exists(s.ini));
        // The name question was asked with the exit sequence's texts.
        bool asked = false;
        for (const auto& e : s.rec.entries)
            asked |= e.caption == "Αποθήκευση των σημείων";
        QVERIFY(asked);

        // A second run opens the same network again.
        s.w.reset();
        s.doc = std::make_unique<Document>();
        s.w = std::make_unique<MainWindow>(*s.doc, s.ini);
        s.w->FormCreate();
        QCOMPARE(QString::fromStdString(s.doc->CurrentFileName), QStringLiteral("job1.WGS84"));
        QCOMPARE(s.doc->GPS().recordCount(), 1);
        QCOMPARE(s.doc->GYS().recordCount(), 1);
        QCOMPARE(s.w->windowTitle(), QStringLiteral("   Korthal  (v1.0)    Αρχείο : job1.WGS84"));
    }
}

void MainWindowTest::newAsksToSaveChanges()
{
    Session s;
    s.w->networkPage()->insertRecord();
    s.type(s.w->networkPage(), 0, QStringLiteral("P1"));
    s.rec.answers.push_back(Answer::Yes);
    s.rec.inputs.push_back(std::string("kept.WGS84"));
    s.w->SpeedButton7()->click();
    QVERIFY(QFile::exists(s.dir.filePath(QStringLiteral("kept.WGS84"))));
    // Saved under a new name, the network takes its settings along.
    QVERIFY(QFile::exists(s.dir.filePath(QStringLiteral("kept.INI"))));
    QCOMPARE(s.doc->GPS().recordCount(), 0);
    QCOMPARE(QString::fromStdString(s.doc->CurrentFileName),
             QStringLiteral("Νέο αρχείο σημείων.WGS84"));
    QCOMPARE(s.w->windowTitle(), QStringLiteral("   Korthal      Αρχείο : Νέο αρχείο σημείων.WGS84"));
    QCOMPARE(s.w->PageControl1()->currentWidget(), s.w->TabSheet2());
    QVERIFY(s.doc->NetworkModified);

    // Opening the saved file brings its point back.
    // The empty new network has nothing to save: no question.
    s.rec.clear();
    s.rec.inputs.push_back(s.dir.filePath(QStringLiteral("kept.WGS84")).toStdString());
    s.w->SpeedButton2()->click();
    QCOMPARE(s.rec.entries.size(), std::size_t(1));  // the file dialog only
    QCOMPARE(s.doc->GPS().recordCount(), 1);
}

void MainWindowTest::partlyLoadedFilesAreReported()
{
    Session s;
    s.w->networkPage()->insertRecord();
    s.type(s.w->networkPage(), 0, QStringLiteral("P1"));
    s.w->networkPage()->insertRecord();
    s.type(s.w->networkPage(), 0, QStringLiteral("P2"));
    const QString path = s.dir.filePath(QStringLiteral("cut.WGS84"));
    s.rec.answers.push_back(Answer::Yes);
    s.rec.inputs.push_back(path.toStdString());
    s.w->SpeedButton7()->click();  // saves the two points under that name
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadWrite));
    const QByteArray all = f.readAll();
    QVERIFY(all.size() > 20);
    f.resize(all.size() - 12);  // damage the end of the stream
    f.close();

    s.rec.clear();
    s.rec.inputs.push_back(path.toStdString());  // the new empty network asks nothing
    s.w->SpeedButton2()->click();
    const auto msgs = s.rec.messages();
    QCOMPARE(msgs.size(), std::size_t(1));
    QVERIFY(QString::fromStdString(msgs[0]).contains(QStringLiteral("cut.WGS84")));
    QVERIFY(s.doc->GPS().recordCount() < 2);

    // A file that is simply missing stays silent.
    s.rec.clear();
    s.w->LoadFile(s.dir.filePath(QStringLiteral("none.WGS84")));
    QVERIFY(s.rec.messages().empty());

    // So does a missing reference file at start-up; a damaged one is
    // reported, since it is written back at exit once a point changes.
    s.addReference(QStringLiteral("T1"), QStringLiteral("476000"), QStringLiteral("4200000"),
                   QStringLiteral("100"));
    s.addReference(QStringLiteral("T2"), QStringLiteral("477000"), QStringLiteral("4201000"),
                   QStringLiteral("120"));
    s.w->close();
    s.rec.inputs.push_back(std::nullopt);  // the network is not saved
    QVERIFY(s.doc->ExitSequence(s.ini.toStdString()).referenceWritten);
    QFile ref(s.dir.filePath(QStringLiteral("EGSA87")));
    QVERIFY(ref.open(QIODevice::ReadWrite));
    const QByteArray refAll = ref.readAll();
    QVERIFY(refAll.size() > 20);
    ref.resize(refAll.size() - 12);
    ref.close();
    s.rec.clear();
    s.w.reset();
    s.doc = std::make_unique<Document>();
    s.w = std::make_unique<MainWindow>(*s.doc, s.ini);
    s.w->FormCreate();
    QVERIFY(s.doc->GYS().recordCount() < 2);
    QVERIFY(!s.doc->ReferenceModified);
    const auto refMsgs = s.rec.messages();
    QCOMPARE(refMsgs.size(), std::size_t(2));
    QVERIFY(QString::fromStdString(refMsgs[0]).contains(QStringLiteral("EGSA87")));
    // The network open last, none.WGS84, is not there: that is said too.
    QCOMPARE(refMsgs[1],
             missingLastNetworkMessage(s.dir.filePath(QStringLiteral("none.WGS84")).toStdString()));
}

void MainWindowTest::exportWritesTheListing()
{
    Session s;
    QString opened;
    s.w->fileOpener = [&](const QString& f) { opened = f; };
    s.w->PageControl1()->setCurrentWidget(s.w->TabSheet2());
    s.w->networkPage()->insertRecord();
    s.type(s.w->networkPage(), 0, QStringLiteral("P1"));
    s.type(s.w->networkPage(), 1, QStringLiteral("4595000"));
    s.rec.inputs.push_back(std::string("list.TXT"));
    s.w->SpeedButton3()->click();
    QVERIFY(QFile::exists(s.dir.filePath(QStringLiteral("list.TXT"))));
    QVERIFY(opened.endsWith(QStringLiteral("list.TXT")));
    QCOMPARE(QString::fromStdString(s.doc->LastTextFile), QStringLiteral("list.TXT"));

    // Nothing is exported from a page without a table.
    opened.clear();
    s.w->PageControl1()->setCurrentWidget(s.w->TabSheet9());
    s.w->SpeedButton3Click();
    QVERIFY(opened.isEmpty());
}

void MainWindowTest::openDialogFilters()
{
    // The open dialog's two entries become Qt's filter list.
    QCOMPARE(QtDialogs::qtFilter("αρχεία σημείων λεπτομερειών  (*.WGS84)|*.WGS84|ΟΝΟΜΑ,Χ,Υ,Ζ "
                                 "enter ή ΟΝΟΜΑ tab Χ tab Υ tab Ζ enter |*.TXT"),
             QStringLiteral("αρχεία σημείων λεπτομερειών  (*.WGS84);;ΟΝΟΜΑ,Χ,Υ,Ζ enter ή ΟΝΟΜΑ "
                            "tab Χ tab Υ tab Ζ enter (*.TXT)"));

    // The open button asks with the title and both entries.
    Session s;
    s.rec.inputs.push_back(std::nullopt);
    s.w->SpeedButton2()->click();
    QCOMPARE(s.doc->CurrentFileName, std::string("TEMP.WGS84"));
}

QTEST_MAIN(MainWindowTest)
#include "MainWindowTest.moc"
