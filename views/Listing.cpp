#include "views/Listing.h"

#include "geodesy/Angles.h"
#include "geodesy/Dialogs.h"
#include "project/AdjustmentText.h"
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

// The widest remark of a residual line ("χωρίς μέτρηση WGS84").
constexpr std::size_t kRemarkWidth = 19;

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
    block.push_back(summary.test);
    for (const std::string* line : {&summary.verdict, &summary.checkPoints})
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

    std::string titles;
    for (const auto& f : table.fields()) {
        if (f.name == "Name")
            titles += numbers.FormatNumber("%-15s", {f.displayName()});
        else if (isReal(f))
            titles += "      " + numbers.FormatNumber("%-15s", {f.displayName()});
    }
    write(titles);
    write("");

    for (int row = 0; row < table.recordCount(); ++row) {
        const Rec r = table.recAt(row);
        std::string line;
        for (int i = 0; i < table.fieldCount(); ++i) {
            const FieldDef& f = table.field(i);
            if (f.name == "Name") {
                line += numbers.FormatNumber("%-15s", {table.getString(r, i)});
                continue;
            }
            if (!isReal(f))
                continue;
            const Value v = table.fetch(r, i);
            const double x = std::holds_alternative<double>(v) ? std::get<double>(v) : 0.0;
            if (!f.name.empty() && (f.name[0] == 'f' || f.name[0] == 'l')) {
                const Extended packed = o.anglesInRadians ? RadToDMS(x) : Extended(x);
                line += numbers.FormatNumber(angleFmt, {packed});
            } else if (upper(f.name) == "APOXH") {
                line += numbers.FormatNumber("%8.2n", {Extended(x)});
            } else {
                std::string text = lead + numbers.FormatNumber(valueFmt, {Extended(x)});
                // A grouped value wider than its column would run into the
                // previous one: keep one blank between them.
                if (!text.empty() && text[0] != ' ')
                    text.insert(0, 1, ' ');
                line += text;
            }
        }
        write(line);
    }
    for (const auto& extra : extraLines)
        write(extra);
    return pages;
}

std::vector<std::vector<std::string>> printTableLines(const Document& doc, bool network,
                                                      bool toFile)
{
    const NumberSettings& ns = doc.settings().numbers;
    const std::size_t page = toFile ? 2 : 0;
    NumberText numbers(doc.numbers().system());
    numbers.setDisplay(Separators{ns.DecimalSeparators[page], ns.ThousandSeparators[page]});

    ListingOptions o;
    o.toFile = toFile;
    o.decimals = network ? ns.GPSDecimals[page] : ns.EGSA87Decimals[page];
    o.dmsDecimals = ns.DMSDecimals[page];
    o.anglesInRadians = !network;
    o.heading2 = network ? "Σημεία δικτύου  (WGS84 → ΕΓΣΑ87)" : "Σημεία αναφοράς  (ΕΓΣΑ87)";
    o.heading3 = "Αρχείο : " + doc.CurrentFileName;

    std::vector<std::string> extra;
    if (network && !doc.residuals().empty()) {
        const int d = o.decimals;
        const std::string fmt = "%" + std::to_string(d + 9) + "." + std::to_string(d) + "n";
        const std::string lead(d < 5 ? static_cast<std::size_t>(5 - d) : 0, ' ');
        extra.push_back("");
        extra.push_back("Υπόλοιπα των σημείων αναφοράς  (γνωστές − μετασχηματισμένες συντεταγμένες)");
        extra.push_back("");
        extra.push_back(numbers.FormatNumber("%-15s", {std::string("Σημείο")}) +
                        "      " + numbers.FormatNumber("%-15s", {std::string("vE  (m)")}) +
                        "      " + numbers.FormatNumber("%-15s", {std::string("vN  (m)")}) +
                        "      " + numbers.FormatNumber("%-15s", {std::string("vH  (m)")}) +
                        "      " + numbers.FormatNumber("%-15s", {std::string("τ")}));
        const std::string tauFmt = "%" + std::to_string(d + 9) + "s";
        for (const auto& r : doc.residuals()) {
            std::string line = numbers.FormatNumber("%-15s", {r.name});
            if (r.used)
                line += lead + numbers.FormatNumber(fmt, {Extended(r.vE)}) + lead +
                        numbers.FormatNumber(fmt, {Extended(r.vN)}) + lead +
                        numbers.FormatNumber(fmt, {Extended(r.vH)}) + lead +
                        numbers.FormatNumber(tauFmt, {tauText(doc, r, numbers)});
            // The remark padded to one width: the lines, each centred, keep
            // their columns under each other.
            const std::string remark = residualRemark(r);
            if (r.used)
                line += "   " + remark + std::string(kRemarkWidth - std::min(kRemarkWidth, charCount(remark)), ' ');
            else
                line += remark;
            extra.push_back(line);
        }
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
    auto name = dialogs().input(std::string("Αποθήκευση του πίνακα") +
                                    (network ? "κορυφών του δικτύου" : "σημείων αναφοράς"),
                                "Σε ποιό αρχείο θα γίνει η αποθήκευση", offered);
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
