#include "geodesy/Ellipsoids.h"

#include "geodesy/Angles.h"

#include <cmath>

namespace korthal {

const Ellipsoid Ellipsoids[4] = {
    {6378137.0, 6356752.3142, 0.08181919093, 0.08209443804},   // WGS84
    {6378137.0, 6356752.3141, 0.08181919112, 0.08209443823},   // GRS80
    {6378388.0, 6356911.9461, 0.08199189003, 0.08226888966},   // Hayford
    {6377397.155, 6356078.963, 0.08169683087, 0.0819708408},   // Bessel
};

const Extended MeridianCoeffs[4][4] = {
    {1.000006345L, -0.0025188441L, 5.2871167e-06L, -1.035789e-08L},
    {1.000006345L, -0.0025188441L, 5.2871167e-06L, -1.035789e-08L},
    {1.000006398L, -0.0025295245L, 5.332048e-06L, -1.0490205e-08L},
    {1.000006307L, -0.0025112904L, 5.2554532e-06L, -1.028125e-08L},
};

template <class T>
BasicGeocentric<T> EllipsoidalToGeocentric(int ell, Exact<T> phi, Exact<T> lambda, Exact<T> h)
{
    const T a = T(Ellipsoids[ell].a);
    const T e = T(Ellipsoids[ell].e);
    const T sinPhi = std::sin(phi);
    const T N = a / std::sqrt(1 - e * e * sinPhi * sinPhi);
    BasicGeocentric<T> g;
    g.X = std::cos(lambda) * (std::cos(phi) * (N + h));
    g.Y = std::sin(lambda) * (std::cos(phi) * (N + h));
    g.Z = sinPhi * ((1 - e * e) * N + h);
    return g;
}

template <class T>
BasicGeographic<T> GeocentricToEllipsoidal(int ell, Exact<T> X, Exact<T> Y, Exact<T> Z)
{
    const T a = T(Ellipsoids[ell].a);
    const T b = T(Ellipsoids[ell].b);
    const T e = T(Ellipsoids[ell].e);
    const T ep = T(Ellipsoids[ell].eprime);
    const T halfPi = T(kPi) / 2;
    BasicGeographic<T> g;
    if (X == 0 && Y == 0) {
        // On the Z axis: the pole, also for negative Z.
        g.phi = halfPi;
        g.lambda = 0;
        g.h = Z - b;
        return g;
    }
    g.lambda = X == 0 ? halfPi : std::atan(Y / X);
    const T p = std::sqrt(X * X + Y * Y);
    const T theta = std::atan((1 + ep * ep) * Z / p);
    const T sinT = std::sin(theta);
    const T cosT = std::cos(theta);
    const T N = a / std::sqrt(1 - (e * sinT) * (e * sinT));
    if (Z == 0) {
        g.phi = 0;
        g.h = p - a;
        return g;
    }
    const T h1 = Z / sinT - (1 - e * e) * N;
    g.h = cosT * (p - cosT * (N + h1)) + h1;
    g.phi = std::atan((sinT / cosT) / (ep * ep * g.h / (N + g.h) + 1));
    return g;
}

template BasicGeocentric<double> EllipsoidalToGeocentric<double>(int, double, double, double);
template BasicGeocentric<Extended> EllipsoidalToGeocentric<Extended>(int, Extended, Extended,
                                                                     Extended);
template BasicGeographic<double> GeocentricToEllipsoidal<double>(int, double, double, double);
template BasicGeographic<Extended> GeocentricToEllipsoidal<Extended>(int, Extended, Extended,
                                                                     Extended);

Geocentric EllipsoidalToGeocentric(int ell, Extended phi, Extended lambda, Extended h)
{
    return EllipsoidalToGeocentric<Extended>(ell, phi, lambda, h);
}

Geographic GeocentricToEllipsoidal(int ell, Extended X, Extended Y, Extended Z)
{
    return GeocentricToEllipsoidal<Extended>(ell, X, Y, Z);
}

}  // namespace korthal
