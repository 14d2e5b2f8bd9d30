#include "app/CommandLine.h"

#include "packaging/BuildVersion.h"

#include <string_view>

namespace korthal::app {

namespace {

const char* const kHelp =
    "Usage: korthal [FILE]\n"
    "\n"
    "Korthal brings GPS (WGS84) points of land surveys into the Greek reference\n"
    "system EGSA87 (GRS80 ellipsoid, TM87 projection) and the HATT projection. It\n"
    "estimates a local similarity transformation from the job's reference points,\n"
    "reduces heights with a built-in geoid model, and offers a coordinate\n"
    "calculator, a sketch of the network, listings, photographs of the points and\n"
    "a viewer of their RINEX observations. Its windows speak Greek.\n"
    "\n"
    "Without FILE the program opens the network that was open when it last closed.\n"
    "FILE, a network file (.WGS84) or a point list (.TXT: NAME,X,Y,Z or\n"
    "NAME<tab>X<tab>Y<tab>Z per line), is opened instead; this is what the desktop\n"
    "does when a network file is double-clicked. A FILE that does not exist or\n"
    "cannot be read is reported, and the program starts with an empty network\n"
    "under that name.\n"
    "\n"
    "Nothing is written while the window is open. On closing (Esc or the window's\n"
    "close box) the program writes, each only when it changed: the reference point\n"
    "file, the network (after asking for its name), the network's settings and the\n"
    "program settings.\n"
    "\n"
    "Files:\n"
    "  korthal.INI  the program settings, beside the executable: the network open\n"
    "               last (LastFile), the folder of the last photograph, the window\n"
    "  NAME.INI     the settings of the network NAME.WGS84, beside it\n"
    "  EGSA87       the reference point file, in the working folder\n"
    "  Images       the points' photographs, a folder in the working folder\n"
    "  RINEX        the points' observation tables, a folder in the working folder\n"
    "\n"
    "Options:\n"
    "  -h, --help   print this help and exit\n"
    "  --version    print the version and exit\n"
    "\n"
    "Qt's own options (-platform NAME, -style NAME, ...) are accepted as well.\n"
    "korthal-cli does the same computations from the command line.\n";

}  // namespace

const char* const kUsageHint = "Usage: korthal [FILE]   (\"korthal --help\" says more)\n";

std::optional<int> answerInformationOptions(int argc, const char* const* argv, std::ostream& out)
{
    for (int i = 1; i < argc; ++i) {
        const std::string_view a = argv[i];
        if (a == "--") break;
        if (a == "--help" || a == "-h") {
            out << kHelp;
            return 0;
        }
        if (a == "--version") {
            out << "korthal " << buildVersion() << '\n';
            return 0;
        }
    }
    return std::nullopt;
}

CommandLine readCommandLine(const QStringList& args)
{
    CommandLine c;
    bool optionsEnd = false;
    for (const QString& a : args) {
        if (!optionsEnd && a == QLatin1String("--")) {
            optionsEnd = true;
        } else if (!optionsEnd && a.startsWith(QLatin1Char('-')) && a.size() > 1) {
            c.error = QStringLiteral("korthal: unknown option \"%1\"").arg(a);
            return c;
        } else if (!c.fileToOpen.isEmpty()) {
            c.error = QStringLiteral("korthal: one file at a time (\"%1\" and \"%2\")")
                          .arg(c.fileToOpen, a);
            return c;
        } else if (a.isEmpty()) {
            c.error = QStringLiteral("korthal: an empty file name");
            return c;
        } else {
            c.fileToOpen = a;
        }
    }
    return c;
}

}  // namespace korthal::app
