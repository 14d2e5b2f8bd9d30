#include "project/TextOutput.h"

#include <iconv.h>

#include <cerrno>
#include <cstdio>
#include <fstream>

namespace korthal {

namespace {

// Converts with iconv; an unconvertible or invalid character becomes '?'.
std::string convert(std::string_view in, const char* to, const char* from)
{
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1))
        return std::string(in);
    std::string out;
    out.reserve(in.size() * 2);
    std::string src(in);
    char* inPtr = src.data();
    std::size_t inLeft = src.size();
    char buf[4096];
    while (inLeft > 0) {
        char* outPtr = buf;
        std::size_t outLeft = sizeof buf;
        std::size_t rc = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
        out.append(buf, static_cast<std::size_t>(outPtr - buf));
        if (rc == static_cast<std::size_t>(-1)) {
            if (errno == E2BIG)
                continue;
            // EILSEQ or EINVAL: skip one input character, write '?'.
            out += '?';
            std::size_t skip = 1;
            if (std::string_view(from) == "UTF-8") {
                auto c = static_cast<unsigned char>(*inPtr);
                skip = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
                if (skip > inLeft)
                    skip = inLeft;
            }
            inPtr += skip;
            inLeft -= skip;
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
        }
    }
    iconv_close(cd);
    return out;
}

}  // namespace

std::string toCodePage1253(std::string_view utf8)
{
    return convert(utf8, "CP1253", "UTF-8");
}

std::string fromCodePage1253(std::string_view cp1253)
{
    return convert(cp1253, "UTF-8", "CP1253");
}

bool writeTextLines(const std::string& path, const std::vector<std::string>& lines)
{
    const std::string temp = path + ".tmp~";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        if (!out)
            return false;
        for (const auto& line : lines) {
            std::string bytes = toCodePage1253(line);
            out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
            out.write("\r\n", 2);
        }
        out.flush();
        if (!out) {
            out.close();
            std::remove(temp.c_str());
            return false;
        }
    }
    if (std::rename(temp.c_str(), path.c_str()) != 0) {
        std::remove(temp.c_str());
        return false;
    }
    return true;
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
