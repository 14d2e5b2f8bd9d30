// Runs the desktop program as a surveyor would, without a user: the whole
// program (settings place, start-up, the window, the exit sequence) with
// scripted answers. It opens the network given by its absolute name, adds a
// photograph to its first point, reads an observation file for that point
// and closes. The installed-program test copies it into a read-only folder
// and runs it as an unprivileged user from another working folder.
//
// Usage: korthal-installed-run NETWORK PHOTO OBSFILE

#include "app/MainWindow.h"
#include "app/PhotoWindow.h"
#include "app/Program.h"
#include "app/RinexViewer.h"
#include "project/Dialogs.h"
#include "project/Document.h"

#include <QApplication>
#include <QTabWidget>
#include <QTimer>

#include <iostream>

using namespace korthal;
using namespace korthal::app;

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::cerr << "usage: korthal-installed-run NETWORK PHOTO OBSFILE\n";
        return 2;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Korthal"));
    RecordingDialogs rec;
    bool done = false;
    QTimer::singleShot(0, [&] {
        MainWindow* w = nullptr;
        for (QWidget* t : QApplication::topLevelWidgets())
            if (auto* m = qobject_cast<MainWindow*>(t)) w = m;
        if (!w) return;
        rec.inputs.push_back(std::string(argv[1]));
        w->SpeedButton2Click();
        w->PageControl1()->setCurrentWidget(w->TabSheet2());
        w->doc().GPS().moveToRow(0);
        w->Image2bClick(1);
        rec.inputs.push_back(std::string(argv[2]));
        w->Form2()->SpeedButton2Click();
        w->Form2()->close();
        RinexViewer* v = w->rinexViewer();
        v->prepareForCurrentPoint();
        rec.inputs.push_back(std::string(argv[3]));
        v->SpeedButton2Click();
        done = true;
        w->close();
    });
    const int status = runProgram({}, &rec);
    for (const auto& e : rec.entries) std::cerr << e.text << '\n';
    if (!done) {
        std::cerr << "korthal-installed-run: the main window was not found\n";
        return 1;
    }
    return status;
}
