#include "tools/cli/ConvertLines.h"

#include "geodesy/Angles.h"
#include "geodesy/TM87.h"
#include "project/Dialogs.h"
#include "table/PlainNumber.h"
#include "tools/cli/CliSupport.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace korthal::cli {

namespace {

constexpr int kAngleDecimals = 9;

// How far the double run's results may lie from the Extended run's: a
// hundred times what was seen over Greece (below 1e-9 m and 1e-15 rad).
constexpr double kLengthTolerance = 2e-7;   // m
constexpr double kAngleTolerance = 4e-14;   // rad

constexpr double kPow10[] = {1e0, 1e1, 1e2, 1e3, 1e4,  1e5,  1e6,
                             1e7, 1e8, 1e9, 1e10, 1e11, 1e12};

// At most four fields of a line, split at blanks and tabs (four tells that
// there are too many).
struct Fields {
    std::string_view f[4];
    int n = 0;
};

Fields split(std::string_view line)
{
    Fields out;
    std::size_t i = 0;
    while (i < line.size() && out.n < 4) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t'))
            ++i;
        const std::size_t start = i;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t')
            ++i;
        if (i > start)
            out.f[out.n++] = line.substr(start, i - start);
    }
    return out;
}

// A field as a double, with parseNumber's rules; false when it does not read
// so (the Extended reading then decides).
bool readDouble(std::string_view s, double& v)
{
    if (!s.empty() && s.front() == '+')
        s.remove_prefix(1);
    if (s.empty() || s.front() == '+')
        return false;
    DecimalDigits d;
    if (splitDecimal(s, '.', d) && exactDouble(d, v))
        return true;
    const auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    return ec == std::errc() && p == s.data() + s.size() && std::isfinite(v);
}

// Whether a packed angle, read as a double, takes its whole degrees and
// minutes as the Extended reading of the same text does. The text has at most
// 15 significant digits, so the two readings are integers together, and the
// minutes lie well away from the step at which they are cut.
bool packedReadsAlike(std::string_view text, double v)
{
    int digits = 0;
    bool leading = true;
    for (char c : text) {
        if (c == 'e' || c == 'E')
            break;
        if (c >= '1' && c <= '9')
            leading = false;
        if (c >= '0' && c <= '9' && !leading)
            ++digits;
    }
    if (digits > 15)
        return false;
    const Extended x = v;
    // DMSToRad takes whole minutes of Frac(v)·100 after a nudge of 1e-9.
    const Extended m = Frac(x) * 100 + std::copysign(1e-9L, x);
    return std::fabs(m - std::nearbyint(m)) > 1e-10L;
}

// Whether formatPacked writes the same text for every angle within
// `tolerance` of x: the whole degrees, the whole minutes and the rounded
// seconds lie clear of their steps.
bool packedIsSure(double radians, int decimals)
{
    const double deg = std::fabs(radians) * (180 / 3.14159265358979323846);
    const double unit = kPow10[decimals - 4];
    const double tolDeg = kAngleTolerance * (180 / 3.14159265358979323846) + deg * 1e-15;
    const double d = deg - std::floor(deg);
    const double m = d * 60 - std::floor(d * 60);
    const double s = m * 60 * unit;
    const double sFrac = s - std::floor(s);
    return std::isfinite(deg) && deg < 1e6 && d > tolDeg && d < 1 - tolDeg &&
           m > tolDeg * 60 && m < 1 - tolDeg * 60 &&
           std::fabs(sFrac - 0.5) > tolDeg * 3600 * unit + 1e-6;
}

void appendExtended(std::string& out, Extended v, int decimals, bool packed)
{
    out += packed ? formatPacked(v, decimals) : formatFixed(v, decimals);
}

std::string lineError(long lineNumber, std::string_view line)
{
    return "korthal-cli convert: line " + std::to_string(lineNumber) +
           ": not three numbers: " + std::string(line) + "\n";
}

// The Extended conversion of one line, written as the calculator writes it.
// False when the line's numbers do not read (the error is written). With a
// watch, a conversion that would show a message sets watch->noConvergence
// and writes nothing.
bool convertExtended(const Fields& fl, std::string_view line, long lineNumber,
                     const ConvertJob& job, ChainWatch* watch, ConvertedBlock& b)
{
    std::optional<Extended> v[3];
    if (fl.n == 3)
        for (int k = 0; k < 3; ++k)
            v[k] = parseNumber(fl.f[k]);
    if (!v[0] || !v[1] || !v[2]) {
        b.err += lineError(lineNumber, line);
        b.badLines = true;
        return false;
    }
    const ConvertOptions& o = job.options;
    ChainPoint<Extended> p{*v[0], *v[1], *v[2], {}};
    if (isGeographic(job.from)) {
        p.a = DMSToRad(p.a);
        p.b = DMSToRad(p.b);
    }
    if (job.from == HattProj)
        p.sheet = *o.sheet;

    const ChainPoint<Extended> r = convertPoint(job.from, job.to, p, o, watch);
    if (watch && watch->noConvergence)
        return true;
    if (r.noConvergence) showMessage(kMsgNoConvergence, MsgIcon::Exclamation);
    const std::string where = "korthal-cli convert: line " + std::to_string(lineNumber) + ": ";
    if (r.note == PointNote::OutsideHeposGrid) {
        b.err += where + "the point lies outside the HEPOS correction grid; not converted: " +
                 std::string(line) + "\n";
        b.badLines = true;
        return false;
    }

    const bool geo = isGeographic(job.to);
    appendExtended(b.out, r.a, geo ? kAngleDecimals : o.decimals, geo);
    b.out += ' ';
    appendExtended(b.out, r.b, geo ? kAngleDecimals : o.decimals, geo);
    b.out += ' ';
    b.out += formatFixed(r.c, o.decimals);
    if (job.to == HattProj) {
        b.out += ' ' + std::to_string(r.sheet.i) + ' ' + std::to_string(r.sheet.j);
        if (!r.sheet.valid())
            b.err += where + "the point lies outside the HATT sheets of Greece\n";
    }
    if (job.to == HattOkxe && r.okxe >= 0)
        b.out += std::string(" ") + HattSheets::builtIn()[r.okxe].name;
    b.out += '\n';
    if (r.note == PointNote::FarFromSheet)
        b.err += where + "the point lies " + formatFixed(r.noteMetres / 1000, 1) +
                 " km outside the outline of sheet " + HattSheets::builtIn()[r.noteSheet].name +
                 "\n";
    ++b.extendedLines;
    return true;
}

