// The fixed-pitch listing of the point tables.

#include "geodesy/Angles.h"
#include "geodesy/Dialogs.h"
#include "network/PointTables.h"
#include "project/Document.h"
#include "project/TextOutput.h"
#include "table/Cp1253.h"
#include "views/Listing.h"
#include "support/Files.h"
#include "support/OfferingDialogs.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace korthal {
namespace {

std::size_t chars(const std::string& s)
{
    std::size_t n = 0;
    for (char c : s)
        n += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return n;
}

void fillReference(MemTable& t, int count)
{
    for (int i = 0; i < count; ++i) {
        Rec r = t.appendRecord();
        t.setString(r, gys::Name, "Σ" + std::to_string(1000 + i));
        t.setFloat(r, gys::E, 391234.5678 + i);
        t.setFloat(r, gys::N, 4385000.25);
        t.setFloat(r, gys::H, 412.3);
        t.setFloat(r, gys::apoxh, 37.4);
        t.setFloat(r, gys::f, double(DMSToRad(39.3512345)));
        t.setFloat(r, gys::l, double(DMSToRad(22.4501)));
        t.setFloat(r, gys::ortho, 449.7);
    }
}

TEST(Listing, ColumnsAreCentredWithTheirWidths)
{
    MemTable t("GYS");
    defineGYS(t);
    fillReference(t, 3);
    NumberText numbers(Separators{'.', ','});
    numbers.setDisplay(Separators{',', '.'});
    ListingOptions o;
    o.decimals = 4;
    o.dmsDecimals = 7;
    o.anglesInRadians = true;
    o.heading2 = "δεύτερη";
    o.heading3 = "τρίτη";
    const auto pages = listingPages(t, numbers, o);
    ASSERT_EQ(pages.size(), 1u);
    const auto& lines = pages[0];
    // Heading, two empty lines, titles, an empty line, three records.
    ASSERT_EQ(lines.size(), 3u + 2 + 1 + 1 + 3);
    EXPECT_EQ(lines[0], std::string((124 - 7) / 2, ' ') + "Korthal");
    EXPECT_EQ(lines[1], std::string((124 - 7) / 2, ' ') + "δεύτερη");
    EXPECT_EQ(lines[3], "");
    // Name, E, N, H, apoxh, f, l, ortho: 15 + 14·3 + 8 + 2·18 + 14 characters,
    // and one more because the grouped northing needs 14 of its 13.
    const std::string& rec = lines[7];
    const std::size_t width = 15 + 14 * 3 + 8 + 2 * 18 + 14 + 1;
    EXPECT_EQ(chars(rec), (124 - width) / 2 + width);
    const std::string body = rec.substr((124 - width) / 2);
    EXPECT_EQ(body.find("Σ1000"), 0u);
    EXPECT_NE(body.find("Σ1000          " "  391.234,5678 4.385.000,2500      412,3000   37,40"
                        "        39,3512345        22,4501000      449,7000"),
              std::string::npos)
        << body;
    // Titles: the name's label, then six blanks and each real field's label.
    EXPECT_NE(lines[5].find("Σημείο         " "      E  (m)"), std::string::npos);

    // d = 6: the field is 15 characters and no blanks precede it.
    o.decimals = 6;
    const auto wide = listingPages(t, numbers, o)[0];
    EXPECT_NE(wide[7].find("Σ1000           391.234,567800 4.385.000,250000"), std::string::npos) << wide[7];
}

TEST(Listing, PrinterPagesBreakAfterEightySevenLines)
{
    MemTable t("GYS");
    defineGYS(t);
    fillReference(t, 200);
    NumberText numbers(Separators{'.', ','});
    ListingOptions o;
    o.toFile = false;
    const auto pages = listingPages(t, numbers, o);
    // 5 empty + 3 heading + 2 empty + titles + empty + 200 records = 212 lines.
    ASSERT_EQ(pages.size(), 3u);
    EXPECT_EQ(pages[0].size(), 87u);
    EXPECT_EQ(pages[1].size(), 87u);
    EXPECT_EQ(pages[1][0], "");
    EXPECT_EQ(pages[1][1], "");
    EXPECT_EQ(pages[2].size(), 2u + (212 - 87 - 85));
    // A file has no breaks.
    o.toFile = true;
    const auto file = listingPages(t, numbers, o);
    ASSERT_EQ(file.size(), 1u);
    EXPECT_EQ(file[0].size(), 207u);
}

TEST(Listing, LongLinesAreNotCentred)
{
    const std::string s(130, 'x');
    EXPECT_EQ(centreListingLine(s), s);
    EXPECT_EQ(centreListingLine("ab"), std::string(61, ' ') + "ab");
}

TEST(Listing, UnderTheResidualsTheTestAndTheCheckPoints)
{
    RecordingDialogs rec;
    Document doc(Separators{'.', ','});
    const std::string demo = std::string(KORTHAL_SOURCE_DIR) + "/examples/demo/";
    doc.LoadReference(demo + "EGSA87");
    doc.LoadFile(demo + "DEMO.WGS84");
    ASSERT_TRUE(doc.excludeByName({"Σ104"}).empty());
    const auto pages = printTableLines(doc, true, true);
    ASSERT_EQ(pages.size(), 1u);
    const auto& lines = pages[0];
    auto find = [&](const std::string& text, std::size_t from = 0) {
        for (std::size_t i = from; i < lines.size(); ++i)
            if (lines[i].find(text) != std::string::npos)
                return i;
        return lines.size();
    };
    auto margin = [](const std::string& l) { return l.find_first_not_of(' '); };
    // The check point's line keeps the columns of the others.
    const std::size_t residuals = find("Υπόλοιπα");
    const std::size_t used = find("Σ101   ", residuals), check = find("Σ104   ", residuals);
    ASSERT_LT(check, lines.size());
    ASSERT_LT(used, lines.size());
    EXPECT_NE(lines[check].find("σημείο ελέγχου"), std::string::npos);
    EXPECT_EQ(margin(lines[check]), margin(lines[used]));
    EXPECT_EQ(chars(lines[check]), chars(lines[used]));
    // σ0, the standard errors, the test and the check points: one block of
    // lines of one width (so one left margin once centred); every line of
    // it fits code page 1253.
    const std::size_t first = find("σ0 = ± ");
    ASSERT_LT(first, lines.size());
    EXPECT_NE(lines[first + 1].find("Τυπικά σφάλματα:  μ ± "), std::string::npos);
    EXPECT_NE(lines[first + 2].find("tz ± "), std::string::npos);
    EXPECT_NE(lines[first + 3].find("Έλεγχος τ (Pope)"), std::string::npos);
    EXPECT_NE(lines[first + 4].find("Κανένα ύποπτο σημείο"), std::string::npos);
    EXPECT_NE(lines[first + 5].find("Σημεία ελέγχου (εκτός εκτίμησης): Σ104"), std::string::npos);
    ASSERT_EQ(first + 6, lines.size());
    for (std::size_t i = first; i < lines.size(); ++i) {
        EXPECT_EQ(chars(lines[i]), chars(lines[first])) << lines[i];
        EXPECT_LE(chars(lines[i]), static_cast<std::size_t>(kListingWidth));
    }
    EXPECT_EQ(margin(lines[first + 3]), margin(lines[first]));
    for (std::size_t i = residuals + 1; i < lines.size(); ++i) {
        bool lossy = false;
        utf8ToCp1253(lines[i], &lossy);
        EXPECT_FALSE(lossy) << lines[i];
    }
}

}  // namespace
}  // namespace korthal

