// korthal-cli convert: the coordinate calculator's chain for files of points.

#include "geodesy/Angles.h"
#include "geodesy/DatumShift.h"
#include "geodesy/Ellipsoids.h"
#include "geodesy/Geoid.h"
#include "geodesy/HATT.h"
#include "geodesy/TM87.h"
#include "tools/cli/CliSupport.h"
#include "tools/cli/Command.h"

#include <array>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

namespace korthal::cli {

namespace {

// The forms in the order of the chain; each step goes to a neighbour.
enum Form { WGS84Geo, WGS84Xyz, EGSA87Xyz, EGSA87Geo, TM87Proj, HattProj, FormCount };

constexpr std::array<const char*, FormCount> kFormNames = {
    "wgs84-geo", "wgs84-xyz", "egsa87-xyz", "egsa87-geo", "tm87", "hatt"};

constexpr int kAngleDecimals = 9;

std::optional<Form> formNamed(const std::string& name)
{
    for (std::size_t i = 0; i < kFormNames.size(); ++i)
        if (name == kFormNames[i])
            return static_cast<Form>(i);
    return std::nullopt;
}

bool isGeographic(Form f) { return f == WGS84Geo || f == EGSA87Geo; }

struct Options {
    int decimals = 4;
    std::optional<Extended> undulation;  // fixed EGSA87 undulation, else the geoid model
    Extended hattUndulation = -2.5L;
    std::optional<HattSheet> sheet;
    DatumShiftTable shifts;
};

// A point in one form: geographic forms hold φ, λ in radians and h; the
// others their three coordinates. `sheet` goes with the HATT form.
struct Point {
    Extended a = 0, b = 0, c = 0;
    HattSheet sheet;
};

Extended egsaUndulation(const Options& o, Extended phi, Extended lambda)
{
    if (o.undulation)
        return *o.undulation;
    const auto n = GeoidUndulation(o.shifts, static_cast<double>(phi), static_cast<double>(lambda));
    return n ? Extended(*n) : 0;
}

void addShift(const DatumShiftTable& t, int from, int to, Geocentric& g)
{
    const ShiftTriple& s = t(from, to);
    g.X += s.dX;
    g.Y += s.dY;
    g.Z += s.dZ;
}

Point fromGeographic(const Geographic& g) { return {g.phi, g.lambda, g.h, {}}; }
Point fromGeocentric(const Geocentric& g) { return {g.X, g.Y, g.Z, {}}; }

// EGSA87 ellipsoidal coordinates of a TM87 point, with the undulation of
// that point.
Geographic tm87ToEgsa87(const Options& o, const Point& p)
{
    Geographic g = TM87ToEllipsoidal(p.a, p.b, p.c, 0);
    g.h += egsaUndulation(o, g.phi, g.lambda);
    return g;
}

TM87 egsa87ToTm87(const Options& o, const Geographic& g)
{
    return EllipsoidalToTM87(g.phi, g.lambda, g.h, egsaUndulation(o, g.phi, g.lambda));
}

// One step along the chain, from form f to f + 1.
Point stepForward(Form f, const Point& p, const Options& o)
{
    switch (f) {
    case WGS84Geo:
        return fromGeocentric(EllipsoidalToGeocentric(WGS84, p.a, p.b, p.c));
    case WGS84Xyz: {
        Geocentric g{p.a, p.b, p.c};
        addShift(o.shifts, WGS84, EGSA87, g);
        return fromGeocentric(g);
    }
    case EGSA87Xyz:
        return fromGeographic(GeocentricToEllipsoidal(EGSA87, p.a, p.b, p.c));
    case EGSA87Geo: {
        const TM87 t = egsa87ToTm87(o, {p.a, p.b, p.c});
        return {t.E, t.N, t.H, {}};
    }
    case TM87Proj: {
        // Through EGSA87 to the old Greek datum, then onto the sheet.
        const Geographic e = tm87ToEgsa87(o, p);
        Geocentric g = EllipsoidalToGeocentric(EGSA87, e.phi, e.lambda, e.h);
        addShift(o.shifts, EGSA87, GR, g);
        const Geographic gr = GeocentricToEllipsoidal(GR, g.X, g.Y, g.Z);
        const HattPoint h = EllipsoidalToHATT(gr.phi, gr.lambda, gr.h, o.hattUndulation);
        return {h.x, h.y, h.H, h.sheet};
    }
    default:
        return p;
    }
}

// One step along the chain, from form f to f − 1.
Point stepBack(Form f, const Point& p, const Options& o)
{
    switch (f) {
    case WGS84Xyz:
        return fromGeographic(GeocentricToEllipsoidal(WGS84, p.a, p.b, p.c));
    case EGSA87Xyz: {
        Geocentric g{p.a, p.b, p.c};
        addShift(o.shifts, EGSA87, WGS84, g);
        return fromGeocentric(g);
    }
    case EGSA87Geo:
        return fromGeocentric(EllipsoidalToGeocentric(EGSA87, p.a, p.b, p.c));
    case TM87Proj:
        return fromGeographic(tm87ToEgsa87(o, p));
    case HattProj: {
        const Geographic gr = HATTToEllipsoidal(p.a, p.b, p.c, o.hattUndulation, p.sheet);
        Geocentric g = EllipsoidalToGeocentric(GR, gr.phi, gr.lambda, gr.h);
        addShift(o.shifts, GR, EGSA87, g);
        const Geographic e = GeocentricToEllipsoidal(EGSA87, g.X, g.Y, g.Z);
        const TM87 t = egsa87ToTm87(o, e);
        return {t.E, t.N, t.H, {}};
    }
    default:
        return p;
    }
}

Point convert(Form from, Form to, Point p, const Options& o)
{
    int f = from;
    while (f < to)
        p = stepForward(static_cast<Form>(f++), p, o);
    while (f > to)
        p = stepBack(static_cast<Form>(f--), p, o);
    return p;
}

// Splits a line at blanks and tabs.
std::vector<std::string> fields(const std::string& line)
{
    std::vector<std::string> out;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t'))
            ++i;
        const std::size_t start = i;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t')
            ++i;
        if (i > start)
            out.push_back(line.substr(start, i - start));
    }
    return out;
}

int usage(const std::string& what) { return usageError("convert", what); }

int run(const std::vector<std::string>& args)
{
    Options o;
    std::vector<std::string> positional;
    std::optional<std::string> settingsPath;
    for (std::size_t i = 0; i < args.size();) {
        bool missing = false;
        if (auto v = optionValue(args, i, "--decimals", missing)) {
            const auto n = parseInt(*v);
            if (missing || !n || *n < 0 || *n > 12)
                return usage("--decimals needs a whole number from 0 to 12");
            o.decimals = *n;
        } else if (auto u = optionValue(args, i, "--undulation", missing)) {
            const auto n = parseNumber(*u);
            if (missing || !n)
                return usage("--undulation needs a number of metres");
            o.undulation = *n;
        } else if (auto hu = optionValue(args, i, "--hatt-undulation", missing)) {
            const auto n = parseNumber(*hu);
            if (missing || !n)
                return usage("--hatt-undulation needs a number of metres");
            o.hattUndulation = *n;
        } else if (auto s = optionValue(args, i, "--sheet", missing)) {
            const auto comma = s->find(',');
            const auto si = comma == std::string::npos ? std::nullopt
                                                       : parseInt(s->substr(0, comma));
            const auto sj = comma == std::string::npos ? std::nullopt
                                                       : parseInt(s->substr(comma + 1));
            if (missing || !si || !sj)
                return usage("--sheet needs two whole numbers I,J (for example 7,8)");
            o.sheet = HattSheet{*si, *sj};
        } else if (const std::string problem = sharedArgument(args, i, settingsPath, positional);
                   !problem.empty()) {
            return usage(problem);
        }
    }
    if (positional.size() != 2)
        return usage("needs the two forms FROM and TO");
    const auto from = formNamed(positional[0]);
    const auto to = formNamed(positional[1]);
    if (!from)
        return usage("unknown form \"" + positional[0] + "\"");
    if (!to)
        return usage("unknown form \"" + positional[1] + "\"");
    if (*from == HattProj && !o.sheet)
        return usage("--sheet I,J is required when converting from hatt");

    std::string error;
    const auto shifts = shiftTable(settingsPath, error);
    if (!shifts) {
        std::cerr << "korthal-cli convert: " << error << "\n";
        return 2;
    }
    o.shifts = *shifts;

    bool badLines = false;
    std::string line;
    long lineNumber = 0;
    while (std::getline(std::cin, line)) {
        ++lineNumber;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        const auto parts = fields(line);
        if (parts.empty() || parts[0][0] == '#')
            continue;
        std::optional<Extended> v[3];
        if (parts.size() == 3)
            for (std::size_t k = 0; k < 3; ++k)
                v[k] = parseNumber(parts[k]);
        if (!v[0] || !v[1] || !v[2]) {
            std::cerr << "korthal-cli convert: line " << lineNumber
                      << ": not three numbers: " << line << "\n";
            badLines = true;
            continue;
        }
        Point p{*v[0], *v[1], *v[2], {}};
        if (isGeographic(*from)) {
            p.a = DMSToRad(p.a);
            p.b = DMSToRad(p.b);
        }
        if (*from == HattProj)
            p.sheet = *o.sheet;

        const Point r = convert(*from, *to, p, o);

        if (isGeographic(*to))
            std::cout << formatPacked(r.a, kAngleDecimals) << ' '
                      << formatPacked(r.b, kAngleDecimals) << ' ';
        else
            std::cout << formatFixed(r.a, o.decimals) << ' ' << formatFixed(r.b, o.decimals)
                      << ' ';
        std::cout << formatFixed(r.c, o.decimals);
        if (*to == HattProj) {
            std::cout << ' ' << r.sheet.i << ' ' << r.sheet.j;
            if (!r.sheet.valid())
                std::cerr << "korthal-cli convert: line " << lineNumber
                          << ": the point lies outside the HATT sheets of Greece\n";
        }
        std::cout << '\n';
    }
    std::cout.flush();
    return badLines ? 1 : 0;
}

const Registration registration{Command{
    "convert",
    "convert points between WGS84, EGSA87, TM87 and HATT coordinates",
    "Usage: korthal-cli convert FROM TO [options] < POINTS\n"
    "\n"
    "Converts points, one per line, along the chain of the coordinate calculator:\n"
    "  wgs84-geo <-> wgs84-xyz <-> egsa87-xyz <-> egsa87-geo <-> tm87 <-> hatt\n"
    "Every step between FROM and TO is computed at full precision, with no\n"
    "rounding in between.\n"
    "\n"
    "Forms (FROM and TO):\n"
    "  wgs84-geo    WGS84 latitude, longitude (DD.MMSSsss) and ellipsoidal height (m)\n"
    "  wgs84-xyz    WGS84 geocentric X, Y, Z (m)\n"
    "  egsa87-xyz   EGSA87 (GRS80) geocentric X, Y, Z (m)\n"
    "  egsa87-geo   EGSA87 latitude, longitude (DD.MMSSsss) and ellipsoidal height (m)\n"
    "  tm87         TM87 easting E, northing N and height above the geoid H (m)\n"
    "  hatt         HATT x, y (m) and H (m) on a 30' x 30' map sheet (Bessel)\n"
    "\n"
    "Input (standard input): three numbers per line separated by blanks or tabs,\n"
    "'.' as the decimal point, no grouping. Latitudes and longitudes are packed\n"
    "as DD.MMSSsss (38.1530123 is 38 deg 15' 30.123\"). Empty lines and lines\n"
    "that start with '#' are skipped.\n"
    "\n"
    "Output (standard output): one line per point, three numbers with '.' and\n"
    "no grouping; metres with 4 decimals, packed angles with 9. When TO is hatt,\n"
    "two more whole numbers follow: the sheet's latitude row I (0..14, centre\n"
    "34deg 45' + I x 30') and longitude column J (0..18, centre 4deg 15' west of the\n"
    "Athens meridian + J x 30'). A point outside the sheets keeps the indices as\n"
    "computed, with a note on standard error.\n"
    "\n"
    "Options:\n"
    "  --decimals N          decimals of metres (0..12, default 4)\n"
    "  --undulation M        geoid undulation in metres between EGSA87 ellipsoidal h\n"
    "                        and TM87 H (H = h - M). Default: the built-in geoid\n"
    "                        model at the point, or 0 where it has no value\n"
    "  --hatt-undulation M   undulation used with HATT heights (default -2.5)\n"
    "  --sheet I,J           the HATT sheet of the input; required when FROM is hatt\n"
    "  --settings FILE.INI   take the datum shifts from a network settings file\n"
    "                        (section General, keys GRS80DX..GRS80DZ, BESSELDX..\n"
    "                        BESSELDZ, ED50DX..ED50DZ). Without it:\n"
    "                        WGS84->EGSA87 200.2 -74.8 -246.0,\n"
    "                        WGS84->GR -454.944 -375.483 -502.543,\n"
    "                        WGS84->ED50 86.9 92.5 128.8\n"
    "\n"
    "A line that is not three numbers is named on standard error with its line\n"
    "number and text and gives no output line; the other lines are still\n"
    "converted.\n"
    "\n"
    "Exit status: 0 all lines converted, 1 some lines were not three numbers,\n"
    "2 wrong arguments or an unreadable settings file.\n"
    "\n"
    "Example:\n"
    "  echo '4612345.678 2013456.789 3889012.345' | korthal-cli convert wgs84-xyz tm87\n",
    run}};

}  // namespace

}  // namespace korthal::cli
