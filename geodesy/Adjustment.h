#pragma once
// The statistics of a similarity transformation estimated by least squares
// from reference points: the a-posteriori standard error of unit weight σ0,
// the standard errors of the parameters, and a test of every reference
// point's residuals that names the one point most likely to be wrong.
//
// The estimation itself (geodesy/Transformation) is not touched: these
// functions take its result and the same coordinates it was given, rebuild
// the design of the adjustment at the solution and derive the cofactors from
// it. Every observation has the same weight, as in the estimation.
//
// The test is Pope's τ: each residual divided by its own standard deviation
// σ0·sqrt(q), q being the residual's cofactor (the diagonal of
// Qvv = I − A·N⁻¹·Aᵀ) and σ0 coming from the same residuals. It needs no
// a-priori precision, so it adapts to how well the network's known
// coordinates and measurements actually agree. Under the hypothesis of no
// gross error τ²/r follows a Beta(1/2, (r − 1)/2) distribution, r being the
// redundancy, which gives the critical value. A point's test value is the
// largest |τ| over its coordinates; the point with the largest test value
// above the critical value is the suspect, and only that one: a gross error
// spreads into the residuals of the other points, so after leaving the
// suspect out the test is made again.

#include "geodesy/EMatrix.h"
#include "geodesy/Extended.h"
#include "geodesy/Transformation.h"

#include <vector>

namespace korthal {

// Significance level of the test of the whole network: the probability
// that a network without a gross error shows a suspect. Each of its m
// values is tested at 1 − (1 − kFamilyAlpha)^(1/m) (about 0.001 for ten
// values, 0.0003 for thirty): a fixed level per value would let larger
// networks raise false alarms more often.
inline constexpr Extended kFamilyAlpha = 0.01L;

// The significance level of each of `tests` values for the family level.
Extended perTestAlpha(int tests, Extended familyAlpha = kFamilyAlpha);

// The smallest numbers of reference points with which the test is made: below
// them the redundancy is too small to tell which point is wrong.
inline constexpr int kMinTestPoints2D = 3;
inline constexpr int kMinTestPoints3D = 4;

// The regularised incomplete beta function I_x(a, b), for 0 <= x <= 1 and
// a, b > 0.
Extended incompleteBeta(Extended a, Extended b, Extended x);

// Probability that |τ| exceeds t for redundancy r (r >= 2).
Extended tauExceedance(int redundancy, Extended t);

// The value that |τ| exceeds with probability alpha for redundancy r (r >= 2):
// between 0 and sqrt(r). 0 for r < 2.
Extended tauCritical(int redundancy, Extended alpha);

// Standard errors of the seven parameters as the transformation holds them.
struct ParameterErrors {
    Extended scale = 0;                    // dimensionless (× 1e6: ppm)
    Extended rotX = 0, rotY = 0, rotZ = 0;  // radians
    Extended shiftX = 0, shiftY = 0, shiftZ = 0;  // metres
};

// The test of one reference point.
struct PointTest {
    Extended vE = 0, vN = 0, vH = 0;  // residuals, known − transformed (m)
    Extended qE = 0, qN = 0, qH = 0;  // their cofactors (0..1)
    Extended tau = 0;                 // largest |τ| over the point's coordinates
    int axis = 0;                     // where it is: 0 E, 1 N, 2 H
};

struct AdjustmentStatistics {
    int observations = 0;
    int parameters = 0;
    int redundancy = 0;
    // σ0 and the parameters' standard errors exist (redundancy > 0).
    bool precisionKnown = false;
    Extended sigma0 = 0;  // m
    ParameterErrors errors;
    // The points are tested (enough points, see kMinTestPoints2D/3D).
    bool tested = false;
    Extended familyAlpha = kFamilyAlpha;
    Extended alpha = 0;     // the level of each value
    Extended critical = 0;  // of |τ| at that level
    std::vector<PointTest> points;  // in the order of the coordinates given
    int suspect = -1;               // index into points, or -1
};

// For `t` estimated by Estimate2DSimilarity(XT, YT, XS, YS): residuals,
// cofactors, σ0, standard errors of scale, rotation about Z and the two
// shifts, and the test. Vectors of different lengths give empty statistics.
AdjustmentStatistics Statistics2D(const Transformation& t, const TVector& XT, const TVector& YT,
                                  const TVector& XS, const TVector& YS);

// For `t` estimated by EstimateTransformation(XT, YT, ZT, XS, YS, ZS): the
// same for the seven parameters (linearised at the solution).
AdjustmentStatistics Statistics3D(const Transformation& t, const TVector& XT, const TVector& YT,
                                  const TVector& ZT, const TVector& XS, const TVector& YS,
                                  const TVector& ZS);

}  // namespace korthal
