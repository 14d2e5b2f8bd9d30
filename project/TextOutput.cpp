#include "project/TextOutput.h"

#include "table/AtomicFile.h"
#include "table/Cp1253.h"

#include <fstream>

namespace korthal {

std::string toCodePage1253(std::string_view utf8)
{
    return utf8ToCp1253(utf8);
}

std::string fromCodePage1253(std::string_view cp1253)
{
    return cp1253ToUtf8(cp1253);
}

bool writeTextLines(const std::string& path, const std::vector<std::string>& lines)
{
    std::string bytes;
    for (const auto& line : lines) {
        bytes += toCodePage1253(line);
        bytes += "\r\n";
    }
    std::string error;
    return writeFileAtomically(path, bytes, error);
}

std::optional<std::vector<std::string>> readTextLines(const std::string& path)
{
    TextLineReader in(path);
    if (!in.isOpen())
        return std::nullopt;
    std::vector<std::string> lines;
    std::string line;
    bool cut = false;
    while (in.next(line, cut))
        lines.push_back(std::move(line));
    if (in.failed())
        return std::nullopt;
    return lines;
}

TextLineReader::TextLineReader(const std::string& path, std::size_t maxBytes)
    : file_(std::fopen(path.c_str(), "rb")), maxBytes_(maxBytes)
{
}

TextLineReader::~TextLineReader()
{
    if (file_)
        std::fclose(file_);
}

int TextLineReader::get()
{
    if (pos_ == size_) {
        if (!file_ || failed_)
            return -1;
        size_ = std::fread(buffer_, 1, sizeof buffer_, file_);
        pos_ = 0;
        if (size_ == 0) {
            failed_ = std::ferror(file_) != 0;
            return -1;
        }
    }
    return static_cast<unsigned char>(buffer_[pos_++]);
}

bool TextLineReader::next(std::string& line, bool& cut)
{
    raw_.clear();
    cut = false;
    int c = get();
    if (c < 0)
        return false;
    while (c >= 0 && c != '\r' && c != '\n') {
        if (raw_.size() < maxBytes_)
            raw_ += static_cast<char>(c);
        else
            cut = true;
        c = get();
    }
    if (c == '\r') {
        // CR LF is one line end.
        const int after = get();
        if (after >= 0 && after != '\n')
            --pos_;
    }
    line = fromCodePage1253(raw_);
    return true;
}

}  // namespace korthal
