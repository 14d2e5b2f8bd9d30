#include "views/Exif.h"

#include <algorithm>
#include <cstdint>

namespace korthal {

namespace {

constexpr std::uint16_t kTagOrientation = 0x0112;
constexpr std::uint16_t kTagThumbnailOffset = 0x0201;
constexpr std::uint16_t kTagThumbnailLength = 0x0202;
constexpr std::uint16_t kTypeShort = 3;
constexpr std::uint16_t kTypeLong = 4;

// The TIFF structure inside the APP1 segment, byte order as its header says.
class Tiff {
public:
    explicit Tiff(std::string_view bytes) : b_(bytes) {}

    bool readHeader(std::uint32_t& firstIfd)
    {
        if (b_.size() < 8) return false;
        if (b_[0] == 'I' && b_[1] == 'I') little_ = true;
        else if (b_[0] == 'M' && b_[1] == 'M') little_ = false;
        else return false;
        std::uint16_t magic = 0;
        return u16(2, magic) && magic == 42 && u32(4, firstIfd);
    }

    bool u16(std::size_t at, std::uint16_t& v) const
    {
        if (at > b_.size() || b_.size() - at < 2) return false;
        const auto a = byte(at), c = byte(at + 1);
        v = static_cast<std::uint16_t>(little_ ? (c << 8) | a : (a << 8) | c);
        return true;
    }

    bool u32(std::size_t at, std::uint32_t& v) const
    {
        std::uint16_t a = 0, c = 0;
        if (!u16(at, a) || !u16(at + 2, c)) return false;
        v = little_ ? (std::uint32_t(c) << 16) | a : (std::uint32_t(a) << 16) | c;
        return true;
    }

    // The value of an entry of type SHORT or LONG with count 1.
    bool value(std::size_t entry, std::uint32_t& v) const
    {
        std::uint16_t type = 0;
        std::uint32_t count = 0;
        if (!u16(entry + 2, type) || !u32(entry + 4, count) || count != 1) return false;
        if (type == kTypeShort) {
            std::uint16_t s = 0;
            if (!u16(entry + 8, s)) return false;
            v = s;
            return true;
        }
        return type == kTypeLong && u32(entry + 8, v);
    }

    // Calls f(tag, entry offset) for each entry of the IFD at `at`; returns
    // the offset of the next IFD (0 for none or on damage).
    template <typename F>
    std::uint32_t walk(std::uint32_t at, F&& f) const
    {
        std::uint16_t n = 0;
        if (!u16(at, n)) return 0;
        for (std::uint32_t k = 0; k < n; ++k) {
            const std::size_t entry = std::size_t(at) + 2 + 12 * std::size_t(k);
            std::uint16_t tag = 0;
            if (!u16(entry, tag)) return 0;
            f(tag, entry);
        }
        std::uint32_t next = 0;
        if (!u32(std::size_t(at) + 2 + 12 * std::size_t(n), next)) return 0;
        return next;
    }

    std::size_t size() const { return b_.size(); }

private:
    unsigned byte(std::size_t at) const { return static_cast<unsigned char>(b_[at]); }
    std::string_view b_;
    bool little_ = true;
};

// The TIFF bytes of the EXIF APP1 segment and their offset in the file.
bool findExifSegment(std::string_view head, std::string_view& tiff, std::size_t& tiffStart)
{
    auto byte = [&](std::size_t i) { return static_cast<unsigned char>(head[i]); };
    if (head.size() < 4 || byte(0) != 0xFF || byte(1) != 0xD8) return false;
    std::size_t pos = 2;
    while (pos + 4 <= head.size()) {
        if (byte(pos) != 0xFF) return false;
        const unsigned marker = byte(pos + 1);
        if (marker == 0xFF) {  // fill byte
            ++pos;
            continue;
        }
        // Start of scan or end of image: no EXIF block before the picture.
        if (marker == 0xDA || marker == 0xD9) return false;
        const std::size_t length = (std::size_t(byte(pos + 2)) << 8) | byte(pos + 3);
        if (length < 2) return false;
        const std::size_t body = pos + 4;
        const std::size_t bodyLength = length - 2;
        if (marker == 0xE1 && bodyLength >= 6 && body + 6 <= head.size() &&
            head.substr(body, 6) == std::string_view("Exif\0\0", 6)) {
            tiffStart = body + 6;
            const std::size_t available = head.size() - tiffStart;
            tiff = head.substr(tiffStart, std::min(bodyLength - 6, available));
            return true;
        }
        pos = body + bodyLength;
    }
    return false;
}

}  // namespace

ExifInfo readExif(std::string_view head)
{
    ExifInfo info;
    std::string_view bytes;
    std::size_t tiffStart = 0;
    if (!findExifSegment(head, bytes, tiffStart)) return info;
    Tiff tiff(bytes);
    std::uint32_t ifd0 = 0;
    if (!tiff.readHeader(ifd0)) return info;

    const std::uint32_t ifd1 = tiff.walk(ifd0, [&](std::uint16_t tag, std::size_t entry) {
        std::uint32_t v = 0;
        if (tag == kTagOrientation && tiff.value(entry, v) && v >= 1 && v <= 8)
            info.orientation = static_cast<int>(v);
    });
    if (ifd1 == 0 || ifd1 == ifd0) return info;
    std::uint32_t offset = 0, length = 0;
    tiff.walk(ifd1, [&](std::uint16_t tag, std::size_t entry) {
        std::uint32_t v = 0;
        if (tag == kTagThumbnailOffset && tiff.value(entry, v)) offset = v;
        if (tag == kTagThumbnailLength && tiff.value(entry, v)) length = v;
    });
    // The preview must lie inside the segment's bytes that were given.
    if (length == 0 || offset > tiff.size() || tiff.size() - offset < length) return info;
    info.thumbnailOffset = tiffStart + offset;
    info.thumbnailLength = length;
    return info;
}

}  // namespace korthal
