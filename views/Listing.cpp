#include "views/Listing.h"

#include "geodesy/Angles.h"
#include "geodesy/HattSheets.h"
#include "network/ConvertChain.h"
#include "project/AdjustmentText.h"
#include "project/Dialogs.h"
#include "project/Document.h"
#include "project/Settings.h"
#include "project/TextOutput.h"

#include <algorithm>
#include <filesystem>

namespace korthal {

namespace {

std::size_t charCount(const std::string& s)
{
    std::size_t n = 0;
    for (char c : s)
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80)
            ++n;
    return n;
}

bool isReal(const FieldDef& f)
{
    return f.type == FieldType::Float;
}

std::string upper(std::string s)
{
    for (char& c : s)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return s;
}

// 0, 1, 2 for the network's WGS84 fields X, Y, Z; -1 for any other field.
int ellipsoidalAxis(const FieldDef& f)
{
    return f.name == "X" ? 0 : f.name == "Y" ? 1 : f.name == "Z" ? 2 : -1;
}

// Sets the display separators for the life of the object.
class DisplaySwitch {
public:
    DisplaySwitch(NumberText& n, Separators s) : numbers_(n), saved_(n.display()) { n.setDisplay(s); }
    ~DisplaySwitch() { numbers_.setDisplay(saved_); }
    DisplaySwitch(const DisplaySwitch&) = delete;
    DisplaySwitch& operator=(const DisplaySwitch&) = delete;

private:
    NumberText& numbers_;
    Separators saved_;
};

// A table of the listing: a line of column titles and one line per row,
// each column as wide as its widest text so that its title stands over it.
// Left-aligned columns (names) are padded on the right, the others (numbers)
// on the left; a number column's title keeps one blank before it. A row with
// fewer cells than there are columns ends in a note: its last cell is written
// after the others and takes no part in the widths. Every line is padded to
// the table's width, so that the lines, each centred, keep their columns.
struct Columns {
    std::vector<std::string> titles;
    std::vector<bool> left;
    std::vector<std::vector<std::string>> rows;

    std::vector<std::string> lines() const
    {
        std::vector<std::size_t> width(titles.size());
        for (std::size_t c = 0; c < titles.size(); ++c)
            width[c] = charCount(titles[c]) + (left[c] ? 0 : 1);
        for (const auto& row : rows) {
            const std::size_t n =
                row.size() < titles.size() && !row.empty() ? row.size() - 1 : row.size();
            for (std::size_t c = 0; c < n && c < titles.size(); ++c)
                width[c] = std::max(width[c], charCount(row[c]));
        }
        auto cell = [&](const std::string& text, std::size_t c) {
            const std::size_t len = charCount(text);
            const std::string fill(width[c] > len ? width[c] - len : 0, ' ');
            return left[c] ? text + fill : fill + text;
        };
        std::size_t total = 0;
        for (std::size_t w : width)
            total += w;
        auto padded = [total](std::string line) {
            const std::size_t len = charCount(line);
            return len < total ? line + std::string(total - len, ' ') : line;
        };
        std::vector<std::string> out;
        std::string t;
        for (std::size_t c = 0; c < titles.size(); ++c)
            t += cell(titles[c], c);
        out.push_back(padded(t));
        for (const auto& row : rows) {
            const bool noted = row.size() < titles.size();
            std::string line;
            for (std::size_t c = 0; c + (noted ? 1 : 0) < row.size(); ++c)
                line += cell(row[c], c);
            if (noted && !row.empty())
                line += "  " + row.back();
            out.push_back(padded(line));
        }
        return out;
    }
};

// Under the residuals: σ0, the standard errors of the parameters, the test
// of the reference points, the suspect and the check points.
void appendAdjustmentLines(const Document& doc, const NumberText& numbers,
                           std::vector<std::string>& extra)
{
    const AdjustmentSummary summary = adjustmentSummary(doc, numbers);
    const ParameterErrorTexts e = parameterErrorTexts(doc.statistics(), numbers);
    std::vector<std::string> block;
    if (!summary.precision.empty())
        block.push_back(summary.precision);
    if (!e.scale.empty()) {
        std::string angles = "Τυπικά σφάλματα:  μ " + e.scale;
        for (const auto& [caption, text] : {std::pair{"εx ", &e.rotX}, {"εy ", &e.rotY}, {"εz ", &e.rotZ}})
            if (!text->empty())
                angles += "   " + std::string(caption) + *text;
        block.push_back(angles);
        std::string shifts = "                  tx " + e.shiftX + "   ty " + e.shiftY;
        if (!e.shiftZ.empty())
            shifts += "   tz " + e.shiftZ;
        block.push_back(shifts);
    }
    if (!summary.model.empty())
        block.push_back(summary.model);
    block.push_back(summary.test);
    for (const std::string* line : {&summary.pointTest, &summary.verdict, &summary.agreement,
                                    &summary.agreementVerdict, &summary.checkPoints,
                                    &summary.outsideGrid})
        if (!line->empty())
            block.push_back(*line);
    // Lines of one width, so that centring gives them one left margin.
    std::size_t width = 0;
    for (const std::string& line : block)
        width = std::max(width, charCount(line));
    extra.push_back("");
    for (std::string& line : block)
        extra.push_back(line + std::string(width - charCount(line), ' '));
}

}  // namespace

