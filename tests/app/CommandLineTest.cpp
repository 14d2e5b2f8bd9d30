// The desktop program as the desktop starts it: a file given on its command
// line is opened instead of the last network, a file that cannot be opened
// is said and the network starts empty under its name; the About window.

#include "AppSession.h"
#include "app/AboutDialog.h"
#include "app/CommandLine.h"
#include "packaging/BuildVersion.h"

#include <QPushButton>
#include <QTimer>

using namespace korthal;
using namespace korthal::app;
using korthal::app::testing::Session;

namespace {

const QString kDemo = QStringLiteral(KORTHAL_SOURCE_DIR "/examples/demo");
const char* const kCaption = "   Korthal  (v1.0)    Αρχείο : ";

}  // namespace

class CommandLineTest : public QObject {
    Q_OBJECT
private slots:
    void opensTheFileOfTheCommandLine();
    void fileThatCannotBeOpened_data();
    void fileThatCannotBeOpened();
    void arguments_data();
    void arguments();
    void aboutWindow();
};

void CommandLineTest::opensTheFileOfTheCommandLine()
{
    // The network sits in a job folder of its own, named by its full path
    // as the file manager gives it; the program settings name another one.
    QTemporaryDir job;
    for (const char* f : {"DEMO.WGS84", "DEMO.INI"})
        QVERIFY(QFile::copy(kDemo + '/' + f, job.filePath(QString::fromLatin1(f))));
    const QString file = job.filePath(QStringLiteral("DEMO.WGS84"));
    Session s(kDemo, QStringLiteral("DEMO.TXT"), file);

    QCOMPARE(s.doc->CurrentFileName, file.toStdString());
    QCOMPARE(s.w->windowTitle(), QString::fromUtf8(kCaption) + file);
    QCOMPARE(s.doc->GPS().recordCount(), 36);
    QCOMPARE(s.net()->rowCount(), 36);
    // Its settings came from beside it: 3 decimals, where the default is 4.
    QCOMPARE(s.doc->numberSettings().GPSDecimals[NumberDestination::Screen], 3);
    QVERIFY(!s.doc->NetworkModified);
    QVERIFY(s.rec.entries.empty());
}

void CommandLineTest::fileThatCannotBeOpened_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("content");  // empty: no file; "/": a folder
    QTest::addColumn<QString>("message");     // the message's start

    QTest::newRow("missing") << QStringLiteral("ΝΕΟ.WGS84") << QByteArray()
                             << QStringLiteral("Δεν μπορεί να ανοίξει το αρχείο ");
    QTest::newRow("folder") << QStringLiteral("FOLDER.WGS84") << QByteArray("/")
                            << QStringLiteral("Το αρχείο \"");
    QTest::newRow("not zlib") << QStringLiteral("BAD.WGS84") << QByteArray("no zlib stream")
                              << QStringLiteral("Το αρχείο \"");
    QTest::newRow("missing list") << QStringLiteral("LIST.TXT") << QByteArray()
                                  << QStringLiteral("Δεν μπορεί να ανοίξει το αρχείο ");
}

void CommandLineTest::fileThatCannotBeOpened()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, content);
    QFETCH(QString, message);
    QTemporaryDir job;
    const QString file = job.filePath(name);
    if (content == "/") {
        QVERIFY(QDir(job.path()).mkdir(name));
    } else if (!content.isEmpty()) {
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(content);
    }
    // The last network exists and would load: the named file comes instead.
    Session s(kDemo, QStringLiteral("DEMO.WGS84"), file);

    QCOMPARE(s.doc->GPS().recordCount(), 0);
    QCOMPARE(s.doc->CurrentFileName, file.toStdString());
    QCOMPARE(s.w->windowTitle(), QString::fromUtf8(kCaption) + file);
    const auto shown = s.rec.messages();
    QCOMPARE(shown.size(), std::size_t{1});
    const QString text = QString::fromStdString(shown[0]);
    QVERIFY2(text.startsWith(message) && text.contains(file), qPrintable(text));
    QVERIFY(!s.doc->NetworkModified);
}

void CommandLineTest::arguments_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("error");

    QTest::newRow("none") << QStringList{} << QString() << false;
    QTest::newRow("a file") << QStringList{"/jobs/A/ΔΙΚΤΥΟ.WGS84"} << "/jobs/A/ΔΙΚΤΥΟ.WGS84" << false;
    QTest::newRow("after --") << QStringList{"--", "-odd.WGS84"} << "-odd.WGS84" << false;
    QTest::newRow("unknown option") << QStringList{"--open", "A.WGS84"} << QString() << true;
    QTest::newRow("two files") << QStringList{"A.WGS84", "B.WGS84"} << "A.WGS84" << true;
    QTest::newRow("empty name") << QStringList{""} << QString() << true;
}

void CommandLineTest::arguments()
{
    QFETCH(QStringList, args);
    QFETCH(QString, file);
    QFETCH(bool, error);
    const CommandLine line = readCommandLine(args);
    QCOMPARE(line.fileToOpen, file);
    QCOMPARE(!line.error.isEmpty(), error);
}

void CommandLineTest::aboutWindow()
{
    // The version and every data source and library with its licence.
    const QString text = AboutDialog().text();
    for (const QString& part :
         {QString::fromUtf8(buildVersion()), QStringLiteral("EGM96"), QStringLiteral("Natural Earth"),
          QStringLiteral("HEPOS"), QStringLiteral("HATT"), QStringLiteral("survgr (άδεια MIT"),
          QStringLiteral("LGPL 3"), QStringLiteral("Qt Charts υπό την GNU GPL 3"),
          QStringLiteral("GDAL"), QStringLiteral("zlib"), QStringLiteral("libdeflate")})
        QVERIFY2(text.contains(part), qPrintable(part));

    // The introduction page's button opens it.
    Session s;
    auto* button = s.w->TabSheet4()->findChild<QPushButton*>(QStringLiteral("AboutButton"));
    QVERIFY(button);
    QString shown;
    QTimer::singleShot(0, [&] {
        if (auto* d = qobject_cast<AboutDialog*>(QApplication::activeModalWidget())) {
            shown = d->windowTitle();
            d->reject();
        }
    });
    button->click();
    QCOMPARE(shown, QStringLiteral("Σχετικά με το Korthal"));
}

QTEST_MAIN(CommandLineTest)
#include "CommandLineTest.moc"
