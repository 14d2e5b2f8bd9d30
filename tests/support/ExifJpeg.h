#pragma once
// JPEG files with an EXIF block, for tests and benchmarks: the orientation
// tag a phone camera writes and, optionally, the small preview picture it
// embeds. Plain bytes in and out; the caller makes the JPEGs.

#include <cstdint>
#include <string>

namespace korthal::test {

// `jpeg` with an APP1 "Exif" segment inserted after its start marker,
// holding IFD0 with the orientation (1 to 8) and, when `preview` is not
// empty, IFD1 pointing at that JPEG. `bigEndian` writes the "MM" byte order.
inline std::string withExif(const std::string& jpeg, int orientation,
                            const std::string& preview = {}, bool bigEndian = false)
{
    std::string tiff;
    auto u16 = [&](unsigned v) {
        const char a = static_cast<char>(v & 0xFF), b = static_cast<char>((v >> 8) & 0xFF);
        if (bigEndian) tiff += {b, a};
        else tiff += {a, b};
    };
    auto u32 = [&](std::uint32_t v) {
        if (bigEndian) {
            u16(v >> 16);
            u16(v & 0xFFFF);
        } else {
            u16(v & 0xFFFF);
            u16(v >> 16);
        }
    };
    tiff += bigEndian ? "MM" : "II";
    u16(42);
    u32(8);
    // IFD0: the orientation; then the offset of IFD1 (26) or none.
    u16(1);
    u16(0x0112);
    u16(3);
    u32(1);
    u16(static_cast<unsigned>(orientation));
    u16(0);
    u32(preview.empty() ? 0 : 26);
    if (!preview.empty()) {
        // IFD1: where the preview lies (right after this IFD, at 56).
        u16(2);
        u16(0x0201);
        u16(4);
        u32(1);
        u32(56);
        u16(0x0202);
        u16(4);
        u32(1);
        u32(static_cast<std::uint32_t>(preview.size()));
        u32(0);
        tiff += preview;
    }
    const std::size_t length = 2 + 6 + tiff.size();
    std::string app1 = "\xFF\xE1";
    app1 += static_cast<char>((length >> 8) & 0xFF);
    app1 += static_cast<char>(length & 0xFF);
    app1 += std::string("Exif\0\0", 6);
    app1 += tiff;
    return jpeg.substr(0, 2) + app1 + jpeg.substr(2);
}

}  // namespace korthal::test
