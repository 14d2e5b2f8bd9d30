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
#include <future>
#include <iostream>
#include <memory>
#include <optional>
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

// Reads the options into the job; returns an exit status when they are wrong.
std::optional<int> readArguments(const std::vector<std::string>& args, ConvertJob& job)
{
    ConvertOptions& o = job.options;
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
    job.from = *from;
    job.to = *to;

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
