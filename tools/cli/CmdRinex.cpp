// korthal-cli rinex OBSFILE --out POINT.RNX
// korthal-cli rinex OBSFILE --network NETWORK.WGS84 --point NAME
//
// Reads a RINEX observation file (versions 2, 3 and 4, plain, gzipped,
// Unix-compressed or Hatanaka-compressed) into a point's observation table,
// writes the table file and its companion settings file, and prints a
// summary.

#include "tools/cli/Command.h"

#include "network/PointTables.h"
#include "project/JobFolder.h"
#include "table/MemTable.h"
#include "table/TableFile.h"
#include "views/RinexColumns.h"
#include "views/RinexTable.h"

#include <filesystem>
#include <iostream>

namespace korthal::cli {
namespace {

const char* const kHelp =
    "Usage: korthal-cli rinex OBSFILE --out POINT.RNX\n"
    "       korthal-cli rinex OBSFILE --network NETWORK.WGS84 --point NAME\n"
    "\n"
    "Reads the RINEX observation file OBSFILE (version 2, 3 or 4; plain,\n"
    "gzipped, Unix-compressed or Hatanaka-compressed, found by its first\n"
    "bytes) into an observation table and writes it to POINT.RNX\n"
    "(zlib-compressed table text), with the\n"
    "header's observation types and approximate position in the companion\n"
    "settings file POINT.INI. An existing POINT.RNX is replaced; keys already\n"
    "in POINT.INI stay.\n"
    "\n"
    "With --network and --point the table is the one the desktop program shows\n"
    "for the point NAME of that network: in the folder RINEX beside the network\n"
    "file, named after the network and the point's number.\n"
    "\n"
    "Only GPS satellites become records; observations of other systems are\n"
    "skipped and counted. Then prints, one per line:\n"
    "  epochs: N            observation epochs (empty ones too)\n"
    "  records: N           records of the table\n"
    "  satellites: N        distinct GPS satellites\n"
    "  types: C1 L1 ...     the header's observation codes\n"
    "  skipped: N           observations of other systems\n"
    "  special records: N   lines of event records skipped\n"
    "and for RINEX 3 and 4 files which GPS code filled which RINEX 2 type:\n"
    "  codes: C1=C1C L1=L1C P2=C2W L2=L2W ...\n"
    "Header lines read leniently and satellites left out are listed on\n"
    "stderr.\n"
    "\n"
    "A file that cannot be read, or whose reading stops part way, gives a\n"
    "message on stderr naming the line and exit status 1; POINT.RNX and\n"
    "POINT.INI are then left as they were.\n";

int run(const std::vector<std::string>& args)
{
    std::string input, output, network, point;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--out" && i + 1 < args.size()) {
            output = args[++i];
        } else if (args[i].rfind("--out=", 0) == 0) {
            output = args[i].substr(6);
        } else if (args[i] == "--network" && i + 1 < args.size()) {
            network = args[++i];
        } else if (args[i].rfind("--network=", 0) == 0) {
            network = args[i].substr(10);
        } else if (args[i] == "--point" && i + 1 < args.size()) {
            point = args[++i];
        } else if (args[i].rfind("--point=", 0) == 0) {
            point = args[i].substr(8);
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
    if (network.empty() != point.empty() || output.empty() == network.empty() || input.empty()) {
        std::cerr << kHelp;
        return 2;
    }
    if (!network.empty()) {
        DatumShiftTable shifts;
        MemTable gps;
        defineGPS(gps, shifts);
        if (const LoadResult loaded = LoadFromFile(gps, network); !loaded.ok()) {
            std::cerr << "korthal-cli rinex: " << loaded.message(network) << '\n';
            return 1;
        }
        Rec found = NoRec;
        for (Rec r = gps.firstStored(); r != NoRec && found == NoRec; r = gps.nextStored(r))
            if (gps.getString(r, gps::Name) == point) found = r;
        if (found == NoRec) {
            std::cerr << "korthal-cli rinex: the network " << network << " has no point \""
                      << point << "\"\n";
            return 1;
        }
        createJobFolders(network);
        output = rinex::rinexTablePath(network, gps.getInteger(found, gps::ID));
    }

    RinexTable rinex;
    rinex.RinexFileName = output;
    const RinexReadOutcome out = rinex.readFileIntoTable(input, ReadMode::Replace);
    if (const std::string failure = out.failureMessage(); !failure.empty())
        std::cerr << failure << '\n';
    if (!out.ok())
        return 1;
    if (const std::string found = rinex::findingsMessage(out.read, input); !found.empty())
        std::cerr << found << '\n';
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
    if (!out.read.header.sources.empty())
        std::cout << "codes: " << rinex::codeSourcesText(out.read.header.sources) << '\n';
    return 0;
}

const Registration registration{Command{
    "rinex", "read a RINEX observation file into a point's observation table", kHelp, &run}};

}  // namespace
}  // namespace korthal::cli
