// korthal-cli network: the network transformation of a network file or a
// point list, with its parameters, residuals and listing.

#include "tools/cli/CliSupport.h"
#include "tools/cli/Command.h"

#include "project/AdjustmentText.h"
#include "project/Document.h"
#include "project/Settings.h"
#include "views/Listing.h"

#include <algorithm>
#include <array>
#include <optional>
#include <iostream>

namespace korthal::cli {
namespace {

// The reference points compared with the HEPOS model: known minus model,
// the RMS values and the points outside the model's grid.
void printDiscrepancies(const Document& doc, const AdjustmentSummary& summary, std::ostream& out)
{
    const NumberText& n = doc.numbers();
    if (!doc.residuals().empty()) {
        const std::array<std::string, 3> v = residualSymbols(doc);
        out << '\n' << discrepancyTitle(doc) << ", m:\n";
        out << n.FormatNumber("  %-12s %12s %12s %12s",
                              {std::string("Σημείο"), v[0], v[1], v[2]})
            << '\n';
        for (const auto& r : doc.residuals()) {
            if (!r.used) {
                out << n.FormatNumber("  %-12s", {r.name}) << ' ' << residualRemark(r) << '\n';
                continue;
            }
            std::string line =
                n.FormatNumber("  %-12s %12.4n %12.4n", {r.name, Extended(r.vE), Extended(r.vN)});
            if (r.withHeight)
                line += n.FormatNumber(" %12.4n", {Extended(r.vH)});
            out << line << '\n';
        }
    }
    out << '\n' << summary.test << '\n';
    if (!summary.outsideGrid.empty())
        out << summary.outsideGrid << '\n';
}

void printResults(const Document& doc, std::ostream& out)
{
    const TransformationDisplay& d = doc.parameters();
    const Transformation& tr = doc.transformation();
    const NumberText& n = doc.numbers();
    out << "Σημεία αναφοράς του δικτύου: " << doc.RefPointCount;
    if (doc.CheckPointCount > 0)
        out << "  (και " << doc.CheckPointCount
            << (doc.CheckPointCount == 1 ? " σημείο" : " σημεία") << " ελέγχου εκτός εκτίμησης)";
    out << '\n';
    out << methodLine(doc) << "\n\n";
    const AdjustmentSummary summary = adjustmentSummary(doc, n);
    if (doc.heposModel()) {
        // No parameters: the model is fixed; the reference points check it.
        out << summary.model << '\n';
        printDiscrepancies(doc, summary, out);
        return;
    }
    // Each parameter with its standard error, when the adjustment has one.
    auto param = [&out](const char* caption, const std::string& value, const std::string& error) {
        out << "  " << caption << ' ' << value;
        if (!error.empty())
            out << "  " << error;
        out << '\n';
    };
    out << "Παράμετροι:\n";
    param(d.scaleCaption.c_str(), d.Lmix, d.sMix);
    if (d.LexVisible)
        param("εx =", d.Lex, d.sEx);
    if (d.LeyVisible)
        param("εy =", d.Ley, d.sEy);
    param("εz =", d.Lez, d.sEz);
    param("tx =", d.Ltx, d.sTx);
    param("ty =", d.Lty, d.sTy);
    if (d.LtzVisible)
        param("tz =", d.Ltz, d.sTz);
    out << "\nΕξισώσεις:\n";
    static const char* const kRows[] = {"Ea = ", "Na = ", "Ha = "};
    for (std::size_t i = 0; i < 3; ++i)
        out << "  " << kRows[i] << d.rows[i].text() << '\n';
    out << "\nΠίνακας [μR | t]:\n";
    const int pd = doc.settings().numbers.ParamDecimals[NumberDestination::Screen];
    const std::string fmt = "%" + std::to_string(pd + 14) + "." + std::to_string(pd) + "n";
    for (std::size_t i = 0; i < 3; ++i) {
        out << ' ';
        for (std::size_t j = 0; j < 4; ++j)
            out << ' ' << n.FormatNumber(fmt, {tr.matrix()[i][j]});
        out << '\n';
    }
    out << "\nΜέσα τετραγωνικά σφάλματα (m): E " << d.Lmx << "   N " << d.Lmy << "   H " << d.Lmz
        << "   συνολικό " << d.Lmxyz << '\n';
    if (!summary.precision.empty())
        out << summary.precision << '\n';
    if (!doc.residuals().empty()) {
        out << "\nΥπόλοιπα των σημείων αναφοράς (γνωστές − μετασχηματισμένες, m):\n";
        out << n.FormatNumber("  %-12s %12s %12s %12s %12s",
                              {std::string("Σημείο"), std::string("vE"), std::string("vN"),
                               std::string("vH"), std::string("τ")})
            << '\n';
        for (const auto& r : doc.residuals()) {
            if (!r.used) {
                out << n.FormatNumber("  %-12s", {r.name}) << ' ' << residualRemark(r) << '\n';
                continue;
            }
            std::string line = n.FormatNumber("  %-12s %12.4n %12.4n %12.4n",
                                              {r.name, Extended(r.vE), Extended(r.vN), Extended(r.vH)});
            line += n.FormatNumber(" %12s", {tauText(doc, r, n)});
            if (const std::string remark = residualRemark(r); !remark.empty())
                line += "  " + remark;
            out << line << '\n';
        }
        out << '\n' << summary.test << '\n';
        for (const std::string* line : {&summary.pointTest, &summary.verdict, &summary.agreement,
                                        &summary.agreementVerdict, &summary.checkPoints})
            if (!line->empty())
                out << *line << '\n';
    }
}

// The names of a --exclude value: NAME[,NAME...], empty pieces skipped.
void splitNames(const std::string& list, std::vector<std::string>& names)
{
    std::size_t start = 0;
    while (start <= list.size()) {
        const std::size_t comma = std::min(list.find(',', start), list.size());
        if (comma > start)
            names.push_back(list.substr(start, comma - start));
        start = comma + 1;
    }
}

int runNetwork(const std::vector<std::string>& args)
{
    std::string network, reference, settingsFile, output;
    std::vector<std::string> excluded;
    std::optional<EstimationMethod> method;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&](std::string& into) {
            if (i + 1 >= args.size()) {
                std::cerr << "korthal-cli network: " << a << " needs a value\n";
                return false;
            }
            into = args[++i];
            return true;
        };
        if (a == "--reference" || a == "--settings" || a == "--output" || a == "--method" ||
            a == "--exclude") {
            std::string v;
            if (!value(v))
                return 2;
            if (a == "--exclude") {
                const std::size_t before = excluded.size();
                splitNames(v, excluded);
                if (excluded.size() == before) {
                    std::cerr << "korthal-cli network: --exclude needs point names, not \"" << v
                              << "\"\n";
                    return 2;
                }
            } else if (a == "--reference")
                reference = v;
            else if (a == "--settings")
                settingsFile = v;
            else if (a == "--output")
                output = v;
            else if (v == "none")
                method = EstimationMethod::None;
            else if (v == "2d")
                method = EstimationMethod::Similarity2D;
            else if (v == "3d")
                method = EstimationMethod::Similarity3D;
            else if (v == "hepos")
                method = EstimationMethod::HeposModel;
            else {
                std::cerr << "korthal-cli network: --method takes none, 2d, 3d or hepos, not " << v
                          << '\n';
                return 2;
            }
        } else if (!a.empty() && a[0] == '-') {
            std::cerr << "korthal-cli network: unknown option " << a << '\n';
            return 2;
        } else if (network.empty()) {
            network = a;
        } else {
            std::cerr << "korthal-cli network: only one network file, got " << a << '\n';
            return 2;
        }
    }
    if (network.empty()) {
        std::cerr << "korthal-cli network: which network file? (korthal-cli network --help)\n";
        return 2;
    }
    Document doc;
    bool complete = false;
    if (const int status = loadNetwork(doc, "network", network, reference, settingsFile, complete))
        return status;
    if (method) {
        doc.settings().method = *method;
        doc.RecomputeNetwork();
    }
    if (!excluded.empty()) {
        const std::vector<std::string> unknown = doc.excludeByName(excluded);
        if (!unknown.empty()) {
            for (const std::string& name : unknown)
                std::cerr << "korthal-cli network: --exclude: no reference point named \"" << name
                          << "\" in " << network << '\n';
            return 1;
        }
    }
    printResults(doc, std::cout);

