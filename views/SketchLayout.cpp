#include "views/SketchLayout.h"

#include "geodesy/TM87.h"
#include "network/PointTables.h"
#include "table/PlainNumber.h"
#include "views/SketchHatt.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace korthal {

namespace {

constexpr double kArcSecondsPerRadian = 180.0 * 3600.0 / 3.14159265358979323846;

double arcSeconds(Extended radians)
{
    return static_cast<double>(radians) * kArcSecondsPerRadian;
}

// The first n characters (code points) of a UTF-8 text.
std::string firstChars(const std::string& s, std::size_t n)
{
    std::size_t count = 0;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if ((static_cast<unsigned char>(s[i]) & 0xC0) != 0x80) {
            if (count == n)
                return s.substr(0, i);
            ++count;
        }
    }
    return s;
}

int clampToInt(double v)
{
    constexpr double kLimit = 1.0e9;
    if (std::isnan(v))
        return 0;
    return static_cast<int>(std::clamp(v, -kLimit, kLimit));
}

std::string dms(double seconds, bool withFraction)
{
    // Whole units of the last digit shown, so that the carries of seconds
    // and minutes are made once, on whole numbers (60 never shows).
    const double unit = withFraction ? 100000.0 : 1.0;
    const double total = std::fabs(rnd(seconds * unit));
    // No angle of a point on the earth comes near; a damaged file's
    // coordinates can give any number, which is then shown as it is.
    if (!(total < 1e15))
        return std::isnan(total) ? "?" : generalFormat(seconds, '.') + "\"";
    const auto t = static_cast<long long>(total);
    const long long perSecond = static_cast<long long>(unit);
    const long long fraction = t % perSecond;
    const long long whole = t / perSecond;
    char buf[64];
    const char* sign = seconds < 0 && t != 0 ? "-" : "";
    if (withFraction)
        std::snprintf(buf, sizeof buf, "%s%.2lld°%.2lld'%.2lld\"%.5lld", sign, whole / 3600,
                      whole / 60 % 60, whole % 60, fraction);
    else
        std::snprintf(buf, sizeof buf, "%s%.2lld°%.2lld'%.2lld\"", sign, whole / 3600,
                      whole / 60 % 60, whole % 60);
    return buf;
}

}  // namespace

double rnd(double v)
{
    return std::nearbyint(v);
}

std::vector<SketchPoint> sketchPoints(const MemTable& gps, int mode, int filter,
                                      const DatumShiftTable& shifts)
{
    std::vector<SketchPoint> out;
    out.reserve(static_cast<std::size_t>(gps.recordCount()));
    for (int row = 0; row < gps.recordCount(); ++row) {
        const Rec r = gps.recAt(row);
        const bool detail = gps.getBoolean(r, gps::detailPoint);
        if ((filter == SketchDetailPoints && !detail) || (filter == SketchNetworkPoints && detail))
            continue;
        SketchPoint p;
        p.E = gps.getFloat(r, gps::E);
        p.N = gps.getFloat(r, gps::N);
        if (p.E == 0 && p.N == 0)
            continue;
        p.detail = detail;
        p.id = gps.getInteger(r, gps::ID);
        p.name = gps.getString(r, gps::Name);
        if (mode == SketchEllipsoidal) {
            // φ and λ as the calculated fields f and l hold them (there in
            // packed degrees).
            const Geographic g = TM87ToEllipsoidal(p.E, p.N, gps.getFloat(r, gps::H),
                                                   gps.getFloat(r, gps::apoxh));
            p.x = arcSeconds(g.lambda);
            p.y = arcSeconds(g.phi);
        } else if (mode == SketchHatt) {
            // Heights for now; x, y once the sheet of all points is known.
            p.x = gps.getFloat(r, gps::H);
            p.y = gps.getFloat(r, gps::apoxh);
        } else {
            p.x = p.E;
            p.y = p.N;
        }
        out.push_back(std::move(p));
    }
    if (mode == SketchHatt && !out.empty()) {
        Extent box;
        for (const auto& p : out)
            box.widen(p.E, p.N);
        const HattSheet sheet = sketchHattSheet(box.MinE, box.MaxE, box.MinN, box.MaxN, shifts);
        for (auto& p : out) {
            const HattPoint h = sketchHatt(p.E, p.N, p.x, p.y, shifts, sheet);
            p.x = static_cast<double>(h.x);
            p.y = static_cast<double>(h.y);
        }
    }
    return out;
}

