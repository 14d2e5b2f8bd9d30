#include "views/SketchHatt.h"

#include "geodesy/Angles.h"
#include "geodesy/Ellipsoids.h"
#include "geodesy/TM87.h"

#include <cmath>

namespace korthal {

namespace {

// x, y on `sheet` of the position (φ, λ on the old Greek datum) by Newton's
// method on the sheet's inverse projection, starting from a plain
// equirectangular guess about the sheet's centre.
HattPoint onSheet(Extended phi, Extended lambda, HattSheet sheet)
{
    const Extended phi0 = (Extended(0.5L) * sheet.i + Extended(34.75L)) * kPi / 180;
    const Extended lambda0 =
        (Extended(0.5L) * sheet.j - Extended(4.25L)) * kPi / 180 + kLambdaAthens;
    const Extended a = Ellipsoids[GR].a;
    HattPoint p;
    p.sheet = sheet;
    p.x = (lambda - lambda0) * a * std::cos(phi);
    p.y = (phi - phi0) * a;
    constexpr Extended kStep = 1;  // m, for the derivatives
    for (int pass = 0; pass < 10; ++pass) {
        const Geographic g = HATTToEllipsoidal(p.x, p.y, 0, 0, sheet);
        const Extended dphi = phi - g.phi, dlambda = lambda - g.lambda;
        // 1e-12 rad is some 6 micrometres.
        if (std::fabs(dphi) < 1e-12L && std::fabs(dlambda) < 1e-12L)
            break;
        const Geographic gx = HATTToEllipsoidal(p.x + kStep, p.y, 0, 0, sheet);
        const Geographic gy = HATTToEllipsoidal(p.x, p.y + kStep, 0, 0, sheet);
        const Extended j11 = (gx.phi - g.phi) / kStep, j12 = (gy.phi - g.phi) / kStep;
        const Extended j21 = (gx.lambda - g.lambda) / kStep, j22 = (gy.lambda - g.lambda) / kStep;
        const Extended det = j11 * j22 - j12 * j21;
        if (det == 0)
            break;
        p.x += (j22 * dphi - j12 * dlambda) / det;
        p.y += (j11 * dlambda - j21 * dphi) / det;
    }
    return p;
}

}  // namespace

HattPoint sketchHatt(double E, double N, double H, double apoxh, const DatumShiftTable& shifts,
                     HattSheet sheet)
{
    const Geographic g = TM87ToEllipsoidal(E, N, H, apoxh);
    Geocentric c = EllipsoidalToGeocentric(EGSA87, g.phi, g.lambda, g.h);
    const ShiftTriple& d = shifts(EGSA87, GR);
    c.X += d.dX;
    c.Y += d.dY;
    c.Z += d.dZ;
    const Geographic b = GeocentricToEllipsoidal(GR, c.X, c.Y, c.Z);
    const HattPoint own = EllipsoidalToHATT(b.phi, b.lambda, b.h, 0);
    if (!sheet.valid() || (own.sheet.i == sheet.i && own.sheet.j == sheet.j))
        return own;
    return onSheet(b.phi, b.lambda, sheet);
}

HattSheet sketchHattSheet(double minE, double maxE, double minN, double maxN,
                          const DatumShiftTable& shifts)
{
    return sketchHatt((minE + maxE) / 2, (minN + maxN) / 2, 0, 0, shifts).sheet;
}

}  // namespace korthal
