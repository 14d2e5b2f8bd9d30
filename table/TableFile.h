#pragma once
// The table files: the network file, the reference point file and the RINEX
// observation tables. A file is one zlib stream (level 9) holding the table
// text (table/TableText.h) in code page 1253.

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

// The zlib layer: the stream of `bytes` at level 9, and back. The inflater
// works in blocks of 4096 bytes; on a damaged or truncated stream it returns
// false with `out` holding what inflated before the damage.
std::string GPSCompressSave(std::string_view bytes);
bool GPSDecompressLoad(std::string_view stream, std::string& out);

// Writes the table to `path`: the text is built and compressed in memory,
// written to a new file in the same folder, flushed to disk and renamed over
// `path`. On failure the previous file is left as it was.
//
// Search::Quick keeps level 9 and the stream format but shortens deflate's
// search for matches. Observation tables repeat themselves so much that the
// full search makes level 9 crawl (a million records took half a minute);
// the quick search is about five times faster for half a per cent in size.
enum class Search { Full, Quick };
SaveResult SaveToFile(const MemTable& table, const std::string& path, Search search = Search::Full);

// Reads a table file into the table (as readTableText). A missing file gives
// Status::Missing with the table untouched. A damaged stream keeps the
// records of the lines that inflated completely and gives Status::Stopped.
LoadResult LoadFromFile(MemTable& table, const std::string& path);

// The table text of a file, in UTF-8, or false when it cannot be read
// completely (`text` then holds what could be read). For tools that look at
// the header before choosing a table.
bool readFileText(const std::string& path, std::string& text, LoadResult& result);

}  // namespace korthal
