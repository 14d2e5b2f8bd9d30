// korthal-cli geoid-map, run as a script would with no display at all.

#include "support/Files.h"
#include "support/RunCli.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace korthal {
namespace {

using test::readBytes;
using test::runCli;
using test::TempDir;

std::uint32_t bigEndian32(const std::string& b, std::size_t at)
{
    return (std::uint32_t(static_cast<unsigned char>(b[at])) << 24) |
           (std::uint32_t(static_cast<unsigned char>(b[at + 1])) << 16) |
           (std::uint32_t(static_cast<unsigned char>(b[at + 2])) << 8) |
           std::uint32_t(static_cast<unsigned char>(b[at + 3]));
}

TEST(CliGeoidMap, WritesThePictureWithAndWithoutAMarker)
{
    TempDir dir("geoidmap");
    const std::string plain = dir.file("map.png"), marked = dir.file("marked.png");
    // No display and no platform chosen: the tool finds its own way.
    const std::string env = "env -u DISPLAY -u QT_QPA_PLATFORM \"" KORTHAL_CLI "\" geoid-map ";
    test::CliResult r = runCli("--help");  // the tool is there
    ASSERT_EQ(r.status, 0);
    ASSERT_EQ(std::system((env + "--out \"" + plain + "\"").c_str()), 0);
    ASSERT_EQ(std::system((env + "--out \"" + marked + "\" --mark 37.58 23.43").c_str()), 0);

    const std::string png = readBytes(plain);
    ASSERT_GT(png.size(), 33u);
    EXPECT_EQ(png.substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));
    EXPECT_EQ(png.substr(12, 4), "IHDR");
    EXPECT_EQ(bigEndian32(png, 16), 744u);
    EXPECT_EQ(bigEndian32(png, 20), 728u);
    EXPECT_EQ(png[24], 8);  // bits per channel
    EXPECT_EQ(png[25], 2);  // RGB: 24 bits per pixel

    const std::string withMarker = readBytes(marked);
    EXPECT_EQ(withMarker.substr(16, 8), png.substr(16, 8));
    EXPECT_NE(withMarker, png);
}

TEST(CliGeoidMap, PointsOutsideAndWrongArguments)
{
    TempDir dir("geoidmap");
    const std::string out = dir.file("map.png");
    for (const char* point : {"43.00 23.00", "33.59 23.00", "38.00 18.59", "38.00 29.01"}) {
        const test::CliResult r = runCli("geoid-map --out \"" + out + "\" --mark " + point);
        EXPECT_EQ(r.status, 1) << point;
        EXPECT_NE(r.err.find("outside the map"), std::string::npos) << r.err;
        EXPECT_FALSE(std::filesystem::exists(out));
    }
    // The corners are inside.
    EXPECT_EQ(runCli("geoid-map --out \"" + out + "\" --mark 42 19").status, 0);
    EXPECT_EQ(runCli("geoid-map --out \"" + out + "\" --mark 34 29").status, 0);

    EXPECT_EQ(runCli("geoid-map").status, 2);
    EXPECT_EQ(runCli("geoid-map --out").status, 2);
    EXPECT_EQ(runCli("geoid-map --out \"" + out + "\" --mark 38").status, 2);
    EXPECT_EQ(runCli("geoid-map --out \"" + out + "\" --mark 38 x").status, 2);
    EXPECT_EQ(runCli("geoid-map --out \"" + out + "\" --bogus").status, 2);
    const test::CliResult r = runCli("geoid-map --out \"" + dir.file("none/map.png") + "\"");
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("cannot write"), std::string::npos);
}

}  // namespace
}  // namespace korthal
