// The fixed-pitch listing of the point tables.

#include "geodesy/Angles.h"
#include "project/Dialogs.h"
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

std::u32string toU32(const std::string& s)
{
    std::u32string out;
    for (std::size_t i = 0; i < s.size();) {
        const auto c = static_cast<unsigned char>(s[i]);
        const int n = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
        char32_t v = n == 1 ? c : c & (0x3F >> (n - 1));
        for (int k = 1; k < n && i + static_cast<std::size_t>(k) < s.size(); ++k)
            v = (v << 6) | (static_cast<unsigned char>(s[i + static_cast<std::size_t>(k)]) & 0x3F);
        out += v;
        i += static_cast<std::size_t>(n);
    }
    return out;
}

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
    // Titles: the name's label over the names, each real field's label
    // right-aligned over its numbers.
    EXPECT_NE(lines[5].find("Σημείο         " "        E  (m)         N  (m)"), std::string::npos)
        << lines[5];

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
    doc.openNetwork(demo + "DEMO.WGS84");
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
    EXPECT_NE(lines[first + 4].find("Έλεγχος F κάθε σημείου"), std::string::npos);
    EXPECT_NE(lines[first + 5].find("Κανένα ύποπτο σημείο"), std::string::npos);
    EXPECT_NE(lines[first + 6].find("Έλεγχος χ² της συμφωνίας"), std::string::npos);
    EXPECT_NE(lines[first + 7].find("Τα σημεία αναφοράς συμφωνούν μεταξύ τους"), std::string::npos);
    EXPECT_NE(lines[first + 8].find("Σημεία ελέγχου (εκτός εκτίμησης): Σ104"), std::string::npos);
    ASSERT_EQ(first + 9, lines.size());
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

