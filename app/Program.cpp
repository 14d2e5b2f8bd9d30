#include "app/Program.h"

#include "app/MainWindow.h"
#include "app/QtDialogs.h"
#include "project/Document.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>

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

int runProgram()
{
    createWorkingFolders();
    QtDialogs dialogs;
    Dialogs* previous = setDialogs(&dialogs);
    {
        Document doc;
        const QString ini = programSettingsFile();
        MainWindow window(doc, ini);
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
