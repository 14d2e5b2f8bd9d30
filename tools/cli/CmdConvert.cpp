// korthal-cli convert: the coordinate calculator's chain for files of points.
//
// Large inputs are cut into blocks of whole lines that are converted side by
// side, one thread per processor, and written in input order.

#include "tools/cli/CliSupport.h"
#include "tools/cli/Command.h"
#include "tools/cli/ConvertLines.h"

#include <algorithm>
#include <cstdio>
#include <deque>
#include <fstream>
#include <future>
#include <iostream>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace korthal::cli {

namespace {

// Input is converted in blocks of about this many bytes.
constexpr std::size_t kBlockBytes = 1 << 20;

long countLines(std::string_view text)
{
    long n = 0;
    for (std::size_t p = text.find('\n'); p != std::string_view::npos; p = text.find('\n', p + 1))
        ++n;
    return n;
}

int usage(const std::string& what) { return usageError("convert", what); }

// The HATT sheet I,J of --sheet, or nullopt.
std::optional<HattSheet> sheetIndices(const std::string& s)
{
    const auto comma = s.find(',');
    if (comma == std::string::npos)
        return std::nullopt;
    const auto i = parseInt(s.substr(0, comma));
    const auto j = parseInt(s.substr(comma + 1));
    if (!i || !j)
        return std::nullopt;
    return HattSheet{*i, *j};
}

// The sheets of --sheet NAME|NUMBER for hatt-okxe; an exit status when there
// is none of that name or number.
std::optional<int> readOkxeSheet(const std::string& text, ConvertOptions& o)
{
    const HattSheets& sheets = HattSheets::builtIn();
    o.okxeSheets = sheets.named(text);
    if (!o.okxeSheets.empty())
        return std::nullopt;
    std::string what;
    if (!text.empty() && text.find_first_not_of("0123456789") == std::string::npos) {
        what = "no HATT sheet has the number " + text;
    } else {
        what = "no HATT sheet is named \"" + text + "\"; the nearest names:";
        for (const auto& n : sheets.nearestNames(text, 5))
            what += " " + n;
    }
    std::cerr << "korthal-cli convert: " << what << "\n";
    return 2;
}

// The HEPOS grids of --grid-east and --grid-north; an exit status when a file
// does not read.
std::optional<int> readHeposGrids(const std::string& eastPath, const std::string& northPath,
                                  ConvertJob& job)
{
    CorrectionGrid grids[2];
    const std::string* paths[2] = {&eastPath, &northPath};
    for (int k = 0; k < 2; ++k) {
        std::ifstream in(*paths[k], std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        GridReadError error;
        const auto grid = in ? parseCorrectionGrid(text.str(), error) : std::nullopt;
        if (!in) {
            std::cerr << "korthal-cli convert: cannot read " << *paths[k] << "\n";
            return 2;
        }
        if (!grid) {
            std::cerr << "korthal-cli convert: " << error.message(*paths[k]) << "\n";
            return 2;
        }
        grids[k] = *grid;
    }
    if (const std::string problem = gridLayoutProblem(grids[0], grids[1]); !problem.empty()) {
        std::cerr << "korthal-cli convert: " << eastPath << ", " << northPath << ": " << problem
                  << "\n";
        return 2;
    }
    job.hepos = std::make_shared<HeposModel>(kHeposSimilarity, grids[0], grids[1]);
    job.options.hepos = job.hepos.get();
    return std::nullopt;
}

// Reads the options into the job; returns an exit status when they are wrong.
std::optional<int> readArguments(const std::vector<std::string>& args, ConvertJob& job)
{
    ConvertOptions& o = job.options;
    std::vector<std::string> positional;
    std::optional<std::string> settingsPath, sheet, gridEast, gridNorth;
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
            if (missing || s->empty())
                return usage("--sheet needs I,J for hatt or a name or number for hatt-okxe");
            sheet = *s;
        } else if (auto ge = optionValue(args, i, "--grid-east", missing)) {
            if (missing || ge->empty())
                return usage("--grid-east needs a file");
            gridEast = *ge;
        } else if (auto gn = optionValue(args, i, "--grid-north", missing)) {
            if (missing || gn->empty())
                return usage("--grid-north needs a file");
            gridNorth = *gn;
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
    job.from = *from;
    job.to = *to;

    // --sheet: I,J of the HATT input, else the sheet of hatt-okxe.
    if (*from == HattProj) {
        if (!sheet || !(o.sheet = sheetIndices(*sheet)))
            return usage("--sheet I,J is required when converting from hatt (for example 7,8)");
    } else if (*from == HattOkxe || *to == HattOkxe) {
        if (!sheet && *from == HattOkxe)
            return usage("--sheet NAME|NUMBER is required when converting from hatt-okxe");
        if (sheet)
            if (const auto status = readOkxeSheet(*sheet, o))
                return status;
    } else if (sheet && !sheetIndices(*sheet)) {
        return usage("--sheet takes I,J for hatt or a name or number for hatt-okxe");
    }
    if (gridEast.has_value() != gridNorth.has_value())
        return usage("--grid-east and --grid-north go together");
    if (gridEast)
        if (const auto status = readHeposGrids(*gridEast, *gridNorth, job))
            return status;

    std::string error;
    const auto shifts = shiftTable(settingsPath, error);
    if (!shifts) {
        std::cerr << "korthal-cli convert: " << error << "\n";
        return 2;
    }
    o.shifts = *shifts;
    return std::nullopt;
}

// A block of whole input lines on its way through a worker thread.
struct Pending {
    std::unique_ptr<std::string> text;
    long firstLine = 1;
    std::future<ConvertedBlock> result;
};

int run(const std::vector<std::string>& args)
{
    ConvertJob job;
    if (const auto status = readArguments(args, job))
        return *status;

    bool badLines = false;
    auto write = [&badLines](ConvertedBlock& b) {
        std::fwrite(b.out.data(), 1, b.out.size(), stdout);
        if (!b.err.empty()) {
            std::fflush(stdout);
            std::cerr << b.err;
        }
        badLines = badLines || b.badLines;
        b.out.clear();
        b.err.clear();
    };
    // Blocks converted away from the main thread may leave their end to it.
    auto finish = [&](Pending& p) {
        ConvertedBlock b = p.result.get();
        write(b);
        if (b.restAt != std::string::npos) {
            ConvertedBlock rest =
                convertBlock(std::string_view(*p.text).substr(b.restAt), b.restLine, job, write);
            write(rest);
        }
    };

    const std::size_t inFlight = 2 * std::max(1u, std::thread::hardware_concurrency());
    std::deque<Pending> pending;
    std::string carry;  // a line not yet complete
    long nextLine = 1;
    bool first = true;
    for (;;) {
        auto text = std::make_unique<std::string>(std::move(carry));
        carry.clear();
        const std::size_t have = text->size();
        text->resize(have + kBlockBytes);
        const std::size_t got = std::fread(text->data() + have, 1, kBlockBytes, stdin);
        text->resize(have + got);
        const bool atEnd = got < kBlockBytes;
        if (!atEnd) {
            // Whole lines only; the rest waits for the next block.
            const std::size_t nl = text->rfind('\n');
            if (nl != std::string::npos) {
                carry.assign(*text, nl + 1);
                text->resize(nl + 1);
            } else {
                carry = std::move(*text);
                continue;
            }
        }
        if (first && atEnd) {
            // Small input: no threads.
            ConvertedBlock b = convertBlock(*text, 1, job, write);
            write(b);
            break;
        }
        first = false;
        const long lines = countLines(*text);
        Pending p;
        p.text = std::move(text);
        p.firstLine = nextLine;
        nextLine += lines;
        const std::string_view view = *p.text;
        p.result = std::async(std::launch::async, [view, firstLine = p.firstLine, &job] {
            return convertBlock(view, firstLine, job);
        });
        pending.push_back(std::move(p));
        while (pending.size() > inFlight) {
            finish(pending.front());
            pending.pop_front();
        }
        if (atEnd)
            break;
    }
    while (!pending.empty()) {
        finish(pending.front());
        pending.pop_front();
    }
    std::fflush(stdout);
    return badLines ? 1 : 0;
}

const Registration registration{Command{
    "convert",
    "convert points between WGS84, EGSA87, HTRS07, TM87, TM07, TM3, UTM and HATT",
    "Usage: korthal-cli convert FROM TO [options] < POINTS\n"
    "\n"
    "Converts points, one per line, along the chain of the coordinate calculator\n"
    "  wgs84-geo <-> wgs84-xyz <-> egsa87-xyz <-> egsa87-geo <-> tm87 <-> hatt\n"
    "and the systems that meet it at tm87:\n"
    "  htrs07-xyz <-> htrs07-geo <-> tm07 <-> tm87    by the HEPOS model\n"
    "  tm87 <-> tm3-west, tm3-central, tm3-east       old Greek datum (datum shift)\n"
    "  tm87 <-> utm34-ed50, utm35-ed50                ED50 (datum shift)\n"
    "  tm87 <-> hatt-okxe                             the sheet polynomials\n"
    "by the shortest way between FROM and TO. Every step is computed at full\n"
    "precision, with no rounding in between.\n"
    "\n"
    "Forms (FROM and TO):\n"
    "  wgs84-geo    WGS84 latitude, longitude (DD.MMSSsss) and ellipsoidal height (m)\n"
    "  wgs84-xyz    WGS84 geocentric X, Y, Z (m)\n"
    "  egsa87-xyz   EGSA87 (GRS80) geocentric X, Y, Z (m)\n"
    "  egsa87-geo   EGSA87 latitude, longitude (DD.MMSSsss) and ellipsoidal height (m)\n"
    "  tm87         TM87 easting E, northing N and height above the geoid H (m)\n"
    "  hatt         HATT x, y (m) and H (m) on a 30' x 30' map sheet (Bessel), by\n"
    "               the datum shift\n"
    "  htrs07-geo   HTRS07 latitude, longitude (DD.MMSSsss) and ellipsoidal height (m)\n"
    "  htrs07-xyz   HTRS07 (GRS80) geocentric X, Y, Z (m)\n"
    "  tm07         TM07 easting E, northing N (GRS80, 24deg E, scale 0.9996, false\n"
    "               easting 500000, false northing -2000000) and HTRS07 ellipsoidal h\n"
    "  tm3-west     TM3 E, N on the old Greek datum (Bessel; latitude of origin 34deg N,\n"
    "  tm3-central  central meridian 3deg west of, on or 3deg east of the Athens\n"
    "  tm3-east     meridian 23deg 42' 58.815\", scale 0.9999, false easting 200000)\n"
    "               and the H of tm87\n"
    "  utm34-ed50   UTM zone 34 or 35 E, N on ED50 (International 1924; 21deg or 27deg E,\n"
    "  utm35-ed50   scale 0.9996, false easting 500000) and the H of tm87\n"
    "  hatt-okxe    HATT x, y (m) of a 1:50 000 sheet, to and from TM87 by the\n"
    "               cadastre's polynomial of that sheet, and the H of tm87\n"
    "\n"
    "Heights: tm87 carries H = h - undulation on EGSA87. The TM3, UTM and\n"
    "hatt-okxe forms carry the same H. The HTRS07 forms carry the ellipsoidal\n"
    "height h, which the HEPOS model takes to the EGSA87 h (so that with\n"
    "--undulation 0 tm07 h gives tm87 h).\n"
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
    "computed, with a note on standard error. When TO is hatt-okxe, the name of\n"
    "the sheet follows: the one of --sheet, or the sheet whose outline holds the\n"
    "point (of two that overlap, the one whose middle is nearer; outside every\n"
    "sheet, the nearest).\n"
    "\n"
    "Options:\n"
    "  --decimals N          decimals of metres (0..12, default 4)\n"
    "  --undulation M        geoid undulation in metres between EGSA87 ellipsoidal h\n"
    "                        and TM87 H (H = h - M). Default: the built-in geoid\n"
    "                        model at the point, or 0 where it has no value\n"
    "  --hatt-undulation M   undulation used with hatt heights (default -2.5)\n"
    "  --sheet I,J           the HATT sheet of the input; required when FROM is hatt\n"
    "  --sheet NAME|NUMBER   the 1:50 000 sheet of hatt-okxe, by its Greek name\n"
    "                        (accents, case, blanks and . - ( ) ignored) or the\n"
    "                        publisher's number; required when FROM is hatt-okxe.\n"
    "                        The numbers 8, 77 and 311 stand for two sheets each:\n"
    "                        of the two, each point takes the one whose outline\n"
    "                        holds it (else the nearer)\n"
    "  --grid-east FILE      the HEPOS correction grids to use instead of those\n"
    "  --grid-north FILE     built in (both together; the text form of the\n"
    "                        published east.grd and north.grd, values in cm)\n"
    "  --settings FILE.INI   take the datum shifts from a network settings file\n"
    "                        (section General, keys GRS80DX..GRS80DZ, BESSELDX..\n"
    "                        BESSELDZ, ED50DX..ED50DZ). Without it:\n"
    "                        WGS84->EGSA87 200.2 -74.8 -246.0,\n"
    "                        WGS84->GR -454.944 -375.483 -502.543,\n"
    "                        WGS84->ED50 86.9 92.5 128.8\n"
    "\n"
    "A line that is not three numbers is named on standard error with its line\n"
    "number and text and gives no output line; so is a point that the HEPOS\n"
    "model cannot take, outside its correction grid (never extrapolated). The\n"
    "other lines are still converted. A hatt-okxe point more than 20 km beyond\n"
    "the outline of its sheet is converted with a warning on standard error.\n"
    "\n"
    "Exit status: 0 all lines converted, 1 some lines were not three numbers or\n"
    "lay outside the HEPOS grid, 2 wrong arguments (an unknown sheet: its name\n"
    "and the nearest names on standard error), an unreadable settings file or\n"
    "grid file (the file and the line named).\n"
    "\n"
    "Examples:\n"
    "  echo '4612345.678 2013456.789 3889012.345' | korthal-cli convert wgs84-xyz tm87\n"
    "  echo '566446.108 2529618.096 51.610' | korthal-cli convert tm07 tm87 --undulation 0\n"
    "  echo '-16997.09 -14277.15 120' | korthal-cli convert hatt-okxe tm87 --sheet Αλεξάνδρεια\n",
    run}};

}  // namespace

}  // namespace korthal::cli
