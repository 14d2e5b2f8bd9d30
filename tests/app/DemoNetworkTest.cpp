// The window on a copy of the demo network, used as a new user uses it: the
// calculator's undulations and packed angles, numbers typed as the grid shows
// them, the export that would replace a file, the transformation's equations,
// where the keys go after a refused entry, Qt's own dialogs in Greek, the
// message when no program shows a written file, and the window's size.

#include "AppSession.h"
#include "app/CalculatorPage.h"
#include "app/NumberPage.h"
#include "app/QtDialogs.h"
#include "app/TransformPage.h"
#include "geodesy/Angles.h"
#include "geodesy/TM87.h"
#include "network/PointTables.h"
#include "project/IniFile.h"
#include "project/Settings.h"

#include <QAbstractItemView>
#include <QButtonGroup>
#include <QSpinBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QTextDocument>
#include <QTimer>
#include <QToolButton>

using namespace korthal;
using namespace korthal::app;
using korthal::app::testing::Session;

namespace {

const QString kDemo = QStringLiteral(KORTHAL_SOURCE_DIR "/examples/demo");

// Messages shown as real modal dialogs that take the keyboard focus from the
// window, as a message box does, and close themselves.
struct FocusTakingDialogs : RecordingDialogs {
    void message(const std::string& text, MsgIcon icon, const std::string& caption) override
    {
        RecordingDialogs::message(text, icon, caption);
        QDialog box(QApplication::activeWindow());
        auto* ok = new QPushButton(QStringLiteral("OK"), &box);
        ok->setFocus();
        QTimer::singleShot(0, &box, &QDialog::accept);
        box.exec();
    }
};

// The row of the point named `name` in a grid's table.
int rowOf(MemTable& t, const std::string& name)
{
    for (int row = 0; row < t.recordCount(); ++row)
        if (t.getString(t.recAt(row), 1) == name) return row;
    return -1;
}

QString plain(const QString& html)
{
    QTextDocument d;
    d.setHtml(html);
    return d.toPlainText();
}

}  // namespace

class DemoNetworkTest : public QObject {
    Q_OBJECT
private slots:
    void calculatorReadsItsUndulationsBack();
    void numbersTypedAsTheGridShowsThem();
    void exportAsksBeforeReplacingThePointList();
    void packedAnglesCarryRoundedSeconds();
    void equationsWithoutStrayProductSigns();
    void refusedEntryKeepsTheKeys();
    void qtDialogsSpeakGreek();
    void noProgramForTextFilesIsTold();
    void windowGrowsAndRemembersItsPlace();
    void valuesAndTitlesShowWhole();
};

// The undulation the calculator writes into its edit ("1,9" with the demo's
// separators) is read back as 1.9 on a system whose decimal point is '.'.
void DemoNetworkTest::calculatorReadsItsUndulationsBack()
{
    Session s(kDemo, QStringLiteral("DEMO.WGS84"));
    QCOMPARE(s.doc->numbers().system().decimal, '.');
    ReferencePage* rp = s.w->referencePage();
    const int row = rowOf(s.doc->GYS(), "Σ102");
    QVERIFY(row >= 0);
    rp->grid()->setCurrentIndex(rp->model()->index(row, 1));
    CalculatorPage* c = s.w->calculatorPage();
    const Rec r = s.doc->GYS().recAt(row);
    const double H = s.doc->GYS().getFloat(r, gys::H), N = s.doc->GYS().getFloat(r, gys::apoxh);
    QCOMPARE(c->edit(CalcEdit::EditApoxhEGSA)->text(),
             QString::number(N).replace(QLatin1Char('.'), QLatin1Char(',')));
    c->button(CalcButton::SBTM87EGSAe)->click();
    QString h = c->edit(CalcEdit::EGSA87h)->text();
    h.remove(QLatin1Char('.')).replace(QLatin1Char(','), QLatin1Char('.'));
    QVERIFY2(std::fabs(h.toDouble() - (H + N)) < 0.0011, qPrintable(h));

    // TM87 to HATT and back: the HATT undulation "-2,50" is -2.5, and the
    // height comes back.
    const QString tmH = c->edit(CalcEdit::TM87H)->text();
    c->button(CalcButton::SBTM87HATT)->click();
    QVERIFY(!c->edit(CalcEdit::HATTx)->text().isEmpty());
    c->button(CalcButton::SBHATTTM87)->click();
    QString back = c->edit(CalcEdit::TM87H)->text(), was = tmH;
    back.remove(QLatin1Char('.')).replace(QLatin1Char(','), QLatin1Char('.'));
    was.remove(QLatin1Char('.')).replace(QLatin1Char(','), QLatin1Char('.'));
    QVERIFY2(std::fabs(back.toDouble() - was.toDouble()) < 0.05, qPrintable(back + " " + was));
    QVERIFY(s.rec.messages().empty());
}

