#pragma once
// HATT: the old Greek azimuthal projection on the Bessel ellipsoid, set up
// anew for each 30' × 30' map sheet with its origin at the sheet centre.
// Sheet (i, j): centre φ0 = 34° 45' + i·30', λ0 = λA − 4° 15' + j·30'.
//
// Formulas: Hatt's azimuthal equidistant projection about the sheet centre as
// a power series in Δφ and Δλ with the radii of curvature ρ0 and N0 of the
// centre, forward and inverse.
//
// Accuracy: against PROJ's exact ellipsoidal azimuthal equidistant
// projection (+proj=aeqd, geodesics on Bessel 1841) about the same centre,
// points anywhere in their sheet agree within 0.05 mm forward; the inverse
// series gives φ, λ within 1.7 mm on the ground. The table is in
// tests/geodesy/ProjReferenceTest.cpp (checked at 0.1 mm and 2 mm).

#include "geodesy/Ellipsoids.h"
#include "geodesy/Extended.h"

namespace korthal {

constexpr Extended kLambdaAthens = 0.4139281758905455L;  // 23° 42' 58.815"
constexpr Extended kLambdaWest = 0.33538835955L;         // λA − 4° 30'

struct HattSheet {
    int i = -1;  // latitude row, 0..14 for a valid sheet
    int j = -1;  // longitude column, 0..18 for a valid sheet
    bool valid() const { return i >= 0 && i <= 14 && j >= 0 && j <= 18; }
};

template <class T>
struct BasicHattPoint {
    T x = 0;  // east (m)
    T y = 0;  // north (m)
    T H = 0;  // h − undulation (m)
    HattSheet sheet;  // the sheet used, as computed (may be outside the lists)
};
using HattPoint = BasicHattPoint<Extended>;

// φ, λ in radians on the GR datum. Chooses the sheet. Instantiated for double
// and Extended; a call without a template argument is the Extended function.
template <class T>
BasicHattPoint<T> EllipsoidalToHATT(Exact<T> phi, Exact<T> lambda, Exact<T> h,
                                    Exact<T> undulation);
// x, y on the given sheet back to φ, λ (radians, GR datum) and h = H + undulation.
template <class T>
BasicGeographic<T> HATTToEllipsoidal(Exact<T> x, Exact<T> y, Exact<T> H, Exact<T> undulation,
                                     HattSheet sheet);

HattPoint EllipsoidalToHATT(Extended phi, Extended lambda, Extended h, Extended undulation);
Geographic HATTToEllipsoidal(Extended x, Extended y, Extended H, Extended undulation,
                             HattSheet sheet);

}  // namespace korthal
