#pragma once
// TM87: transverse Mercator of EGSA87 on GRS80. Central meridian 24° E,
// scale 0.9996, false easting 500000 m, no false northing. Heights pass
// through: H = h − undulation and back.
//
// Formulas: the series of the transverse Mercator projection in powers of
// the longitude difference, forward to the 8th power with the η² terms to η⁸;
// the inverse in powers of the easting from the footpoint latitude, found by
// iteration on the meridian arc. The terms are those of the US Defense
// Mapping Agency's TM 8358.2 "The Universal Grids" (1989, T1..T5 forward and
// T7..T11 inverse, after P. D. Thomas 1952); Redfearn's (1948) series are the
// same expansion written with ψ = ν/ρ instead of η². The meridian arc is the
// four-term series in multiples of φ with the coefficients of Ellipsoids.h.
//
// Accuracy: against PROJ's exact transverse Mercator (Poder/Engsager) on
// GRS80, over φ 34°..41.75°, λ 19.5°..28.5° (up to 4.5° from the central
// meridian), the forward projection is within 1.0 mm in E and N and the
// inverse within 1.0 mm on the ground; tests/geodesy/ProjReferenceTest.cpp
// holds the table and checks 1.1 mm.
//
// Like the ellipsoid conversions, the formulas are templates over the
// floating type (instantiated for double and Extended); a call without a
// template argument is the Extended function.

#include "geodesy/Ellipsoids.h"
#include "geodesy/Extended.h"

namespace korthal {

// Non-convergence message of the iterations.
extern const char* const kMsgNoConvergence;  // "η διαδικασία δεν συγκλίνει"

constexpr Extended kLambda0TM87 = 0.41887902047863906L;  // 24° in radians
constexpr Extended kK0TM87 = 0.9996L;
constexpr Extended kFalseEastingTM87 = 500000.0L;

template <class T>
struct BasicTM87 {
    T E = 0;  // easting (m)
    T N = 0;  // northing (m)
    T H = 0;  // height above the geoid (m)
};
using TM87 = BasicTM87<Extended>;

// How the footpoint iteration went. The iteration never shows anything:
// a caller that reports non-convergence (with kMsgNoConvergence) passes a
// check and reads it. A caller that computes in a narrower type learns from
// it too whether another type could have stopped elsewhere.
struct FootpointCheck {
    bool converged = true;   // false: the 21st pass was reached
    bool nearLimit = false;  // a step lay within 1e-4 of the 1e-8 limit
};

// Meridian arc M(PhiB) − M(PhiA) in metres on ellipsoid ell.
template <class T>
T MeridianArc(int ell, Exact<T> phiA, Exact<T> phiB);
// Latitude whose meridian arc is M; at most 21 passes. Reaching the 21st
// clears check->converged.
template <class T>
T FootpointLatitude(int ell, Exact<T> M, FootpointCheck* check = nullptr);

template <class T>
BasicTM87<T> EllipsoidalToTM87(Exact<T> phi, Exact<T> lambda, Exact<T> h, Exact<T> undulation);
template <class T>
BasicGeographic<T> TM87ToEllipsoidal(Exact<T> E, Exact<T> N, Exact<T> H, Exact<T> undulation,
                                     FootpointCheck* check = nullptr);

Extended MeridianArc(int ell, Extended phiA, Extended phiB);
Extended FootpointLatitude(int ell, Extended M, FootpointCheck* check = nullptr);
TM87 EllipsoidalToTM87(Extended phi, Extended lambda, Extended h, Extended undulation);
Geographic TM87ToEllipsoidal(Extended E, Extended N, Extended H, Extended undulation,
                             FootpointCheck* check = nullptr);

}  // namespace korthal