// The grid shows "1.903.500,456"; the system (C locale here) writes
// "1903500.5". Both, and "1903500,5", are taken; nonsense is not.
void DemoNetworkTest::numbersTypedAsTheGridShowsThem()
{
    Session s(kDemo, QStringLiteral("DEMO.WGS84"));
    s.w->PageControl1()->setCurrentWidget(s.w->TabSheet2());
    NetworkPage* np = s.w->networkPage();
    np->insertRecord();
    s.type(np, 0, QStringLiteral("P900"));
    s.type(np, 2, QStringLiteral("1903500,5"));
    QCOMPARE(s.doc->GPS().asFloat(gps::Y), 1903500.5);
    s.type(np, 2, QStringLiteral("1.903.500,456"));
    QCOMPARE(s.doc->GPS().asFloat(gps::Y), 1903500.456);
    s.type(np, 2, QStringLiteral("1903500.25"));
    QCOMPARE(s.doc->GPS().asFloat(gps::Y), 1903500.25);
    QVERIFY(s.rec.messages().empty());
    s.type(np, 2, QStringLiteral("1.903.50,4"));
    QCOMPARE(s.doc->GPS().asFloat(gps::Y), 1903500.25);
    QCOMPARE(s.rec.messages().size(), std::size_t(1));
}

// The export offers DEMO.TXT, the demo's point list: it is not written over
// unless the user says yes.
void DemoNetworkTest::exportAsksBeforeReplacingThePointList()
{
    Session s(kDemo, QStringLiteral("DEMO.WGS84"));
    QString opened;
    s.w->fileOpener = [&](const QString& f) { opened = f; };
    s.w->PageControl1()->setCurrentWidget(s.w->TabSheet2());
    const QString list = s.dir.filePath(QStringLiteral("DEMO.TXT"));
    QFile f(list);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray before = f.readAll();
    f.close();

    s.rec.inputs = {std::string("DEMO.TXT")};  // the offered name, confirmed; then No
    s.w->SpeedButton3()->click();
    QVERIFY(s.rec.entries.size() >= 2);
    QCOMPARE(QString::fromStdString(s.rec.entries[0].text), QStringLiteral("DEMO.TXT"));
    QVERIFY(s.rec.entries[1].question);
    QVERIFY(QString::fromStdString(s.rec.entries[1].text).contains(QStringLiteral("DEMO.TXT")));
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), before);
    f.close();
    QVERIFY(opened.isEmpty());

    // Yes replaces it and shows the listing.
    s.rec.clear();
    s.rec.inputs = {std::string("DEMO.TXT")};
    s.rec.answers = {Answer::Yes};
    s.w->SpeedButton3()->click();
    QVERIFY(f.open(QIODevice::ReadOnly));
    QVERIFY(f.readAll() != before);
    QCOMPARE(QFileInfo(opened).fileName(), QStringLiteral("DEMO.TXT"));
    f.close();

    // The network read from a point list, changed, and saved under the
    // list's own name before a new one: Yes to saving the changes, then the
    // question about replacing the list comes first, and No keeps the list
    // (the name is asked again; cancelling saves nothing).
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(before);
    f.close();
    s.rec.clear();
    s.w->LoadFile(list);
    QCOMPARE(QFileInfo(QString::fromStdString(s.doc->CurrentFileName)).fileName(),
             QStringLiteral("DEMO.TXT"));
    s.doc->NetworkModified = true;
    s.rec.clear();
    s.rec.inputs = {list.toStdString(), std::nullopt};
    s.rec.answers = {Answer::Yes, Answer::No};
    s.w->SpeedButton7()->click();
    QVERIFY(s.rec.entries.size() >= 4);
    QVERIFY(s.rec.entries[2].question);
    QCOMPARE(QString::fromStdString(s.rec.entries[2].text),
             QString::fromStdString(replaceQuestion(list.toStdString())));
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), before);
}

