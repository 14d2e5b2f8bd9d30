#include "app/Program.h"

#include "app/FileMenu.h"
#include "app/MainWindow.h"
#include "app/QtDialogs.h"
#include "project/Document.h"
#include "project/RecentNetworks.h"
#include "project/SettingsLocation.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QStandardPaths>
#include <QTranslator>

namespace korthal::app {

void createWorkingFolders()
{
    QDir here(QDir::currentPath());
    here.mkdir(QStringLiteral("Images"));
    here.mkdir(QStringLiteral("RINEX"));
}

QString programSettingsFile()
{
    const QFileInfo exe(QCoreApplication::applicationFilePath());
    return exe.dir().filePath(exe.completeBaseName() + QStringLiteral(".INI"));
}

SettingsLocation programSettingsPlace()
{
    const QString config =
        QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return programSettingsLocation(
        QFile::encodeName(QCoreApplication::applicationFilePath()).toStdString(),
        config.isEmpty() ? std::string() : QFile::encodeName(config + QStringLiteral("/korthal")).toStdString());
}

bool installQtGreek(QCoreApplication& app)
{
    auto* translator = new QTranslator(&app);
    if (!translator->load(QStringLiteral(":/i18n/qt_el.qm")) || !app.installTranslator(translator)) {
        delete translator;
        return false;
    }
    return true;
}

Separators desktopSeparators()
{
    const QLocale locale = QLocale::system();
    return separatorsFrom(locale.decimalPoint().toStdString(),
                          locale.groupSeparator().toStdString());
}

int runProgram(const QString& fileToOpen, Dialogs* scripted)
{
    // The folders "Images" and "RINEX" are made in the job folder of the
    // network opened (MainWindow::FormCreate), not wherever the program was
    // started.
    QtDialogs dialogs;
    Dialogs* previous = setDialogs(scripted ? scripted : &dialogs);
    {
        Document doc(desktopSeparators());
        const SettingsLocation where = programSettingsPlace();
        const QString ini = QFile::decodeName(where.writeTo.c_str());
        MainWindow window(doc, ini);
        window.setProgramSettingsSource(QFile::decodeName(where.readFrom.c_str()));
        window.setFileToOpen(fileToOpen);
        dialogs.setParent(&window);
        window.FormCreate();
        window.startModes();
        window.exec();
        dialogs.setParent(nullptr);
        makeSettingsFolder(where.writeTo);
        const ExitResult done = doc.ExitSequence(where.writeTo);
        if (!done.cancelled) {
            std::string error;
            if (!done.programSettingsWritten ||
                !saveRecentNetworks(where.writeTo, window.fileMenu()->recent(), error))
                showMessage(programSettingsNotSavedMessage(where.writeTo), MsgIcon::Warning);
        }
    }
    setDialogs(previous);
    return 0;
}

}  // namespace korthal::app
