// Typing into the point grids as into a spreadsheet, by real key presses on
// the offscreen platform: Esc in an editor, Tab, Shift+Tab and Enter.

#include "AppSession.h"
#include "network/PointTables.h"

#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QItemSelectionModel>
#include <QTest>

using namespace korthal;
using namespace korthal::app;
using korthal::app::testing::Session;

namespace {

// Keys go where the user's keys go: to the widget that has the focus.
QWidget* focused(Session& s)
{
    QWidget* f = QApplication::focusWidget();
    return f ? f : s.w->networkPage()->grid();
}

// Lets the calls queued by an entry run, as they do before the next key.
void settle()
{
    for (int i = 0; i < 3; ++i) QApplication::processEvents();
}

void press(Session& s, Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier)
{
    QTest::keyClick(focused(s), key, mods);
    settle();
}

void typeKeys(Session& s, const QString& text)
{
    // Key by key: the first opens the editor, which takes the focus.
    for (const QChar c : text) QTest::keyClicks(focused(s), QString(c));
    QApplication::processEvents();
}

void showNetworkPage(Session& s)
{
    s.w->PageControl1()->setCurrentWidget(s.w->TabSheet2());
    s.w->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(s.w.get()));
    s.w->networkPage()->grid()->setFocus();
    QApplication::processEvents();
}

}  // namespace

class GridEntryTest : public QObject {
    Q_OBJECT
private slots:
    void escapeInAnEditorCancelsTheEdit();
    void tabAndEnterMoveLikeASpreadsheet();
    void copyPasteAndUndoByKeys();
};

void GridEntryTest::escapeInAnEditorCancelsTheEdit()
{
    Session s;
    showNetworkPage(s);
    NetworkPage* np = s.w->networkPage();
    np->insertRecord();
    s.type(np, 0, QStringLiteral("K10"));
    settle();
    PointGrid* g = np->grid();
    g->setCurrentIndex(s.net()->index(0, 1));
    typeKeys(s, QStringLiteral("4536207,5"));
    QVERIFY(g->editing());

    press(s, Qt::Key_Escape);
    QVERIFY(s.w->isVisible());
    QVERIFY(!g->editing());
    QCOMPARE(s.doc->GPS().getFloat(s.doc->GPS().recAt(0), gps::X), 0.0);
    QVERIFY(s.cell(s.net(), 0, 1).isEmpty());
    QVERIFY(s.rec.entries.empty());

    // The same in the name column's editor (a combo box with a line).
    g->setCurrentIndex(s.net()->index(0, 0));
    typeKeys(s, QStringLiteral("X"));
    QVERIFY(g->editing());
    press(s, Qt::Key_Escape);
    QVERIFY(s.w->isVisible());
    QCOMPARE(s.cell(s.net(), 0, 0), QStringLiteral("K10"));

    // With no editor open, Esc closes the window.
    press(s, Qt::Key_Escape);
    QVERIFY(!s.w->isVisible());
}

