// The program as installed: its executable in a folder its user cannot write
// to, started from another working folder, with a network opened by its
// absolute name. The settings go to the user's configuration folder; the
// photograph and the observation table go beside the network; nothing is
// written where the program was started. As root the program runs as the
// user nobody (setpriv), so that the folder's permissions count.

#include "project/Settings.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString kDemo = QStringLiteral(KORTHAL_SOURCE_DIR "/examples/demo");
const QString kObs = QStringLiteral(KORTHAL_SHARED_DATA "/rinex/07590920.05o");
constexpr uid_t kNobody = 65534;

// Makes the folder and hands it to the program's user.
QString folderFor(const QDir& root, const QString& name, bool asNobody)
{
    root.mkpath(name);
    const QString path = root.filePath(name);
    if (asNobody) {
        if (::chown(QFile::encodeName(path).constData(), kNobody, kNobody) != 0) return {};
    }
    return path;
}

}  // namespace

class InstalledProgramTest : public QObject {
    Q_OBJECT
private slots:
    void runsFromAReadOnlyFolder();
};

void InstalledProgramTest::runsFromAReadOnlyFolder()
{
    const bool root = ::geteuid() == 0;
    if (root && QStandardPaths::findExecutable(QStringLiteral("setpriv")).isEmpty())
        QSKIP("setpriv is missing: the program cannot be run as an unprivileged user");
    QTemporaryDir tmp;
    QVERIFY(tmp.isValid());
    QVERIFY(QFile::setPermissions(tmp.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                  QFileDevice::ExeOwner | QFileDevice::ReadOther |
                                                  QFileDevice::ExeOther | QFileDevice::ReadGroup |
                                                  QFileDevice::ExeGroup));
    const QDir dir(tmp.path());
    // The executable in a folder nobody may write to.
    dir.mkpath(QStringLiteral("bin"));
    const QString exe = dir.filePath(QStringLiteral("bin/korthal-installed-run"));
    QVERIFY(QFile::copy(QStringLiteral(KORTHAL_INSTALLED_RUN), exe));
    QVERIFY(::chmod(QFile::encodeName(dir.filePath(QStringLiteral("bin"))).constData(), 0555) == 0);
    const QString home = folderFor(dir, QStringLiteral("home"), root);
    const QString cwd = folderFor(dir, QStringLiteral("started-here"), root);
    const QString job = folderFor(dir, QStringLiteral("jobs/Ζάκυνθος"), root);
    QVERIFY(!home.isEmpty() && !cwd.isEmpty() && !job.isEmpty());
    for (const QString& f : {QStringLiteral("DEMO.WGS84"), QStringLiteral("DEMO.INI"),
                             QStringLiteral("EGSA87")}) {
        QVERIFY(QFile::copy(kDemo + QLatin1Char('/') + f, job + QLatin1Char('/') + f));
        if (root)
            QVERIFY(::chown(QFile::encodeName(job + QLatin1Char('/') + f).constData(), kNobody,
                            kNobody) == 0);
        QFile::setPermissions(job + QLatin1Char('/') + f,
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                  QFileDevice::ReadOther);
    }
    const QString photo = dir.filePath(QStringLiteral("photo.png"));
    QImage picture(40, 30, QImage::Format_RGB32);
    picture.fill(Qt::darkGreen);
    QVERIFY(picture.save(photo));
    const QString obs = dir.filePath(QStringLiteral("07590920.05o"));
    QVERIFY(QFile::copy(kObs, obs));
    for (const QString& f : {photo, obs})
        QFile::setPermissions(f, QFileDevice::ReadOwner | QFileDevice::ReadOther);

    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), home);
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), home + QStringLiteral("/.config"));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), home);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    p.setProcessEnvironment(env);
    p.setWorkingDirectory(cwd);
    const QString network = job + QStringLiteral("/DEMO.WGS84");
    const QStringList args{network, photo, obs};
    if (root)
        p.start(QStringLiteral("setpriv"),
                QStringList{QStringLiteral("--reuid=65534"), QStringLiteral("--regid=65534"),
                            QStringLiteral("--clear-groups"), exe} +
                    args);
    else
        p.start(exe, args);
    QVERIFY(p.waitForFinished(120000));
    const QString said = QString::fromUtf8(p.readAllStandardError());
    QVERIFY2(p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0, qPrintable(said));

    // The settings in the configuration folder, naming the network.
    const QString ini = home + QStringLiteral("/.config/korthal/korthal-installed-run.INI");
    QVERIFY2(QFile::exists(ini), qPrintable(said));
    QCOMPARE(QString::fromStdString(korthal::loadProgramSettings(ini.toStdString()).LastFile),
             network);
    QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("bin/korthal-installed-run.INI"))));
    // The photograph and the observation table of the first point beside
    // the network.
    QCOMPARE(QDir(job + QStringLiteral("/Images")).entryList(QDir::Files).size(), 1);
    const QStringList tables = QDir(job + QStringLiteral("/RINEX")).entryList(QDir::Files);
    QVERIFY2(tables.contains(QStringLiteral("DEMO000001.RNX")), qPrintable(tables.join(' ')));
    QVERIFY(tables.contains(QStringLiteral("DEMO000001.INI")));
    // Nothing where the program was started.
    QVERIFY2(QDir(cwd).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden).isEmpty(),
             qPrintable(QDir(cwd).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).join(' ')));
    // (The folder of the test is removed with what the program made in it.)
    ::chmod(QFile::encodeName(dir.filePath(QStringLiteral("bin"))).constData(), 0755);
}

QTEST_MAIN(InstalledProgramTest)
#include "InstalledProgramTest.moc"
