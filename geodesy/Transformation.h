#pragma once
// The similarity transformation estimated from reference points, and its
// application. P' = s·R·P + t, with R built from three rotation angles.

#include "geodesy/EMatrix.h"
#include "geodesy/Extended.h"

#include <array>

namespace korthal {

extern const char* const kMsgCountsDiffer;     // "Το πλήθος σημείων (a) διαφέρει απο τα (b)"
extern const char* const kMsgNeedTwoPoints;    // "Για μετασχηματισμό χρειάζονται τουλάχιστον 2 σημεία"
extern const char* const kMsgNeedThreePoints;  // "χρειάζονται τουλάχιστον τρία σημεία για μετασχηματισμό 3Δ"

// Convergence limits of the 3-D estimation, each in units of 1e-12
// (scale: dimensionless, angles: radians, shifts: metres). Range 1..100000.
struct ConvergenceCriteria {
    int maxDm = 100;
    int maxDe = 100;
    int maxDt = 100;
};

class Transformation {
public:
    Extended TrScale = 1;
    Extended TrRotX = 0, TrRotY = 0, TrRotZ = 0;        // radians
    Extended TrShiftX = 0, TrShiftY = 0, TrShiftZ = 0;  // metres
    // [s·R | t], rows 0..2, columns 0..3 (the fourth column the shifts).
    std::array<std::array<Extended, 4>, 3> TrMatrix{};

    Transformation() { ResetTransformation(); }

    void BuildTransformationMatrix();
    void ResetTransformation();
    // Closed-form four-parameter similarity taking (XS, YS) to (XT, YT).
    void Estimate2DSimilarity(const TVector& XT, const TVector& YT, const TVector& XS,
                              const TVector& YS);
    // Seven-parameter similarity taking (XS, YS, ZS) to (XT, YT, ZT) by
    // Gauss–Newton on centroid-reduced coordinates, at most 50 iterations.
    // Returns the number of iterations made.
    int EstimateTransformation(const TVector& XT, const TVector& YT, const TVector& ZT,
                               const TVector& XS, const TVector& YS, const TVector& ZS,
                               const ConvergenceCriteria& criteria);
    // The partial derivatives of s·R·P + t at the parameters held, with
    // respect to s, rx, ry, rz, tX, tY, tZ (in that order), for the point
    // P = (X, Y, Z): one row for each of the three coordinates.
    std::array<std::array<Extended, 7>, 3> Derivatives(Extended X, Extended Y, Extended Z) const;
    void ApplyTransformation(Extended& X, Extended& Y, Extended& Z) const;
    void ApplyInverseTransformation(Extended& X, Extended& Y, Extended& Z) const;
};

}  // namespace korthal
