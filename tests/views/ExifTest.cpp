// The EXIF block of JPEG files: orientation and embedded preview, and files
// that are damaged or cut short.

#include "support/ExifJpeg.h"
#include "views/Exif.h"

#include <gtest/gtest.h>

#include <string>

namespace korthal {
namespace {

using test::withExif;

// The markers of a JPEG around a scan, without a real picture.
const std::string kApp0("\xFF\xE0\x00\x10JFIF\x00\x01\x01\x00\x00\x01\x00\x01\x00\x00", 18);
const std::string kJpeg = std::string("\xFF\xD8") + kApp0 + std::string("\xFF\xDA\x00\x02scan\xFF\xD9");

TEST(Exif, OrientationAndPreviewInBothByteOrders)
{
    for (bool bigEndian : {false, true}) {
        const std::string file = withExif(kJpeg, 6, "PREVIEW-JPEG", bigEndian);
        const ExifInfo e = readExif(file);
        EXPECT_EQ(e.orientation, 6);
        ASSERT_TRUE(e.hasThumbnail());
        EXPECT_EQ(file.substr(e.thumbnailOffset, e.thumbnailLength), "PREVIEW-JPEG");
    }
    const ExifInfo plain = readExif(withExif(kJpeg, 8));
    EXPECT_EQ(plain.orientation, 8);
    EXPECT_FALSE(plain.hasThumbnail());
}

TEST(Exif, BlockAfterOtherSegments)
{
    // APP0 first, then the EXIF block.
    const std::string exif = withExif(kJpeg, 3, "P");
    const std::size_t app1Length = 2 + ((std::size_t(static_cast<unsigned char>(exif[4])) << 8) |
                                        static_cast<unsigned char>(exif[5]));
    const std::string app1 = exif.substr(2, app1Length);
    const std::string file = std::string("\xFF\xD8") + kApp0 + app1 + kJpeg.substr(2 + kApp0.size());
    const ExifInfo e = readExif(file);
    EXPECT_EQ(e.orientation, 3);
    EXPECT_EQ(file.substr(e.thumbnailOffset, e.thumbnailLength), "P");
}

TEST(Exif, NothingFromOtherFilesOrBadValues)
{
    EXPECT_EQ(readExif("").orientation, 1);
    EXPECT_EQ(readExif("\x89PNG\r\n\x1a\n....").orientation, 1);
    EXPECT_EQ(readExif(kJpeg).orientation, 1);
    // An orientation out of range counts as none.
    EXPECT_EQ(readExif(withExif(kJpeg, 9)).orientation, 1);
    // A preview said to reach past the block is ignored.
    std::string file = withExif(kJpeg, 6, "PREVIEW");
    // The preview follows IFD1, whose last entry's value (the length, little
    // endian) ends 5 bytes before it: its high byte.
    file[file.find("PREVIEW") - 5] = '\x7F';
    const ExifInfo e = readExif(file);
    EXPECT_EQ(e.orientation, 6);
    EXPECT_FALSE(e.hasThumbnail());
}

TEST(Exif, FilesCutShortNeverReadPastTheirEnd)
{
    const std::string file = withExif(kJpeg, 6, std::string(300, 'p'), true);
    for (std::size_t n = 0; n <= file.size(); ++n) {
        const std::string head = file.substr(0, n);
        const ExifInfo e = readExif(head);
        if (e.hasThumbnail()) {
            EXPECT_LE(e.thumbnailOffset + e.thumbnailLength, n);
        }
        EXPECT_GE(e.orientation, 1);
        EXPECT_LE(e.orientation, 8);
    }
    // Every byte of the block damaged in turn.
    for (std::size_t k = 2; k < 100; ++k) {
        std::string bad = file;
        bad[k] = static_cast<char>(bad[k] ^ 0x5A);
        const ExifInfo e = readExif(bad);
        if (e.hasThumbnail()) {
            EXPECT_LE(e.thumbnailOffset + e.thumbnailLength, bad.size());
        }
    }
}

}  // namespace
}  // namespace korthal