namespace korthal {
namespace {

TEST(Listing, SaveButtonAsksForTheNameAndWritesTheFile)
{
    test::OfferingDialogs dialogs;
    const test::TempDir temp("listing");
    const auto& dir = temp.path;
    Document doc(Separators{'.', ','});
    fillReference(doc.GYS(), 2);
    doc.CurrentFileName = (dir / "JOB.WGS84").string();

    EXPECT_FALSE(printTable(doc, false));  // cancelled: nothing written
    EXPECT_EQ(dialogs.offered, (dir / "EGSA87.TXT").string());
    EXPECT_EQ(dialogs.entries.back().caption, "Αποθήκευση του πίνακασημείων αναφοράς");
    EXPECT_FALSE(std::filesystem::exists(dir / "EGSA87.TXT"));

    dialogs.inputs.push_back((dir / "JOB.TXT").string());
    EXPECT_TRUE(printTable(doc, true));
    EXPECT_EQ(dialogs.offered, (dir / "JOB.TXT").string());
    EXPECT_EQ(dialogs.entries.back().caption, "Αποθήκευση του πίνακακορυφών του δικτύου");
    EXPECT_EQ(doc.LastTextFile, (dir / "JOB.TXT").string());
    const auto lines = readTextLines((dir / "JOB.TXT").string());
    ASSERT_TRUE(lines);
    EXPECT_NE((*lines)[0].find("Korthal"), std::string::npos);
    EXPECT_FALSE(doc.LoadingData);

    // An imported point list is not offered for overwriting.
    doc.CurrentFileName = (dir / "LIST.TXT").string();
    printTable(doc, true);
    EXPECT_EQ(dialogs.offered, (dir / "LIST_1.TXT").string());
}

}  // namespace
}  // namespace korthal
