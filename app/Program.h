#pragma once
// The program's main block: start-up, the modal main window, the exit
// sequence.

#include <QString>

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

// Runs the whole program with an existing QApplication. Returns the exit code.
int runProgram();

}  // namespace korthal::app
