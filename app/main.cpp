#include "app/Program.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Korthal"));
    // Before any window: Qt's own buttons and dialogs speak Greek too.
    korthal::app::installQtGreek(app);
    return korthal::app::runProgram();
}
