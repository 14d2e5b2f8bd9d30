// korthal-cli rinex OBSFILE --out POINT.RNX
//
// Reads a RINEX 2 observation file into a point's observation table, writes
// the table file and its companion settings file, and prints a summary.

#include "tools/cli/Command.h"

#include "project/Dialogs.h"
#include "views/RinexTable.h"

#include <iostream>

namespace korthal::cli {
namespace {

const char* const kHelp =
    "Usage: korthal-cli rinex OBSFILE --out POINT.RNX\n"
    "\n"
    "Reads the RINEX version 2 observation file OBSFILE into an observation\n"
    "table and writes it to POINT.RNX (zlib-compressed table text), with the\n"
    "header's observation types and approximate position in the companion\n"
    "settings file POINT.INI. An existing POINT.RNX is replaced; keys already\n"
    "in POINT.INI stay.\n"
    "\n"
    "Only GPS satellites become records; observations of other systems are\n"
    "skipped and counted. Then prints, one per line:\n"
    "  epochs: N            observation epochs (empty ones too)\n"
    "  records: N           records of the table\n"
    "  satellites: N        distinct GPS satellites\n"
    "  types: C1 L1 ...     the header's observation codes\n"
    "  skipped: N           observations of other systems\n"
    "  special records: N   lines of event records skipped\n"
    "\n"
    "A file that cannot be read, or whose reading stops part way, gives a\n"
    "message on stderr naming the line and exit status 1; POINT.RNX and\n"
    "POINT.INI are then left as they were.\n";

int run(const std::vector<std::string>& args)
{
    std::string input, output;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--out" && i + 1 < args.size()) {
            output = args[++i];
        } else if (args[i].rfind("--out=", 0) == 0) {
            output = args[i].substr(6);
        } else if (!args[i].empty() && args[i][0] == '-') {
            std::cerr << "korthal-cli rinex: unknown option \"" << args[i] << "\"\n";
            return 2;
        } else if (input.empty()) {
            input = args[i];
        } else {
            std::cerr << "korthal-cli rinex: one observation file only\n";
            return 2;
        }
    }
    if (input.empty() || output.empty()) {
        std::cerr << kHelp;
        return 2;
    }

    StderrDialogs stderrDialogs;
    Dialogs* previous = setDialogs(&stderrDialogs);
    RinexTable rinex;
    rinex.RinexFileName = output;
    const RinexReadOutcome out = rinex.ReadRinexObservations(input);
    setDialogs(previous);

    // The messages went to stderr already.
    if (!out.ok())
        return 1;
    const rinex::ReadStats& s = out.read.stats;
    std::cout << "epochs: " << s.epochs << '\n';
    std::cout << "records: " << s.records << '\n';
    std::cout << "satellites: " << s.satellites() << '\n';
    std::cout << "types:";
    for (const auto& t : out.read.header.types)
        std::cout << ' ' << t;
    std::cout << '\n';
    std::cout << "skipped: " << s.skipped << '\n';
    std::cout << "special records: " << s.specialRecords << '\n';
    return 0;
}

const Registration registration{Command{
    "rinex", "read a RINEX observation file into a point's observation table", kHelp, &run}};

}  // namespace
}  // namespace korthal::cli
