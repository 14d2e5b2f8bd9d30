// korthal-cli dump: a network, reference point or observation table file as
// the table text its writer would write for it.

#include "geodesy/DatumShift.h"
#include "table/MemTable.h"
#include "network/PointTables.h"
#include "table/TableFile.h"
#include "tools/cli/CliSupport.h"
#include "tools/cli/Command.h"
#include "views/RinexTable.h"

#include <cstdio>
#include <iostream>
#include <optional>

namespace korthal::cli {

namespace {

enum class Kind { Network, Reference, Rinex };

int usage(const std::string& what) { return usageError("dump", what); }

std::optional<Kind> kindFromName(const std::string& s)
{
    if (s == "network")
        return Kind::Network;
    if (s == "reference")
        return Kind::Reference;
    if (s == "rinex")
        return Kind::Rinex;
    return std::nullopt;
}

// The column names of the header line, unquoted.
std::vector<std::string> headerNames(const std::string& text)
{
    std::vector<std::string> names;
    const auto end = text.find_first_of(std::string("\r\n\0", 3));
    const std::string line = text.substr(0, end);
    std::size_t i = 0;
    while ((i = line.find('"', i)) != std::string::npos) {
        std::string name;
        ++i;
        while (i < line.size()) {
            if (line[i] == '"') {
                if (i + 1 < line.size() && line[i + 1] == '"') {
                    name += '"';
                    i += 2;
                    continue;
                }
                ++i;
                break;
            }
            name += line[i++];
        }
        names.push_back(name);
    }
    return names;
}

std::optional<Kind> kindFromHeader(const std::string& text)
{
    for (const std::string& n : headerNames(text)) {
        if (n == "detailPoint")
            return Kind::Network;
        if (n == "xxxxxxx" || n == "ορθομετρικό")
            return Kind::Reference;
        if (n == "epoxh")
            return Kind::Rinex;
    }
    return std::nullopt;
}

int run(const std::vector<std::string>& args)
{
    std::optional<Kind> forced;
    std::vector<std::string> positional;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        std::string value;
        if (a == "--table") {
            if (i + 1 >= args.size())
                return usage("--table needs network, reference or rinex");
            value = args[++i];
        } else if (a.rfind("--table=", 0) == 0) {
            value = a.substr(8);
        } else if (a.size() > 1 && a[0] == '-') {
            return usage("unknown option \"" + a + "\"");
        } else {
            positional.push_back(a);
            continue;
        }
        forced = kindFromName(value);
        if (!forced)
            return usage("unknown table kind \"" + value + "\" (network, reference or rinex)");
    }
    if (positional.size() != 1)
        return usage("needs one file name");
    const std::string& path = positional[0];

    std::string text;
    LoadResult fileResult;
    const bool complete = readFileText(path, text, fileResult);
    if (fileResult.status == LoadResult::Status::Missing) {
        std::cerr << "korthal-cli dump: " << path << ": no such file\n";
        return 1;
    }
    if (fileResult.status == LoadResult::Status::CannotRead) {
        std::cerr << "korthal-cli dump: " << path << ": " << fileResult.reason << "\n";
        return 1;
    }
    std::optional<Kind> kind = forced ? forced : kindFromHeader(text);
    if (!kind) {
        if (!complete) {
            std::cerr << "korthal-cli dump: " << path << ": line 1 of the text: "
                      << fileResult.reason << "\n";
            return 1;
        }
        std::cerr << "korthal-cli dump: " << path
                  << ": the header names no known table; use --table network|reference|rinex\n";
        return 1;
    }

    DatumShiftTable shifts;
    MemTable table;
    switch (*kind) {
    case Kind::Network: defineGPS(table, shifts); break;
    case Kind::Reference: defineGYS(table); break;
    case Kind::Rinex: defineRinexTable(table); break;
    }
    LoadResult result = readTableText(table, text);
    if (!complete && result.ok()) {
        result.status = LoadResult::Status::Stopped;
        result.line = result.records + 1;
        result.reason = fileResult.reason;
    }
    const std::string out = tableText(table);
    std::fwrite(out.data(), 1, out.size(), stdout);
    std::fflush(stdout);
    if (!result.ok()) {
        std::cerr << "korthal-cli dump: " << path << ": record line " << result.line
                  << " (line " << result.line + 1 << " of the text): " << result.reason << "\n";
        return 1;
    }
    return 0;
}

const Registration reg{Command{
    "dump",
    "print a network, reference or observation table file as text",
    "Usage: korthal-cli dump FILE [--table network|reference|rinex]\n"
    "\n"
    "Loads a table file (a network file, the reference point file EGSA87 or a\n"
    "point's RINEX observation table) into its table and prints the table text\n"
    "that the program would write for it: UTF-8, CR LF line ends, records in\n"
    "storage order. The reader's rules apply, so lines with the same ID come out\n"
    "as one record and LF-only files come out with CR LF.\n"
    "\n"
    "The kind of table comes from the column names of the file's header line;\n"
    "--table overrides it.\n"
    "\n"
    "Exit status: 0 when the whole file was read; 1 when it could not be read\n"
    "completely (the records read so far are printed and stderr names the line\n"
    "and the reason) or not at all; 2 for wrong arguments.\n",
    run}};

}  // namespace

}  // namespace korthal::cli
