// korthal-cli sketch: the network sketch of a network file as a PNG picture
// or a one-page PDF, drawn by the routine of the sketch tab.

#include "tools/cli/CliSupport.h"
#include "tools/cli/Command.h"

#include "paint/Headless.h"
#include "paint/PdfOutput.h"
#include "paint/SketchPainter.h"
#include "project/Document.h"

#include <QBuffer>
#include <QImage>

#include <filesystem>
#include <optional>

namespace korthal::cli {
namespace {

int usage(const std::string& what) { return usageError("sketch", what); }

// "WxH" with both between 16 and 20000 pixels.
std::optional<QSize> parseSize(const std::string& text)
{
    const auto x = text.find_first_of("xX");
    if (x == std::string::npos)
        return std::nullopt;
    const auto w = parseInt(text.substr(0, x)), h = parseInt(text.substr(x + 1));
    if (!w || !h || *w < 16 || *h < 16 || *w > 20000 || *h > 20000)
        return std::nullopt;
    return QSize(*w, *h);
}

std::optional<int> parseChoice(const std::string& text)
{
    const auto v = parseInt(text);
    if (!v || *v < 0 || *v > 2)
        return std::nullopt;
    return v;
}

std::string upperExtension(const std::string& path)
{
    std::string e = std::filesystem::path(path).extension().string();
    for (char& c : e)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return e;
}

int runSketch(const std::vector<std::string>& args)
{
    std::string network, out;
    int mode = SketchProjected, filter = SketchAllPoints;
    std::optional<QSize> size;
    for (std::size_t i = 0; i < args.size();) {
        bool missing = false;
        if (auto v = optionValue(args, i, "--out", missing)) {
            if (missing || v->empty())
                return usage("--out needs a file name");
            out = *v;
        } else if (auto m = optionValue(args, i, "--mode", missing)) {
            const auto c = parseChoice(*m);
            if (missing || !c)
                return usage("--mode takes 0 (E, N), 1 (φ, λ) or 2 (HATT)");
            mode = *c;
        } else if (auto f = optionValue(args, i, "--filter", missing)) {
            const auto c = parseChoice(*f);
            if (missing || !c)
                return usage("--filter takes 0 (all points), 1 (detail points) or 2 (network points)");
            filter = *c;
        } else if (auto s = optionValue(args, i, "--size", missing)) {
            size = parseSize(*s);
            if (missing || !size)
                return usage("--size takes WIDTHxHEIGHT in pixels, for example 700x460");
        } else if (const std::string wrong = networkArgument(args, i, network); !wrong.empty()) {
            return usage(wrong);
        }
    }
    if (network.empty())
        return usage("which network file?");
    if (out.empty())
        return usage("--out FILE.png or FILE.pdf is needed");
    const std::string ext = upperExtension(out);
    if (ext != ".PNG" && ext != ".PDF")
        return usage("the output file must end in .png or .pdf");

    paint::HeadlessGui gui;
    Document doc;
    // A network that loaded only partly gives nothing: a sketch that silently
    // lacks points would mislead.
    bool complete = false;
    if (loadNetwork(doc, "sketch", network, {}, {}, complete) != 0 || !complete)
        return 1;
    const QSize picture = size.value_or(QSize(kSketchPictureWidth, kSketchPictureHeight));
    QByteArray bytes;
    if (ext == ".PDF") {
        bytes = paint::sketchPdf(doc, mode, filter, picture.width());
    } else {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        paint::sketchImage(doc, mode, filter, picture).save(&buffer, "PNG");
    }
    return writeOutput("sketch", out, std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())))
               ? 0
               : 1;
}

const Registration reg{Command{
    "sketch", "draw the sketch of a network into a PNG or PDF file",
    "Usage: korthal-cli sketch NETWORK.WGS84 --out FILE [--mode 0|1|2] [--filter 0|1|2]\n"
    "                          [--size WxH]\n\n"
    "Draws the network sketch of the program's sketch tab: every point with its\n"
    "name (network points in red), the coordinate grid with its labels and the\n"
    "dotted lines between every pair of network points. The reference file\n"
    "\"EGSA87\" is looked up beside the network file (then in the current folder)\n"
    "and the network's settings beside it (.INI).\n\n"
    "  --out FILE     FILE.png: a picture of --size pixels (default 700x460);\n"
    "                 FILE.pdf: one landscape A4 page, as the program prints it\n"
    "                 (texts and circles enlarged from a picture --size wide)\n"
    "  --mode M       0 projected E, N (default), 1 ellipsoidal φ, λ, 2 HATT x, y\n"
    "  --filter F     0 all points (default), 1 detail points only,\n"
    "                 2 network points only\n\n"
    "A missing or unreadable network writes nothing and exits with status 1.\n",
    runSketch}};

}  // namespace
}  // namespace korthal::cli