std::string hattSheetName(double E, double N)
{
    if (E == 0 && N == 0)
        return {};
    const HattSheets& sheets = HattSheets::builtIn();
    const SheetFound found = sheets.sheetOfTM87(E, N);
    if (found.sheet < 0 || found.metresOutside > chain::kFarFromSheet)
        return {};
    return sheets[found.sheet].name;
}

std::string centreListingLine(const std::string& text)
{
    const std::size_t len = charCount(text);
    const std::size_t pad = len < kListingWidth ? (kListingWidth - len) / 2 : 0;
    return std::string(pad, ' ') + text;
}

std::vector<std::vector<std::string>> listingPages(const MemTable& table,
                                                   const NumberText& numbers,
                                                   const ListingOptions& o,
                                                   const std::vector<std::string>& extraLines)
{
    std::vector<std::vector<std::string>> pages(1);
    int count = 0;
    auto write = [&](const std::string& text) {
        if (count > kListingPageLines) {
            if (!o.toFile) {
                pages.emplace_back();
                pages.back().push_back("");
                pages.back().push_back("");
            }
            count = 2;
        }
        pages.back().push_back(text.empty() ? text : centreListingLine(text));
        ++count;
    };

    if (!o.toFile)
        for (int i = 0; i < 5; ++i)
            write("");
    write("Korthal");
    write(o.heading2);
    write(o.heading3);
    write("");
    write("");

    const int d = o.decimals;
    const std::string valueFmt = "%" + std::to_string(d + 9) + "." + std::to_string(d) + "n";
    const std::string lead(d < 5 ? static_cast<std::size_t>(5 - d) : 0, ' ');
    const std::string angleFmt = "%18." + std::to_string(o.dmsDecimals) + "n";

    Columns cols;
    std::vector<int> shown;  // the fields that make the columns
    for (int i = 0; i < table.fieldCount(); ++i) {
        const FieldDef& f = table.field(i);
        if (f.name != "Name" && !isReal(f))
            continue;
        shown.push_back(i);
        const int wgs = o.ellipsoidalInput ? ellipsoidalAxis(f) : -1;
        cols.titles.push_back(wgs == 0 ? "φ  (DD.MMSSsss)" : wgs == 1 ? "λ  (DD.MMSSsss)"
                              : wgs == 2 ? "h  (m)" : f.displayName());
        cols.left.push_back(f.name == "Name");
    }
    const int fieldE = table.fieldIndex("E"), fieldN = table.fieldIndex("N");
    const bool sheetColumn = o.hattSheets && fieldE >= 0 && fieldN >= 0;
    if (sheetColumn) {
        cols.titles.push_back(std::string("  ") + kHattSheetTitle);
        cols.left.push_back(true);
    }
    for (int row = 0; row < table.recordCount(); ++row) {
        const Rec r = table.recAt(row);
        std::vector<std::string> cells;
        for (int i : shown) {
            const FieldDef& f = table.field(i);
            if (f.name == "Name") {
                cells.push_back(numbers.FormatNumber("%-15s", {table.getString(r, i)}));
                continue;
            }
            const Value v = table.fetch(r, i);
            const double x = std::holds_alternative<double>(v) ? std::get<double>(v) : 0.0;
            const int wgs = o.ellipsoidalInput ? ellipsoidalAxis(f) : -1;
            if (wgs == 0 || wgs == 1) {
                // Packed degrees as typed, with the angle decimals.
                cells.push_back(numbers.FormatNumber(angleFmt, {PackedToShow(x, o.dmsDecimals)}));
            } else if (!f.name.empty() && (f.name[0] == 'f' || f.name[0] == 'l')) {
                const Extended packed = o.anglesInRadians ? RadToDMS(x) : Extended(x);
                cells.push_back(numbers.FormatNumber(angleFmt, {PackedToShow(packed, o.dmsDecimals)}));
            } else if (upper(f.name) == "APOXH") {
                cells.push_back(numbers.FormatNumber("%8.2n", {Extended(x)}));
            } else {
                std::string text = lead + numbers.FormatNumber(valueFmt, {Extended(x)});
                // A grouped value wider than its column would run into the
                // previous one: keep one blank between them.
                if (!text.empty() && text[0] != ' ')
                    text.insert(0, 1, ' ');
                cells.push_back(std::move(text));
            }
        }
        if (sheetColumn)
            cells.push_back("  " + hattSheetName(table.getFloat(r, fieldE), table.getFloat(r, fieldN)));
        cols.rows.push_back(std::move(cells));
    }
    const std::vector<std::string> lines = cols.lines();
    write(lines.front());
    write("");
    for (std::size_t k = 1; k < lines.size(); ++k)
        write(lines[k]);
    for (const auto& extra : extraLines)
        write(extra);
    return pages;
}

