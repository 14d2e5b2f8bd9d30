#include "views/GeoidMap.h"

#include "geodesy/Angles.h"
#include "geodesy/Geoid.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <limits>
#include <numbers>
#include <unordered_map>

namespace korthal {

namespace {

constexpr double kRadPerDeg = std::numbers::pi / 180.0;

// Pixels per degree of longitude and of latitude on a map of this size.
double xScale(int width) { return (width - 38) / 10.0; }
double yScale(int height) { return ((height + 3) - 22) / 8.0; }

}  // namespace

MarkerPixel geoidMarkerPixel(double phi, double lambda, int width, int height)
{
    const double x = 38 - (19 - lambda) * (width - 38) / 10 - (42 - phi);
    const double y = 22 - (42 - phi) * (22 - (height + 3)) / 8;
    return {static_cast<int>(std::nearbyint(x)), static_cast<int>(std::nearbyint(y))};
}

MapPoint geoidMapPoint(double phi, double lambda, int width, int height)
{
    return {38 + (lambda - 19) * xScale(width) - (42 - phi), 22 + (42 - phi) * yScale(height)};
}

GeoPoint geoidMapPosition(MapPoint p, int width, int height)
{
    const double south = (p.y - 22) / yScale(height);  // degrees south of 42°
    return {42 - south, 19 + (p.x - 38 + south) / xScale(width)};
}

bool insideGeoidMap(double phi, double lambda)
{
    // A hair of tolerance, so that a border typed as whole degrees and
    // turned through radians stays on the map.
    constexpr double e = 1e-9;
    return phi >= kGeoidMapSouth - e && phi <= kGeoidMapNorth + e && lambda >= kGeoidMapWest - e &&
           lambda <= kGeoidMapEast + e;
}

GeoidMapSurface::GeoidMapSurface(const DatumShiftTable& shifts)
{
    v_.resize(static_cast<std::size_t>(kRows * kCols));
    // The model needs the nodes on both sides of a point: the north and east
    // borders are sampled a hair inside.
    constexpr double inside = 1e-9;
    for (int r = 0; r < kRows; ++r) {
        const double phi = std::min(kGeoidMapNorth - double(r) / kPerDegree, kGeoidMapNorth - inside);
        for (int c = 0; c < kCols; ++c) {
            const double lambda =
                std::min(kGeoidMapWest + double(c) / kPerDegree, kGeoidMapEast - inside);
            const auto n = GeoidUndulationUnrounded(shifts, phi * kRadPerDeg, lambda * kRadPerDeg);
            v_[static_cast<std::size_t>(r * kCols + c)] =
                n ? *n : std::numeric_limits<double>::quiet_NaN();
        }
    }
}

std::optional<double> GeoidMapSurface::at(double phi, double lambda) const
{
    if (!insideGeoidMap(phi, lambda)) return std::nullopt;
    const double r = std::clamp((kGeoidMapNorth - phi) * kPerDegree, 0.0, double(kRows - 1));
    const double c = std::clamp((lambda - kGeoidMapWest) * kPerDegree, 0.0, double(kCols - 1));
    const int r0 = std::min(static_cast<int>(r), kRows - 2);
    const int c0 = std::min(static_cast<int>(c), kCols - 2);
    const double fr = r - r0, fc = c - c0;
    auto v = [&](int rr, int cc) { return v_[static_cast<std::size_t>(rr * kCols + cc)]; };
    const double top = v(r0, c0) + fc * (v(r0, c0 + 1) - v(r0, c0));
    const double bottom = v(r0 + 1, c0) + fc * (v(r0 + 1, c0 + 1) - v(r0 + 1, c0));
    const double value = top + fr * (bottom - top);
    if (std::isnan(value)) return std::nullopt;
    return value;
}

GeoidMapField geoidMapField(const GeoidMapSurface& surface, int width, int height)
{
    GeoidMapField f;
    f.width = width;
    f.height = height;
    f.values.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height),
                    std::numeric_limits<double>::quiet_NaN());
    f.min = std::numeric_limits<double>::infinity();
    f.max = -f.min;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const GeoPoint g = geoidMapPosition({x + 0.5, y + 0.5}, width, height);
            const auto n = surface.at(g.phi, g.lambda);
            if (!n) continue;
            f.values[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                     static_cast<std::size_t>(x)] = *n;
            f.min = std::min(f.min, *n);
            f.max = std::max(f.max, *n);
        }
    }
    if (f.min > f.max) f.min = f.max = 0;
    return f;
}

