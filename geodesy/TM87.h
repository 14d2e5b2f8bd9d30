#pragma once
// TM87: transverse Mercator of EGSA87 on GRS80. Central meridian 24° E,
// scale 0.9996, false easting 500000 m, no false northing. Heights pass
// through: H = h − undulation and back.

#include "geodesy/Ellipsoids.h"
#include "geodesy/Extended.h"

namespace korthal {

// Non-convergence message of the iterations.
extern const char* const kMsgNoConvergence;  // "η διαδικασία δεν συγκλίνει"

constexpr Extended kLambda0TM87 = 0.41887902047863906L;  // 24° in radians
constexpr Extended kK0TM87 = 0.9996L;
constexpr Extended kFalseEastingTM87 = 500000.0L;

struct TM87 {
    Extended E = 0;  // easting (m)
    Extended N = 0;  // northing (m)
    Extended H = 0;  // height above the geoid (m)
};

// Meridian arc M(PhiB) − M(PhiA) in metres on ellipsoid ell.
Extended MeridianArc(int ell, Extended phiA, Extended phiB);
// Latitude whose meridian arc is M; at most 21 passes, reporting
// kMsgNoConvergence (once) when the 21st is reached.
Extended FootpointLatitude(int ell, Extended M);

TM87 EllipsoidalToTM87(Extended phi, Extended lambda, Extended h, Extended undulation);
Geographic TM87ToEllipsoidal(Extended E, Extended N, Extended H, Extended undulation);

}  // namespace korthal
