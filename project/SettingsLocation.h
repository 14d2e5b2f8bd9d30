#pragma once
// Where the program settings file is kept. A program run from a folder of its
// own (the build folder, a copy carried on a stick) keeps the file beside the
// executable, named after it with the extension ".INI". A program installed
// where its user may not write (/usr/bin) keeps it in the user's
// configuration folder instead, under the same name; until that file exists,
// one beside the executable (left there by whoever installed the program) is
// read in its place.

#include <string>

namespace korthal {

struct SettingsLocation {
    std::string readFrom;  // the file read at start-up
    std::string writeTo;   // the file written at exit
};

// `executablePath`: the running program; `userConfigFolder`: the user's
// configuration folder for the program (the window finds it through the
// desktop's standard locations, e.g. $XDG_CONFIG_HOME/korthal).
SettingsLocation programSettingsLocation(const std::string& executablePath,
                                         const std::string& userConfigFolder);

// Whether the current user may create and replace files in `folder`.
bool folderIsWritable(const std::string& folder);

// Makes the folder of a settings file about to be written (the user's
// configuration folder may not exist yet); false when it cannot be made.
bool makeSettingsFolder(const std::string& settingsFile);

// What is said, once, when the program settings could not be written.
std::string programSettingsNotSavedMessage(const std::string& settingsFile);

}  // namespace korthal