void GridEntryTest::tabAndEnterMoveLikeASpreadsheet()
{
    Session s;
    s.addReference(QStringLiteral("A1"), QStringLiteral("476000"), QStringLiteral("4200000"),
                   QStringLiteral("100"));
    showNetworkPage(s);
    NetworkPage* np = s.w->networkPage();
    PointGrid* g = np->grid();

    // A detail point first, then a point named after the reference point:
    // naming it moves its record to the top, and the keys follow it.
    struct Step {
        const char* keys;
        Qt::Key key;
        Qt::KeyboardModifiers mods;
        int column;  // where the cursor is afterwards
    };
    const Step steps[] = {
        {"P1", Qt::Key_Tab, Qt::NoModifier, 1},
        {"4595000", Qt::Key_Tab, Qt::NoModifier, 2},
        {"", Qt::Key_Tab, Qt::NoModifier, 3},              // empty cell passed: no error
        {"", Qt::Key_Tab, Qt::ShiftModifier, 2},           // Shift+Tab goes back
        {"2031000", Qt::Key_Return, Qt::NoModifier, 3},
        {"3903000", Qt::Key_Tab, Qt::NoModifier, 7},       // read-only E, N, H stepped over
    };
    np->insertRecord();
    QApplication::processEvents();
    for (const Step& st : steps) {
        typeKeys(s, QString::fromUtf8(st.keys));
        press(s, st.key, st.mods);
        QVERIFY2(s.rec.entries.empty(), s.rec.entries.empty() ? st.keys : s.rec.entries.front().text.c_str());
        QCOMPARE(g->currentIndex().column(), st.column);
        QCOMPARE(g->currentIndex().row(), s.doc->GPS().currentRow());
    }
    MemTable& t = s.doc->GPS();
    const Rec p1 = t.recAt(0);
    QCOMPARE(t.getFloat(p1, gps::X), 4595000.0);
    QCOMPARE(t.getFloat(p1, gps::Y), 2031000.0);
    QCOMPARE(t.getFloat(p1, gps::Z), 3903000.0);
    const double undulation = t.getFloat(p1, gps::apoxh);
    QVERIFY(undulation != 0);

    // Passing through the undulation without typing keeps the model's value;
    // after the last column of the last row the cursor stays.
    press(s, Qt::Key_Tab);
    QCOMPARE(g->currentIndex().column(), 7);
    QCOMPARE(t.getFloat(p1, gps::apoxh), undulation);

    np->insertRecord();
    QApplication::processEvents();
    typeKeys(s, QStringLiteral("A1"));
    press(s, Qt::Key_Tab);
    QCOMPARE(g->currentIndex().row(), 0);  // the reference point sorts first
    QCOMPARE(g->currentIndex().column(), 1);
    typeKeys(s, QStringLiteral("4595100"));
    press(s, Qt::Key_Return);
    QCOMPARE(t.getFloat(t.recAt(0), gps::X), 4595100.0);
    QCOMPARE(g->currentIndex().column(), 2);
    // Enter off the editor moves on as well and does not reach the buttons.
    press(s, Qt::Key_Return);
    QCOMPARE(g->currentIndex().column(), 3);
    QVERIFY(s.w->isVisible());
    QVERIFY(s.rec.entries.empty());
}

void GridEntryTest::copyPasteAndUndoByKeys()
{
    Session s;
    showNetworkPage(s);
    NetworkPage* np = s.w->networkPage();
    PointGrid* g = np->grid();
    QGuiApplication::clipboard()->setText(
        QStringLiteral("Κ1\t4.595.000,25\t2.031.000\t3.903.000\r\nΚ2\t4595100\t2031000\t3903000\r\n"));
    press(s, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(s.doc->GPS().recordCount(), 2);
    QCOMPARE(s.cell(s.net(), 0, 0), QStringLiteral("Κ1"));
    QVERIFY(!s.cell(s.net(), 1, 4).isEmpty());  // E derived
    QVERIFY(s.rec.entries.empty());

    // The rectangle of the two rows' names and X out, as shown.
    g->selectionModel()->select(QItemSelection(s.net()->index(0, 0), s.net()->index(1, 1)),
                                QItemSelectionModel::ClearAndSelect);
    press(s, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QGuiApplication::clipboard()->text(),
             s.cell(s.net(), 0, 0) + '\t' + s.cell(s.net(), 0, 1) + '\n' + s.cell(s.net(), 1, 0) +
                 '\t' + s.cell(s.net(), 1, 1) + '\n');

    // One undo takes the whole paste back; a second has nothing to undo.
    press(s, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(s.doc->GPS().recordCount(), 0);
    QVERIFY(!np->canUndoPaste());
    QVERIFY(s.w->isVisible());
}

QTEST_MAIN(GridEntryTest)
#include "GridEntryTest.moc"
