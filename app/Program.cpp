#include "app/Program.h"

#include "app/MainWindow.h"
#include "app/QtDialogs.h"
#include "project/Document.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLocale>
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

int runProgram(const QString& fileToOpen)
{
    createWorkingFolders();
    QtDialogs dialogs;
    Dialogs* previous = setDialogs(&dialogs);
    {
        Document doc(desktopSeparators());
        const QString ini = programSettingsFile();
        MainWindow window(doc, ini);
        window.setFileToOpen(fileToOpen);
        dialogs.setParent(&window);
        window.FormCreate();
        window.startModes();
        window.exec();
        dialogs.setParent(nullptr);
        doc.ExitSequence(ini.toStdString());
    }
    setDialogs(previous);
    return 0;
}

}  // namespace korthal::app