// 38° exactly, reached through TM87: the seconds come back as 59.99999...",
// which the edits, the grid and the listing show as 38°, never as 37°59'60".
void DemoNetworkTest::packedAnglesCarryRoundedSeconds()
{
    Session s(kDemo, QStringLiteral("DEMO.WGS84"));
    CalculatorPage* c = s.w->calculatorPage();
    // A northing 0.05 mm short of the parallel of 38°: 37°59'59.999998".
    const TM87 t = EllipsoidalToTM87(DMSToRad(38.0L), DMSToRad(23.3L), 100, 0);
    const auto text = [](long double v, int d) {
        return QString::number(static_cast<double>(v), 'f', d).replace(QLatin1Char('.'), QLatin1Char(','));
    };
    c->edit(CalcEdit::EditApoxhEGSA)->setText(QStringLiteral("0"));
    for (auto [e, v] : {std::pair{CalcEdit::TM87E, text(t.E, 5)},
                        std::pair{CalcEdit::TM87N, text(t.N - 0.00005L, 5)},
                        std::pair{CalcEdit::TM87H, text(t.H, 3)}}) {
        c->edit(e)->setText(v);
        emit c->edit(e)->textEdited(v);
    }
    emit c->edit(CalcEdit::EditApoxhEGSA)->textEdited(QStringLiteral("0"));
    c->button(CalcButton::SBTM87HATT)->click();
    QCOMPARE(c->edit(CalcEdit::EGSA87f)->text(), QStringLiteral("38,000000000"));
    QCOMPARE(c->edit(CalcEdit::EGSA87l)->text(), QStringLiteral("23,300000000"));

    // The grid in the ellipsoidal form shows a stored 37.5959999999 as 38.
    NetworkPage* np = s.w->networkPage();
    np->SpeedButton12()->click();
    np->insertRecord();
    s.type(np, 0, QStringLiteral("P901"));
    s.doc->GPS().edit();
    s.doc->GPS().set(gps::X, 37.5959999999);
    s.doc->GPS().post();
    const int row = s.doc->GPS().currentRow();
    QCOMPARE(s.cell(s.net(), row, 1), QStringLiteral("38,000000000"));
    QCOMPARE(s.net()->data(s.net()->index(row, 1), Qt::EditRole).toString(), QStringLiteral("38"));
}

// Without a transformation the equations read "Ea = Eb"; the 2-D one has
// no product sign before the H of its third equation.
void DemoNetworkTest::equationsWithoutStrayProductSigns()
{
    Session s(kDemo, QStringLiteral("DEMO.WGS84"));
    TransformPage* tp = s.w->transformPage();
    const auto checkRows = [&](const char* what) {
        for (QLabel* l : tp->equations) {
            const QString t = plain(l->text());
            for (qsizetype i = t.indexOf(QStringLiteral("·")); i >= 0;
                 i = t.indexOf(QStringLiteral("·"), i + 1))
                QVERIFY2(i > 0 && t[i - 1].isDigit(), qPrintable(QString::fromLatin1(what) + ": " + t));
        }
    };
    tp->RG2d->button(0)->click();
    QCOMPARE(plain(tp->equations[0]->text()), QStringLiteral("Ea = Eb"));
    QCOMPARE(plain(tp->equations[2]->text()), QStringLiteral("Ha = Hb"));
    checkRows("none");
    tp->RG2d->button(1)->click();
    checkRows("2-D");
    QVERIFY(plain(tp->equations[2]->text()).startsWith(QStringLiteral("Ha = Hb")));
    QVERIFY(plain(tp->equations[0]->text()).contains(QStringLiteral("·Eb")));
    tp->RG2d->button(2)->click();
    checkRows("3-D");
}