TEST(Listing, WithTheHeposModelTheDiscrepanciesFromTheModel)
{
    RecordingDialogs rec;
    Document doc(Separators{'.', ','});
    const std::string demo = std::string(KORTHAL_SOURCE_DIR) + "/examples/demo/";
    doc.LoadReference(demo + "EGSA87");
    doc.openNetwork(demo + "DEMO.WGS84");
    doc.settings().method = EstimationMethod::HeposModel;
    doc.RecomputeNetwork();
    const auto lines = printTableLines(doc, true, true)[0];
    std::size_t at = 0;
    while (at < lines.size() && lines[at].find("Μετασχηματισμός: μοντέλο HEPOS") == std::string::npos)
        ++at;
    ASSERT_LT(at + 4, lines.size());
    EXPECT_NE(lines[at + 1].find("Αποκλίσεις των σημείων αναφοράς από το μοντέλο HEPOS"), std::string::npos);
    EXPECT_NE(lines[at + 3].find("dE  (m)"), std::string::npos);
    EXPECT_EQ(lines[at + 3].find("τ"), std::string::npos);  // no test
    // Each reference point's line: known minus model, as the document has it.
    const NumberText& n = doc.numbers();
    for (const ReferenceResidual& r : doc.residuals()) {
        std::size_t row = at;
        while (row < lines.size() && lines[row].find(r.name + " ") == std::string::npos)
            ++row;
        ASSERT_LT(row, lines.size()) << r.name;
        EXPECT_NE(lines[row].find(n.formatFixed(r.vE, 3)), std::string::npos) << lines[row];
    }
    // The block under the table fits the width and code page 1253.
    for (std::size_t i = at; i < lines.size(); ++i) {
        bool lossy = false;
        utf8ToCp1253(lines[i], &lossy);
        EXPECT_FALSE(lossy) << lines[i];
        EXPECT_LE(chars(lines[i]), static_cast<std::size_t>(kListingWidth)) << lines[i];
    }
    EXPECT_NE(lines.back().find("RMS των αποκλίσεων από το μοντέλο (6 σημεία)"), std::string::npos)
        << lines.back();
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

TEST(Listing, AnExistingFileIsReplacedOnlyWhenTheUserAgrees)
{
    test::OfferingDialogs dialogs;
    const test::TempDir temp("listing");
    Document doc(Separators{'.', ','});
    fillReference(doc.GYS(), 2);
    doc.CurrentFileName = temp.file("JOB.WGS84");
    const std::string list = temp.file("JOB.TXT");
    test::writeBytes(list, "P1,4538567.695,1901291.101,4044813.091\r\n");
    const std::string before = test::readBytes(list);

    // No: the name is asked again, offered as typed; cancelling writes nothing.
    dialogs.inputs = {list, std::nullopt};
    EXPECT_FALSE(printTable(doc, true));
    ASSERT_EQ(dialogs.entries.size(), 3u);
    EXPECT_TRUE(dialogs.entries[1].question);
    EXPECT_NE(dialogs.entries[1].text.find("JOB.TXT υπάρχει ήδη"), std::string::npos);
    // A Greek question ends in the Greek question mark, which code page 1253
    // writes as ';' (it has no U+037E).
    EXPECT_EQ(dialogs.entries[1].text.back(), ';');
    EXPECT_EQ(dialogs.offered, list);
    EXPECT_EQ(test::readBytes(list), before);
    EXPECT_NE(doc.LastTextFile, list);

    // No, then another name: that one is written, the list stays.
    dialogs.clear();
    dialogs.inputs = {list, temp.file("OUT.TXT")};
    EXPECT_TRUE(printTable(doc, true));
    EXPECT_EQ(test::readBytes(list), before);
    EXPECT_EQ(doc.LastTextFile, temp.file("OUT.TXT"));

    // Yes replaces it.
    dialogs.clear();
    dialogs.inputs = {list};
    dialogs.answers = {Answer::Yes};
    EXPECT_TRUE(printTable(doc, true));
    EXPECT_NE(test::readBytes(list), before);
}

// Where each text of `titles` ends in the title line, a value of the record
// line ends too (numbers are right-aligned under their titles).
void expectTitlesOver(const std::string& titleLine, const std::string& recordLine,
                      const std::vector<std::string>& titles)
{
    const std::u32string t = toU32(titleLine), r = toU32(recordLine);
    ASSERT_EQ(t.size(), r.size()) << titleLine << "\n" << recordLine;
    for (const std::string& title : titles) {
        const std::size_t pos = t.find(toU32(title));
        ASSERT_NE(pos, std::u32string::npos) << title;
        const std::size_t end = pos + toU32(title).size();
        EXPECT_NE(r[end - 1], U' ') << title << "\n" << titleLine << "\n" << recordLine;
        EXPECT_TRUE(end == r.size() || r[end] == U' ') << title << "\n" << recordLine;
    }
}

// The demo network and its reference file, from a copy in `temp`.
void loadDemoCopy(const test::TempDir& temp, Document& doc)
{
    for (const auto& e : std::filesystem::directory_iterator(
             std::filesystem::path(KORTHAL_SOURCE_DIR) / "examples" / "demo"))
        std::filesystem::copy_file(e.path(), temp.path / e.path().filename());
    doc.LoadReference(temp.file("EGSA87"));
    doc.openNetwork(temp.file("DEMO.WGS84"));
}

TEST(Listing, TitlesStandOverTheirColumns)
{
    RecordingDialogs dialogs;
    const test::TempDir temp("listing");
    Document doc(Separators{'.', ','});
    loadDemoCopy(temp, doc);
    ASSERT_FALSE(doc.residuals().empty());
    for (bool toFile : {true, false}) {
        const auto pages = printTableLines(doc, true, toFile);
        const auto& lines = pages.front();
        std::size_t titles = 0, residuals = 0;
        for (std::size_t i = 0; i < lines.size(); ++i) {
            if (lines[i].find("X  (m)") != std::string::npos) titles = i;
            if (lines[i].find("vE  (m)") != std::string::npos) residuals = i;
        }
        ASSERT_GT(titles, 0u);
        ASSERT_GT(residuals, 0u);
        expectTitlesOver(lines[titles], lines[titles + 2],
                         {"X  (m)", "Y  (m)", "Z  (m)", "E  (m)", "N  (m)", "H  (m)", "αποχή"});
        expectTitlesOver(lines[residuals], lines[residuals + 1], {"vE  (m)", "vN  (m)", "vH  (m)"});
        // The names stand under their title too.
        const std::u32string t = toU32(lines[titles]), r = toU32(lines[titles + 2]);
        EXPECT_EQ(t.find(U"Σημείο"), r.find_first_not_of(U' '));
        // Last, the 1:50 000 sheet of each point, its name under the title.
        EXPECT_EQ(t.find(U"φύλλο HATT"), r.find(U"Αγιά")) << lines[titles + 2];
        EXPECT_EQ(r.find_last_not_of(U' ') + 1, r.find(U"Αγιά") + 4);
    }
    const auto reference = printTableLines(doc, false, true);
    for (const std::string& line : reference.front())
        EXPECT_EQ(line.find("φύλλο HATT"), std::string::npos) << "reference points: " << line;
    // Off the sheets, and for a point without coordinates, no name.
    EXPECT_EQ(hattSheetName(353310.92, 4497950.95), "Αλεξάνδρεια");
    EXPECT_EQ(hattSheetName(0, 0), "");
    EXPECT_EQ(hattSheetName(-200000, 3000000), "");
    // The headings hold only what code page 1253 can write.
    const auto net = printTableLines(doc, true, true).front();
    EXPECT_NE(net[1].find("Σημεία δικτύου  (WGS84 -> ΕΓΣΑ87)"), std::string::npos);
}

// With ellipsoidal WGS84 input the network's first three columns are the
// packed latitude and longitude, with the angle decimals, and the height in
// metres, titled so, on paper and in the file alike.
TEST(Listing, EllipsoidalInputIsListedAsAnglesAndHeight)
{
    RecordingDialogs dialogs;
    const test::TempDir temp("listing");
    Document doc(Separators{'.', ','});
    loadDemoCopy(temp, doc);
    ASSERT_TRUE(doc.SwitchInputForm(InputForm::Ellipsoidal));
    NumberSettings& ns = doc.settings().numbers;
    for (NumberDestination page : {NumberDestination::Screen, NumberDestination::OutputFile}) {
        ns.GPSDecimals[page] = 3;
        ns.DMSDecimals[page] = 7;
    }
    const MemTable& g = doc.GPS();
    const Rec first = g.recAt(0);
    NumberText numbers(doc.numbers().system());
    numbers.setDisplay(Separators{ns.DecimalSeparators[NumberDestination::Screen], ns.ThousandSeparators[NumberDestination::Screen]});
    const std::string phi = numbers.FormatNumber("%.7n", {PackedToShow(g.getFloat(first, gps::X), 7)});
    const std::string lambda = numbers.FormatNumber("%.7n", {PackedToShow(g.getFloat(first, gps::Y), 7)});
    const std::string h = numbers.FormatNumber("%.3n", {Extended(g.getFloat(first, gps::Z))});
    for (bool toFile : {true, false}) {
        const auto lines = printTableLines(doc, true, toFile).front();
        std::size_t titles = 0;
        for (std::size_t i = 0; i < lines.size(); ++i)
            if (lines[i].find("φ  (DD.MMSSsss)") != std::string::npos) titles = i;
        ASSERT_GT(titles, 0u);
        EXPECT_EQ(lines[titles].find("X  (m)"), std::string::npos);
        const std::string& record = lines[titles + 2];
        expectTitlesOver(lines[titles], record,
                         {"φ  (DD.MMSSsss)", "λ  (DD.MMSSsss)", "h  (m)", "E  (m)"});
        if (!toFile) {
            // The screen's separators: the values as the grid shows them.
            EXPECT_NE(record.find(" " + phi + " "), std::string::npos) << phi << "\n" << record;
            EXPECT_NE(record.find(" " + lambda + " "), std::string::npos) << lambda << "\n" << record;
            EXPECT_NE(record.find(" " + h + " "), std::string::npos) << h << "\n" << record;
        }
    }
}

// The residual block with every kind of line: a suspect (its known northing
// typed 0.4 m off), a check point left out of the estimation, a point
// without measurement, and, with too few points left, the untested τ.
// Titles stand over their columns, the remarks start in one column, and the
// file holds every character of it.
TEST(Listing, ResidualLinesOfSuspectAndCheckPointsKeepTheirColumns)
{
    RecordingDialogs dialogs;
    const test::TempDir temp("listing");
    Document doc(Separators{'.', ','});
    loadDemoCopy(temp, doc);
    doc.settings().method = EstimationMethod::Similarity3D;
    doc.RecomputeNetwork();
    ASSERT_GE(doc.residuals().size(), 6u);
    MemTable& g = doc.GPS();
    const std::string blundered = doc.residuals()[1].name;
    g.locateID(doc.residuals()[1].id);
    g.edit();
    g.set(gps::N, g.getFloat(g.current(), gps::N) + 0.4);
    g.post();
    // A second record of a reference point, without measurement: it has no
    // residual that it can show.
    doc.GPS().append();
    doc.enterNetworkPointName(doc.GYS().getString(doc.GYS().recAt(0), gys::Name));
    doc.RecomputeNetwork();
    std::vector<long long> refs;
    for (const auto& r : doc.residuals())
        if (r.used && r.name != blundered) refs.push_back(r.id);
    ASSERT_EQ(refs.size(), 5u);

    const auto block = [&](bool toFile) {
        const auto lines = printTableLines(doc, true, toFile).front();
        std::size_t at = 0;
        for (std::size_t i = 0; i < lines.size(); ++i)
            if (lines[i].find("vE  (m)") != std::string::npos) at = i;
        EXPECT_GT(at, 0u);
        std::vector<std::string> out;
        for (std::size_t i = at; i < lines.size() && !lines[i].empty() &&
                                 lines[i].find_first_not_of(' ') != std::string::npos;
             ++i)
            out.push_back(lines[i]);
        return std::pair{out, lines};
    };
    const auto check = [&](const char* state, const std::vector<std::string>& wanted) {
        SCOPED_TRACE(state);
        for (bool toFile : {true, false}) {
            const auto [rows, all] = block(toFile);
            ASSERT_GT(rows.size(), 1u);
            std::size_t remarkAt = std::u32string::npos;
            for (std::size_t i = 1; i < rows.size(); ++i) {
                const std::u32string r = toU32(rows[i]);
                EXPECT_EQ(r.size(), toU32(rows[0]).size()) << rows[i];
                if (rows[i].find("χωρίς μέτρηση") != std::string::npos) continue;
                const bool left = rows[i].find("σημείο ελέγχου") != std::string::npos;
                expectTitlesOver(rows[0], rows[i], {"vE  (m)", "vN  (m)", "vH  (m)"});
                if (!left) expectTitlesOver(rows[0], rows[i], {"τ"});
                for (const char* remark : {"ΥΠΟΠΤΟ", "σημείο ελέγχου"}) {
                    const std::size_t at = r.find(toU32(remark));
                    if (at == std::u32string::npos) continue;
                    if (remarkAt == std::u32string::npos) remarkAt = at;
                    EXPECT_EQ(at, remarkAt) << rows[i];
                }
            }
            std::string text;
            for (const auto& line : all) text += line + "\n";
            for (const std::string& w : wanted)
                EXPECT_NE(text.find(w), std::string::npos) << w << "\n" << text;
            bool lossy = false;
            utf8ToCp1253(text, &lossy);
            EXPECT_FALSE(lossy) << text;
        }
    };
    check("suspect", {"ΥΠΟΠΤΟ", "Ύποπτο σημείο: " + blundered, "χωρίς μέτρηση WGS84", "σ0 = ± "});

    doc.setExcluded(refs[0], true);
    ASSERT_TRUE(doc.statistics().tested);
    check("check point", {"ΥΠΟΠΤΟ", "σημείο ελέγχου", "Σημεία ελέγχου (εκτός εκτίμησης): "});

    doc.setExcluded(refs[1], true);
    doc.setExcluded(refs[2], true);
    ASSERT_FALSE(doc.statistics().tested);
    check("untested", {"χωρίς έλεγχο", "σημείο ελέγχου", "δεν είναι δυνατός με 3 σημεία"});
}

}  // namespace
}  // namespace korthal
