#include "views/RinexSkySource.h"

#include "geodesy/Angles.h"
#include "geodesy/Ellipsoids.h"
#include "project/IniFile.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <limits>

namespace korthal::rinex {

namespace {

constexpr const char* kSection = "FILE";

double readEitherDecimal(const IniFile& ini, const char* section, const char* key)
{
    const double none = std::numeric_limits<double>::quiet_NaN();
    double v = ini.readFloat(section, key, none, '.');
    if (std::isnan(v))
        v = ini.readFloat(section, key, none, ',');
    return v;
}

bool isFile(const std::string& path)
{
    std::error_code ec;
    return !path.empty() && std::filesystem::is_regular_file(std::filesystem::u8path(path), ec);
}

// Fixed decimals whatever the process locale; no "-0".
std::string fixedText(double v, int decimals)
{
    char buf[64];
    std::to_chars_result r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, decimals);
    if (r.ec != std::errc())
        r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::general);
    std::string s(buf, r.ptr);
    if (s.size() > 1 && s.front() == '-' && s.find_first_not_of("-0.") == std::string::npos)
        s.erase(0, 1);
    return s;
}

std::string fixed(double v, int decimals, char decimal)
{
    std::string s = fixedText(v, decimals);
    for (char& c : s)
        if (c == '.')
            c = decimal;
    return s;
}

std::string measure(const Measure& m, int decimals, char decimal)
{
    return m.known() ? fixed(m.value, decimals, decimal) : "-";
}

std::string satelliteName(int prn)
{
    char buf[8];
    std::snprintf(buf, sizeof buf, "G%02d", prn);
    return buf;
}

// `text` right-aligned in `width` characters (UTF-8 counted by characters).
std::string right(const std::string& text, std::size_t width)
{
    std::size_t chars = 0;
    for (char c : text)
        chars += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return chars >= width ? text : std::string(width - chars, ' ') + text;
}

}  // namespace

std::string rememberedNavigationFile(const std::string& settingsFile)
{
    if (settingsFile.empty())
        return {};
    return IniFile(settingsFile).readString(kSection, kNavigationKey, "");
}

bool rememberNavigationFile(const std::string& settingsFile, const std::string& navigationFile,
                            std::string& error)
{
    IniFile ini(settingsFile);
    const bool ok = ini.writeString(kSection, kNavigationKey, navigationFile);
    error = ok ? std::string() : ini.error();
    return ok;
}

double rememberedElevationMask(const std::string& settingsFile)
{
    if (settingsFile.empty())
        return kDefaultElevationMask;
    const double m = readEitherDecimal(IniFile(settingsFile), kSection, kElevationMaskKey);
    return std::isnan(m) || m < 0 || m >= 90 ? kDefaultElevationMask : m;
}

bool rememberElevationMask(const std::string& settingsFile, double mask, std::string& error)
{
    IniFile ini(settingsFile);
    const bool ok = ini.writeFloat(kSection, kElevationMaskKey, mask, '.');
    error = ok ? std::string() : ini.error();
    return ok;
}

std::string navigationFileBeside(const std::string& observationFile)
{
    // Archives keep both files compressed: "….05o.gz" beside "….05n.gz", or
    // "….05d.Z" beside "….05n.Z"; a navigation file may be compressed while
    // the observation file is not, and the other way round.
    std::string name = observationFile;
    for (const char* tail : {".gz", ".GZ", ".Z"}) {
        const std::size_t n = std::strlen(tail);
        if (name.size() > n && name.compare(name.size() - n, n, tail) == 0) {
            name.resize(name.size() - n);
            break;
        }
    }
    for (const std::string& c : navigationFileCandidates(name))
        for (const char* tail : {"", ".gz", ".Z"})
            if (isFile(c + tail))
                return c + tail;
    return {};
}

std::string navigationFileForNames(const std::string& names, const std::vector<std::string>& folders)
{
    std::size_t from = 0;
    while (from < names.size()) {
        std::size_t to = names.find("; ", from);
        if (to == std::string::npos)
            to = names.size();
        const std::string name = names.substr(from, to - from);
        from = to + 2;
        if (name.empty())
            continue;
        for (const std::string& folder : folders) {
            const std::string path = folder.empty() || folder.back() == '/' ? folder + name
                                                                             : folder + '/' + name;
            if (std::string nav = navigationFileBeside(path); !nav.empty())
                return nav;
        }
    }
    return {};
}

std::optional<Position> headerPosition(const std::string& settingsFile)
{
    if (settingsFile.empty())
        return std::nullopt;
    const IniFile ini(settingsFile);
    const double x = readEitherDecimal(ini, "POSITION", "Xo");
    const double y = readEitherDecimal(ini, "POSITION", "Yo");
    const double z = readEitherDecimal(ini, "POSITION", "Ho");
    if (std::isnan(x) || std::isnan(y) || std::isnan(z) || (x == 0 && y == 0 && z == 0))
        return std::nullopt;
    return Position{x, y, z};
}

