#pragma once
// Helpers shared by the commands of korthal-cli: strict number text with '.'
// as the decimal point, fixed-point output that ignores the locale, the datum
// shifts of a network settings file, the arguments the conversion commands
// share, and where a network's reference file is found.

#include "geodesy/DatumShift.h"
#include "geodesy/Extended.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace korthal {
class Document;
}

namespace korthal::cli {

// The whole text as one finite number ('.' decimal point, optional sign and
// exponent, no grouping); nullopt otherwise.
std::optional<Extended> parseNumber(std::string_view text);

// An integer, the whole text; nullopt otherwise.
std::optional<int> parseInt(std::string_view text);

// x with `decimals` digits after '.', no grouping, never "-0.000".
std::string formatFixed(Extended x, int decimals);

// An angle in radians as packed DD.MMSSsss with `decimals` digits after the
// point (at least 4). The seconds are rounded to the digits shown and carried
// into minutes and degrees, so that 60 never shows.
std::string formatPacked(Extended radians, int decimals);

// The datum shifts for a command's --settings option: without a file those
// of a new network; with one the keys GRS80DX … ED50DZ of its section
// "General" (section and key names in any case, '.' or ',' as the decimal
// point), a key that is missing or not a number keeping its default.
// nullopt when the file cannot be read; `error` then says why.
std::optional<DatumShiftTable> shiftTable(const std::optional<std::string>& settingsPath,
                                          std::string& error);

// The value of option `name` ("--name VALUE" or "--name=VALUE") at args[i];
// advances i past it. nullopt when args[i] is not that option.
// `missing` is set when the option has no value.
std::optional<std::string> optionValue(const std::vector<std::string>& args, std::size_t& i,
                                       std::string_view name, bool& missing);

// The arguments the conversion commands share, at args[i]: "--settings FILE"
// (into settingsPath) or a positional argument (a number may start with '-').
// Advances i and returns an empty text, or returns what is wrong.
std::string sharedArgument(const std::vector<std::string>& args, std::size_t& i,
                           std::optional<std::string>& settingsPath,
                           std::vector<std::string>& positional);

// The reference point file of a network: the one given, else "EGSA87" beside
// the network file, else "EGSA87" in the current folder. Empty when none
// exists.
std::string findReference(const std::string& given, const std::string& network);

// The network file argument of a command that takes one, at args[i]: stored
// in `network` and i advanced. Returns what is wrong instead (an unknown
// option, a second file), or an empty text.
std::string networkArgument(const std::vector<std::string>& args, std::size_t& i,
                            std::string& network);

// Loads a network file or point list into `doc` with its reference file
// (findReference) and its settings (`settingsFile`, else the network's own),
// and transforms it. Returns 1 after saying on standard error which file
// does not exist, else 0; a network that loaded only partly is reported on
// standard error, and `complete` is then false.
int loadNetwork(Document& doc, std::string_view command, const std::string& network,
                const std::string& reference, const std::string& settingsFile, bool& complete);

// Writes `bytes` under `path` whole or not at all; false, with the reason on
// standard error, when that failed.
bool writeOutput(std::string_view command, const std::string& path, std::string_view bytes);

// Says on standard error what is wrong with the arguments of `command` and
// where its help is; returns the exit status 2.
int usageError(std::string_view command, const std::string& what);

}  // namespace korthal::cli
