#pragma once
// Text files as the program writes and reads them: single-byte Greek (code
// page 1253) on disk, UTF-8 in memory, lines ended by CR LF.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace korthal {

// UTF-8 to code page 1253 and back (see table/Cp1253.h).
std::string toCodePage1253(std::string_view utf8);
std::string fromCodePage1253(std::string_view cp1253);

// Writes the lines, each followed by CR LF, in code page 1253, through an
// AtomicFile (table/AtomicFile.h): a failed or killed write leaves any earlier
// file untouched. Returns false on failure.
bool writeTextLines(const std::string& path, const std::vector<std::string>& lines);

// Reads a code page 1253 text file into UTF-8 lines (line ends CR LF, LF or
// CR alone). nullopt when the file cannot be opened or read.
std::optional<std::vector<std::string>> readTextLines(const std::string& path);

}  // namespace korthal
