#include "table/Cp1253.h"

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

// Length of the UTF-8 sequence that starts with b (1 for a stray byte).
std::size_t sequenceLength(std::string_view s)
{
    const auto b = static_cast<unsigned char>(s[0]);
    std::size_t n = b < 0xC0 ? 1 : b < 0xE0 ? 2 : b < 0xF0 ? 3 : 4;
    return n <= s.size() ? n : s.size();
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

std::string utf8ToCp1253(std::string_view text, bool* lossy)
{
    thread_local Converter conv("CP1253", "UTF-8");
    std::string out;
    out.reserve(text.size());
    if (lossy)
        *lossy = false;
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
        if (lossy)
            *lossy = true;
        text.remove_prefix(n);
    }
    return out;
}

}  // namespace korthal
