#include "table/Cp1253.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <iconv.h>
#include <stdexcept>
#include <unordered_map>

namespace korthal {

namespace {

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

// The slow ways, through iconv, that the tables are made of.
std::string iconvCp1253ToUtf8(std::string_view bytes)
{
    thread_local Converter conv("UTF-8", "CP1253");
    std::string out;
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

// The UTF-8 text of every byte of code page 1253, and the byte of every
// character of two or three UTF-8 bytes that is one of them.
struct Tables {
    std::string utf8[256];
    std::unordered_map<std::uint32_t, char> byteOf;  // UTF-8 bytes packed in an integer

    Tables()
    {
        for (int b = 0; b < 256; ++b) {
            utf8[b] = iconvCp1253ToUtf8(std::string(1, static_cast<char>(b)));
            if (b >= 0x80 && utf8[b].size() <= 3)
                byteOf.emplace(pack(utf8[b]), static_cast<char>(b));
        }
    }
    static std::uint32_t pack(std::string_view s)
    {
        std::uint32_t v = 0;
        for (char c : s)
            v = v << 8 | static_cast<unsigned char>(c);
        return v | static_cast<std::uint32_t>(s.size()) << 24;
    }
};

const Tables& tables()
{
    static const Tables t;
    return t;
}

bool isAscii(char c) { return static_cast<unsigned char>(c) < 0x80; }

}  // namespace

void appendCp1253AsUtf8(std::string& out, std::string_view bytes)
{
    const Tables& t = tables();
    std::size_t i = 0;
    const std::size_t n = bytes.size();
    while (i < n) {
        std::size_t j = i;
        while (j < n && isAscii(bytes[j]))
            ++j;
        out.append(bytes.data() + i, j - i);
        if (j < n)
            out += t.utf8[static_cast<unsigned char>(bytes[j++])];
        i = j;
    }
}

namespace {

// Appends the code page 1253 bytes of `text`, a '?' for every character the
// code page lacks and every broken piece of UTF-8, each listed in `lost`
// when given. True when nothing became '?'.
bool convertUtf8(std::string& out, std::string_view text, std::vector<UnconvertedCharacter>* lost)
{
    const Tables& t = tables();
    bool whole = true;
    std::size_t i = 0;
    const std::size_t n = text.size();
    while (i < n) {
        std::size_t j = i;
        while (j < n && isAscii(text[j]))
            ++j;
        out.append(text.data() + i, j - i);
        if (j >= n)
            break;
        // A character of the code page (the undefined bytes included), or a '?'.
        std::size_t piece = 1;
        const std::size_t len = characterLength(text.substr(j), piece);
        const auto it =
            len >= 2 && len <= 3 ? t.byteOf.find(Tables::pack(text.substr(j, len))) : t.byteOf.end();
        if (it != t.byteOf.end()) {
            out += it->second;
        } else {
            out += '?';
            whole = false;
            if (lost)
                lost->push_back({j, std::string(text.substr(j, piece))});
        }
        i = j + piece;
    }
    return whole;
}

}  // namespace

void appendUtf8AsCp1253(std::string& out, std::string_view text, bool* lossy)
{
    const bool whole = convertUtf8(out, text, nullptr);
    if (lossy)
        *lossy = !whole;
}

std::string cp1253ToUtf8(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 8);
    appendCp1253AsUtf8(out, bytes);
    return out;
}

std::string utf8ToCp1253(std::string_view text, bool* lossy)
{
    std::string out;
    out.reserve(text.size());
    appendUtf8AsCp1253(out, text, lossy);
    return out;
}

std::string utf8ToCp1253(std::string_view text, std::vector<UnconvertedCharacter>& unconverted)
{
    unconverted.clear();
    std::string out;
    out.reserve(text.size());
    convertUtf8(out, text, &unconverted);
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
