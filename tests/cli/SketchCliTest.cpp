// korthal-cli sketch and listing: pictures and PDF files of the demo
// network, drawn with no display at all.

#include "support/Pdf.h"
#include "support/RunCli.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <regex>
#include <string>

namespace {

namespace fs = std::filesystem;
using namespace korthal::test;

// A scratch copy of the demo folder; no display and no Qt platform, as on
// a server.
fs::path demoCopy()
{
    unsetenv("QT_QPA_PLATFORM");
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    const fs::path d = scratchBase("sketch");
    fs::remove_all(d);
    fs::create_directories(d);
    for (const auto& e : fs::directory_iterator(fs::path(KORTHAL_SOURCE_DIR) / "examples" / "demo"))
        fs::copy_file(e.path(), d / e.path().filename());
    return d;
}

// Width and height from a PNG file's header; 0, 0 when it is no PNG.
std::pair<unsigned, unsigned> pngSize(const std::string& bytes)
{
    if (bytes.size() < 24 || bytes.compare(1, 3, "PNG") != 0)
        return {0, 0};
    auto be32 = [&](std::size_t at) {
        unsigned v = 0;
        for (std::size_t i = 0; i < 4; ++i)
            v = (v << 8) | static_cast<unsigned char>(bytes[at + i]);
        return v;
    };
    return {be32(16), be32(20)};
}

TEST(CliSketch, PngAndPdfWithoutADisplay)
{
    const fs::path d = demoCopy();
    CliResult r = runCli("sketch DEMO.WGS84 --out sketch.png", {}, d);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(pngSize(readBytes(d / "sketch.png")), std::make_pair(700u, 460u));

    r = runCli("sketch DEMO.WGS84 --out small.PNG --mode 1 --filter 2 --size 320x200", {}, d);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(pngSize(readBytes(d / "small.PNG")), std::make_pair(320u, 200u));

    // The reference file beside the network is found from another folder:
    // the network points are named in the PDF (only they get lines and red).
    r = runCli("sketch \"" + (d / "DEMO.WGS84").string() + "\" --out \"" +
               (d / "page.pdf").string() + "\" --filter 2");
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string page = (d / "page.pdf").string();
    EXPECT_TRUE(std::regex_search(pdfInfo(page), std::regex("Page size: +(842 x 595|841.89 x 595.28) pts")));
    EXPECT_EQ(pdfPages(page), 1);
    const std::string text = pdfText(page);
    EXPECT_NE(text.find("Σ101"), std::string::npos);
    EXPECT_EQ(text.find("Κ01"), std::string::npos);  // a detail point, filtered out
}

TEST(CliSketch, MissingOrUnreadableNetworkWritesNothing)
{
    const fs::path d = demoCopy();
    CliResult r = runCli("sketch NONE.WGS84 --out s.png", {}, d);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("NONE.WGS84"), std::string::npos);
    EXPECT_FALSE(fs::exists(d / "s.png"));

    // A damaged network leaves an earlier output as it was.
    writeBytes(d / "BAD.WGS84", "this is not a network file");
    writeBytes(d / "old.pdf", "earlier");
    r = runCli("sketch BAD.WGS84 --out old.pdf", {}, d);
    EXPECT_EQ(r.status, 1);
    EXPECT_FALSE(r.err.empty());
    EXPECT_EQ(readBytes(d / "old.pdf"), "earlier");
    r = runCli("listing BAD.WGS84 --pdf old.pdf", {}, d);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(readBytes(d / "old.pdf"), "earlier");
    r = runCli("listing NONE.WGS84 --pdf l.pdf", {}, d);
    EXPECT_EQ(r.status, 1);
    EXPECT_FALSE(fs::exists(d / "l.pdf"));

    // Wrong arguments are usage errors.
    EXPECT_EQ(runCli("sketch DEMO.WGS84 --out s.png --mode 3", {}, d).status, 2);
    EXPECT_EQ(runCli("sketch DEMO.WGS84 --out s.jpg", {}, d).status, 2);
    EXPECT_EQ(runCli("sketch DEMO.WGS84 --out s.png --size 700", {}, d).status, 2);
    EXPECT_EQ(runCli("listing DEMO.WGS84", {}, d).status, 2);
    EXPECT_EQ(runCli("listing DEMO.WGS84 --table all --pdf l.pdf", {}, d).status, 2);
    EXPECT_FALSE(fs::exists(d / "s.png"));
}

// The record names on one page of the listing, in order.
std::vector<std::string> recordsOn(const std::string& pdf, int page)
{
    const std::string text = pdfText(pdf, page, page);
    std::vector<std::string> names;
    static const std::regex record(R"(^\s*(P\d{3})\s)");
    std::size_t start = 0;
    while (start < text.size()) {
        auto end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::smatch m;
        const std::string line = text.substr(start, end - start);
        if (std::regex_search(line, m, record))
            names.push_back(m[1]);
        start = end + 1;
    }
    return names;
}

TEST(CliListing, TwoHundredPointsMakeThreePagesByThePageRule)
{
    const fs::path d = demoCopy();
    std::string list;
    for (int i = 1; i <= 200; ++i) {
        char line[96];
        std::snprintf(line, sizeof line, "P%03d,%.3f,%.3f,%.3f\r\n", i, 4538567.695 + 7.0 * i,
                      1901291.101 + 3.0 * i, 4044813.091 - 5.0 * i);
        list += line;
    }
    writeBytes(d / "LIST.TXT", list);
    fs::copy_file(d / "DEMO.INI", d / "LIST.INI");
    CliResult r = runCli("import LIST.TXT --out NET.WGS84", {}, d);
    ASSERT_EQ(r.status, 0) << r.err;

    r = runCli("listing NET.WGS84 --pdf list.pdf", {}, d);
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string pdf = (d / "list.pdf").string();
    ASSERT_EQ(pdfPages(pdf), 3);
    // Page 1: 87 lines, 12 of them before the records (5 empty lines, the
    // heading, 2 empty lines, the titles and an empty line): 75 records.
    // Each later page: 2 empty lines and 85 listing lines.
    const auto p1 = recordsOn(pdf, 1), p2 = recordsOn(pdf, 2), p3 = recordsOn(pdf, 3);
    ASSERT_EQ(p1.size(), 75u);
    ASSERT_EQ(p2.size(), 85u);
    ASSERT_EQ(p3.size(), 40u);
    EXPECT_EQ(p1.front(), "P001");
    EXPECT_EQ(p2.front(), "P076");
    EXPECT_EQ(p3.front(), "P161");
    EXPECT_EQ(p3.back(), "P200");
    EXPECT_NE(pdfText(pdf, 1, 1).find("Korthal"), std::string::npos);
    // No line runs past the right margin of A4 portrait (595 - 28 points).
    EXPECT_LE(pdfRightmostWord(pdf), 595.28 - 28.3);

    // The reference table of the same folder.
    r = runCli("listing NET.WGS84 --table reference --pdf ref.pdf", {}, d);
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string ref = pdfText((d / "ref.pdf").string());
    EXPECT_NE(ref.find("Σημεία αναφοράς"), std::string::npos);
    EXPECT_NE(ref.find("Σ101"), std::string::npos);
}

}  // namespace
