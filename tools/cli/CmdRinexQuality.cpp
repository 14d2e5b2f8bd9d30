// korthal-cli rinex-sky OBS --nav NAV [--position X Y Z]
// korthal-cli rinex-qc OBS [--nav NAV] [--mask DEG] [--position X Y Z] [--png FILE]
//
// The satellites' azimuth and elevation for every observation, and the
// quality report of an observation file, with the sky plot as a picture.

#include "tools/cli/CliSupport.h"
#include "tools/cli/Command.h"

#include "paint/Headless.h"
#include "paint/SkyPlotPainter.h"
#include "project/Dialogs.h"
#include "project/IniFile.h"
#include "table/PlainNumber.h"
#include "table/TextUtil.h"
#include "views/RinexNavigation.h"
#include "views/RinexQuality.h"
#include "views/RinexTable.h"

#include <QBuffer>
#include <QByteArray>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <optional>

namespace korthal::cli {
namespace {

using rinex::Position;

// What the two commands share: the observations, the navigation file and
// the point's position.
struct Inputs {
    std::string observations, navigation, png;
    std::optional<Position> position;  // --position
    double mask = rinex::kDefaultElevationMask;
};

// A stored observation table begins with a zlib header; anything else is
// read as a RINEX observation file.
bool isTableFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    unsigned char b[2] = {0, 0};
    if (!in.read(reinterpret_cast<char*>(b), 2))
        return false;
    return b[0] == 0x78 && (b[0] * 256 + b[1]) % 31 == 0;
}

// Reads OBS into `table`; the position its header (or a table's companion
// settings file) gives goes to `position`. False after saying why.
bool readObservations(std::string_view command, const std::string& path, RinexTable& table,
                      std::optional<Position>& position, std::string& source)
{
    if (isTableFile(path)) {
        table.RinexFileName = path;
        LoadResult loaded;
        if (!table.load(&loaded)) {
            std::cerr << "korthal-cli " << command << ": " << loaded.message(path) << '\n';
            return false;
        }
        const IniFile ini(rinexSettingsFileName(path));
        const char decimal = localeSeparators().decimal;
        const Position p{ini.readFloat("POSITION", "Xo", 0, decimal),
                         ini.readFloat("POSITION", "Yo", 0, decimal),
                         ini.readFloat("POSITION", "Ho", 0, decimal)};
        position = p;
        source = "table settings";
        return true;
    }
    StderrDialogs stderrDialogs;
    Dialogs* previous = setDialogs(&stderrDialogs);
    const rinex::ReadResult read = table.readObservations(path, true);
    setDialogs(previous);
    if (!read.ok()) {
        std::cerr << "korthal-cli " << command << ": " << read.message << '\n';
        return false;
    }
    if (read.header.hasPosition)
        position = Position{read.header.Xo, read.header.Yo, read.header.Ho};
    source = "header";
    return true;
}

// The ephemerides of --nav, or why there are none; findings on stderr.
void readEphemerides(std::string_view command, const std::string& nav, gnss::EphemerisSet& set,
                     rinex::SkySource& source)
{
    if (nav.empty())
        return;
    rinex::NavigationResult r = rinex::readNavigationFile(nav);
    for (const rinex::NavigationFinding& f : r.findings)
        std::cerr << "korthal-cli " << command << ": " << f.message << '\n';
    source.navigationName = nav;
    if (!r.ok()) {
        source.missingReason = r.message;
        return;
    }
    set = gnss::EphemerisSet(std::move(r.ephemerides));
    source.ephemerides = &set;
}

// Parses the arguments; returns an exit status when they are wrong.
std::optional<int> parseArguments(std::string_view command, const std::vector<std::string>& args,
                                  bool quality, Inputs& in)
{
    const auto usage = [&](const std::string& what) { return usageError(command, what); };
    for (std::size_t i = 0; i < args.size();) {
        bool missing = false;
        if (auto v = optionValue(args, i, "--nav", missing)) {
            if (missing || v->empty())
                return usage("--nav needs a navigation file");
            in.navigation = *v;
            continue;
        }
        if (auto v = optionValue(args, i, "--png", missing); quality && v) {
            if (missing || v->empty())
                return usage("--png needs a file name");
            in.png = *v;
            continue;
        }
        if (auto v = optionValue(args, i, "--mask", missing); quality && v) {
            const auto m = missing ? std::nullopt : parseNumber(*v);
            if (!m || *m < 0 || *m >= 90)
                return usage("--mask takes an elevation in degrees from 0 to below 90");
            in.mask = static_cast<double>(*m);
            continue;
        }
        if (args[i] == "--position") {
            std::optional<Extended> xyz[3];
            for (int k = 0; k < 3; ++k)
                if (i + 1 + static_cast<std::size_t>(k) < args.size())
                    xyz[k] = parseNumber(args[i + 1 + static_cast<std::size_t>(k)]);
            const std::optional<Position> p =
                xyz[0] && xyz[1] && xyz[2]
                    ? std::optional<Position>(Position{static_cast<double>(*xyz[0]),
                                                       static_cast<double>(*xyz[1]),
                                                       static_cast<double>(*xyz[2])})
                    : std::nullopt;
            if (rinex::unusablePosition(p))
                return usage("--position takes the geocentric X Y Z (m) of a point on the Earth");
            in.position = p;
            i += 4;
            continue;
        }
        if (!args[i].empty() && args[i][0] == '-')
            return usage("unknown option \"" + args[i] + "\"");
        if (!in.observations.empty())
            return usage("one observation file only");
        in.observations = args[i++];
    }
    if (in.observations.empty())
        return usage("no observation file given");
    if (!quality && in.navigation.empty())
        return usage("--nav NAV is needed");
    return std::nullopt;
}

std::string fixed(double v, int decimals)
{
    return formatFixed(static_cast<Extended>(v), decimals);
}

std::string measure(const rinex::Measure& m, int decimals)
{
    return m.known() ? fixed(m.value, decimals) : "-";
}

std::string satelliteName(int prn)
{
    char buf[8];
    std::snprintf(buf, sizeof buf, "G%02d", prn);
    return buf;
}

int runSky(const std::vector<std::string>& args)
{
    Inputs in;
    if (const auto status = parseArguments("rinex-sky", args, false, in))
        return *status;
    RinexTable obs;
    std::optional<Position> header;
    std::string positionSource;
    if (!readObservations("rinex-sky", in.observations, obs, header, positionSource))
        return 1;
    gnss::EphemerisSet set;
    rinex::SkySource source;
    readEphemerides("rinex-sky", in.navigation, set, source);
    const std::optional<Position> position = in.position ? in.position : header;
    std::string why;
    if (!source.ephemerides)
        why = source.missingReason;
    else if (set.empty())
        why = "Το αρχείο εφημερίδων \"" + in.navigation + "\" δεν έχει εφημερίδες GPS.";
    else if (rinex::unusablePosition(position))
        why = "Δεν είναι γνωστή η θέση του σημείου: δώστε τη με --position X Y Z.";
    if (!why.empty()) {
        std::cerr << "korthal-cli rinex-sky: " << why << '\n';
        return 1;
    }
    const rinex::SkyGeometry sky(set, *position);
    std::string out;
    std::int64_t lines = 0;
    const std::int64_t missing =
        rinex::forEachObservationLook(obs.table(), sky, [&](const rinex::ObservationLook& o) {
            out += rinex::formatGpsTime(o.time);
            out += ' ';
            out += satelliteName(o.prn);
            out += ' ';
            out += fixed(o.angles.azimuth, 2);
            out += ' ';
            out += fixed(o.angles.elevation, 2);
            out += '\n';
            ++lines;
            if (out.size() > (1u << 16)) {
                std::fwrite(out.data(), 1, out.size(), stdout);
                out.clear();
            }
        });
    std::fwrite(out.data(), 1, out.size(), stdout);
    if (missing > 0)
        std::cerr << "korthal-cli rinex-sky: " << missing
                  << " παρατηρήσεις χωρίς έγκυρη εφημερίδα παραλείφθηκαν.\n";
    if (lines == 0 && missing > 0)
        return 1;
    return std::fflush(stdout) == 0 ? 0 : 1;
}

void printReport(const rinex::QualityReport& q, const Inputs& in, const rinex::SkySource& source)
{
    std::string o;
    const auto line = [&o](const std::string& key, const std::string& value) {
        o += key + ": " + value + '\n';
    };
    line("file", in.observations);
    line("navigation", in.navigation.empty() ? "-" : in.navigation);
    if (source.position)
        line("position", fixed(source.position->X, 3) + ' ' + fixed(source.position->Y, 3) + ' ' +
                             fixed(source.position->Z, 3) + " (" + source.positionSource + ')');
    else
        line("position", "-");
    line("mask", fixed(q.mask, 1));
    line("epochs", std::to_string(q.epochCount()));
    line("expected", std::to_string(q.expectedEpochs));
    line("interval", fixed(q.interval, 3));
    line("first", q.epochs.empty() ? "-" : rinex::formatGpsTime(q.epochs.front()));
    line("last", q.epochs.empty() ? "-" : rinex::formatGpsTime(q.epochs.back()));
    line("completeness", fixed(q.completeness, 1));
    line("gaps", std::to_string(q.gaps.size()));
    line("satellites", std::to_string(q.satellites.size()));
    line("observations", std::to_string(q.observations));
    line("slips", std::to_string(q.slips.size()));
    line("mp1", measure(q.mp1, 3));
    line("mp2", measure(q.mp2, 3));
    line("snr1", measure(q.snr1, 1));
    line("snr2", measure(q.snr2, 1));
    line("sky", q.sky.available ? "yes" : "no");
    if (!q.sky.available) {
        line("sky-reason", q.sky.reason);
    } else {
        std::string names;
        for (int prn : q.notTracked)
            names += (names.empty() ? "" : " ") + satelliteName(prn);
        line("not-tracked", names.empty() ? "-" : names);
    }
    for (const rinex::EpochGap& g : q.gaps)
        line("gap", rinex::formatGpsTime(g.after) + ' ' + rinex::formatGpsTime(g.before) + ' ' +
                        std::to_string(g.missing));
    for (const rinex::CycleSlip& s : q.slips)
        line("slip", rinex::formatGpsTime(s.time) + ' ' + satelliteName(s.prn) + ' ' +
                         rinex::slipCauseName(s.cause));
    o += "\nsatellite observations above-mask expected slips mp1 mp2 snr1 snr2 "
         "elevation-min elevation-max\n";
    for (const rinex::SatelliteQuality& s : q.satellites) {
        const bool sky = q.sky.available;
        o += satelliteName(s.prn) + ' ' + std::to_string(s.observations) + ' ' +
             (sky ? std::to_string(s.aboveMask) : "-") + ' ' +
             (sky ? std::to_string(s.expected) : "-") + ' ' + std::to_string(s.slips) + ' ' +
             measure(s.mp1, 3) + ' ' + measure(s.mp2, 3) + ' ' + measure(s.snr1, 1) + ' ' +
             measure(s.snr2, 1) + ' ' + measure(s.minElevation, 1) + ' ' +
             measure(s.maxElevation, 1) + '\n';
    }
    std::fwrite(o.data(), 1, o.size(), stdout);
}

int runQuality(const std::vector<std::string>& args)
{
    Inputs in;
    if (const auto status = parseArguments("rinex-qc", args, true, in))
        return *status;
    RinexTable obs;
    std::optional<Position> header;
    rinex::SkySource source;
    if (!readObservations("rinex-qc", in.observations, obs, header, source.positionSource))
        return 1;
    gnss::EphemerisSet set;
    readEphemerides("rinex-qc", in.navigation, set, source);
    source.position = in.position ? in.position : header;
    if (in.position)
        source.positionSource = "given";
    if (rinex::unusablePosition(source.position))
        source.position.reset();
    const rinex::QualityReport q = rinex::computeQuality(obs.table(), source, in.mask);
    printReport(q, in, source);
    if (!q.sky.available)
        std::cerr << "korthal-cli rinex-qc: χωρίς διάγραμμα ουρανού: " << q.sky.reason << '\n';
    if (std::fflush(stdout) != 0)
        return 1;
    if (in.png.empty())
        return 0;
    if (!q.sky.available)
        return 1;  // said above; no picture that would mislead
    paint::HeadlessGui gui;
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    paint::skyPlotImage(q.sky, QSize(640, 640)).save(&buffer, "PNG");
    return writeOutput("rinex-qc", in.png,
                       std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())))
               ? 0
               : 1;
}

