#pragma once
// The four reference ellipsoids and the conversions between geocentric
// Cartesian coordinates (X, Y, Z in metres) and ellipsoidal coordinates
// (latitude φ and longitude λ in radians, ellipsoidal height h in metres).

#include "geodesy/Extended.h"

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

struct Geocentric {
    Extended X = 0, Y = 0, Z = 0;
};

struct Geographic {
    Extended phi = 0;     // latitude (radians)
    Extended lambda = 0;  // longitude (radians)
    Extended h = 0;       // ellipsoidal height (m)
};

Geocentric EllipsoidalToGeocentric(int ell, Extended phi, Extended lambda, Extended h);
// Closed form with one height correction (not an iteration). On the Z axis
// φ = +π/2, λ = 0, h = Z − b; on the equatorial plane φ = 0, h = p − a.
Geographic GeocentricToEllipsoidal(int ell, Extended X, Extended Y, Extended Z);

}  // namespace korthal
