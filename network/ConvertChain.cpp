#include "network/ConvertChain.h"

#include "geodesy/Ellipsoids.h"
#include "geodesy/Geoid.h"
#include "geodesy/TM87.h"
#include "geodesy/TransverseMercator.h"

#include <cmath>
#include <deque>
#include <type_traits>

namespace korthal::chain {

namespace {

template <class T>
using Pt = ChainPoint<T>;

// The region in which the double run is trusted: Greece with a wide margin.
// Outside it the series of the projections grow and the Extended run decides.
template <class T>
void watchRegion(const BasicGeographic<T>& g, ChainWatch* w)
{
    if (w && std::is_same_v<T, double> &&
        !(g.phi > 0.3 && g.phi < 1.0 && std::fabs(g.lambda - T(kLambda0TM87)) < 0.35))
        w->needsExtended = true;
}

template <class T>
T egsaUndulation(const ConvertOptions& o, T phi, T lambda, ChainWatch* w)
{
    if (o.undulation)
        return T(*o.undulation);
    bool nearStep = false;
    const auto n = GeoidUndulation(o.shifts, static_cast<double>(phi),
                                   static_cast<double>(lambda), w ? &nearStep : nullptr);
    if (w && nearStep && std::is_same_v<T, double>)
        w->needsExtended = true;
    return n ? T(*n) : 0;
}

template <class T>
void addShift(const DatumShiftTable& t, int from, int to, BasicGeocentric<T>& g)
{
    const ShiftTriple& s = t(from, to);
    g.X += s.dX;
    g.Y += s.dY;
    g.Z += s.dZ;
}

template <class T>
Pt<T> fromGeographic(const BasicGeographic<T>& g, ChainWatch* w)
{
    watchRegion(g, w);
    return {g.phi, g.lambda, g.h, {}};
}

template <class T>
Pt<T> fromGeocentric(const BasicGeocentric<T>& g)
{
    return {g.X, g.Y, g.Z, {}};
}

template <class T>
BasicGeographic<T> tm87Inverse(const Pt<T>& p, ChainWatch* w)
{
    FootpointCheck check;
    const BasicGeographic<T> g = TM87ToEllipsoidal<T>(p.a, p.b, p.c, 0, &check);
    if (w) {
        if (!check.converged)
            w->noConvergence = true;
        if (check.nearLimit && std::is_same_v<T, double>)
            w->needsExtended = true;
    }
    return g;
}

// EGSA87 ellipsoidal coordinates of a TM87 point, with the undulation of
// that point.
template <class T>
BasicGeographic<T> tm87ToEgsa87(const ConvertOptions& o, const Pt<T>& p, ChainWatch* w)
{
    BasicGeographic<T> g = tm87Inverse(p, w);
    watchRegion(g, w);
    g.h += egsaUndulation(o, g.phi, g.lambda, w);
    return g;
}

template <class T>
BasicTM87<T> egsa87ToTm87(const ConvertOptions& o, const BasicGeographic<T>& g, ChainWatch* w)
{
    return EllipsoidalToTM87<T>(g.phi, g.lambda, g.h, egsaUndulation(o, g.phi, g.lambda, w));
}

// One step along the chain, from form f to f + 1.
template <class T>
Pt<T> stepForward(Form f, const Pt<T>& p, const ConvertOptions& o, ChainWatch* w)
{
    switch (f) {
    case WGS84Geo:
        return fromGeocentric(EllipsoidalToGeocentric<T>(WGS84, p.a, p.b, p.c));
    case WGS84Xyz: {
        BasicGeocentric<T> g{p.a, p.b, p.c};
        addShift(o.shifts, WGS84, EGSA87, g);
        return fromGeocentric(g);
    }
    case EGSA87Xyz:
        return fromGeographic(GeocentricToEllipsoidal<T>(EGSA87, p.a, p.b, p.c), w);
    case EGSA87Geo: {
        const BasicTM87<T> t = egsa87ToTm87<T>(o, {p.a, p.b, p.c}, w);
        return {t.E, t.N, t.H, {}};
    }
    case TM87Proj: {
        // Through EGSA87 to the old Greek datum, then onto the sheet.
        const BasicGeographic<T> e = tm87ToEgsa87(o, p, w);
        BasicGeocentric<T> g = EllipsoidalToGeocentric<T>(EGSA87, e.phi, e.lambda, e.h);
        addShift(o.shifts, EGSA87, GR, g);
        const BasicGeographic<T> gr = GeocentricToEllipsoidal<T>(GR, g.X, g.Y, g.Z);
        const BasicHattPoint<T> h =
            EllipsoidalToHATT<T>(gr.phi, gr.lambda, gr.h, T(o.hattUndulation));
        return {h.x, h.y, h.H, h.sheet};
    }
    default:
        return p;
    }
}

// One step along the chain, from form f to f − 1.
template <class T>
Pt<T> stepBack(Form f, const Pt<T>& p, const ConvertOptions& o, ChainWatch* w)
{
    switch (f) {
    case WGS84Xyz:
        return fromGeographic(GeocentricToEllipsoidal<T>(WGS84, p.a, p.b, p.c), w);
    case EGSA87Xyz: {
        BasicGeocentric<T> g{p.a, p.b, p.c};
        addShift(o.shifts, EGSA87, WGS84, g);
        return fromGeocentric(g);
    }
    case EGSA87Geo:
        return fromGeocentric(EllipsoidalToGeocentric<T>(EGSA87, p.a, p.b, p.c));
    case TM87Proj:
        return fromGeographic(tm87ToEgsa87(o, p, w), w);
    case HattProj: {
        const BasicGeographic<T> gr =
            HATTToEllipsoidal<T>(p.a, p.b, p.c, T(o.hattUndulation), p.sheet);
        BasicGeocentric<T> g = EllipsoidalToGeocentric<T>(GR, gr.phi, gr.lambda, gr.h);
        addShift(o.shifts, GR, EGSA87, g);
        const BasicGeographic<T> e = GeocentricToEllipsoidal<T>(EGSA87, g.X, g.Y, g.Z);
        const BasicTM87<T> t = egsa87ToTm87(o, e, w);
        return {t.E, t.N, t.H, {}};
    }
    default:
        return p;
    }
}

const HeposModel& heposOf(const ConvertOptions& o)
{
    return o.hepos ? *o.hepos : HeposModel::builtIn();
}

// TM07 and HTRS07 h to TM87 and H by the HEPOS model.
template <class T>
Pt<T> tm07ToTm87(const Pt<T>& p, const ConvertOptions& o, ChainWatch* w)
{
    // The GGRS87 position only for the geoid model.
    const HeposPoint<T> r = heposOf(o).toTM87<T>(p.a, p.b, p.c, !o.undulation);
    if (w && r.nearEdge && std::is_same_v<T, double>)
        w->needsExtended = true;
    Pt<T> out{r.E, r.N, r.h - egsaUndulation(o, r.phi87, r.lambda87, w), {}};
    if (r.status != HeposStatus::Ok)
        out.note = PointNote::OutsideHeposGrid;
    return out;
}

// TM87 and H back to TM07 and HTRS07 h. The undulation is the forward's, at
// the model's GGRS87 position, which the inverse finds with the point.
template <class T>
Pt<T> tm87ToTm07(const Pt<T>& p, const ConvertOptions& o, ChainWatch* w)
{
    const BasicGeographic<T> near = TM87Series().inverse<T>(p.a, p.b);
    ChainWatch* const unwatched = nullptr;
    T N = egsaUndulation(o, near.phi, near.lambda, unwatched);
    HeposPoint<T> r;
    for (int pass = 0; pass < 3; ++pass) {
        r = heposOf(o).toTM07<T>(p.a, p.b, p.c + N);
        const T at = egsaUndulation(o, r.phi87, r.lambda87, unwatched);
        if (at == N)
            break;
        N = at;
    }
    egsaUndulation(o, r.phi87, r.lambda87, w);  // the watch sees the final position
    if (w && r.nearEdge && std::is_same_v<T, double>)
        w->needsExtended = true;
    Pt<T> out{r.E, r.N, r.h, {}};
    if (r.status != HeposStatus::Ok)
        out.note = PointNote::OutsideHeposGrid;
    return out;
}

// The map grids on a datum that the settings' shift reaches from EGSA87.
struct DatumGrid {
    int datum;
    const TransverseMercator& tm;
};

DatumGrid datumGrid(Form f)
{
    switch (f) {
    case TM3West: return {GR, korthal::TM3West()};
    case TM3Central: return {GR, korthal::TM3Central()};
    case TM3East: return {GR, korthal::TM3East()};
    case UTM34ED50: return {ED50, korthal::UTM34ED50()};
    default: return {ED50, korthal::UTM35ED50()};
    }
}

// EGSA87 ellipsoidal coordinates of a point given on another datum.
template <class T>
BasicGeographic<T> toEgsa87(const ConvertOptions& o, int datum, T phi, T lambda, T h)
{
    BasicGeocentric<T> g = EllipsoidalToGeocentric<T>(datum, phi, lambda, h);
    addShift(o.shifts, datum, EGSA87, g);
    return GeocentricToEllipsoidal<T>(EGSA87, g.X, g.Y, g.Z);
}

template <class T>
Pt<T> tm87ToDatumGrid(Form f, const Pt<T>& p, const ConvertOptions& o, ChainWatch* w)
{
    const DatumGrid d = datumGrid(f);
    const BasicGeographic<T> e = tm87ToEgsa87(o, p, w);
    BasicGeocentric<T> g = EllipsoidalToGeocentric<T>(EGSA87, e.phi, e.lambda, e.h);
    addShift(o.shifts, EGSA87, d.datum, g);
    const BasicGeographic<T> on = GeocentricToEllipsoidal<T>(d.datum, g.X, g.Y, g.Z);
    const BasicProjected<T> t = d.tm.forward<T>(on.phi, on.lambda);
    return {t.E, t.N, p.c, {}};
}

// The inverse: the ellipsoidal height on the other datum is not known, only
// H; it is found so that the point's EGSA87 h is H plus its undulation, as
// the forward had it (two rounds leave it below a micrometre).
template <class T>
Pt<T> datumGridToTm87(Form f, const Pt<T>& p, const ConvertOptions& o, ChainWatch* w)
{
    const DatumGrid d = datumGrid(f);
    const BasicGeographic<T> on = d.tm.inverse<T>(p.a, p.b);
    watchRegion(on, w);
    const T H = p.c;
    ChainWatch* const unwatched = nullptr;
    T h = H + egsaUndulation(o, on.phi, on.lambda, unwatched);
    for (int round = 0; round < 2; ++round) {
        const BasicGeographic<T> e = toEgsa87(o, d.datum, on.phi, on.lambda, h);
        h += H + egsaUndulation(o, e.phi, e.lambda, unwatched) - e.h;
    }
    const BasicGeographic<T> e = toEgsa87(o, d.datum, on.phi, on.lambda, h);
    const BasicTM87<T> t = egsa87ToTm87(o, e, w);
    return {t.E, t.N, H, {}};
}

// The warning of a point far beyond its sheet.
template <class T>
void noteSheetDistance(Pt<T>& p, const SheetFound& found)
{
    if (found.metresOutside > kFarFromSheet) {
        p.note = PointNote::FarFromSheet;
        p.noteMetres = found.metresOutside;
        p.noteSheet = found.sheet;
    }
}

template <class T>
Pt<T> tm87ToOkxe(const Pt<T>& p, const ConvertOptions& o)
{
    const HattSheets& sheets = HattSheets::builtIn();
    const double E = static_cast<double>(p.a), N = static_cast<double>(p.b);
    // The sheet of the point, the chosen one, or of the two of a number the
    // one that holds the point.
    const SheetFound found = sheets.sheetOfTM87(E, N, o.okxeSheets);
    const SheetXY<T> xy = sheets.fromTM87<T>(found.sheet, p.a, p.b);
    Pt<T> r{xy.x, xy.y, p.c, {}};
    r.okxe = found.sheet;
    noteSheetDistance(r, found);
    return r;
}

// From the sheet of --sheet, or of the two of a number the one that holds
// the point (the options always name one).
template <class T>
Pt<T> okxeToTm87(const Pt<T>& p, const ConvertOptions& o)
{
    const HattSheets& sheets = HattSheets::builtIn();
    const SheetFound found =
        sheets.sheetOfHatt(o.okxeSheets, static_cast<double>(p.a), static_cast<double>(p.b));
    if (found.sheet < 0)
        return p;
    const BasicProjected<T> t = sheets.toTM87<T>(found.sheet, p.a, p.b);
    Pt<T> r{t.E, t.N, p.c, {}};
    noteSheetDistance(r, found);
    return r;
}

bool onCalculatorLine(Form f) { return f <= HattProj; }

// One step between neighbours.
template <class T>
Pt<T> step(Form from, Form to, const Pt<T>& p, const ConvertOptions& o, ChainWatch* w)
{
    if (onCalculatorLine(from) && onCalculatorLine(to))
        return to > from ? stepForward(from, p, o, w) : stepBack(from, p, o, w);
    switch (from) {
    case HTRS07Xyz:
        return fromGeographic(GeocentricToEllipsoidal<T>(EGSA87, p.a, p.b, p.c), w);
    case HTRS07Geo:
        if (to == HTRS07Xyz)
            return fromGeocentric(EllipsoidalToGeocentric<T>(EGSA87, p.a, p.b, p.c));
        {
            const BasicProjected<T> t = TM07().forward<T>(p.a, p.b);
            return {t.E, t.N, p.c, {}};
        }
    case TM07Proj:
        if (to == TM87Proj)
            return tm07ToTm87(p, o, w);
        {
            const BasicGeographic<T> g = TM07().inverse<T>(p.a, p.b);
            return fromGeographic(BasicGeographic<T>{g.phi, g.lambda, p.c}, w);
        }
    case TM87Proj:
        if (to == TM07Proj)
            return tm87ToTm07(p, o, w);
        if (to == HattOkxe)
            return tm87ToOkxe(p, o);
        return tm87ToDatumGrid(to, p, o, w);
    case HattOkxe:
        return okxeToTm87(p, o);
    default:
        return datumGridToTm87(from, p, o, w);
    }
}

// The neighbours of each form.
std::vector<Form> neighbours(Form f)
{
    switch (f) {
    case WGS84Geo: return {WGS84Xyz};
    case WGS84Xyz: return {WGS84Geo, EGSA87Xyz};
    case EGSA87Xyz: return {WGS84Xyz, EGSA87Geo};
    case EGSA87Geo: return {EGSA87Xyz, TM87Proj};
    case TM87Proj:
        return {EGSA87Geo, HattProj, TM07Proj, TM3West, TM3Central, TM3East, UTM34ED50,
                UTM35ED50, HattOkxe};
    case HTRS07Geo: return {HTRS07Xyz, TM07Proj};
    case HTRS07Xyz: return {HTRS07Geo};
    case TM07Proj: return {HTRS07Geo, TM87Proj};
    default: return {TM87Proj};
    }
}

}  // namespace

std::optional<Form> formNamed(const std::string& name)
{
    for (std::size_t i = 0; i < kFormNames.size(); ++i)
        if (name == kFormNames[i])
            return static_cast<Form>(i);
    return std::nullopt;
}

bool doubleRunFits(Form from, Form to)
{
    return from != HattProj && to != HattProj && from != HattOkxe && to != HattOkxe;
}

std::vector<Form> route(Form from, Form to)
{
    // Breadth first from `to`, so that each form learns its next step.
    std::array<int, FormCount> next;
    next.fill(-1);
    next[static_cast<std::size_t>(to)] = to;
    std::deque<Form> queue{to};
    while (!queue.empty()) {
        const Form f = queue.front();
        queue.pop_front();
        for (const Form n : neighbours(f))
            if (next[static_cast<std::size_t>(n)] < 0) {
                next[static_cast<std::size_t>(n)] = f;
                queue.push_back(n);
            }
    }
    std::vector<Form> out{from};
    while (out.back() != to)
        out.push_back(static_cast<Form>(next[static_cast<std::size_t>(out.back())]));
    return out;
}

template <class T>
ChainPoint<T> convertPoint(Form from, Form to, ChainPoint<T> p, const ConvertOptions& o,
                           ChainWatch* given)
{
    // Without a watch the run keeps one of its own, so that a footpoint
    // iteration that did not converge can be marked on the point.
    ChainWatch own;
    ChainWatch* watch = given ? given : &own;
    if (isGeographic(from))
        watchRegion(BasicGeographic<T>{p.a, p.b, p.c}, watch);
    // The routes, once for all pairs of forms.
    static const auto routes = [] {
        std::array<std::array<std::vector<Form>, FormCount>, FormCount> r;
        for (int f = 0; f < FormCount; ++f)
            for (int t = 0; t < FormCount; ++t)
                r[static_cast<std::size_t>(f)][static_cast<std::size_t>(t)] =
                    route(static_cast<Form>(f), static_cast<Form>(t));
        return r;
    }();
    const std::vector<Form>& way =
        routes[static_cast<std::size_t>(from)][static_cast<std::size_t>(to)];
    for (std::size_t k = 1; k < way.size(); ++k) {
        const ChainPoint<T> before = p;
        p = step(way[k - 1], way[k], p, o, watch);
        // What an earlier step noted stays with the point.
        if (p.note == PointNote::None && before.note != PointNote::None) {
            p.note = before.note;
            p.noteMetres = before.noteMetres;
            p.noteSheet = before.noteSheet;
        }
    }
    if (!given && own.noConvergence) p.noConvergence = true;
    return p;
}

template ChainPoint<double> convertPoint<double>(Form, Form, ChainPoint<double>,
                                                 const ConvertOptions&, ChainWatch*);
template ChainPoint<Extended> convertPoint<Extended>(Form, Form, ChainPoint<Extended>,
                                                     const ConvertOptions&, ChainWatch*);

}  // namespace korthal::chain