// After the message about a refused number the keys go back to the refused
// cell or edit, not to the first button of the window ("εκτύπωση").
void DemoNetworkTest::refusedEntryKeepsTheKeys()
{
    Session s(kDemo, QStringLiteral("DEMO.WGS84"));
    FocusTakingDialogs dialogs;
    s.w->PageControl1()->setCurrentWidget(s.w->TabSheet2());
    s.w->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(s.w.get()));
    NetworkPage* np = s.w->networkPage();
    np->grid()->setFocus();
    s.type(np, 2, QStringLiteral("abc"));
    QTest::qWait(20);
    QCOMPARE(dialogs.messages().size(), std::size_t(1));
    QVERIFY(QString::fromStdString(dialogs.messages()[0]).contains(QStringLiteral("δεν είναι έγκυρος αριθμός")));
    // (The window's own focus: the one its keys reach when it is active.)
    QWidget* focus = s.w->focusWidget();
    QVERIFY2(focus == np->grid(), focus ? qPrintable(focus->objectName() + QLatin1Char(' ') +
                                                    QString::fromLatin1(focus->metaObject()->className()))
                                        : "no focus");
    QCOMPARE(np->grid()->currentIndex().column(), 2);

    // The calculator: the edit that is not a number gets the cursor back.
    s.w->PageControl1()->setCurrentWidget(s.w->TabSheet9());
    s.w->settingsPages()->setCurrentIndex(2);  // the calculator
    CalculatorPage* c = s.w->calculatorPage();
    for (auto [e, v] : {std::pair{CalcEdit::TM87E, "390000"}, std::pair{CalcEdit::TM87N, "4.38x"},
                        std::pair{CalcEdit::TM87H, "100"}}) {
        c->edit(e)->setText(QString::fromLatin1(v));
        emit c->edit(e)->textEdited(QString::fromLatin1(v));
    }
    c->button(CalcButton::SBTM87EGSAe)->setFocus();
    c->button(CalcButton::SBTM87EGSAe)->click();
    QTest::qWait(20);
    QCOMPARE(dialogs.messages().size(), std::size_t(2));
    QCOMPARE(s.w->focusWidget(), static_cast<QWidget*>(c->edit(CalcEdit::TM87N)));
}

// Message boxes have an empty caption and Greek buttons; the file and print
// dialogs speak Greek.
void DemoNetworkTest::qtDialogsSpeakGreek()
{
    QVERIFY(installQtGreek(*QCoreApplication::instance()));
    QString title, yes, no;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        QVERIFY(box);
        title = box->windowTitle();
        yes = box->button(QMessageBox::Yes)->text();
        no = box->button(QMessageBox::No)->text();
        box->done(QMessageBox::No);
    });
    QtDialogs d;
    QCOMPARE(d.ask("Θέλετε ;", "", MsgIcon::Warning, MsgButtons::YesNo), Answer::No);
    QCOMPARE(title, QStringLiteral(" "));
    QCOMPARE(yes, QStringLiteral("&Ναι"));
    QCOMPARE(no, QStringLiteral("&Όχι"));

    QFileDialog files(nullptr, QStringLiteral("Αναζήτηση"), QDir::tempPath());
    files.setOption(QFileDialog::DontUseNativeDialog);
    QCOMPARE(files.findChild<QLabel*>(QStringLiteral("lookInLabel"))->text(),
             QStringLiteral("Αναζήτηση σε:"));
    QCOMPARE(files.findChild<QLabel*>(QStringLiteral("fileNameLabel"))->text(),
             QStringLiteral("Ό&νομα αρχείου:"));
    QCOMPARE(files.findChild<QLabel*>(QStringLiteral("fileTypeLabel"))->text(),
             QStringLiteral("Αρχεία τύπου:"));
    auto* box = files.findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"));
    QCOMPARE(box->button(QDialogButtonBox::Cancel)->text(), QStringLiteral("Άκυρο"));
    QCOMPARE(box->button(QDialogButtonBox::Open)->text(), QStringLiteral("Ά&νοιγμα"));

    QPrinter printer;
    QPrintDialog print(&printer);
    QCOMPARE(print.windowTitle(), QStringLiteral("Εκτύπωση"));
    QStringList labels;
    for (QLabel* l : print.findChildren<QLabel*>()) labels << l->text();
    QVERIFY2(labels.contains(QStringLiteral("Ό&νομα:")), qPrintable(labels.join(QLatin1Char('|'))));
    // The printer properties' list of page orders.
    QCOMPARE(QCoreApplication::translate("QPrintDialog", "Left to Right, Top to Bottom"),
             QStringLiteral("Από αριστερά προς τα δεξιά, από πάνω προς τα κάτω"));
}

