#pragma once
// The similarity transformation P' = s·R·P + t, and its estimation from
// reference points.
//
// A Transformation is a value fixed at construction: its seven parameters
// and the matrix [s·R | t] built from them once. R turns by rx about X, ry
// about Y and rz about Z (radians). The planar one (the 2-D similarity) has
// only s, rz and two shifts and leaves heights alone:
//     E' =  s·cos rz·E + s·sin rz·N + tE,   N' = −s·sin rz·E + s·cos rz·N + tN,
//     H' = H.
// The estimations return a Transformation with what happened; they never
// show anything, and messageText() gives the text a caller shows.

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

// The seven parameters; the defaults are the identity.
struct SimilarityParameters {
    Extended scale = 1;
    Extended rotX = 0, rotY = 0, rotZ = 0;        // radians
    Extended shiftX = 0, shiftY = 0, shiftZ = 0;  // metres
};

// [s·R | t]: rows 0..2, columns 0..3, the fourth column the shifts.
using TransformationMatrix = std::array<std::array<Extended, 4>, 3>;

class Transformation {
public:
    // The identity.
    Transformation() : Transformation(SimilarityParameters{}) {}
    // The spatial similarity of the seven parameters.
    explicit Transformation(const SimilarityParameters& p);
    // The planar similarity: rotX, rotY and shiftZ are 0 and heights pass.
    static Transformation planar(Extended scale, Extended rotZ, Extended shiftX, Extended shiftY);

    const SimilarityParameters& parameters() const { return p_; }
    const TransformationMatrix& matrix() const { return m_; }

    // The partial derivatives of s·R·P + t at the parameters held, with
    // respect to s, rx, ry, rz, tX, tY, tZ (in that order), for the point
    // P = (X, Y, Z): one row for each of the three coordinates.
    std::array<std::array<Extended, 7>, 3> Derivatives(Extended X, Extended Y, Extended Z) const;
    void ApplyTransformation(Extended& X, Extended& Y, Extended& Z) const;
    // Solves s·R·P = P' − t; a singular matrix leaves X, Y, Z as they were
    // and returns the solver's error.
    MatrixError ApplyInverseTransformation(Extended& X, Extended& Y, Extended& Z) const;

private:
    Transformation(const SimilarityParameters& p, bool planar);

    SimilarityParameters p_;
    TransformationMatrix m_{};
};

// How an estimation went.
enum class EstimationStatus {
    Estimated,
    CountsDiffer,    // vectors of different lengths: refused
    TooFewPoints2D,  // fewer than two points, or all in one place: refused
    TooFewPoints3D,  // fewer than three points: refused
    Singular,        // the points do not fix the parameters: the last ones kept
    NoConvergence,   // 50 iterations without meeting the limits: the last ones kept
};

// The message of a status, empty for Estimated.
const char* messageText(EstimationStatus s);

struct Estimate {
    // The identity when the estimation was refused.
    Transformation transformation;
    EstimationStatus status = EstimationStatus::Estimated;
    int iterations = 0;  // of the 3-D estimation; 0 when refused
    // False when the estimation was refused and gave no transformation.
    bool made() const
    {
        return status != EstimationStatus::CountsDiffer &&
               status != EstimationStatus::TooFewPoints2D &&
               status != EstimationStatus::TooFewPoints3D;
    }
};

// Closed-form four-parameter similarity taking (XS, YS) to (XT, YT):
// scale, rotation about Z and the two shifts; Z passes unchanged.
Estimate Estimate2DSimilarity(const TVector& XT, const TVector& YT, const TVector& XS,
                              const TVector& YS);
// Seven-parameter similarity taking (XS, YS, ZS) to (XT, YT, ZT) by
// Gauss–Newton on centroid-reduced coordinates, at most 50 iterations.
Estimate EstimateTransformation(const TVector& XT, const TVector& YT, const TVector& ZT,
                                const TVector& XS, const TVector& YS, const TVector& ZS,
                                const ConvergenceCriteria& criteria);

}  // namespace korthal