namespace {

// Marching squares over the cells between four pixel centres. An edge is
// named by its first pixel and its direction, so that the two cells sharing
// it name its crossing alike and the pieces can be joined into lines.
class ContourTracer {
public:
    ContourTracer(const GeoidMapField& f, double level) : f_(f), level_(level) {}

    ContourLine trace()
    {
        for (int j = 0; j + 1 < f_.height; ++j)
            for (int i = 0; i + 1 < f_.width; ++i) cell(i, j);
        return join();
    }

private:
    using Edge = long long;
    Edge horizontal(int i, int j) const { return (Edge(j) * f_.width + i) * 2; }
    Edge vertical(int i, int j) const { return (Edge(j) * f_.width + i) * 2 + 1; }

    MapPoint crossing(Edge e) const
    {
        const int k = static_cast<int>(e / 2);
        const int i = k % f_.width, j = k / f_.width;
        const int i2 = e % 2 ? i : i + 1, j2 = e % 2 ? j + 1 : j;
        const double a = f_.at(i, j), b = f_.at(i2, j2);
        const double t = std::clamp((level_ - a) / (b - a), 0.0, 1.0);
        return {i + 0.5 + t * (i2 - i), j + 0.5 + t * (j2 - j)};
    }

    void add(Edge a, Edge b)
    {
        const int s = static_cast<int>(segments_.size());
        segments_.push_back({a, b});
        ends_[a].push_back(s);
        ends_[b].push_back(s);
    }

    void cell(int i, int j)
    {
        const double a = f_.at(i, j), b = f_.at(i + 1, j), c = f_.at(i + 1, j + 1),
                     d = f_.at(i, j + 1);
        if (std::isnan(a) || std::isnan(b) || std::isnan(c) || std::isnan(d)) return;
        const int k = (a >= level_) << 3 | (b >= level_) << 2 | (c >= level_) << 1 | (d >= level_);
        if (k == 0 || k == 15) return;
        const Edge top = horizontal(i, j), bottom = horizontal(i, j + 1);
        const Edge left = vertical(i, j), right = vertical(i + 1, j);
        const bool centreAbove = (a + b + c + d) / 4 >= level_;
        switch (k) {
        case 1: case 14: add(left, bottom); break;
        case 2: case 13: add(bottom, right); break;
        case 3: case 12: add(left, right); break;
        case 4: case 11: add(top, right); break;
        case 6: case 9: add(top, bottom); break;
        case 7: case 8: add(left, top); break;
        case 5:  // b and d above
            if (centreAbove) { add(top, left); add(right, bottom); }
            else { add(top, right); add(left, bottom); }
            break;
        case 10:  // a and c above
            if (centreAbove) { add(top, right); add(left, bottom); }
            else { add(top, left); add(right, bottom); }
            break;
        default: break;
        }
    }

    // Walks from segment s through the edge `from` onward, marking segments used.
    void walk(int s, Edge from, std::vector<Edge>& out)
    {
        while (s >= 0 && !used_[static_cast<std::size_t>(s)]) {
            used_[static_cast<std::size_t>(s)] = true;
            const auto& seg = segments_[static_cast<std::size_t>(s)];
            const Edge to = seg[0] == from ? seg[1] : seg[0];
            out.push_back(to);
            s = -1;
            for (int n : ends_[to])
                if (!used_[static_cast<std::size_t>(n)]) s = n;
            from = to;
        }
    }

    ContourLine join()
    {
        ContourLine line;
        line.metres = static_cast<int>(level_);
        used_.assign(segments_.size(), false);
        for (std::size_t s = 0; s < segments_.size(); ++s) {
            if (used_[s]) continue;
            // Both ways from the first segment found, then one line.
            std::vector<Edge> forward{segments_[s][0]}, backward;
            walk(static_cast<int>(s), segments_[s][0], forward);
            for (int n : ends_[segments_[s][0]])
                if (!used_[static_cast<std::size_t>(n)]) walk(n, segments_[s][0], backward);
            std::vector<MapPoint> pts;
            for (auto it = backward.rbegin(); it != backward.rend(); ++it)
                pts.push_back(crossing(*it));
            for (Edge e : forward) pts.push_back(crossing(e));
            line.polylines.push_back(std::move(pts));
        }
        return line;
    }

    const GeoidMapField& f_;
    double level_;
    std::vector<std::array<Edge, 2>> segments_;
    std::unordered_map<Edge, std::vector<int>> ends_;
    std::vector<bool> used_;
};

}  // namespace

