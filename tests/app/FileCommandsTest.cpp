// The main window's file commands: the question before unsaved changes are
// left (exit, new, open), save and save as, open and the recent networks,
// their keys, the last network that is gone, and the page shown at start.

#include "AppSession.h"

#include "app/FileMenu.h"
#include "project/RecentNetworks.h"
#include "table/TableFile.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QToolButton>
#include <QTabWidget>

using namespace korthal;
using namespace korthal::app;
using korthal::app::testing::Session;

namespace {

const QString kDemo = QStringLiteral(KORTHAL_SOURCE_DIR "/examples/demo");

QByteArray bytes(const QString& file)
{
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Changes the Z of the network's first point, as typing would.
void changeFirstPoint(Session& s)
{
    s.w->PageControl1()->setCurrentWidget(s.w->TabSheet2());
    s.doc->GPS().moveToRow(0);
    s.type(s.w->networkPage(), 3, QStringLiteral("3800001"));
    QVERIFY(s.doc->NetworkModified);
}

// Presses keys on the active main window.
void press(Session& s, Qt::Key key, Qt::KeyboardModifiers mods)
{
    s.w->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(s.w.get()));
    QTest::keyClick(s.w->networkPage()->grid(), key, mods);
    QApplication::processEvents();
}

}  // namespace

class FileCommandsTest : public QObject {
    Q_OBJECT
private slots:
    void leavingChangedNetwork_data();
    void leavingChangedNetwork();
    void saveSaveAsOpenNewAndRecent();
    void missingLastNetworkIsSaid();
};

void FileCommandsTest::leavingChangedNetwork_data()
{
    QTest::addColumn<QString>("action");  // close, new, open
    QTest::addColumn<QList<int>>("answers");
    QTest::addColumn<bool>("giveName");  // the name question is answered
    QTest::addColumn<bool>("goesOn");
    QTest::addColumn<bool>("written");
    const auto Yes = int(Answer::Yes), No = int(Answer::No), Cancel = int(Answer::Cancel);
    for (const char* a : {"close", "new", "open"}) {
        const QByteArray n(a);
        QTest::newRow(n + " Άκυρο") << a << QList<int>{Cancel} << false << false << false;
        QTest::newRow(n + " Ναι, Άκυρο at the name") << a << QList<int>{Yes} << false << false << false;
        QTest::newRow(n + " Όχι") << a << QList<int>{No} << false << true << false;
        QTest::newRow(n + " Ναι") << a << QList<int>{Yes} << true << true << true;
    }
}

void FileCommandsTest::leavingChangedNetwork()
{
    QFETCH(QString, action);
    QFETCH(QList<int>, answers);
    QFETCH(bool, giveName);
    QFETCH(bool, goesOn);
    QFETCH(bool, written);
    Session s(kDemo, QStringLiteral("DEMO.WGS84"));
    const QString file = s.dir.filePath(QStringLiteral("DEMO.WGS84"));
    const QByteArray before = bytes(file);
    const int points = s.doc->GPS().recordCount();
    changeFirstPoint(s);
    s.rec.clear();
    for (int a : answers) s.rec.answers.push_back(Answer(a));
    if (action == QLatin1String("open"))
        s.rec.inputs.push_back(s.dir.filePath(QStringLiteral("DEMO.TXT")).toStdString());
    s.rec.inputs.push_back(giveName ? std::optional<std::string>("DEMO.WGS84") : std::nullopt);
    if (action == QLatin1String("close"))
        press(s, Qt::Key_Escape, Qt::NoModifier);
    else if (action == QLatin1String("new"))
        s.w->SpeedButton7()->click();
    else
        s.w->SpeedButton2Click();

    // The question names the network.
    const auto q = std::find_if(s.rec.entries.begin(), s.rec.entries.end(), [](const auto& e) {
        return e.question && e.caption == "Αποθήκευση των σημείων";
    });
    QVERIFY(q != s.rec.entries.end());
    QVERIFY(q->text.find("DEMO.WGS84") != std::string::npos);
    QCOMPARE(bytes(file) != before, written);
    if (action == QLatin1String("close")) {
        QCOMPARE(s.w->isVisible(), !goesOn);
    } else if (!goesOn) {
        // Everything as it was: the same network, changed, still there.
        QCOMPARE(s.doc->GPS().recordCount(), points);
        QVERIFY(s.doc->NetworkModified);
        QCOMPARE(QFileInfo(QString::fromStdString(s.doc->CurrentFileName)).fileName(),
                 QStringLiteral("DEMO.WGS84"));
    } else {
        QVERIFY(!QString::fromStdString(s.doc->CurrentFileName).endsWith(QLatin1String("DEMO.WGS84")));
    }
}

