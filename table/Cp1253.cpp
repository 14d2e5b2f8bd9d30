#include "table/Cp1253.h"

#include <cerrno>
#include <cstdint>
#include <iconv.h>
#include <stdexcept>
#include <unordered_map>

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

// Length of the UTF-8 sequence that starts with b (1 for a stray byte).
std::size_t sequenceLength(std::string_view s)
{
    const auto b = static_cast<unsigned char>(s[0]);
    std::size_t n = b < 0xC0 ? 1 : b < 0xE0 ? 2 : b < 0xF0 ? 3 : 4;
    return n <= s.size() ? n : s.size();
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

void iconvUtf8ToCp1253(std::string_view text, std::string& out, bool& lossy)
{
    thread_local Converter conv("CP1253", "UTF-8");
    while (true) {
        conv.run(text, out);
        if (text.empty())
            break;
        const std::size_t n = sequenceLength(text);
        const auto b0 = static_cast<unsigned char>(text[0]);
        if (n == 2 && (b0 == 0xC2 || b0 == 0xC3)) {
            const auto cp = static_cast<unsigned char>(((b0 & 0x03) << 6) |
                                                       (static_cast<unsigned char>(text[1]) & 0x3F));
            if (undefinedByte(cp)) {
                out += static_cast<char>(cp);
                text.remove_prefix(2);
                continue;
            }
        }
        out += '?';
        lossy = true;
        text.remove_prefix(n);
    }
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

void appendUtf8AsCp1253(std::string& out, std::string_view text, bool* lossy)
{
    const Tables& t = tables();
    bool lost = false;
    std::size_t i = 0;
    const std::size_t n = text.size();
    while (i < n) {
        std::size_t j = i;
        while (j < n && isAscii(text[j]))
            ++j;
        out.append(text.data() + i, j - i);
        if (j >= n)
            break;
        // A character of the code page, or whatever iconv makes of it.
        const std::size_t len = sequenceLength(text.substr(j));
        const auto it = len <= 3 ? t.byteOf.find(Tables::pack(text.substr(j, len))) : t.byteOf.end();
        if (it != t.byteOf.end())
            out += it->second;
        else
            iconvUtf8ToCp1253(text.substr(j, len), out, lost);
        i = j + len;
    }
    if (lossy)
        *lossy = lost;
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

}  // namespace korthal
