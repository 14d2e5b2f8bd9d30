// korthal-cli listing: the printed listing of a network's point table, as
// the print button prints it, into a PDF file.

#include "tools/cli/CliSupport.h"
#include "tools/cli/Command.h"

#include "paint/Headless.h"
#include "paint/PdfOutput.h"
#include "project/Document.h"
#include "views/Listing.h"

namespace korthal::cli {
namespace {

int usage(const std::string& what) { return usageError("listing", what); }

int runListing(const std::vector<std::string>& args)
{
    std::string network, pdf;
    bool networkTable = true;
    for (std::size_t i = 0; i < args.size();) {
        bool missing = false;
        if (auto v = optionValue(args, i, "--pdf", missing)) {
            if (missing || v->empty())
                return usage("--pdf needs a file name");
            pdf = *v;
        } else if (auto t = optionValue(args, i, "--table", missing)) {
            if (missing || (*t != "network" && *t != "reference"))
                return usage("--table takes network or reference");
            networkTable = *t == "network";
        } else if (const std::string wrong = networkArgument(args, i, network); !wrong.empty()) {
            return usage(wrong);
        }
    }
    if (network.empty())
        return usage("which network file?");
    if (pdf.empty())
        return usage("--pdf FILE.pdf is needed");

    paint::HeadlessGui gui;
    Document doc;
    // A network that loaded only partly gives nothing: a listing that silently
    // lacks points would mislead.
    bool complete = false;
    if (loadNetwork(doc, "listing", network, {}, {}, complete) != 0 || !complete)
        return 1;
    const QByteArray bytes = paint::listingPdf(printTableLines(doc, networkTable, false));
    return writeOutput("listing", pdf,
                       std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())))
               ? 0
               : 1;
}

const Registration reg{Command{
    "listing", "print the listing of a point table into a PDF file",
    "Usage: korthal-cli listing NETWORK.WGS84 [--table network|reference] --pdf FILE.pdf\n\n"
    "Writes the listing that the program's print button prints: the network's\n"
    "points (default) or the reference points of the file \"EGSA87\" beside the\n"
    "network, with the printer's separators and decimals of the network's\n"
    "settings, on A4 portrait pages: 87 lines on the first page, two empty lines\n"
    "and 85 lines of the listing on each later one, in a fixed-pitch font small\n"
    "enough for the widest line.\n\n"
    "A missing or unreadable network writes nothing and exits with status 1.\n",
    runListing}};

}  // namespace
}  // namespace korthal::cli
