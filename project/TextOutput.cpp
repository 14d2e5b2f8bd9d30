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
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::string bytes;
    char chunk[4096];
    while (in.read(chunk, sizeof chunk) || in.gcount() > 0)
        bytes.append(chunk, static_cast<std::size_t>(in.gcount()));
    if (in.bad())
        return std::nullopt;
    std::vector<std::string> lines;
    std::string line;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        char c = bytes[i];
        if (c == '\r' || c == '\n') {
            lines.push_back(fromCodePage1253(line));
            line.clear();
            if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')
                ++i;
        } else {
            line += c;
        }
    }
    if (!line.empty())
        lines.push_back(fromCodePage1253(line));
    return lines;
}

}  // namespace korthal