SketchWindow sketchWindow(const std::vector<SketchPoint>& points, int mode,
                          const DatumShiftTable& shifts)
{
    Extent box;
    for (const auto& p : points)
        box.widen(p.E, p.N);
    SketchWindow w;
    const double midE = (box.MinE + box.MaxE) / 2;
    const double midN = (box.MinN + box.MaxN) / 2;
    if (mode == SketchProjected) {
        w.Xmin = box.MinE;
        w.Xmax = box.MaxE;
        w.Ymin = box.MinN;
        w.Ymax = box.MaxN;
    } else if (mode == SketchEllipsoidal) {
        w.spacing = 30;
        w.Xmin = rnd(arcSeconds(TM87ToEllipsoidal(box.MinE, midN, 0, 0).lambda));
        w.Xmax = rnd(arcSeconds(TM87ToEllipsoidal(box.MaxE, midN, 0, 0).lambda));
        w.Ymin = rnd(arcSeconds(TM87ToEllipsoidal(midE, box.MinN, 0, 0).phi));
        w.Ymax = rnd(arcSeconds(TM87ToEllipsoidal(midE, box.MaxN, 0, 0).phi));
    } else {
        const HattSheet sheet = sketchHattSheet(box.MinE, box.MaxE, box.MinN, box.MaxN, shifts);
        auto hatt = [&](double E, double N) { return sketchHatt(E, N, 0, 0, shifts, sheet); };
        w.Xmin = static_cast<double>(hatt(box.MinE, midN).x);
        w.Xmax = static_cast<double>(hatt(box.MaxE, midN).x);
        w.Ymin = static_cast<double>(hatt(midE, box.MinN).y);
        w.Ymax = static_cast<double>(hatt(midE, box.MaxN).y);
    }
    if (w.Xmax <= w.Xmin && w.Ymax <= w.Ymin && !points.empty()) {
        w.Xmin = w.Xmax = points.front().x;
        w.Ymin = w.Ymax = points.front().y;
    }
    return w;
}

SketchFrame fitFrame(const SketchWindow& window, int W, int H)
{
    SketchFrame f;
    f.Xmin = window.Xmin;
    f.Xmax = window.Xmax;
    f.Ymin = window.Ymin;
    f.Ymax = window.Ymax;
    if (f.Xmax <= f.Xmin && f.Ymax <= f.Ymin) {
        // One position only: a window of one grid spacing around it.
        const double cx = (f.Xmin + f.Xmax) / 2, cy = (f.Ymin + f.Ymax) / 2;
        f.Xmin = cx - window.spacing / 2;
        f.Xmax = cx + window.spacing / 2;
        f.Ymin = cy - window.spacing / 2;
        f.Ymax = cy + window.spacing / 2;
    }
    const double width = f.Xmax - f.Xmin, height = f.Ymax - f.Ymin;
    const double scaleX = width > 0 ? W * 0.85 / width : kDegenerateScale;
    const double scaleY = height > 0 ? H * 0.85 / height : kDegenerateScale;
    f.Scale = scaleY < scaleX ? scaleY : scaleX;
    // Integer division truncating toward zero, as the pixel arithmetic is.
    f.OffsetX = (W - clampToInt(rnd(width * f.Scale))) / 2;
    f.OffsetY = (H - clampToInt(rnd(height * f.Scale))) / 2;
    return f;
}

std::string sketchArcSeconds(double seconds)
{
    return dms(seconds, true);
}

std::string sketchGridLabel(double value, int mode, const NumberText& numbers)
{
    if (mode == SketchEllipsoidal)
        return dms(value, false);
    return numbers.FormatNumber("%.0n", {Extended(value)});
}

const SketchHit* hitAt(const std::vector<SketchHit>& hits, int x, int y)
{
    for (const auto& h : hits)
        if (h.contains(x, y))
            return &h;
    return nullptr;
}

SketchLayout layoutSketch(const std::vector<SketchPoint>& points, const SketchFrame& frame,
                          double spacing, int mode, int W, int H, int k, bool fitted,
                          const NumberText& numbers)
{
    SketchLayout L;
    L.W = W;
    L.H = H;
    L.k = k;
    L.mode = mode;
    L.frame = frame;
    L.spacing = spacing;
    if (points.empty())
        return L;
    // A grid step below half a pixel: the window is far too wide for the
    // grid, and nothing but the background is drawn.
    if (rnd(spacing * frame.Scale) == 0)
        return L;
    L.complete = true;

    // Each line's pixel comes from its own value, so that the rounding of
    // the step does not add up across the canvas.
    // The lines stop where a step no longer moves on: far from the origin
    // (a damaged file's coordinates) a spacing is below a double's resolution.
    double x = rnd(frame.Xmin / spacing) * spacing;
    if (!fitted)
        x = std::floor(frame.worldX(0) / spacing) * spacing;
    for (; frame.px(x) <= W && x + spacing != x; x += spacing)
        L.columns.push_back({frame.px(x), x, sketchGridLabel(x, mode, numbers)});
    double y = rnd(frame.Ymax / spacing) * spacing;
    if (!fitted)
        y = std::ceil(frame.worldY(0) / spacing) * spacing;
    for (; frame.py(y) <= H && y - spacing != y; y -= spacing)
        L.rows.push_back({frame.py(y), y, sketchGridLabel(y, mode, numbers)});

    L.points.reserve(points.size());
    L.hits.reserve(points.size());
    for (const auto& p : points) {
        SketchDrawnPoint d;
        d.px = frame.px(p.x);
        d.py = frame.py(p.y);
        d.name = p.name;
        d.network = !p.detail && !p.check;
        d.check = !p.detail && p.check;
        if (d.network)
            L.network.push_back(L.points.size());
        const int cx = clampToInt(d.px), cy = clampToInt(d.py);
        L.hits.push_back({cx - 2, cy - 2, cx + 2, cy + 2, firstChars(p.name, 30), p.x, p.y});
        L.points.push_back(std::move(d));
    }
    return L;
}

