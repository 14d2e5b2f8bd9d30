#pragma once
// The table files: the network file, the reference point file and the RINEX
// observation tables. A file is one zlib stream (level 9) holding the table
// text in code page 1253:
//
//   line 1: every field's display name, quoted, each followed by a comma;
//   then one line per record in storage order, one item per field: the
//   value's text quoted (quotes doubled) and a comma, or the comma alone for a
//   null value and for a calculated field; the last record line has no final
//   comma. Every line ends with CR LF.
//
// Texts of values: integers in decimal; doubles in general format with 15
// significant digits and a decimal comma, never grouped; Booleans by the
// field's display texts; dates dd/mm/yyyy; strings and memos with "%" as
// "%%", CR as "%c", LF as "%n" and NUL as "%0". None of these depends on the
// process locale.
//
// Reading: lines end at any run of CR, LF and NUL; the header is skipped
// (and before it any "@@FILE VERSION@@" line and "@@...START@@" to
// "@@...END@@" definition sections, which the program never writes);
// items go to fields by position; an unquoted item is null; "%" before any
// character other than "%", "c", "n" and "0" stays as it is; a line whose
// first item names an existing ID updates that record; strings are cut to
// their field's size. A line is applied whole or not at all: when one of its
// values does not fit its field, reading stops before that line, and the
// result says which line and why.

#include "network/MemTable.h"

#include <string>
#include <string_view>

namespace korthal {

struct LoadResult {
    enum class Status {
        Ok,          // the whole file was read
        Missing,     // no such file: nothing read, nothing to report
        CannotRead,  // the file exists but could not be opened or read
        Stopped,     // reading stopped early; the records before `line` were read
    };
    Status status = Status::Ok;
    int records = 0;     // record lines read into the table
    int line = 0;        // the record line that stopped the reading, counted
                         // from 1 at the first line after the header
    std::string reason;  // why, in Greek

    bool ok() const { return status == Status::Ok; }
    // The message for the user (Greek), naming the file, the line and the reason.
    std::string message(const std::string& path) const;
};

struct SaveResult {
    bool ok = true;
    std::string error;  // Greek, naming the file and the system's reason
    explicit operator bool() const { return ok; }
};

// The table text as the file holds it, in UTF-8 (converted to code page 1253
// at the file boundary).
std::string tableText(const MemTable& table);

// Reads table text (UTF-8) into the table, adding to and updating what it
// holds. The caller empties the table first when the text replaces it.
LoadResult readTableText(MemTable& table, std::string_view text);

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

// Writes `bytes` to `path` through a new file in the same folder that is
// flushed to disk and renamed over `path`; on failure `path` is left as it
// was and `error` names the file and the system's reason.
bool writeFileAtomically(const std::string& path, std::string_view bytes, std::string& error);

// Reads a table file into the table (as readTableText). A missing file gives
// Status::Missing with the table untouched. A damaged stream keeps the
// records of the lines that inflated completely and gives Status::Stopped.
LoadResult LoadFromFile(MemTable& table, const std::string& path);

// The table text of a file, in UTF-8, or false when it cannot be read
// completely (`text` then holds what could be read). For tools that look at
// the header before choosing a table.
bool readFileText(const std::string& path, std::string& text, LoadResult& result);

}  // namespace korthal
