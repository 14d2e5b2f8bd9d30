#include "app/CommandLine.h"
#include "app/Program.h"

#include <QApplication>
#include <QIcon>

#include <iostream>

int main(int argc, char** argv)
{
    if (const auto status = korthal::app::answerInformationOptions(argc, argv, std::cout))
        return *status;
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Korthal"));
    QGuiApplication::setDesktopFileName(QStringLiteral(KORTHAL_APP_ID));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral(KORTHAL_APP_ID)));
    // Qt has taken its own options out of the arguments by now.
    QStringList args = QApplication::arguments();
    args.removeFirst();
    const korthal::app::CommandLine line = korthal::app::readCommandLine(args);
    if (!line.error.isEmpty()) {
        std::cerr << line.error.toStdString() << '\n' << korthal::app::kUsageHint;
        return 2;
    }
    // Before any window: Qt's own buttons and dialogs speak Greek too.
    korthal::app::installQtGreek(app);
    return korthal::app::runProgram(line.fileToOpen);
}