std::vector<ContourLine> geoidContours(const GeoidMapField& field)
{
    std::vector<ContourLine> out;
    if (field.values.empty()) return out;
    for (int m = static_cast<int>(std::ceil(field.min)); m <= static_cast<int>(std::floor(field.max));
         ++m) {
        ContourLine line = ContourTracer(field, m).trace();
        if (!line.polylines.empty()) out.push_back(std::move(line));
    }
    return out;
}

std::vector<ContourLabel> contourLabels(const std::vector<ContourLine>& lines,
                                        const GeoidMapField& field, double spacing,
                                        double minLength, double margin)
{
    std::vector<ContourLabel> labels;
    auto farFromOthers = [&](MapPoint p) {
        for (const ContourLabel& l : labels)
            if (std::hypot(l.at.x - p.x, l.at.y - p.y) < spacing / 2) return false;
        return true;
    };
    auto wellInside = [&](MapPoint p) {
        if (p.x < margin || p.y < margin || p.x > field.width - margin ||
            p.y > field.height - margin)
            return false;
        // Away from the edges of the model's area as well.
        for (double dx : {-margin, margin})
            for (double dy : {-margin / 2, margin / 2})
                if (std::isnan(field.at(static_cast<int>(p.x + dx), static_cast<int>(p.y + dy))))
                    return false;
        return true;
    };
    for (const ContourLine& line : lines) {
        for (const auto& pts : line.polylines) {
            std::vector<double> s(pts.size(), 0.0);
            for (std::size_t k = 1; k < pts.size(); ++k)
                s[k] = s[k - 1] + std::hypot(pts[k].x - pts[k - 1].x, pts[k].y - pts[k - 1].y);
            const double length = s.empty() ? 0 : s.back();
            if (length < minLength) continue;
            const double first = length < spacing ? length / 2 : spacing / 2;
            for (double at = first; at < length; at += spacing) {
                // The point at arc length `at` and the direction around it.
                const auto k = static_cast<std::size_t>(
                    std::lower_bound(s.begin(), s.end(), at) - s.begin());
                const MapPoint p = pts[std::min(k, pts.size() - 1)];
                const auto k0 = static_cast<std::size_t>(
                    std::lower_bound(s.begin(), s.end(), at - 10) - s.begin());
                const auto k1 = std::min(static_cast<std::size_t>(std::lower_bound(
                                             s.begin(), s.end(), at + 10) - s.begin()),
                                         pts.size() - 1);
                if (!wellInside(p) || !farFromOthers(p)) continue;
                double angle = std::atan2(pts[k1].y - pts[k0].y, pts[k1].x - pts[k0].x) * 180 /
                               std::numbers::pi;
                if (angle > 90) angle -= 180;
                if (angle <= -90) angle += 180;
                labels.push_back({line.metres, p, angle});
            }
        }
    }
    return labels;
}

std::vector<std::vector<GeoPoint>> parseCoastline(std::string_view text)
{
    std::vector<std::vector<GeoPoint>> lines(1);
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.remove_suffix(1);
        if (!line.empty() && line.front() == '#') continue;
        if (line.empty()) {
            if (!lines.back().empty()) lines.emplace_back();
            continue;
        }
        double lon = 0, lat = 0;
        const char* p = line.data();
        const char* e = line.data() + line.size();
        auto r1 = std::from_chars(p, e, lon);
        if (r1.ec != std::errc()) continue;
        p = r1.ptr;
        while (p < e && (*p == ' ' || *p == '\t')) ++p;
        auto r2 = std::from_chars(p, e, lat);
        if (r2.ec != std::errc() || r2.ptr != e) continue;
        lines.back().push_back({lat, lon});
    }
    if (lines.back().empty()) lines.pop_back();
    return lines;
}

std::string geoidMapReadout(MapPoint p, const DatumShiftTable& shifts, const NumberText& numbers)
{
    const GeoPoint g = geoidMapPosition(p);
    if (!insideGeoidMap(g.phi, g.lambda))
        return {};
    constexpr double toRadians = 3.14159265358979323846 / 180;
    const auto packed = [&](double degrees) {
        return numbers.FormatNumber("%.4n", {PackedToShow(RadToDMS(degrees * toRadians), 4)});
    };
    // The value the program uses for a point there (decimetres).
    const auto n = GeoidUndulation(shifts, g.phi * toRadians, g.lambda * toRadians);
    return "φ = " + packed(g.phi) + "   λ = " + packed(g.lambda) + "   αποχή = " +
           (n ? numbers.FormatNumber("%.1n", {Extended(*n)}) + " m" : std::string("-"));
}

}  // namespace korthal