// Without a desktop program for text files the export says where the file is.
void DemoNetworkTest::noProgramForTextFilesIsTold()
{
    Session s(kDemo, QStringLiteral("DEMO.WGS84"));
    QString asked;
    s.w->desktopOpener = [&](const QString& f) {
        asked = f;
        return false;
    };
    s.w->PageControl1()->setCurrentWidget(s.w->TabSheet2());
    s.rec.inputs = {std::string("LISTA.TXT")};
    s.w->SpeedButton3()->click();
    QCOMPARE(QFileInfo(asked).fileName(), QStringLiteral("LISTA.TXT"));
    const auto msgs = s.rec.messages();
    QCOMPARE(msgs.size(), std::size_t(1));
    QVERIFY(QString::fromStdString(msgs[0]).contains(QStringLiteral("LISTA.TXT")));

    // A file that is gone is named as missing; the desktop is not asked.
    QVERIFY(QFile::remove(s.dir.filePath(QStringLiteral("LISTA.TXT"))));
    s.rec.clear();
    asked.clear();
    s.w->SpeedButton6Click();
    QVERIFY(asked.isEmpty());
    QCOMPARE(s.rec.messages().size(), std::size_t(1));
    QVERIFY(QString::fromStdString(s.rec.messages()[0]).contains(QStringLiteral("LISTA.TXT δεν υπάρχει")));
}

// The window can be resized: the grid grows, the settings page's controls
// stay where they are; its place is written at exit and found at start, on a
// screen that is there.
void DemoNetworkTest::windowGrowsAndRemembersItsPlace()
{
    QString ini;
    QTemporaryDir keep;
    {
        Session s(kDemo, QStringLiteral("DEMO.WGS84"));
        ini = s.ini;
        QCOMPARE(s.w->size(), QSize(700, 539));
        QCOMPARE(s.w->minimumSize(), QSize(700, 539));
        s.w->PageControl1()->setCurrentWidget(s.w->TabSheet2());
        QApplication::processEvents();
        const int gridHeight = s.w->networkPage()->grid()->height();
        s.w->PageControl1()->setCurrentWidget(s.w->TabSheet9());
        s.w->settingsPages()->setCurrentIndex(2);  // the calculator
        QApplication::processEvents();
        const QPoint edit = s.w->calculatorPage()->edit(CalcEdit::TM87E)->mapTo(s.w.get(), QPoint());
        s.w->setGeometry(QRect(30, 20, 760, 560));
        QApplication::processEvents();
        QCOMPARE(s.w->calculatorPage()->edit(CalcEdit::TM87E)->mapTo(s.w.get(), QPoint()), edit);
        s.w->PageControl1()->setCurrentWidget(s.w->TabSheet2());
        QApplication::processEvents();
        QVERIFY(s.w->networkPage()->grid()->height() > gridHeight);
        s.w->close();
        const WindowPlacement p = s.doc->MainWindowPlacement;
        QVERIFY(p.known);
        QCOMPARE(QSize(p.width, p.height), QSize(760, 560));
        s.doc->ExitSequence(ini.toStdString());
        QFile::copy(ini, keep.filePath(QStringLiteral("korthal.INI")));
    }
    const ProgramSettings back = loadProgramSettings(keep.filePath(QStringLiteral("korthal.INI")).toStdString());
    QVERIFY(back.window.known);
    QCOMPARE(back.window.width, 760);

    // Restored on the screen that is there; a place off every screen is
    // brought back to the middle of the primary one.
    Session s(kDemo, QStringLiteral("DEMO.WGS84"));
    WindowPlacement p = back.window;
    s.w->restorePlacement(p);
    QCOMPARE(s.w->size(), QSize(760, 560));
    p.left = 9000;
    p.top = 9000;
    s.w->restorePlacement(p);
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    QVERIFY(screen.contains(s.w->geometry().center()));
    p.maximized = true;
    s.w->restorePlacement(p);
    QVERIFY(s.w->windowState() & Qt::WindowMaximized);
}

