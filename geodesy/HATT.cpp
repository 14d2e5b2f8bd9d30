// HATT projection on the Bessel ellipsoid, one 30' × 30' sheet at a time.

#include "geodesy/HATT.h"

#include "geodesy/Angles.h"

#include <cmath>

namespace korthal {

namespace {

template <class T>
struct SheetConstants {
    T s0, c0;  // sine and cosine of the centre latitude
    T rho0;    // meridian radius of curvature at the centre
    T N0;      // prime vertical radius at the centre
};

template <class T>
SheetConstants<T> sheetConstants(T phi0)
{
    const Ellipsoid& ell = Ellipsoids[GR];
    const T a = T(ell.a);
    const T e = T(ell.e);
    const T ep = T(ell.eprime);
    SheetConstants<T> k{};
    k.s0 = std::sin(phi0);
    k.c0 = std::cos(phi0);
    const T es = e * k.s0;
    const T w = 1 - es * es;
    k.rho0 = (1 - e * e) * a / std::sqrt(w * w * w);
    const T epc = ep * k.c0;
    k.N0 = (1 + epc * epc) * k.rho0;
    return k;
}

// Integer part toward zero, as an int; values far outside any sheet are
// clamped so that the conversion stays defined.
template <class T>
int truncToInt(T x)
{
    if (!(x > T(-1e6L)))
        return -1000000;
    if (!(x < T(1e6L)))
        return 1000000;
    return static_cast<int>(std::trunc(x));
}

}  // namespace

template <class T>
BasicHattPoint<T> EllipsoidalToHATT(Exact<T> phi, Exact<T> lambda, Exact<T> h, Exact<T> undulation)
{
    const T pi = T(kPi);
    const T ep = T(Ellipsoids[GR].eprime);
    BasicHattPoint<T> out;

    // Latitude row: twice the latitude in degrees, truncated.
    const int k = truncToInt(phi * 18000 / pi / 50);
    out.sheet.i = (50 * k - 3450) / 50;
    const T phi0 = (50 * T(k) + 25) * pi / 18000;

    // Longitude column, counted in half degrees from the western edge.
    const T lam = lambda - T(kLambdaWest);
    const int j = truncToInt(lam * 18000 / pi / 50);
    out.sheet.j = j;
    const T dl = lam - (50 * T(j) + 25) * pi / 18000;

    const T dp = phi - phi0;
    const SheetConstants<T> c = sheetConstants(phi0);
    const T s0 = c.s0, c0 = c.c0, rho0 = c.rho0, N0 = c.N0;
    const T s0sq = s0 * s0;
    const T dl2 = dl * dl;
    const T dp2 = dp * dp;

    const T eps = ep * s0;
    const T s0dl = s0 * dl;
    out.x = N0 * c0 * dl -
            dl * ((dl2 * (1 - 2 * s0sq) * N0 * s0 * dp) / 6 + s0dl * s0dl * N0 * c0 / 6 +
                  (2 + 9 * eps * eps) * dp2 * rho0 * c0 / 6 + rho0 * dp * s0);

    const T epc2 = ep * c0 * c0;  // e'²·c0⁴ is formed as (e'·c0²)²
    const T T5 = (epc2 * epc2 + 1 - 4 * s0sq) * rho0 * dp / 6 + N0 * c0 * s0 / 2;
    const T T7 = dl2 * dl2 * (1 - 2 * s0sq) * N0 * s0 * c0 / 24 + T5;
    const T T8 = T7 - dp2 * N0 * s0 * c0 / 3;
    const T T9 = dl2 * T8 + rho0 * dp;
    out.y = ((1 - 2 * s0sq) * dp + 3 * rho0 * s0 * c0 / N0) * (dp2 * ep * ep * rho0) / 2 + T9;

    out.H = h - undulation;
    return out;
}

template <class T>
BasicGeographic<T> HATTToEllipsoidal(Exact<T> x, Exact<T> y, Exact<T> H, Exact<T> undulation,
                                     HattSheet sheet)
{
    const T pi = T(kPi);
    const T ep = T(Ellipsoids[GR].eprime);
    const T ep2 = ep * ep;
    const T phi0 = (T(0.5L) * sheet.i + T(34.75L)) * pi / 180;
    const T lambda0 = (T(0.5L) * sheet.j - T(4.25L)) * pi / 180 + T(kLambdaAthens);

    const SheetConstants<T> c = sheetConstants(phi0);
    const T s0 = c.s0, c0 = c.c0, rho0 = c.rho0, N0 = c.N0;
    const T t = s0 / c0;
    const T t2 = t * t;
    const T x2 = x * x;
    const T y2 = y * y;
    const T s0sq = s0 * s0;

    BasicGeographic<T> g;
    const T A3 = y2 * 3 * ep2 * std::sin(2 * phi0) / 2 + x2 * t;
    const T A5 = x2 * ((3 * t2 + 1) - ep2 * (1 - 10 * s0sq)) * y / 3 / N0 + A3;
    const T A7 = y2 * ep2 * (1 - 2 * s0sq) * y / rho0 + A5;
    const T A8 = A7 - x2 * x2 * (3 * t2 + 1) * t / 12 / rho0 / N0;
    const T xy = x * y;
    g.phi = y / rho0 + phi0 - (xy * xy * (3 * t2 + 2) * t / 3 / rho0 / N0 + A8) / 2 / rho0 / N0;

    const T N02 = N0 * N0;
    const T epc = ep * c0;
    const T B2 = t * y / N0 + 1 - (x2 * t2 / 3) / N02;
    const T B5 = y2 * (epc * epc + 3 * t2 + 1) / 3 / N02 + B2;
    const T yN = y / N0;
    const T B6 = yN * yN * (3 * t2 + 2) * t * y / 3 / N0 + B5;
    const T B7 = x2 * (3 * t2 + 1) * t * y / 3 / N0;
    g.lambda = (B6 - B7 / N02) * x / N0 / c0 + lambda0;

    g.h = H + undulation;
    return g;
}

template BasicHattPoint<double> EllipsoidalToHATT<double>(double, double, double, double);
template BasicHattPoint<Extended> EllipsoidalToHATT<Extended>(Extended, Extended, Extended,
                                                              Extended);
template BasicGeographic<double> HATTToEllipsoidal<double>(double, double, double, double,
                                                           HattSheet);
template BasicGeographic<Extended> HATTToEllipsoidal<Extended>(Extended, Extended, Extended,
                                                               Extended, HattSheet);

HattPoint EllipsoidalToHATT(Extended phi, Extended lambda, Extended h, Extended undulation)
{
    return EllipsoidalToHATT<Extended>(phi, lambda, h, undulation);
}

Geographic HATTToEllipsoidal(Extended x, Extended y, Extended H, Extended undulation,
                             HattSheet sheet)
{
    return HATTToEllipsoidal<Extended>(x, y, H, undulation, sheet);
}

}  // namespace korthal
