#pragma once
// The statistics of a similarity transformation estimated by least squares
// from reference points: the a-posteriori standard error of unit weight σ0,
// the standard errors of the parameters, three tests of the reference
// points, and the point most likely to be wrong.
//
// The estimation itself (geodesy/Transformation) is not touched: these
// functions take its result and the same coordinates it was given, rebuild
// the design A of the adjustment at the solution and derive the cofactors
// from it. The estimation gives every coordinate the same weight; so do σ0,
// the standard errors and test 1.
//
// 1. Pope's τ of each coordinate: each residual divided by its own standard
// deviation σ0·sqrt(q), q being the residual's cofactor (the diagonal of
// Qvv = I − A·N⁻¹·Aᵀ) and σ0 coming from the same residuals. Under the
// hypothesis of no gross error τ²/r follows a Beta(1/2, (r − 1)/2)
// distribution, r being the redundancy, which gives the critical value. A
// point's τ is the largest |τ| over its coordinates. It is blind to an error
// spread over E, N and H: each coordinate then carries only part of it, and
// the largest τ may even fall on another point.
//
// 2. Each point's coordinates together (m = 2 in 2-D, 3 in 3-D). Freeing
// an error of any size and direction in the point's m coordinates lowers the
// weighted sum of squared residuals Ω by T = vᵢᵀ·Qᵢ⁻¹·vᵢ, vᵢ being the
// point's residuals and Qᵢ their m × m block of cofactors. Without a gross
// error T/σ² is χ²(m) and (Ω − T)/σ² is χ²(r − m), independent of each
// other, so
//     F = (T / m) / ((Ω − T) / (r − m))
// follows Fisher's F(m, r − m): the point's misfit per coordinate against
// the variance of unit weight of the rest of the network. It is the outlier
// test of a group of observations in the Gauss–Markov model with the
// variance unknown (Koch, Parameter Estimation and Hypothesis Testing in
// Linear Models, 2nd ed., Springer 1999, ch. 4; Teunissen, Testing Theory,
// Delft University Press 2000, the test of an m-dimensional alternative);
// for m = 1 it is τ in another form. Like τ it needs no a-priori σ, so it
// adapts to how well the network's known coordinates and measurements
// actually agree; but the heights weigh against E and N as the a-priori
// σv and σh say (their ratio alone matters; GPS heights are commonly twice
// as uncertain, and weighing them alike would raise false alarms wherever
// they are). In 2-D all weights are equal and Ω = vᵀv. A gross error e in
// point i gives it T = eᵀ·Qᵢ·e (in the weights' metric) and any other point
// j at most that, since the cofactors form a projector whose Schur
// complement Qᵢ − Qᵢⱼ·Qⱼ⁻¹·Qⱼᵢ is positive semi-definite: the wrong point
// has the largest F whatever the direction of its error.
//
// 3. The variance factor against the a-priori precision: with the a-priori
// standard deviations σh (E, N) and σv (H) as weights, the weighted sum of
// squared residuals Ω_w = min Σ (vE² + vN²)/σh² + vH²/σv² follows χ²(r) when
// the points agree as well as the a-priori says. The variance factor Ω_w/r
// is then about 1; above its critical value the reference points do not
// agree with each other, even where no single point can be named (Koch
// 1999, ch. 4, the test of the variance factor).
//
// Tests 2 and 3 take the weighted adjustment linearised at the estimation's
// solution: one weighted step from it, which leaves the estimation as it is.
//
// Tests 1 and 2 are made at the level that keeps the chance of a false alarm
// over the whole network at kFamilyAlpha or kPointFamilyAlpha; a gross
// error spreads into the residuals of the other points, so only the point
// with the largest test value above its critical value is named, and after
// leaving it out the test is made again.

#include "geodesy/Distributions.h"
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

// Significance level of test 2 over the whole network. Lower than that of
// τ because its weights come from the a-priori ratio of σv to σh: where the
// heights are in fact as good as E and N, the weights are off by a factor
// of four and false alarms come about twice as often as the level says
// (random networks of 6 to 12 points: 1.1 % at this level, 1.9 % at 1 %).
inline constexpr Extended kPointFamilyAlpha = 0.005L;

// Significance level of the test of the variance factor.
inline constexpr Extended kGlobalAlpha = 0.01L;

// The a-priori standard deviations of the differences between the known and
// the transformed coordinates (m): what the known coordinates and the GPS
// measurements together are expected to hold.
struct AprioriPrecision {
    Extended horizontal = 0.02L;  // of E and of N
    Extended vertical = 0.04L;    // of H
};

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
    // F of the point's coordinates together (test 2); 0 when the point is
    // not tested so (its cofactor block is singular: the parameters follow
    // some direction of its coordinates wholly).
    Extended F = 0;
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
    int suspect = -1;               // index into points by τ, or -1

    // Each point's coordinates together (test 2): made when the points are
    // tested and the redundancy exceeds a point's coordinates.
    bool pointsTested = false;
    int pointAxes = 0;            // m: 2 (E, N) or 3 (E, N, H)
    Extended pointFamilyAlpha = kPointFamilyAlpha;
    Extended pointAlpha = 0;      // the level of each point
    Extended pointCritical = 0;   // of F(m, r − m) at that level
    int pointSuspect = -1;        // index into points by F, or -1

    // The variance factor against the a-priori precision (test 3): made
    // whenever there is redundancy and the a-priori σ are above 0.
    AprioriPrecision apriori;
    bool globalTested = false;
    Extended globalAlpha = kGlobalAlpha;
    Extended varianceFactor = 0;  // Ω_w / r, about 1 when the a-priori holds
    Extended globalCritical = 0;  // χ²(r) exceeded with probability globalAlpha, divided by r
    bool disagreement = false;    // varianceFactor above globalCritical

    // The point to name, or -1: the one test 2 names where it is made (it
    // finds an error in one coordinate about as well as τ does, and one
    // spread over them far better; naming by either would add their false
    // alarms), else the one τ names.
    int named() const { return pointsTested ? pointSuspect : suspect; }
};

// For `t` estimated by Estimate2DSimilarity(XT, YT, XS, YS): residuals,
// cofactors, σ0, standard errors of scale, rotation about Z and the two
// shifts, and the tests (the a-priori vertical precision unused). Vectors
// of different lengths give empty statistics.
AdjustmentStatistics Statistics2D(const Transformation& t, const TVector& XT, const TVector& YT,
                                  const TVector& XS, const TVector& YS,
                                  const AprioriPrecision& apriori = {});

// For `t` estimated by EstimateTransformation(XT, YT, ZT, XS, YS, ZS): the
// same for the seven parameters (linearised at the solution).
AdjustmentStatistics Statistics3D(const Transformation& t, const TVector& XT, const TVector& YT,
                                  const TVector& ZT, const TVector& XS, const TVector& YS,
                                  const TVector& ZS, const AprioriPrecision& apriori = {});

}  // namespace korthal