void FileCommandsTest::saveSaveAsOpenNewAndRecent()
{
    Session s(kDemo, QStringLiteral("DEMO.WGS84"));
    // A network loaded at start: its page is shown, and it heads the recent list.
    QCOMPARE(s.w->PageControl1()->currentWidget(), s.w->TabSheet2());
    FileMenu* m = s.w->fileMenu();
    QVERIFY(m);
    QCOMPARE(m->recent().files.size(), std::size_t(1));

    // Ctrl+S writes the network's own file, without a question.
    const QString demo = s.dir.filePath(QStringLiteral("DEMO.WGS84"));
    const QByteArray before = bytes(demo);
    changeFirstPoint(s);
    s.rec.clear();
    press(s, Qt::Key_S, Qt::ControlModifier);
    QVERIFY(s.rec.entries.empty());
    QVERIFY(bytes(demo) != before);
    QVERIFY(!s.doc->NetworkModified);

    // Ctrl+Shift+S: a file dialog in the job folder; the extension is added.
    QDir(s.dir.path()).mkdir(QStringLiteral("other"));
    const QString other = s.dir.filePath(QStringLiteral("other/COPY"));
    s.rec.inputs.push_back(other.toStdString());
    press(s, Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
    QVERIFY(QFile::exists(other + QStringLiteral(".WGS84")));
    QVERIFY(QFile::exists(s.dir.filePath(QStringLiteral("other/EGSA87"))));
    QCOMPARE(s.w->windowTitle(),
             QStringLiteral("   Korthal  (v1.0)    Αρχείο : ") + other + QStringLiteral(".WGS84"));
    QCOMPARE(QString::fromStdString(m->recent().files.front()), other + QStringLiteral(".WGS84"));
    QCOMPARE(m->recentMenu()->actions().size(), 2);

    // Ctrl+N: a new network in the same job folder.
    press(s, Qt::Key_N, Qt::ControlModifier);
    QCOMPARE(s.doc->GPS().recordCount(), 0);
    QCOMPARE(QString::fromStdString(s.doc->CurrentFileName),
             s.dir.filePath(QStringLiteral("other/Νέο αρχείο σημείων.WGS84")));

    // Ctrl+O: the dialog starts in the folder shown last.
    s.rec.clear();
    s.rec.inputs.push_back(demo.toStdString());
    press(s, Qt::Key_O, Qt::ControlModifier);
    QCOMPARE(QString::fromStdString(s.doc->CurrentFileName), demo);
    QVERIFY(s.doc->GPS().recordCount() > 0);
    QVERIFY(!s.rec.entries.empty());
    QCOMPARE(QString::fromStdString(s.rec.entries.front().text).isEmpty(), false);

    // A recent network: the copy, opened from the menu.
    QAction* copy = m->recentMenu()->actions().at(1);
    QVERIFY(copy->text().contains(QStringLiteral("COPY.WGS84")));
    copy->trigger();
    QCOMPARE(QString::fromStdString(s.doc->CurrentFileName), other + QStringLiteral(".WGS84"));
    QCOMPARE(QString::fromStdString(m->dialogFolder()), s.dir.filePath(QStringLiteral("other")));

    // Ctrl+P prints the table of the page shown (to a PDF beside the network).
    QCOMPARE(m->menuBar()->actions().size(), 1);
    bool print = false;
    for (QAction* a : m->menuBar()->actions().front()->menu()->actions())
        print |= a->shortcut() == QKeySequence::Print;
    QVERIFY(print);
}

void FileCommandsTest::missingLastNetworkIsSaid()
{
    Session s({}, QStringLiteral("gone/JOB.WGS84"));
    const auto messages = s.rec.messages();
    QCOMPARE(messages.size(), std::size_t(1));
    QCOMPARE(messages.front(), missingLastNetworkMessage("gone/JOB.WGS84"));
    QCOMPARE(s.w->PageControl1()->currentWidget(), s.w->TabSheet4());
    // A first run (no settings file) has nothing to miss.
    Session first;
    QVERIFY(first.rec.messages().empty());
}

QTEST_MAIN(FileCommandsTest)
#include "FileCommandsTest.moc"
