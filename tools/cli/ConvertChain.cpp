#include "tools/cli/ConvertChain.h"

#include "geodesy/Ellipsoids.h"
#include "geodesy/Geoid.h"
#include "geodesy/TM87.h"
#include "project/Dialogs.h"

#include <cmath>
#include <type_traits>

namespace korthal::cli {

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
    } else if (!check.converged) {
        // The projection shows nothing itself: the run without a watch says it.
        showMessage(kMsgNoConvergence, MsgIcon::Exclamation);
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
    return from != HattProj && to != HattProj;
}

template <class T>
ChainPoint<T> convertPoint(Form from, Form to, ChainPoint<T> p, const ConvertOptions& o,
                           ChainWatch* watch)
{
    if (isGeographic(from))
        watchRegion(BasicGeographic<T>{p.a, p.b, p.c}, watch);
    int f = from;
    while (f < to)
        p = stepForward(static_cast<Form>(f++), p, o, watch);
    while (f > to)
        p = stepBack(static_cast<Form>(f--), p, o, watch);
    return p;
}

template ChainPoint<double> convertPoint<double>(Form, Form, ChainPoint<double>,
                                                 const ConvertOptions&, ChainWatch*);
template ChainPoint<Extended> convertPoint<Extended>(Form, Form, ChainPoint<Extended>,
                                                     const ConvertOptions&, ChainWatch*);

}  // namespace korthal::cli
