// korthal-cli import: a point list (.TXT) into a network file.

#include "tools/cli/CliSupport.h"
#include "tools/cli/Command.h"

#include "project/Document.h"
#include "table/TableFile.h"

#include <filesystem>
#include <iostream>

namespace korthal::cli {
namespace {

namespace fs = std::filesystem;

int runImport(const std::vector<std::string>& args)
{
    std::string list, out, reference, settingsFile;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--out" || a == "--reference" || a == "--settings") {
            if (i + 1 >= args.size()) {
                std::cerr << "korthal-cli import: " << a << " needs a value\n";
                return 2;
            }
            const std::string& v = args[++i];
            (a == "--out" ? out : a == "--reference" ? reference : settingsFile) = v;
        } else if (!a.empty() && a[0] == '-') {
            std::cerr << "korthal-cli import: unknown option " << a << '\n';
            return 2;
        } else if (list.empty()) {
            list = a;
        } else {
            std::cerr << "korthal-cli import: only one point list, got " << a << '\n';
            return 2;
        }
    }
    if (list.empty() || out.empty()) {
        std::cerr << "korthal-cli import: usage: korthal-cli import LIST.TXT --out NETWORK.WGS84\n";
        return 2;
    }
    std::string ext = fs::path(list).extension().string();
    for (char& c : ext)
        c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
    if (ext != ".TXT") {
        std::cerr << "korthal-cli import: a point list has the extension .TXT: " << list << '\n';
        return 2;
    }
    if (!fs::exists(list)) {
        std::cerr << "korthal-cli import: no such file: " << list << '\n';
        return 1;
    }
    for (const auto& f : {reference, settingsFile})
        if (!f.empty() && !fs::exists(f)) {
            std::cerr << "korthal-cli import: no such file: " << f << '\n';
            return 1;
        }

    Document doc;
    // The reference points of the job the network is written into, else
    // those beside the list.
    std::string ref = findReference(reference, out);
    if (ref.empty() || (reference.empty() && ref == "EGSA87" &&
                        !std::filesystem::path(out).parent_path().empty()))
        if (const std::string besideList = findReference(reference, list); !besideList.empty())
            ref = besideList;
    if (!ref.empty() && !doc.LoadReference(ref))
        std::cerr << "korthal-cli import: the reference file " << ref << " could not be read\n";
    doc.SettingsFileOverride = settingsFile;
    doc.openNetwork(list);
    const ImportResult& r = doc.LastImport;
    if (!r.opened)
        return 1;
    if (r.separator == '\0') {
        std::cerr << "korthal-cli import: no line of " << list << " holds a tab or a comma\n";
        return 1;
    }
    if (SaveResult saved = SaveToFile(doc.GPS(), out); !saved) {
        std::cerr << "korthal-cli import: " << saved.error << '\n';
        return 1;
    }
    std::cout << r.imported << " points imported (" << doc.RefPointCount
              << " reference points), " << r.rejectedLines << " lines rejected; written to "
              << out << '\n';
    return r.rejectedLines == 0 ? 0 : 1;
}

const Registration reg{Command{
    "import", "read a point list (.TXT) into a network file",
    "Usage: korthal-cli import LIST.TXT --out NETWORK.WGS84 [--reference FILE]\n"
    "                          [--settings FILE.INI]\n\n"
    "Reads a point list, one point a line: NAME,X,Y,Z or NAME<tab>X<tab>Y<tab>Z\n"
    "(code page 1253; the separator is that of the first line holding a tab or\n"
    "a comma). Numbers are read with the input-file separators of the settings\n"
    "(default: the list's name with the extension .INI); X, Y, Z are geocentric\n"
    "or φ, λ, h as the settings' \"coords\" says. Every point passes the entry\n"
    "rules (limits, reference names, derived coordinates, geoid undulation); the\n"
    "network is transformed and written to --out. Rejected lines are listed on\n"
    "stderr with their numbers, and the exit status is then 1.\n",
    runImport}};

}  // namespace
}  // namespace korthal::cli
