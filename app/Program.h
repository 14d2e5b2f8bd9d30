#pragma once
// The program's main block: start-up, the modal main window, the exit
// sequence.

#include "table/PlainNumber.h"

#include <QString>

class QCoreApplication;

namespace korthal {
class Document;
}

namespace korthal::app {

// Creates the folders "Images" and "RINEX" in the working folder; failures
// (the folder exists, no permission) are ignored.
void createWorkingFolders();

// The program settings file: the executable's path with its extension
// replaced by ".INI".
QString programSettingsFile();

// The system's separators as the desktop's locale has them (what Qt
// reports for the user's locale), rather than the process's C library
// locale, which a desktop session often leaves at "C".
Separators desktopSeparators();

// Installs the Greek texts of Qt's own dialogs and buttons (built into the
// program). False when they could not be loaded.
bool installQtGreek(QCoreApplication& app);

// Runs the whole program with an existing QApplication. `fileToOpen` (the
// command line's file) is opened instead of the program settings' last
// network when it is not empty. Returns the exit code.
int runProgram(const QString& fileToOpen = {});

}  // namespace korthal::app
