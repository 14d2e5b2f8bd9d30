#pragma once
// The table text: how a whole table is written as comma-separated, quoted
// text and read back. The table files (table/TableFile.h) hold this text in
// code page 1253 inside a zlib stream:
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
// result says where and why.

#include "table/MemTable.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

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


// The table text as the file holds it, in UTF-8 (converted to code page 1253
// at the file boundary).
std::string tableText(const MemTable& table);

// How the bytes of a table text stand for characters: UTF-8 in memory, code
// page 1253 in the files. The structure of the text (quotes, commas, line
// ends, escapes) is ASCII in both.
enum class TextCoding { Utf8, Cp1253 };

// The table text in code page 1253, as the file holds it: the same as
// utf8ToCp1253(tableText(table)), converting only the texts of the values.
std::string tableFileText(const MemTable& table);

// The same text in `parts` pieces of about as many records each, the header
// at the start of the first, written by `threads` threads at once, each
// taking every threads-th piece. A thread hands each piece to `use` (with
// the piece's number from 0, and whether it is the last) as soon as it is
// written, and may go on working on it there; the piece's memory then serves
// the thread's next piece. Returns the number of pieces: fewer than asked for
// a table of fewer records, and one for a table without records.
int tableFileTextInParts(const MemTable& table, int parts, int threads,
                         const std::function<void(int, std::string&, bool)>& use);

// Reads table text (UTF-8) into the table, adding to and updating what it
// holds. The caller empties the table first when the text replaces it.
LoadResult readTableText(MemTable& table, std::string_view text);

// ---- Pieces for writers and readers that stream ----

// Doubles are written with this decimal separator.
inline constexpr char kTableDecimal = ',';
// Lines end at any run of CR, LF and NUL.
inline bool isTableLineBreak(char c) { return c == '\r' || c == '\n' || c == '\0'; }
// The header line, and one record line (`last`: without the final comma).
void appendTableHeader(std::string& out, const MemTable& t,
                       TextCoding coding = TextCoding::Utf8);
void appendTableRecordLine(std::string& out, const MemTable& t, Rec r, bool last,
                           TextCoding coding = TextCoding::Utf8);

// Reads table text line by line into a table (as readTableText); the text
// may come in pieces of whole lines. The table's controls are disabled while
// the reader lives. Items are read in place: only texts with doubled quotes
// or escapes are copied, numbers are read without building strings.
class TableTextReader {
public:
    explicit TableTextReader(MemTable& t, TextCoding coding = TextCoding::Utf8);
    ~TableTextReader();
    TableTextReader(const TableTextReader&) = delete;
    TableTextReader& operator=(const TableTextReader&) = delete;

    bool stopped() const { return result.status != LoadResult::Status::Ok; }

    // Reads the lines of `text`; false once reading has stopped.
    bool feed(std::string_view text);

    // The number of record lines seen.
    int lines() const { return lineNo_; }

    LoadResult result;

private:
    void line(std::string_view line);
    bool stage(int field, std::string_view item);
    void stop(int field, std::string_view item);

    // One value of the line being read, before the line is applied.
    struct Staged {
        enum Kind { Null, Float, Integer, Boolean, Date, Text } kind = Null;
        int field = 0;
        double number = 0;
        long long integer = 0;  // Integer, Boolean (0/1), Date (serial)
        std::size_t at = 0, size = 0;  // Text: its bytes in texts_
    };

    MemTable& t_;
    const TextCoding coding_;
    const int nf_;
    const bool byID_;
    const int idField_;
    bool header_ = true;
    bool inDefinition_ = false;
    int lineNo_ = 0;
    // The line's values: room for one per field, made once; stagedCount_
    // of them are in use.
    std::vector<Staged> staged_;
    std::size_t stagedCount_ = 0;
    void push(const Staged& s) { staged_[stagedCount_++] = s; }
    std::string texts_;    // the texts of the line's values, one after the other
    std::string scratch_;    // an item whose doubled quotes are undone
    std::string unescaped_;  // a text of code page 1253 before it is converted
};

}  // namespace korthal
