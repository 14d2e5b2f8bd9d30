#pragma once
// The four reference ellipsoids and the conversions between geocentric
// Cartesian coordinates (X, Y, Z in metres) and ellipsoidal coordinates
// (latitude φ and longitude λ in radians, ellipsoidal height h in metres).
//
// The conversions are templates over the floating type: the same formula runs
// in double for bulk point conversions and in Extended wherever the results
// feed the estimation or must agree with earlier results to the last bit. Over
// Greece the two agree to well below a micrometre. The template arguments are
// never deduced: a call names its type (EllipsoidalToGeocentric<double>), and
// a call without one is the Extended function.

#include "geodesy/Extended.h"

#include <type_traits>

namespace korthal {

// Datum index: selects an ellipsoid and a row/column of the datum shifts.
enum Datum : int { WGS84 = 0, EGSA87 = 1, ED50 = 2, GR = 3 };

struct Ellipsoid {
    double a;       // semi-major axis (m)
    double b;       // semi-minor axis (m)
    double e;       // first eccentricity
    double eprime;  // second eccentricity
};

// Stored exactly as the system lists them (not derived from a and b).
extern const Ellipsoid Ellipsoids[4];
// Meridian-arc coefficients C0..C3 per ellipsoid.
extern const Extended MeridianCoeffs[4][4];

template <class T>
struct BasicGeocentric {
    T X = 0, Y = 0, Z = 0;
};

template <class T>
struct BasicGeographic {
    T phi = 0;     // latitude (radians)
    T lambda = 0;  // longitude (radians)
    T h = 0;       // ellipsoidal height (m)
};

using Geocentric = BasicGeocentric<Extended>;
using Geographic = BasicGeographic<Extended>;

// A template parameter that calls must name (it is not deduced).
template <class T>
using Exact = std::type_identity_t<T>;

// Instantiated for double and Extended.
template <class T>
BasicGeocentric<T> EllipsoidalToGeocentric(int ell, Exact<T> phi, Exact<T> lambda, Exact<T> h);
// Closed form with one height correction (not an iteration). On the Z axis
// φ = +π/2, λ = 0, h = Z − b; on the equatorial plane φ = 0, h = p − a.
template <class T>
BasicGeographic<T> GeocentricToEllipsoidal(int ell, Exact<T> X, Exact<T> Y, Exact<T> Z);

Geocentric EllipsoidalToGeocentric(int ell, Extended phi, Extended lambda, Extended h);
Geographic GeocentricToEllipsoidal(int ell, Extended X, Extended Y, Extended Z);

}  // namespace korthal
