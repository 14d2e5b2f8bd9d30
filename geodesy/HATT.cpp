// HATT projection on the Bessel ellipsoid, one 30' × 30' sheet at a time.

#include "geodesy/HATT.h"

#include "geodesy/Angles.h"

#include <cmath>

namespace korthal {

namespace {

struct SheetConstants {
    Extended s0, c0;  // sine and cosine of the centre latitude
    Extended rho0;    // meridian radius of curvature at the centre
    Extended N0;      // prime vertical radius at the centre
};

SheetConstants sheetConstants(Extended phi0)
{
    const Ellipsoid& ell = Ellipsoids[GR];
    const Extended a = ell.a;
    const Extended e = ell.e;
    const Extended ep = ell.eprime;
    SheetConstants k{};
    k.s0 = std::sin(phi0);
    k.c0 = std::cos(phi0);
    const Extended es = e * k.s0;
    const Extended w = 1 - es * es;
    k.rho0 = (1 - e * e) * a / std::sqrt(w * w * w);
    const Extended epc = ep * k.c0;
    k.N0 = (1 + epc * epc) * k.rho0;
    return k;
}

// Integer part toward zero, as an int; values far outside any sheet are
// clamped so that the conversion stays defined.
int truncToInt(Extended x)
{
    if (!(x > -1e6L))
        return -1000000;
    if (!(x < 1e6L))
        return 1000000;
    return static_cast<int>(std::trunc(x));
}

}  // namespace

HattPoint EllipsoidalToHATT(Extended phi, Extended lambda, Extended h, Extended undulation)
{
    const Extended ep = Ellipsoids[GR].eprime;
    HattPoint out;

    // Latitude row: twice the latitude in degrees, truncated.
    const int k = truncToInt(phi * 18000 / kPi / 50);
    out.sheet.i = (50 * k - 3450) / 50;
    const Extended phi0 = (50 * Extended(k) + 25) * kPi / 18000;

    // Longitude column, counted in half degrees from the western edge.
    const Extended lam = lambda - kLambdaWest;
    const int j = truncToInt(lam * 18000 / kPi / 50);
    out.sheet.j = j;
    const Extended dl = lam - (50 * Extended(j) + 25) * kPi / 18000;

    const Extended dp = phi - phi0;
    const SheetConstants c = sheetConstants(phi0);
    const Extended s0 = c.s0, c0 = c.c0, rho0 = c.rho0, N0 = c.N0;
    const Extended s0sq = s0 * s0;
    const Extended dl2 = dl * dl;
    const Extended dp2 = dp * dp;

    const Extended eps = ep * s0;
    const Extended s0dl = s0 * dl;
    out.x = N0 * c0 * dl -
            dl * ((dl2 * (1 - 2 * s0sq) * N0 * s0 * dp) / 6 + s0dl * s0dl * N0 * c0 / 6 +
                  (2 + 9 * eps * eps) * dp2 * rho0 * c0 / 6 + rho0 * dp * s0);

    const Extended epc2 = ep * c0 * c0;  // e'²·c0⁴ is formed as (e'·c0²)²
    const Extended T5 = (epc2 * epc2 + 1 - 4 * s0sq) * rho0 * dp / 6 + N0 * c0 * s0 / 2;
    const Extended T7 = dl2 * dl2 * (1 - 2 * s0sq) * N0 * s0 * c0 / 24 + T5;
    const Extended T8 = T7 - dp2 * N0 * s0 * c0 / 3;
    const Extended T9 = dl2 * T8 + rho0 * dp;
    out.y = ((1 - 2 * s0sq) * dp + 3 * rho0 * s0 * c0 / N0) * (dp2 * ep * ep * rho0) / 2 + T9;

    out.H = h - undulation;
    return out;
}

Geographic HATTToEllipsoidal(Extended x, Extended y, Extended H, Extended undulation,
                             HattSheet sheet)
{
    const Extended ep = Ellipsoids[GR].eprime;
    const Extended ep2 = ep * ep;
    const Extended phi0 = (Extended(0.5L) * sheet.i + Extended(34.75L)) * kPi / 180;
    const Extended lambda0 = (Extended(0.5L) * sheet.j - Extended(4.25L)) * kPi / 180 + kLambdaAthens;

    const SheetConstants c = sheetConstants(phi0);
    const Extended s0 = c.s0, c0 = c.c0, rho0 = c.rho0, N0 = c.N0;
    const Extended t = s0 / c0;
    const Extended t2 = t * t;
    const Extended x2 = x * x;
    const Extended y2 = y * y;
    const Extended s0sq = s0 * s0;

    Geographic g;
    const Extended A3 = y2 * 3 * ep2 * std::sin(2 * phi0) / 2 + x2 * t;
    const Extended A5 = x2 * ((3 * t2 + 1) - ep2 * (1 - 10 * s0sq)) * y / 3 / N0 + A3;
    const Extended A7 = y2 * ep2 * (1 - 2 * s0sq) * y / rho0 + A5;
    const Extended A8 = A7 - x2 * x2 * (3 * t2 + 1) * t / 12 / rho0 / N0;
    const Extended xy = x * y;
    g.phi = y / rho0 + phi0 - (xy * xy * (3 * t2 + 2) * t / 3 / rho0 / N0 + A8) / 2 / rho0 / N0;

    const Extended N02 = N0 * N0;
    const Extended epc = ep * c0;
    const Extended B2 = t * y / N0 + 1 - (x2 * t2 / 3) / N02;
    const Extended B5 = y2 * (epc * epc + 3 * t2 + 1) / 3 / N02 + B2;
    const Extended yN = y / N0;
    const Extended B6 = yN * yN * (3 * t2 + 2) * t * y / 3 / N0 + B5;
    const Extended B7 = x2 * (3 * t2 + 1) * t * y / 3 / N0;
    g.lambda = (B6 - B7 / N02) * x / N0 / c0 + lambda0;

    g.h = H + undulation;
    return g;
}

}  // namespace korthal