    if (!output.empty()) {
        if (!writeListingFile(doc, true, output)) {
            std::cerr << "korthal-cli network: cannot write " << output << '\n';
            return 1;
        }
        std::cout << "\nΗ λίστα γράφτηκε στο " << output << '\n';
    } else {
        std::cout << '\n';
        for (const auto& page : printTableLines(doc, true, true))
            for (const auto& line : page)
                std::cout << line << '\n';
    }
    return 0;
}

const Registration reg{Command{
    "network", "transform a network with its reference points",
    "Usage: korthal-cli network FILE [--reference FILE] [--method none|2d|3d|hepos]\n"
    "                           [--settings FILE.INI] [--output LISTING.TXT]\n"
    "                           [--exclude NAME[,NAME...]]\n\n"
    "Loads a network file (.WGS84) or a point list (.TXT: NAME,X,Y,Z or NAME<tab>X\n"
    "<tab>Y<tab>Z per line), the reference point file (default: \"EGSA87\" beside\n"
    "the network file, then in the current folder) and the network's settings\n"
    "(default: the network file's name with the extension .INI). Estimates the\n"
    "transformation from the network's reference points with the settings'\n"
    "method or --method, and prints the parameters, the matrix, the RMS values,\n"
    "the residuals of the reference points and the listing of the network.\n"
    "--output writes the listing to a file (code page 1253) instead.\n\n"
    "Beside every parameter stands its standard error. Each reference point's\n"
    "residuals are tested with Pope's tau (1 % for the whole network); the point\n"
    "with the largest tau above the critical value is marked ΥΠΟΠΤΟ. Points that the\n"
    "settings file's section [ExcludedPoints] or --exclude name are left out of\n"
    "the estimation and shown as check points (known minus transformed).\n\n"
    "--method hepos takes the measurements as HTRS07 and carries every point\n"
    "into EGSA87 by the HEPOS model (seven parameters and the 2 km correction\n"
    "grid), without estimation: the reference points check the model and their\n"
    "discrepancies (known minus model) are shown with their RMS. A point outside\n"
    "the model's grid is named and gets no E, N.\n",
    runNetwork}};

}  // namespace
}  // namespace korthal::cli
