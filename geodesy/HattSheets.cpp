// The HATT sheets of 1:50 000: their polynomials, outlines and names.

#include "geodesy/HattSheets.h"

#include "geodesy/Angles.h"
#include "geodesy/TM87.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>

namespace korthal {

namespace {

constexpr double kDeg = 180 / 3.14159265358979323846;
// Metres of a degree of latitude, near enough for distances to an outline.
constexpr double kMetresPerDegree = 6371000 / kDeg;
constexpr double kCell = 0.25;    // degrees
constexpr double kMargin = 0.05;  // degrees around an outline, for candidates
// How far the published inverse may miss the forward before iteration takes over.
constexpr double kPublishedTolerance = 0.001;  // m

// The code points of UTF-8 text; a broken sequence gives U+FFFD.
std::u32string codePoints(std::string_view s)
{
    std::u32string out;
    for (std::size_t i = 0; i < s.size();) {
        const auto b = static_cast<unsigned char>(s[i]);
        int len = b < 0x80 ? 1 : (b >> 5) == 6 ? 2 : (b >> 4) == 14 ? 3 : (b >> 3) == 30 ? 4 : 0;
        if (len == 0 || i + static_cast<std::size_t>(len) > s.size()) {
            out += U'\uFFFD';
            ++i;
            continue;
        }
        char32_t c = len == 1 ? b : b & (0x7F >> len);
        for (int k = 1; k < len; ++k)
            c = (c << 6) | (static_cast<unsigned char>(s[i + static_cast<std::size_t>(k)]) & 0x3F);
        out += c;
        i += static_cast<std::size_t>(len);
    }
    return out;
}

void appendUtf8(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// A Greek or Latin letter in lower case without its accent; 0 for the marks
// that names write in several ways.
char32_t simpleLetter(char32_t c)
{
    switch (c) {
    case U'ά':
    case U'Ά':
        return U'α';
    case U'έ':
    case U'Έ':
        return U'ε';
    case U'ή':
    case U'Ή':
        return U'η';
    case U'ί':
    case U'Ί':
    case U'ϊ':
    case U'Ϊ':
    case U'ΐ':
        return U'ι';
    case U'ό':
    case U'Ό':
        return U'ο';
    case U'ύ':
    case U'Ύ':
    case U'ϋ':
    case U'Ϋ':
    case U'ΰ':
        return U'υ';
    case U'ώ':
    case U'Ώ':
        return U'ω';
    case U'ς':
        return U'σ';
    case U' ':
    case U'\t':
    case U'.':
    case U'-':
    case U'(':
    case U')':
        return 0;
    default:
        break;
    }
    if (c >= U'Α' && c <= U'Ω')
        return c + 0x20;
    if (c >= U'A' && c <= U'Z')
        return c + 0x20;
    return c;
}

std::size_t editDistance(const std::u32string& a, const std::u32string& b)
{
    std::vector<std::size_t> row(b.size() + 1);
    std::iota(row.begin(), row.end(), std::size_t{0});
    for (std::size_t i = 1; i <= a.size(); ++i) {
        std::size_t diagonal = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t above = row[j];
            row[j] =
                std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
            diagonal = above;
        }
    }
    return row[b.size()];
}

double squared(double v)
{
    return v * v;
}

}  // namespace

std::string simpleSpelling(std::string_view name)
{
    std::string out;
    for (const char32_t c : codePoints(name))
        if (const char32_t s = simpleLetter(c))
            appendUtf8(out, s);
    return out;
}

HattSheets::HattSheets(const HattSheetRecord* records, std::size_t count, const double* outline)
    : records_(records), count_(count), outline_(outline)
{
    double lonMin = 1e9, lonMax = -1e9, latMin = 1e9, latMax = -1e9;
    for (std::size_t s = 0; s < count; ++s) {
        simpleNames_.push_back(simpleSpelling(records[s].name));
        for (int v = 0; v < records[s].outlineCount; ++v) {
            const double* p = outline + 2 * (records[s].outlineStart + v);
            lonMin = std::min(lonMin, p[0]);
            lonMax = std::max(lonMax, p[0]);
            latMin = std::min(latMin, p[1]);
            latMax = std::max(latMax, p[1]);
        }
    }
    if (count == 0)
        return;
    cellLon0_ = lonMin - kMargin;
    cellLat0_ = latMin - kMargin;
    cellCols_ = static_cast<int>((lonMax + kMargin - cellLon0_) / kCell) + 1;
    cellRows_ = static_cast<int>((latMax + kMargin - cellLat0_) / kCell) + 1;
    cells_.resize(static_cast<std::size_t>(cellCols_ * cellRows_));
    for (std::size_t s = 0; s < count; ++s) {
        double w = 1e9, e = -1e9, so = 1e9, n = -1e9;
        for (int v = 0; v < records[s].outlineCount; ++v) {
            const double* p = outline + 2 * (records[s].outlineStart + v);
            w = std::min(w, p[0]), e = std::max(e, p[0]);
            so = std::min(so, p[1]), n = std::max(n, p[1]);
        }
        const int c0 = static_cast<int>((w - kMargin - cellLon0_) / kCell);
        const int c1 = static_cast<int>((e + kMargin - cellLon0_) / kCell);
        const int r0 = static_cast<int>((so - kMargin - cellLat0_) / kCell);
        const int r1 = static_cast<int>((n + kMargin - cellLat0_) / kCell);
        for (int r = std::max(r0, 0); r <= std::min(r1, cellRows_ - 1); ++r)
            for (int c = std::max(c0, 0); c <= std::min(c1, cellCols_ - 1); ++c)
                cells_[static_cast<std::size_t>(r * cellCols_ + c)].push_back(static_cast<int>(s));
    }
}

HattSheet HattSheets::gridSheet(int s) const
{
    const HattSheetRecord& r = records_[s];
    return {static_cast<int>(std::lround((r.centreLat - 34.75) * 2)),
            static_cast<int>(std::lround((r.centreLon + 4.25) * 2))};
}

std::vector<int> HattSheets::withNumber(int number) const
{
    std::vector<int> out;
    for (std::size_t s = 0; s < count_; ++s)
        if (records_[s].number == number)
            out.push_back(static_cast<int>(s));
    return out;
}

int HattSheets::withName(std::string_view name) const
{
    const std::string simple = simpleSpelling(name);
    for (std::size_t s = 0; s < count_; ++s)
        if (!simple.empty() && simpleNames_[s] == simple)
            return static_cast<int>(s);
    return -1;
}

std::vector<std::string> HattSheets::nearestNames(std::string_view name, std::size_t count) const
{
    const std::u32string want = codePoints(simpleSpelling(name));
    std::vector<std::pair<std::size_t, std::size_t>> ranked;  // distance, sheet
    for (std::size_t s = 0; s < count_; ++s) {
        const std::u32string have = codePoints(simpleNames_[s]);
        // A name that begins with what was typed is as near as can be.
        const bool prefix = !want.empty() && have.compare(0, want.size(), want) == 0;
        ranked.emplace_back(prefix ? 0 : editDistance(want, have), s);
    }
    std::stable_sort(ranked.begin(), ranked.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<std::string> out;
    for (std::size_t k = 0; k < ranked.size() && k < count; ++k)
        out.emplace_back(records_[ranked[k].second].name);
    return out;
}

std::vector<int> HattSheets::named(std::string_view text) const
{
    const bool digits = !text.empty() && std::all_of(text.begin(), text.end(),
                                                     [](char c) { return c >= '0' && c <= '9'; });
    if (digits && text.size() <= 6)
        return withNumber(std::stoi(std::string(text)));
    const int s = withName(text);
    return s < 0 ? std::vector<int>{} : std::vector<int>{s};
}

template <class T>
BasicProjected<T> HattSheets::toTM87(int s, Exact<T> x, Exact<T> y) const
{
    const double* A = records_[s].A;
    const double* B = records_[s].B;
    return {
        T(A[0]) + T(A[1]) * x + T(A[2]) * y + T(A[3]) * x * x + T(A[4]) * y * y + T(A[5]) * x * y,
        T(B[0]) + T(B[1]) * x + T(B[2]) * y + T(B[3]) * x * x + T(B[4]) * y * y + T(B[5]) * x * y};
}

template <class T>
SheetXY<T> HattSheets::fromTM87(int s, Exact<T> E, Exact<T> N) const
{
    const HattSheetRecord& r = records_[s];
    const T dE = E - T(r.A[0]), dN = N - T(r.B[0]);
    SheetXY<T> out;
    out.x = T(r.C[0]) * dE + T(r.C[1]) * dN + T(r.C[2]) * dE * dE + T(r.C[3]) * dN * dN +
            T(r.C[4]) * dE * dN;
    out.y = T(r.D[0]) * dE + T(r.D[1]) * dN + T(r.D[2]) * dE * dE + T(r.D[3]) * dN * dN +
            T(r.D[4]) * dE * dN;
    // Newton's steps on the forward polynomial from the published result; the
    // first says by how much, in x and y, the published inverse misses.
    for (int pass = 0; pass < 20; ++pass) {
        const BasicProjected<T> back = toTM87<T>(s, out.x, out.y);
        const T a11 = T(r.A[1]) + 2 * T(r.A[3]) * out.x + T(r.A[5]) * out.y;
        const T a12 = T(r.A[2]) + 2 * T(r.A[4]) * out.y + T(r.A[5]) * out.x;
        const T a21 = T(r.B[1]) + 2 * T(r.B[3]) * out.x + T(r.B[5]) * out.y;
        const T a22 = T(r.B[2]) + 2 * T(r.B[4]) * out.y + T(r.B[5]) * out.x;
        const T det = a11 * a22 - a12 * a21;
        const T rE = E - back.E, rN = N - back.N;
        const T stepX = (a22 * rE - a12 * rN) / det;
        const T stepY = (a11 * rN - a21 * rE) / det;
        const T step = std::hypot(stepX, stepY);
        if (pass == 0 && step <= T(kPublishedTolerance))
            return out;
        out.iterated = true;
        out.x += stepX;
        out.y += stepY;
        if (!(step > T(1e-9)))
            break;
    }
    return out;
}

template BasicProjected<double> HattSheets::toTM87<double>(int, double, double) const;
template BasicProjected<Extended> HattSheets::toTM87<Extended>(int, Extended, Extended) const;
template SheetXY<double> HattSheets::fromTM87<double>(int, double, double) const;
template SheetXY<Extended> HattSheets::fromTM87<Extended>(int, Extended, Extended) const;

HattSheets::Place HattSheets::placeOf(int s, double x, double y) const
{
    const BasicGeographic<double> g = HATTToEllipsoidal<double>(x, y, 0, 0, gridSheet(s));
    return {(g.lambda - static_cast<double>(kLambdaAthens)) * kDeg, g.phi * kDeg};
}

bool HattSheets::holds(int s, Place p) const
{
    const HattSheetRecord& r = records_[s];
    bool in = false;
    for (int i = 0, j = r.outlineCount - 1; i < r.outlineCount; j = i++) {
        const double* a = outline_ + 2 * (r.outlineStart + i);
        const double* b = outline_ + 2 * (r.outlineStart + j);
        if ((a[1] > p.lat) != (b[1] > p.lat) &&
            p.lon < (b[0] - a[0]) * (p.lat - a[1]) / (b[1] - a[1]) + a[0])
            in = !in;
    }
    return in;
}

double HattSheets::metresTo(int s, Place p) const
{
    if (holds(s, p))
        return 0;
    const HattSheetRecord& r = records_[s];
    const double kx = std::cos(p.lat / kDeg) * kMetresPerDegree;
    double best = std::numeric_limits<double>::infinity();
    for (int i = 0, j = r.outlineCount - 1; i < r.outlineCount; j = i++) {
        const double* a = outline_ + 2 * (r.outlineStart + i);
        const double* b = outline_ + 2 * (r.outlineStart + j);
        // The edge and the point in metres, from the edge's first vertex.
        const double ex = (b[0] - a[0]) * kx, ey = (b[1] - a[1]) * kMetresPerDegree;
        const double px = (p.lon - a[0]) * kx, py = (p.lat - a[1]) * kMetresPerDegree;
        const double len2 = ex * ex + ey * ey;
        const double t = len2 > 0 ? std::clamp((px * ex + py * ey) / len2, 0.0, 1.0) : 0.0;
        best = std::min(best, std::sqrt(squared(px - t * ex) + squared(py - t * ey)));
    }
    return best;
}

double HattSheets::middleDistance(int s, Place p) const
{
    const HattSheetRecord& r = records_[s];
    double lon = 0, lat = 0;
    for (int v = 0; v < r.outlineCount; ++v) {
        lon += outline_[2 * (r.outlineStart + v)];
        lat += outline_[2 * (r.outlineStart + v) + 1];
    }
    lon /= r.outlineCount;
    lat /= r.outlineCount;
    return std::hypot((p.lon - lon) * std::cos(p.lat / kDeg), p.lat - lat);
}

std::vector<int> HattSheets::near(Place p) const
{
    const int c = static_cast<int>(std::floor((p.lon - cellLon0_) / kCell));
    const int r = static_cast<int>(std::floor((p.lat - cellLat0_) / kCell));
    if (c < 0 || r < 0 || c >= cellCols_ || r >= cellRows_)
        return {};
    return cells_[static_cast<std::size_t>(r * cellCols_ + c)];
}

double HattSheets::metresOutside(int s, double x, double y) const
{
    return metresTo(s, placeOf(s, x, y));
}

void HattSheets::consider(SheetFound& best, double& bestMiddle, int s, Place p) const
{
    const double out = metresTo(s, p);
    const double middle = middleDistance(s, p);
    if (best.sheet < 0 || out < best.metresOutside ||
        (out == best.metresOutside && middle < bestMiddle)) {
        best = {s, out};
        bestMiddle = middle;
    }
}

SheetFound HattSheets::sheetOfHatt(const std::vector<int>& sheets, double x, double y) const
{
    SheetFound best;
    double bestMiddle = 0;
    for (const int s : sheets)
        consider(best, bestMiddle, s, placeOf(s, x, y));
    return best;
}

SheetFound HattSheets::sheetOfTM87(double E, double N, const std::vector<int>& among) const
{
    if (count_ == 0)
        return {};
    std::vector<int> candidates = among;
    if (candidates.empty()) {
        // Where the point lies, near enough to choose the candidates: EGSA87
        // and the old Greek datum differ by some hundred metres.
        FootpointCheck check;
        const BasicGeographic<double> g = TM87ToEllipsoidal<double>(E, N, 0, 0, &check);
        candidates = near({(g.lambda - static_cast<double>(kLambdaAthens)) * kDeg, g.phi * kDeg});
    }
    if (candidates.empty()) {
        candidates.resize(count_);
        std::iota(candidates.begin(), candidates.end(), 0);
    }
    SheetFound best;
    double bestMiddle = 0;
    for (const int s : candidates) {
        const SheetXY<double> xy = fromTM87<double>(s, E, N);
        consider(best, bestMiddle, s, placeOf(s, xy.x, xy.y));
    }
    return best;
}

}  // namespace korthal
