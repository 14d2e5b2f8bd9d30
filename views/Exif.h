#pragma once
// What a thumbnail needs from the EXIF block of a JPEG file (the APP1
// segment that cameras write before the picture): the orientation in which
// the picture is meant to be seen, and where the small preview picture that
// most cameras embed lies in the file.
//
// Only the first segments of the file are read; every offset is checked
// against the bytes given, so a damaged or hostile file gives "nothing
// found", never a read outside them. Plain C++: the picture itself is
// decoded by paint/Picture.h.

#include <cstddef>
#include <string_view>

namespace korthal {

struct ExifInfo {
    // The EXIF orientation tag, 1 to 8 (1: upright as stored; 6: turn 90°
    // clockwise to view; 3: 180°; 8: 90° counter-clockwise; 2, 4, 5, 7 the
    // same mirrored); 1 when absent or invalid.
    int orientation = 1;
    // The embedded preview JPEG: its offset from the start of the file and
    // its length in bytes; 0 and 0 when there is none within the bytes.
    std::size_t thumbnailOffset = 0;
    std::size_t thumbnailLength = 0;
    bool hasThumbnail() const { return thumbnailLength > 0; }
};

// How many bytes from the start of a file hold the EXIF block of any
// ordinary JPEG (the APP1 segment is at most 64 KiB and comes first).
inline constexpr std::size_t kExifSearchBytes = 128 * 1024;

// Reads the EXIF block of the JPEG whose first bytes are `head`. Not a JPEG,
// no EXIF block or a damaged one: the defaults.
ExifInfo readExif(std::string_view head);

}  // namespace korthal
