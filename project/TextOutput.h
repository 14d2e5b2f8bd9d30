#pragma once
// Text files as the program writes and reads them: single-byte Greek (code
// page 1253) on disk, UTF-8 in memory, lines ended by CR LF.

#include <cstdint>
#include <cstdio>
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

// Reads a code page 1253 text file one UTF-8 line at a time (line ends CR LF,
// LF or CR alone), holding no more than one line. A line longer than
// `maxBytes` is cut there and the rest of it skipped unread, so that a file
// without line ends takes no more memory than a line.
class TextLineReader {
public:
    explicit TextLineReader(const std::string& path, std::size_t maxBytes = SIZE_MAX);
    ~TextLineReader();
    TextLineReader(const TextLineReader&) = delete;
    TextLineReader& operator=(const TextLineReader&) = delete;

    bool isOpen() const { return file_ != nullptr; }
    // The next line and whether it was cut; false at the end of the file or
    // on a read error (failed()).
    bool next(std::string& line, bool& cut);
    bool failed() const { return failed_; }

private:
    int get();  // the next byte, or -1 at the end

    std::FILE* file_ = nullptr;
    std::size_t maxBytes_;
    std::string raw_;
    char buffer_[65536];
    std::size_t pos_ = 0, size_ = 0;
    bool failed_ = false;
};

}  // namespace korthal