// The double conversion of one line, written when every number is sure.
bool convertDouble(const Fields& fl, const ConvertJob& job, std::string& out)
{
    if (fl.n != 3 || !doubleRunFits(job.from, job.to))
        return false;
    double v[3];
    for (int k = 0; k < 3; ++k)
        if (!readDouble(fl.f[k], v[k]))
            return false;
    const bool geoIn = isGeographic(job.from);
    if (geoIn && (!packedReadsAlike(fl.f[0], v[0]) || !packedReadsAlike(fl.f[1], v[1])))
        return false;
    ChainPoint<double> p{v[0], v[1], v[2], {}};
    if (geoIn) {
        p.a = static_cast<double>(DMSToRad(v[0]));
        p.b = static_cast<double>(DMSToRad(v[1]));
    }
    ChainWatch watch;
    const ChainPoint<double> r = convertPoint(job.from, job.to, p, job.options, &watch);
    if (watch.needsExtended || watch.noConvergence || r.note != PointNote::None)
        return false;

    const std::size_t mark = out.size();
    const int dec = job.options.decimals;
    bool sure = true;
    if (isGeographic(job.to)) {
        sure = packedIsSure(r.a, kAngleDecimals) && packedIsSure(r.b, kAngleDecimals);
        if (sure) {
            out += formatPacked(r.a, kAngleDecimals);
            out += ' ';
            out += formatPacked(r.b, kAngleDecimals);
            out += ' ';
        }
    } else {
        sure = appendFixedIfSure(out, r.a, dec, kLengthTolerance);
        if (sure)
            out += ' ';
        sure = sure && appendFixedIfSure(out, r.b, dec, kLengthTolerance);
        if (sure)
            out += ' ';
    }
    if (!sure || !appendFixedIfSure(out, r.c, dec, kLengthTolerance)) {
        out.resize(mark);
        return false;
    }
    out += '\n';
    return true;
}

}  // namespace

bool appendFixedIfSure(std::string& out, double x, int decimals, double tolerance)
{
    if (decimals < 0 || decimals > 12 || !std::isfinite(x))
        return false;
    const double s = std::fabs(x) * kPow10[decimals];
    if (!(s < 1e15))
        return false;
    const double whole = std::floor(s);
    const double frac = s - whole;  // exact below 2^52
    // The value may lie `tolerance` away, and s itself is rounded once.
    if (std::fabs(frac - 0.5) <= tolerance * kPow10[decimals] + s * 3e-16 + 1e-9)
        return false;
    const auto n = static_cast<std::uint64_t>(whole) + (frac > 0.5 ? 1 : 0);
    // The digits of n, zeros in front so that one stands before the point.
    char digits[40];
    char tmp[24];
    const auto len = static_cast<int>(std::to_chars(tmp, tmp + sizeof tmp, n).ptr - tmp);
    const int pad = len > decimals ? 0 : decimals + 1 - len;
    std::memset(digits, '0', static_cast<std::size_t>(pad));
    std::memcpy(digits + pad, tmp, static_cast<std::size_t>(len));
    const int intDigits = pad + len - decimals;
    char buf[48];
    char* p = buf;
    if (x < 0 && n != 0)
        *p++ = '-';
    std::memcpy(p, digits, static_cast<std::size_t>(intDigits));
    p += intDigits;
    if (decimals > 0) {
        *p++ = '.';
        std::memcpy(p, digits + intDigits, static_cast<std::size_t>(decimals));
        p += decimals;
    }
    out.append(buf, p);
    return true;
}

ConvertedBlock convertBlock(std::string_view text, long firstLine, const ConvertJob& job,
                            const std::function<void(ConvertedBlock&)>& flush)
{
    ConvertedBlock b;
    b.out.reserve(text.size() + text.size() / 4);
    long lineNumber = firstLine - 1;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t start = pos;
        const std::size_t nl = text.find('\n', pos);
        const std::size_t end = nl == std::string_view::npos ? text.size() : nl;
        pos = nl == std::string_view::npos ? text.size() : nl + 1;
        ++lineNumber;
        std::string_view line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        const Fields fl = split(line);
        if (fl.n == 0 || fl.f[0][0] == '#')
            continue;
        if (convertDouble(fl, job, b.out)) {
            ++b.doubleLines;
            continue;
        }
        ChainWatch watch;
        const std::size_t mark = b.out.size();
        if (!convertExtended(fl, line, lineNumber, job, &watch, b) || !watch.noConvergence)
            continue;
        // The conversion has a message to show, in its turn.
        b.out.resize(mark);
        if (!flush) {
            b.restAt = start;
            b.restLine = lineNumber;
            return b;
        }
        flush(b);
        convertExtended(fl, line, lineNumber, job, nullptr, b);
    }
    return b;
}

}  // namespace korthal::cli
