#include "table/Cp1253.h"

#include <algorithm>
#include <cerrno>
#include <iconv.h>
#include <stdexcept>

namespace korthal {

namespace {

// The bytes that code page 1253 does not define.
bool undefinedByte(unsigned char b)
{
    switch (b) {
    case 0x81: case 0x88: case 0x8A: case 0x8C: case 0x8D: case 0x8E: case 0x8F:
    case 0x90: case 0x98: case 0x9A: case 0x9C: case 0x9D: case 0x9E: case 0x9F:
    case 0xAA: case 0xD2: case 0xFF:
        return true;
    default:
        return false;
    }
}

class Converter {
public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from))
    {
        if (cd_ == reinterpret_cast<iconv_t>(-1))
            throw std::runtime_error(std::string("iconv cannot convert from ") + from + " to " + to);
    }
    ~Converter() { iconv_close(cd_); }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // Converts as much as it can; on a sequence it cannot convert, returns
    // with `in` at that sequence.
    void run(std::string_view& in, std::string& out)
    {
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        while (!in.empty()) {
            char buf[8192];
            char* src = const_cast<char*>(in.data());
            std::size_t srcLeft = in.size();
            char* dst = buf;
            std::size_t dstLeft = sizeof buf;
            const std::size_t rc = iconv(cd_, &src, &srcLeft, &dst, &dstLeft);
            out.append(buf, static_cast<std::size_t>(dst - buf));
            in.remove_prefix(in.size() - srcLeft);
            if (rc == static_cast<std::size_t>(-1) && errno != E2BIG)
                return;
        }
    }

private:
    iconv_t cd_;
};

unsigned char byteAt(std::string_view s, std::size_t i)
{
    return static_cast<unsigned char>(s[i]);
}

// The length of the well-formed UTF-8 character at the start of `s`, or 0
// when it is broken. `piece` gets the bytes the character (or the broken
// piece) takes: for a broken one the longest start of a well-formed
// character, at least one byte, so that a byte that cannot continue it is
// looked at again as the start of the next character.
std::size_t characterLength(std::string_view s, std::size_t& piece)
{
    const unsigned char b0 = byteAt(s, 0);
    std::size_t n = 0;
    unsigned char lo = 0x80, hi = 0xBF;  // the range of the second byte
    if (b0 < 0x80) {
        n = 1;
    } else if (b0 >= 0xC2 && b0 <= 0xDF) {
        n = 2;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        n = 3;
        if (b0 == 0xE0)
            lo = 0xA0;  // no overlong forms
        if (b0 == 0xED)
            hi = 0x9F;  // no surrogates
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        n = 4;
        if (b0 == 0xF0)
            lo = 0x90;  // no overlong forms
        if (b0 == 0xF4)
            hi = 0x8F;  // nothing beyond U+10FFFF
    } else {
        piece = 1;  // a continuation byte, C0, C1 or F5..FF
        return 0;
    }
    std::size_t i = 1;
    for (; i < n && i < s.size(); ++i) {
        const unsigned char b = byteAt(s, i);
        if (b < lo || b > hi)
            break;
        lo = 0x80;
        hi = 0xBF;
    }
    piece = i;
    return i == n ? n : 0;
}

}  // namespace

std::string cp1253ToUtf8(std::string_view bytes)
{
    thread_local Converter conv("UTF-8", "CP1253");
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 2);
    while (true) {
        conv.run(bytes, out);
        if (bytes.empty())
            break;
        // An undefined byte: the Latin-1 character of the same number.
        const auto b = static_cast<unsigned char>(bytes[0]);
        out += static_cast<char>(0xC0 | (b >> 6));
        out += static_cast<char>(0x80 | (b & 0x3F));
        bytes.remove_prefix(1);
    }
    return out;
}

std::string utf8ToCp1253(std::string_view text, std::vector<UnconvertedCharacter>& unconverted)
{
    thread_local Converter conv("CP1253", "UTF-8");
    unconverted.clear();
    std::string out;
    out.reserve(text.size());
    const std::size_t total = text.size();
    while (true) {
        conv.run(text, out);
        if (text.empty())
            break;
        // iconv stopped at a character it cannot convert or at broken UTF-8.
        std::size_t piece = 1;
        const std::size_t n = characterLength(text, piece);
        if (n == 2 && byteAt(text, 0) <= 0xC3) {
            // U+0080..U+00FF: the bytes code page 1253 leaves undefined
            // stand for themselves.
            const auto cp = static_cast<unsigned char>(((byteAt(text, 0) & 0x03) << 6) |
                                                       (byteAt(text, 1) & 0x3F));
            if (undefinedByte(cp)) {
                out += static_cast<char>(cp);
                text.remove_prefix(2);
                continue;
            }
        }
        out += '?';
        unconverted.push_back({total - text.size(), std::string(text.substr(0, piece))});
        text.remove_prefix(piece);
    }
    return out;
}

std::string utf8ToCp1253(std::string_view text, bool* lossy)
{
    std::vector<UnconvertedCharacter> unconverted;
    std::string out = utf8ToCp1253(text, unconverted);
    if (lossy)
        *lossy = !unconverted.empty();
    return out;
}

std::string describeUnconverted(const std::vector<UnconvertedCharacter>& unconverted)
{
    std::vector<std::string> seen;
    std::string out;
    for (const UnconvertedCharacter& u : unconverted) {
        std::string shown;
        std::size_t piece = 0;
        if (!u.bytes.empty() && characterLength(u.bytes, piece) == u.bytes.size()) {
            shown = u.bytes;
        } else {
            static const char* const hex = "0123456789ABCDEF";
            for (const char c : u.bytes) {
                const auto b = static_cast<unsigned char>(c);
                shown += '<';
                shown += hex[b >> 4];
                shown += hex[b & 0x0F];
                shown += '>';
            }
        }
        if (std::find(seen.begin(), seen.end(), shown) != seen.end())
            continue;
        seen.push_back(shown);
        if (!out.empty())
            out += ' ';
        out += shown;
    }
    return out;
}

}  // namespace korthal