std::optional<Position> networkPointPosition(double a, double b, double c, bool inputIsGeocentric)
{
    if (a == 0 || b == 0 || c == 0)
        return std::nullopt;
    if (inputIsGeocentric)
        return Position{a, b, c};
    const Geocentric g = EllipsoidalToGeocentric(0, DMSToRad(a), DMSToRad(b), c);
    return Position{static_cast<double>(g.X), static_cast<double>(g.Y), static_cast<double>(g.Z)};
}

ChosenPosition choosePosition(const std::optional<Position>& network,
                              const std::optional<Position>& header)
{
    const bool haveNetwork = !unusablePosition(network);
    const bool haveHeader = !unusablePosition(header);
    if (haveNetwork && haveHeader) {
        const double dx = network->X - header->X, dy = network->Y - header->Y,
                     dz = network->Z - header->Z;
        const double d = std::sqrt(dx * dx + dy * dy + dz * dz);
        if (d > kPositionMismatch)
            return {header, "προσεγγιστική θέση της κεφαλίδας (οι συντεταγμένες του σημείου "
                            "απέχουν " +
                                fixedText(d / 1000.0, 0) +
                                " km από αυτήν)"};
    }
    if (haveNetwork)
        return {network, "συντεταγμένες του σημείου του δικτύου"};
    if (haveHeader)
        return {header, "προσεγγιστική θέση της κεφαλίδας"};
    return {std::nullopt, ""};
}

void ObservationSky::loadNavigation(const std::string& navigationFile)
{
    set_ = gnss::EphemerisSet();
    findings_.clear();
    file_ = navigationFile;
    source_.ephemerides = nullptr;
    source_.navigationName = navigationFile;
    if (navigationFile.empty()) {
        source_.missingReason = "Δεν βρέθηκε αρχείο εφημερίδων (navigation) δίπλα στο αρχείο "
                                "παρατηρήσεων: επιλέξτε ένα.";
        return;
    }
    NavigationResult r = readNavigationFile(navigationFile);
    findings_ = std::move(r.findings);
    if (!r.ok()) {
        source_.missingReason = r.message;
        return;
    }
    source_.missingReason.clear();
    set_ = gnss::EphemerisSet(std::move(r.ephemerides));
    source_.ephemerides = &set_;
}

void ObservationSky::setPosition(const ChosenPosition& p)
{
    source_.position = p.position;
    source_.positionSource = p.source;
}