// At the largest decimals the settings allow, every cell and calculator edit
// shows its whole value, every column title stands on one line, and the name
// pick list has the grid's font.
void DemoNetworkTest::valuesAndTitlesShowWhole()
{
    Session s(kDemo, QStringLiteral("DEMO.WGS84"));
    NumberPage* p = s.w->numberPage();
    p->SpinEdit2->setValue(10);
    p->SpinEdit3->setValue(10);
    p->SpinEdit4->setValue(12);
    NetworkPage* np = s.w->networkPage();
    PointGrid* g = np->grid();
    const QFontMetrics cell(g->font()), header(g->horizontalHeader()->font());
    for (int mode = 0; mode < 3; ++mode) {
        np->SBGridClick();
        for (bool geocentric : {false, true}) {
            np->SpeedButton12Click(geocentric);
            for (int c = 0; c < s.net()->columnCount(); ++c) {
                const int width = g->columnWidth(c);
                const QString title =
                    s.net()->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString();
                // One line under a group title, two where the column has none.
                const int lines = g->groupHeader()->groupTitle(c).isEmpty() ? 2 : 1;
                const QRect need = header.boundingRect(QRect(0, 0, width - 4, 1000),
                                                       Qt::AlignCenter | Qt::TextWordWrap,
                                                       title.simplified());
                QVERIFY2(need.width() <= width - 4 &&
                             need.height() < (lines + 1) * header.lineSpacing(),
                         qPrintable(title));
                for (int row = 0; row < s.net()->rowCount(); ++row) {
                    const QString t = s.cell(s.net(), row, c);
                    QVERIFY2(cell.horizontalAdvance(t) <= width - 6, qPrintable(t));
                }
            }
        }
    }
    ReferencePage* rp = s.w->referencePage();
    for (int c = 1; c < s.ref()->columnCount(); ++c)
        for (int row = 0; row < s.ref()->rowCount(); ++row) {
            const QString t = s.cell(s.ref(), row, c);
            QVERIFY2(cell.horizontalAdvance(t) <= rp->grid()->columnWidth(c) - 6, qPrintable(t));
        }

    // The calculator after a chain through every group.
    CalculatorPage* c = s.w->calculatorPage();
    rp->grid()->setCurrentIndex(s.ref()->index(rowOf(s.doc->GYS(), "Σ102"), 1));
    for (CalcButton b : {CalcButton::SBTM87TM87m, CalcButton::SBTM87HATT, CalcButton::SBEGSA87eWGS84e})
        c->button(b)->click();
    QVERIFY(s.rec.messages().empty());
    for (int k = 0; k < kCalcEditCount; ++k) {
        QLineEdit* e = c->edit(static_cast<CalcEdit>(k));
        QVERIFY2(!e->text().isEmpty(), qPrintable(QString::number(k)));
        QVERIFY2(e->fontMetrics().horizontalAdvance(e->text()) <= e->contentsRect().width() - 4,
                 qPrintable(e->text()));
    }

    // The pick list of names drops down in the grid's font.
    s.w->PageControl1()->setCurrentWidget(s.w->TabSheet2());
    g->setCurrentIndex(s.net()->index(0, 0));
    g->edit(s.net()->index(0, 0));
    auto* cb = qobject_cast<QComboBox*>(g->indexWidget(s.net()->index(0, 0)));
    QVERIFY(cb);
    QCOMPARE(cb->view()->font().pointSizeF(), g->font().pointSizeF());
}

QTEST_MAIN(DemoNetworkTest)
#include "DemoNetworkTest.moc"