const char* const kSkyHelp =
    "Usage: korthal-cli rinex-sky OBS --nav NAV [--position X Y Z]\n"
    "\n"
    "Prints where each GPS satellite observed in OBS stood in the sky, one line\n"
    "per satellite and epoch, in the order of the epochs:\n"
    "  2005-04-02 00:00:00 G03 103.93 9.72\n"
    "the date and time of the epoch (GPS time, to the second), the satellite,\n"
    "its azimuth (degrees clockwise from north) and elevation (degrees), from the\n"
    "broadcast ephemeris of NAV nearest in time.\n"
    "\n"
    "  OBS               a RINEX observation file, or a point's stored\n"
    "                    observation table (.RNX, with its companion .INI)\n"
    "  --nav NAV         a RINEX navigation file (version 2 GPS, 3 or 4 mixed)\n"
    "  --position X Y Z  the point's geocentric WGS84 coordinates (m); without\n"
    "                    it the approximate position of the file's header (or\n"
    "                    of the table's settings file)\n"
    "\n"
    "Observations for which NAV has no valid ephemeris are left out and counted\n"
    "on stderr. Exit status 1 when nothing could be computed (no file, no GPS\n"
    "ephemeris, no position), 2 for wrong arguments.\n";

const char* const kQualityHelp =
    "Usage: korthal-cli rinex-qc OBS [--nav NAV] [--mask DEG] [--position X Y Z]\n"
    "                            [--png FILE]\n"
    "\n"
    "Prints the quality report of the GPS observations of OBS as \"key: value\"\n"
    "lines, then one line per satellite:\n"
    "  epochs, expected   epochs present, and expected from the interval\n"
    "  interval           the most frequent step between epochs (s)\n"
    "  completeness       epochs present against expected (%)\n"
    "  gaps               steps longer than 1.5 intervals (each on a \"gap\" line:\n"
    "                     the epochs before and after it, the epochs missing)\n"
    "  satellites         GPS satellites observed; observations: satellite-epochs\n"
    "  slips              cycle slips (each on a \"slip\" line: epoch, satellite,\n"
    "                     lli = loss of lock flag, gf = geometry-free jump,\n"
    "                     mw = Melbourne-Wübbena jump)\n"
    "  mp1, mp2           code multipath, RMS (m), mean removed per arc\n"
    "  snr1, snr2         mean signal-strength digit (1-9) of L1 and L2\n"
    "  sky                yes when NAV and the position give the satellites'\n"
    "                     elevations; otherwise sky-reason says why\n"
    "  not-tracked        satellites above the mask that were never observed\n"
    "With the sky known, observations below the mask are left out of slips,\n"
    "multipath and signal strength. \"-\" stands for a value that cannot be\n"
    "computed (one frequency only, no sky).\n"
    "\n"
    "  OBS               a RINEX observation file, or a point's stored\n"
    "                    observation table (.RNX, with its companion .INI)\n"
    "  --nav NAV         a RINEX navigation file (version 2 GPS, 3 or 4 mixed)\n"
    "  --mask DEG        elevation mask in degrees (default 10)\n"
    "  --position X Y Z  the point's geocentric WGS84 coordinates (m); without\n"
    "                    it the approximate position of the header\n"
    "  --png FILE        draws the sky plot (640x640): north up, tracks coloured\n"
    "                    by signal strength, the mask as a red dashed circle,\n"
    "                    satellites above the mask never tracked dashed in grey\n"
    "\n"
    "Records of NAV that cannot be read are named on stderr and skipped. Without\n"
    "a usable NAV the report comes without the sky parts (status 0), and with\n"
    "--png no picture is written (status 1).\n";

const Registration skyRegistration{Command{
    "rinex-sky", "print azimuth and elevation of every GPS observation", kSkyHelp, &runSky}};
const Registration qualityRegistration{Command{
    "rinex-qc", "print the quality report of a RINEX observation file", kQualityHelp,
    &runQuality}};

}  // namespace
}  // namespace korthal::cli