bool clipSegment(double& x1, double& y1, double& x2, double& y2, double W, double H)
{
    // Liang-Barsky: the part of the segment x1 + t·dx, t in [0, 1], that
    // lies inside every edge.
    const double dx = x2 - x1, dy = y2 - y1;
    double t0 = 0, t1 = 1;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {x1, W - x1, y1, H - y1};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0)
                return false;
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0)
            t0 = std::max(t0, t);
        else
            t1 = std::min(t1, t);
        if (t0 > t1)
            return false;
    }
    const double ox = x1, oy = y1;
    if (t1 < 1) {
        x2 = ox + t1 * dx;
        y2 = oy + t1 * dy;
    }
    if (t0 > 0) {
        x1 = ox + t0 * dx;
        y1 = oy + t0 * dy;
    }
    return true;
}

// ---- The printed sheet ----

SketchScaleBar sketchScaleBar(double pixelsPerMetre, double targetPixels)
{
    SketchScaleBar bar;
    if (!(pixelsPerMetre > 0) || !(targetPixels > 0) || !std::isfinite(pixelsPerMetre))
        return bar;
    const double most = targetPixels / pixelsPerMetre;
    const double power = std::pow(10.0, std::floor(std::log10(most)));
    double metres = power;
    for (double m : {5.0, 2.0, 1.0})
        if (m * power <= most * (1 + 1e-9)) {
            metres = m * power;
            break;
        }
    bar.metres = metres;
    bar.pixels = metres * pixelsPerMetre;
    char buf[64];
    if (metres >= 1000)
        std::snprintf(buf, sizeof buf, "%g km", metres / 1000);
    else
        std::snprintf(buf, sizeof buf, "%g m", metres);
    bar.label = buf;
    return bar;
}

double sketchPaperScale(double pixelsPerMetre, double devicePixelsPerMillimetre)
{
    if (!(pixelsPerMetre > 0) || !(devicePixelsPerMillimetre > 0))
        return 0;
    // Metres of the ground on one metre of paper.
    const double ratio = devicePixelsPerMillimetre * 1000 / pixelsPerMetre;
    const double power = std::pow(10.0, std::floor(std::log10(ratio)) - 2);
    return std::round(ratio / power) * power;
}

// ---- Status bar texts ----

SketchCaptions sketchCaptions(int mode)
{
    switch (mode) {
    case SketchEllipsoidal:
        return {" φ = ", "λ = ", "Δφ = ", "Δλ = ", ""};
    case SketchHatt:
        return {" x = ", "y = ", "Δx = ", "Δy = ", "S = "};
    default:
        return {" E = ", "N = ", "ΔΕ = ", "ΔΝ = ", "S = "};
    }
}

const char* sketchModeHint(int mode)
{
    static const char* const hints[3] = {"απεικόνιση Ελλειψοειδών συντεταγμένων",
                                         "απεικόνιση συντεταγμένων HATT",
                                         "απεικόνιση προβολικών συντεταγμένων"};
    return hints[std::clamp(mode, 0, 2)];
}

const char* sketchFilterHint(int filter)
{
    static const char* const hints[3] = {"απεικόνιση μόνο των σημείων λεπτομερειών",
                                         "απεικόνιση μόνο των σημείων αναφοράς",
                                         "απεικόνιση όλων των σημείων"};
    return hints[std::clamp(filter, 0, 2)];
}

const char* const kSketchDragHint =
    "σύρτε τον δείκτη απο το σημείο i μέχρι το j για να δείτε την απόστασή τους";

SketchReadout sketchReadout(int mode, double x, double y, const NumberText& numbers)
{
    if (mode == SketchEllipsoidal)
        return {sketchArcSeconds(y), sketchArcSeconds(x)};
    return {numbers.FormatNumber("%.3n", {Extended(x)}),
            numbers.FormatNumber("%.3n", {Extended(y)})};
}

SketchMeasure sketchMeasure(int mode, double dX, double dY, const NumberText& numbers)
{
    if (mode == SketchEllipsoidal)
        return {std::string(), sketchArcSeconds(dY), sketchArcSeconds(dX)};
    auto fmt = [&](double v) { return numbers.FormatNumber("%.3n", {Extended(v)}); };
    return {fmt(std::sqrt(dX * dX + dY * dY)), fmt(dX), fmt(dY)};
}

}  // namespace korthal
