// korthal-cli geoid-map: the geoid map picture, with a point marked.

#include "geodesy/Angles.h"
#include "paint/GeoidMapPainter.h"
#include "paint/Headless.h"
#include "tools/cli/CliSupport.h"
#include "tools/cli/Command.h"

#include <QImage>
#include <QString>

#include <iostream>
#include <numbers>

namespace korthal::cli {

namespace {

int usage(const std::string& what) { return usageError("geoid-map", what); }

int run(const std::vector<std::string>& args)
{
    std::string out;
    std::vector<std::string> mark;
    for (std::size_t i = 0; i < args.size();) {
        bool missing = false;
        if (auto v = optionValue(args, i, "--out", missing)) {
            if (missing || v->empty()) return usage("--out needs a file name");
            out = *v;
        } else if (args[i] == "--mark") {
            if (i + 2 >= args.size()) return usage("--mark needs a latitude and a longitude");
            mark = {args[i + 1], args[i + 2]};
            i += 3;
        } else {
            return usage("unknown argument \"" + args[i] + "\"");
        }
    }
    if (out.empty()) return usage("needs --out FILE.png");

    double phi = 0, lambda = 0;
    if (!mark.empty()) {
        const auto f = parseNumber(mark[0]);
        const auto l = parseNumber(mark[1]);
        if (!f) return usage("the latitude \"" + mark[0] + "\" is not a number");
        if (!l) return usage("the longitude \"" + mark[1] + "\" is not a number");
        phi = static_cast<double>(DMSToRad(*f) * 180 / std::numbers::pi_v<Extended>);
        lambda = static_cast<double>(DMSToRad(*l) * 180 / std::numbers::pi_v<Extended>);
        if (!insideGeoidMap(phi, lambda)) {
            std::cerr << "korthal-cli geoid-map: " << mark[0] << ' ' << mark[1]
                      << " lies outside the map (34deg to 42deg N, 19deg to 29deg E)\n";
            return 1;
        }
    }

    paint::HeadlessGui gui;
    const QImage map = mark.empty() ? paint::geoidMapImage() : paint::markedGeoidMap(phi, lambda);
    if (!map.save(QString::fromStdString(out), "PNG")) {
        std::cerr << "korthal-cli geoid-map: cannot write \"" << out << "\"\n";
        return 2;
    }
    return 0;
}

const Registration registration{Command{
    "geoid-map",
    "the geoid map picture as PNG, with a point marked",
    "Usage: korthal-cli geoid-map --out FILE.png [--mark LATITUDE LONGITUDE]\n"
    "\n"
    "Writes the geoid map that the desktop program shows: 744 x 728 pixels,\n"
    "24-bit colour, drawn from the built-in geoid model on EGSA87 with bands of\n"
    "one metre, contour lines of whole metres, a graticule of whole degrees and\n"
    "the coastline of Greece.\n"
    "\n"
    "With --mark the point is marked as in the program: a disc 80 pixels wide\n"
    "and two diagonals, combined with the picture by exclusive or. LATITUDE and\n"
    "LONGITUDE are on EGSA87, packed as DD.MMSSsss with '.' as the decimal point\n"
    "(37.54 is 37 deg 54'), within 34deg to 42deg N and 19deg to 29deg E.\n"
    "\n"
    "Exit status: 0 written, 1 the point lies outside the map, 2 wrong arguments\n"
    "or the file cannot be written.\n"
    "\n"
    "Example:\n"
    "  korthal-cli geoid-map --out map.png --mark 37.58 23.43\n",
    run}};

}  // namespace

}  // namespace korthal::cli
