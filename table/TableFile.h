#pragma once
// The table files: the network file, the reference point file and the RINEX
// observation tables. A file is one zlib stream (RFC 1950) holding the table
// text (table/TableText.h) in code page 1253.
//
// The stream is made by libdeflate from the whole text at once, at a level
// that gives smaller streams than zlib's level 9 in a fraction of its time;
// small texts are compressed by both, and the smaller stream is kept. Any
// zlib reads these streams, and every stream zlib wrote reads back: libdeflate
// inflates a file whole, and zlib takes over where that fails (a damaged or
// truncated file, whose complete lines are still read).

#include "table/AtomicFile.h"
#include "table/MemTable.h"
#include "table/TableText.h"

#include <string>
#include <string_view>

namespace korthal {

struct SaveResult {
    bool ok = true;
    std::string error;  // Greek, naming the file and the system's reason
    explicit operator bool() const { return ok; }
};

// The zlib layer: the stream of `bytes` (as SaveToFile makes it), and back.
// On a damaged or truncated stream the inflater returns false with `out`
// holding what inflated before the damage; likewise on a stream that would
// inflate beyond 1 GB, which no table text reaches (`out` stops there).
std::string GPSCompressSave(std::string_view bytes);
bool GPSDecompressLoad(std::string_view stream, std::string& out);

// Writes the table to `path`: the text is built and compressed in memory,
// written to a new file in the same folder, flushed to disk and renamed over
// `path`. On failure the previous file is left as it was.
SaveResult SaveToFile(const MemTable& table, const std::string& path);

// Reads a table file into the table (as readTableText). A missing file gives
// Status::Missing with the table untouched. A damaged stream keeps the
// records of the lines that inflated completely and gives Status::Stopped.
LoadResult LoadFromFile(MemTable& table, const std::string& path);

// The table text of a file, in UTF-8, or false when it cannot be read
// completely (`text` then holds what could be read). For tools that look at
// the header before choosing a table.
bool readFileText(const std::string& path, std::string& text, LoadResult& result);

}  // namespace korthal
