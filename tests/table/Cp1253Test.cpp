// The table-driven code page conversion gives what iconv gives over a whole
// text, byte for byte, broken UTF-8 included.

#include "table/Cp1253.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <iconv.h>
#include <random>
#include <string>

using namespace korthal;

namespace {

// UTF-8 to code page 1253 by iconv over the whole text; what iconv refuses
// becomes '?' (the undefined bytes come back from their Latin-1 characters).
std::string byIconv(std::string_view text)
{
    iconv_t cd = iconv_open("CP1253", "UTF-8");
    std::string out;
    while (!text.empty()) {
        char buf[256];
        char* src = const_cast<char*>(text.data());
        std::size_t left = text.size(), room = sizeof buf;
        char* dst = buf;
        const std::size_t rc = iconv(cd, &src, &left, &dst, &room);
        out.append(buf, static_cast<std::size_t>(dst - buf));
        text.remove_prefix(text.size() - left);
        if (rc != static_cast<std::size_t>(-1) || errno == E2BIG || text.empty())
            continue;
        const auto b = static_cast<unsigned char>(text[0]);
        // The character, or the broken piece of UTF-8 (the longest start of
        // a well-formed character, at least one byte), that becomes one '?'.
        const std::size_t want = b >= 0xC2 && b <= 0xDF ? 2 : b >= 0xE0 && b <= 0xEF ? 3
                                 : b >= 0xF0 && b <= 0xF4                     ? 4
                                                                              : 1;
        std::size_t n = 1;
        while (n < want && n < text.size()) {
            const auto c = static_cast<unsigned char>(text[n]);
            const unsigned lo = n > 1 ? 0x80 : b == 0xE0 ? 0xA0 : b == 0xF0 ? 0x90 : 0x80;
            const unsigned hi = n > 1 ? 0xBF : b == 0xED ? 0x9F : b == 0xF4 ? 0x8F : 0xBF;
            if (c < lo || c > hi)
                break;
            ++n;
        }
        if (n == 2 && (b == 0xC2 || b == 0xC3)) {
            const auto cp = static_cast<unsigned char>(((b & 0x03) << 6) |
                                                       (static_cast<unsigned char>(text[1]) & 0x3F));
            const std::string undefined = "\x81\x88\x8A\x8C\x8D\x8E\x8F\x90\x98\x9A\x9C\x9D\x9E\x9F\xAA\xD2\xFF";
            if (undefined.find(static_cast<char>(cp)) != std::string::npos) {
                out += static_cast<char>(cp);
                text.remove_prefix(2);
                continue;
            }
        }
        out += '?';
        text.remove_prefix(n);
    }
    iconv_close(cd);
    return out;
}

}  // namespace

TEST(Cp1253, TablesAgreeWithIconv)
{
    // Every byte reads and writes back.
    for (int b = 0; b < 256; ++b) {
        const std::string one(1, static_cast<char>(b));
        EXPECT_EQ(utf8ToCp1253(cp1253ToUtf8(one)), one) << b;
    }
    // Random texts of Greek, Latin, symbols, other scripts and broken UTF-8.
    const std::string pieces[] = {"a", "Z", "%", "\"", "\r\n", std::string(1, '\0'), "Σ", "ω",
                                  "ΐ", "€", "‰", "«", "°", "☃", "中", "😀", "é", "ß",
                                  "\xE0", "\xC3", "\x80", "\xF0\x9F", "\xE2\x82"};
    std::mt19937 gen(1253);
    std::uniform_int_distribution<std::size_t> pick(0, std::size(pieces) - 1);
    for (int i = 0; i < 5000; ++i) {
        std::string text;
        for (int k = 0; k < 12; ++k)
            text += pieces[pick(gen)];
        bool lossy = false;
        const std::string got = utf8ToCp1253(text, &lossy);
        ASSERT_EQ(got, byIconv(text)) << text;
        EXPECT_EQ(lossy, got.find('?') != std::string::npos);
        EXPECT_EQ(utf8ToCp1253(cp1253ToUtf8(got)), got);
    }
    std::string out = "x";
    appendUtf8AsCp1253(out, "Σημείο");
    appendCp1253AsUtf8(out, "\xC1");
    EXPECT_EQ(out, "x\xD3\xE7\xEC\xE5\xDF\xEFΑ");
}
