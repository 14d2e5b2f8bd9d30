#pragma once
// The desktop program's command line: "korthal [FILE]", "--help" and
// "--version". The help text is also where the manual page korthal(1) comes
// from (the build runs "korthal --help"), so it says everything a user of the
// command line needs.

#include <QString>
#include <QStringList>

#include <optional>
#include <ostream>

namespace korthal::app {

// "--help", "-h" and "--version" among the raw arguments (argv[1..]) are
// answered on `out` before Qt starts, so that they need no display. Returns
// the exit status when one was answered.
std::optional<int> answerInformationOptions(int argc, const char* const* argv, std::ostream& out);

struct CommandLine {
    QString fileToOpen;  // empty: the network of the program settings
    QString error;       // empty when the arguments are usable
};

// The arguments left after Qt took its own (QApplication::arguments()
// without the program's name): at most one file; anything else that starts
// with '-' is an error, unless it follows "--".
CommandLine readCommandLine(const QStringList& args);

// The usage line and the hint printed after a command-line error.
extern const char* const kUsageHint;

}  // namespace korthal::app
