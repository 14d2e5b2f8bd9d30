// korthal-cli rinex-series POINT.RNX --type C1|C2|P1|P2|L1|L2|D1|D2 [--aligned]
//
// Prints the data of the viewer's chart of one observable: one line per
// point, satellite by satellite.

#include "tools/cli/CliSupport.h"
#include "tools/cli/Command.h"

#include "views/RinexReader.h"
#include "views/RinexSeries.h"
#include "views/RinexTable.h"

#include <charconv>
#include <cstdio>
#include <iostream>

namespace korthal::cli {
namespace {

const char* const kHelp =
    "Usage: korthal-cli rinex-series POINT.RNX --type TYPE [--aligned]\n"
    "\n"
    "Prints what the observation viewer's chart of TYPE (C1, C2, P1, P2, L1,\n"
    "L2, D1 or D2) shows for the observation table POINT.RNX, one point per\n"
    "line:\n"
    "  G05 hh:mm:ss.sss value\n"
    "the satellite, the time of day of the epoch (to the millisecond) and the\n"
    "value in the chart's unit: metres for C1, C2, P1 and P2, the phases L1\n"
    "and L2 turned into metres by their wavelengths (0.190293672883 m and\n"
    "0.244210213534 m), D1 and D2 as stored (cycles). Values are written in\n"
    "full (the shortest text that reads back to the same number).\n"
    "Satellites come in number order, the points of each in the table's order;\n"
    "observations that are 0 (not observed) are left out, as in the chart.\n"
    "\n"
    "  --aligned   subtract from each satellite's values its first one, as the\n"
    "              chart's check box \"συσχέτιση\" does, so every line starts at 0\n"
    "\n"
    "A table that is missing or cannot be read gives a message on stderr and\n"
    "exit status 1. Records whose time is no time of a day are left out with\n"
    "one message on stderr.\n";

std::string fullNumber(double v)
{
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed);
    return std::string(buf, r.ptr);
}

int run(const std::vector<std::string>& args)
{
    std::string table, type;
    bool aligned = false;
    for (std::size_t i = 0; i < args.size();) {
        bool missing = false;
        if (auto v = optionValue(args, i, "--type", missing)) {
            if (missing)
                return usageError("rinex-series", "--type needs an observation type");
            type = *v;
            continue;
        }
        if (args[i] == "--aligned") {
            aligned = true;
        } else if (!args[i].empty() && args[i][0] == '-') {
            return usageError("rinex-series", "unknown option \"" + args[i] + "\"");
        } else if (table.empty()) {
            table = args[i];
        } else {
            return usageError("rinex-series", "one observation table only");
        }
        ++i;
    }
    if (table.empty())
        return usageError("rinex-series", "no observation table given");
    const int slot = rinex::slotOfCode(type);
    if (slot == rinex::NoSlot)
        return usageError("rinex-series",
                          type.empty() ? std::string("--type is missing")
                                       : "unknown observation type \"" + type +
                                             "\" (C1, C2, P1, P2, L1, L2, D1 or D2)");

    RinexTable rinex;
    rinex.RinexFileName = table;
    LoadResult loaded;
    if (!rinex.load(&loaded)) {
        std::cerr << "korthal-cli rinex-series: "
                  << (loaded.status == LoadResult::Status::Missing
                          ? "Δεν υπάρχει ο πίνακας παρατηρήσεων \"" + table + "\"."
                          : loaded.message(table))
                  << '\n';
        return 1;
    }

    const rinex::ChartSeries series = rinex::buildChartSeries(rinex.table(), slot);
    if (series.badTimes > 0)
        std::cerr << "korthal-cli rinex-series: " << series.badTimeMessage() << '\n';
    std::string out;
    for (const rinex::SatelliteSeries& s : series.satellites) {
        const std::string title = s.title() + ' ';
        const double offset = aligned ? s.offset() : 0.0;
        for (const rinex::SeriesPoint& p : s.points) {
            out += title;
            out += rinex::formatTimeOfDay(p.ms);
            out += ' ';
            out += fullNumber(p.value - offset);
            out += '\n';
            if (out.size() > (1u << 16)) {
                std::fwrite(out.data(), 1, out.size(), stdout);
                out.clear();
            }
        }
    }
    std::fwrite(out.data(), 1, out.size(), stdout);
    return std::fflush(stdout) == 0 ? 0 : 1;
}

const Registration registration{Command{
    "rinex-series", "print the chart data of one observable of an observation table", kHelp,
    &run}};

}  // namespace
}  // namespace korthal::cli