std::vector<std::vector<std::string>> qualityListing(const QualityReport& q, const SkySource& source,
                                                     const std::string& heading,
                                                     const std::string& observationFiles,
                                                     char decimal, int pageLines)
{
    std::vector<std::string> lines;
    const auto add = [&lines](std::string s) { lines.push_back(std::move(s)); };
    const auto row = [&](const std::string& key, const std::string& value) {
        std::string k = key;
        std::size_t chars = 0;
        for (char c : k)
            chars += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
        if (chars < 36)
            k += std::string(36 - chars, ' ');
        add(k + ": " + value);
    };
    add("Korthal");
    add(heading);
    add("");
    row("αρχείο παρατηρήσεων", observationFiles.empty() ? "-" : observationFiles);
    row("αρχείο εφημερίδων", source.navigationName.empty() ? "-" : source.navigationName);
    if (source.position)
        row("θέση (X, Y, Z WGS84, m)",
            fixed(source.position->X, 3, decimal) + "  " + fixed(source.position->Y, 3, decimal) +
                "  " + fixed(source.position->Z, 3, decimal));
    if (!source.positionSource.empty())
        row("θέση από", source.positionSource);
    row("γωνία αποκοπής (°)", fixed(q.mask, 1, decimal));
    row("εποχές", std::to_string(q.epochCount()) + " από " + std::to_string(q.expectedEpochs) +
                      " αναμενόμενες (" + fixed(q.completeness, 1, decimal) + " %)");
    row("διάστημα (s)", fixed(q.interval, 3, decimal));
    row("πρώτη εποχή", q.epochs.empty() ? "-" : formatGpsTime(q.epochs.front()));
    row("τελευταία εποχή", q.epochs.empty() ? "-" : formatGpsTime(q.epochs.back()));
    row("κενά", std::to_string(q.gaps.size()));
    row("δορυφόροι GPS", std::to_string(q.satellites.size()));
    row("παρατηρήσεις (δορυφόρος-εποχή)", std::to_string(q.observations));
    row("cycle slips", std::to_string(q.slips.size()));
    row("MP1, MP2 (m, RMS)", measure(q.mp1, 3, decimal) + "  " + measure(q.mp2, 3, decimal));
    row("ποιότητα σήματος L1, L2 (1-9)",
        measure(q.snr1, 1, decimal) + "  " + measure(q.snr2, 1, decimal));
    if (q.sky.available) {
        std::string names;
        for (int prn : q.notTracked)
            names += (names.empty() ? "" : " ") + satelliteName(prn);
        row("πάνω από τη μάσκα, χωρίς παρατήρηση", names.empty() ? "-" : names);
    } else {
        row("χωρίς ύψη δορυφόρων", q.sky.reason);
    }
    if (!q.gaps.empty()) {
        add("");
        add("Κενά (τελευταία εποχή πριν, πρώτη μετά, εποχές που λείπουν)");
        for (const EpochGap& g : q.gaps)
            add("  " + formatGpsTime(g.after) + "  " + formatGpsTime(g.before) + "  " +
                right(std::to_string(g.missing), 6));
    }
    if (!q.slips.empty()) {
        add("");
        add("Cycle slips (εποχή, δορυφόρος, αιτία: lli απώλεια κλειδώματος, gf geometry-free, "
            "mw Melbourne-Wübbena)");
        for (const CycleSlip& s : q.slips)
            add("  " + formatGpsTime(s.time) + "  " + satelliteName(s.prn) + "  " +
                slipCauseName(s.cause));
    }
    add("");
    add("δορ.  παρατ. >μάσκα αναμεν. slips     MP1     MP2  SNR1  SNR2 ύψος min ύψος max");
    for (const SatelliteQuality& s : q.satellites) {
        const bool sky = q.sky.available;
        add(satelliteName(s.prn) + right(std::to_string(s.observations), 9) +
            right(sky ? std::to_string(s.aboveMask) : "-", 7) +
            right(sky ? std::to_string(s.expected) : "-", 8) + right(std::to_string(s.slips), 6) +
            right(measure(s.mp1, 3, decimal), 8) + right(measure(s.mp2, 3, decimal), 8) +
            right(measure(s.snr1, 1, decimal), 6) + right(measure(s.snr2, 1, decimal), 6) +
            right(measure(s.minElevation, 1, decimal), 9) +
            right(measure(s.maxElevation, 1, decimal), 9));
    }

    std::vector<std::vector<std::string>> pages;
    if (pageLines <= 0) {
        pages.push_back(std::move(lines));
        return pages;
    }
    for (std::size_t i = 0; i < lines.size(); i += static_cast<std::size_t>(pageLines))
        pages.emplace_back(lines.begin() + static_cast<std::ptrdiff_t>(i),
                           lines.begin() + static_cast<std::ptrdiff_t>(std::min(
                                               lines.size(), i + static_cast<std::size_t>(pageLines))));
    return pages;
}

std::int32_t timeOfDayMs(double gpsSeconds)
{
    double day = std::fmod(gpsSeconds, 86400.0);
    if (day < 0)
        day += 86400.0;
    return static_cast<std::int32_t>(std::llround(day * 1000.0)) % 86400000;
}

std::vector<SlipAt> chartSlips(const QualityReport& q)
{
    std::vector<SlipAt> out;
    for (const CycleSlip& s : q.slips)
        out.push_back({s.prn, timeOfDayMs(s.time)});
    return out;
}

std::vector<TimeSpan> chartGaps(const QualityReport& q)
{
    std::vector<TimeSpan> out;
    for (const EpochGap& g : q.gaps) {
        const TimeSpan span{timeOfDayMs(g.after), timeOfDayMs(g.before)};
        if (span.to > span.from && g.before - g.after < 86400.0)
            out.push_back(span);
    }
    return out;
}

std::string skyReadout(const QualityReport& q, std::size_t track, std::size_t point)
{
    if (track >= q.sky.tracks.size() || point >= q.sky.tracks[track].points.size())
        return {};
    const SkyTrack& t = q.sky.tracks[track];
    const SkyPoint& p = t.points[point];
    std::string time = p.epoch >= 0 && static_cast<std::size_t>(p.epoch) < q.epochs.size()
                           ? formatGpsTime(q.epochs[static_cast<std::size_t>(p.epoch)])
                           : std::string("-");
    std::string text = satelliteName(t.prn) + "  " + time + "  αζιμούθιο " +
                       fixedText(static_cast<double>(p.azimuth), 1) + "°  ύψος " +
                       fixedText(static_cast<double>(p.elevation), 1) + "°  SNR " +
                       (p.snr > 0 ? std::to_string(p.snr) : std::string("-"));
    if (!t.tracked)
        text += "  (δεν παρατηρήθηκε)";
    return text;
}

}  // namespace korthal::rinex