std::vector<std::vector<std::string>> printTableLines(const Document& doc, bool network,
                                                      bool toFile)
{
    const NumberSettings& ns = doc.settings().numbers;
    const NumberDestination page = toFile ? NumberDestination::OutputFile : NumberDestination::Screen;
    NumberText numbers(doc.numbers().system());
    numbers.setDisplay(Separators{ns.DecimalSeparators[page], ns.ThousandSeparators[page]});

    ListingOptions o;
    o.toFile = toFile;
    o.decimals = network ? ns.GPSDecimals[page] : ns.EGSA87Decimals[page];
    o.dmsDecimals = ns.DMSDecimals[page];
    o.anglesInRadians = !network;
    o.ellipsoidalInput = network && !doc.InputIsGeocentric();
    o.hattSheets = network;
    o.heading2 = network ? "Σημεία δικτύου  (WGS84 -> ΕΓΣΑ87)" : "Σημεία αναφοράς  (ΕΓΣΑ87)";
    o.heading3 = "Αρχείο : " + doc.CurrentFileName;

    std::vector<std::string> extra;
    // With the HEPOS model the block also names the points outside its grid.
    if (network && (!doc.residuals().empty() || doc.heposModel())) {
        const int d = o.decimals;
        const std::string fmt = "%" + std::to_string(d + 9) + "." + std::to_string(d) + "n";
        const std::string lead(d < 5 ? static_cast<std::size_t>(5 - d) : 0, ' ');
        extra.push_back("");
        Columns cols;
        const bool hepos = doc.heposModel();
        if (hepos) {
            // No estimation and no test: the discrepancies from the model.
            extra.push_back(methodLine(doc));
            extra.push_back(discrepancyTitle(doc));
            cols.titles = {"Σημείο", "dE  (m)", "dN  (m)", "dH  (m)", ""};
            cols.left = {true, false, false, false, true};
        } else {
            extra.push_back("Υπόλοιπα των σημείων αναφοράς  (γνωστές - μετασχηματισμένες συντεταγμένες)");
            cols.titles = {"Σημείο", "vE  (m)", "vN  (m)", "vH  (m)", "τ", ""};
            cols.left = {true, false, false, false, false, true};
        }
        extra.push_back("");
        const std::string tauFmt = "%" + std::to_string(d + 9) + "s";
        for (const auto& r : doc.residuals()) {
            const std::string name = numbers.FormatNumber("%-15s", {r.name});
            if (hepos && r.used)
                cols.rows.push_back({name, lead + numbers.FormatNumber(fmt, {Extended(r.vE)}),
                                     lead + numbers.FormatNumber(fmt, {Extended(r.vN)}),
                                     r.withHeight ? lead + numbers.FormatNumber(fmt, {Extended(r.vH)})
                                                  : std::string(),
                                     ""});
            else if (r.used)
                cols.rows.push_back({name, lead + numbers.FormatNumber(fmt, {Extended(r.vE)}),
                                     lead + numbers.FormatNumber(fmt, {Extended(r.vN)}),
                                     lead + numbers.FormatNumber(fmt, {Extended(r.vH)}),
                                     lead + numbers.FormatNumber(tauFmt, {tauText(doc, r, numbers)}),
                                     "   " + residualRemark(r)});
            else
                cols.rows.push_back({name, residualRemark(r)});
        }
        for (const std::string& line : cols.lines())
            extra.push_back(line);
        appendAdjustmentLines(doc, numbers, extra);
    }
    return listingPages(network ? doc.GPS() : doc.GYS(), numbers, o, extra);
}

bool writeListingFile(Document& doc, bool network, const std::string& path)
{
    const bool wasLoading = doc.LoadingData;
    doc.LoadingData = true;
    const auto pages = printTableLines(doc, network, true);
    doc.LoadingData = wasLoading;
    return writeTextLines(path, pages.front());
}

std::string offeredListingName(const Document& doc, bool network)
{
    if (!network)
        return (std::filesystem::path(doc.CurrentFileName).parent_path() / "EGSA87.TXT").string();
    std::filesystem::path p(doc.CurrentFileName);
    std::string offered = std::filesystem::path(p).replace_extension(".TXT").string();
    // An imported point list is not offered for overwriting.
    if (upper(offered) == upper(doc.CurrentFileName))
        offered = (p.parent_path() / (p.stem().string() + "_1.TXT")).string();
    return offered;
}

bool printTable(Document& doc, bool network)
{
    const std::string offered = offeredListingName(doc, network);
    const std::string caption = std::string("Αποθήκευση του πίνακα") +
                                (network ? "κορυφών του δικτύου" : "σημείων αναφοράς");
    auto name = dialogs().input(caption, "Σε ποιό αρχείο θα γίνει η αποθήκευση", offered);
    // An existing file (a point list, say) is replaced only when the user
    // agrees; otherwise the name is asked again.
    while (name && !Document::mayWriteOver(*name))
        name = dialogs().input(caption, "Σε ποιό αρχείο θα γίνει η αποθήκευση", *name);
    if (!name)
        return false;
    doc.LastTextFile = *name;
    if (!writeListingFile(doc, network, *name)) {
        showMessage(Document::saveErrorMessage(*name));
        return false;
    }
    return true;
}

}  // namespace korthal
