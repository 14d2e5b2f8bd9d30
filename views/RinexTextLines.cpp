#include "views/RinexTextLines.h"

#include <cstdio>

namespace korthal::rinex {

namespace {

void dropCarriageReturn(std::string& line)
{
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
}

}  // namespace

LineSource openRinexTextLines(const std::string& path, std::string& error)
{
    std::FILE* raw = std::fopen(path.c_str(), "rb");
    if (!raw) {
        error = "Το αρχείο \"" + path + "\" δεν μπορεί να ανοίξει.";
        return {};
    }
    error.clear();
    std::shared_ptr<std::FILE> file(raw, [](std::FILE* f) { std::fclose(f); });
    return [file](std::string& line) {
        line.clear();
        int c;
        bool any = false;
        while ((c = std::getc(file.get())) != EOF) {
            any = true;
            if (c == '\n')
                break;
            line.push_back(static_cast<char>(c));
        }
        dropCarriageReturn(line);
        return any;
    };
}

LineSource textLines(std::string_view text)
{
    return [text, pos = std::size_t(0)](std::string& line) mutable {
        if (pos >= text.size())
            return false;
        const std::size_t end = text.find('\n', pos);
        const std::size_t stop = end == std::string_view::npos ? text.size() : end;
        line.assign(text.substr(pos, stop - pos));
        pos = stop == text.size() ? stop : stop + 1;
        dropCarriageReturn(line);
        return true;
    };
}

}  // namespace korthal::rinex
