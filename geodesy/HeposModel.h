#pragma once
// The HEPOS transformation model: the official way of the Greek cadastre from
// HTRS07 (the frame of the national GNSS network HEPOS, projected in TM07) to
// GGRS87 (EGSA87, projected in TM87).
//
// The model: TM07 E, N → HTRS07 φ, λ (with the ellipsoidal height h) →
// geocentric → a seven-parameter similarity → GGRS87 geocentric → φ, λ, h →
// TM87 E, N, to which the corrections dE, dN of a 2 km grid are added,
// interpolated bilinearly at the point's TM07 E, N. Heights stay ellipsoidal
// on each side (HTRS07 h → GGRS87 h). The similarity alone is good to about
// 1 m, with the grid to about 0.1 m (EPSG 12204 and 12207). A point outside
// the grid is not transformed: the grid is never extrapolated.
//
// The inverse (TM87 → TM07) solves the forward model by fixed-point iteration
// (the model is the identity up to 1e-5 per metre), four passes, so that it
// reproduces the forward to far below a micrometre.
//
// GRS80 enters with the program's own record (Ellipsoids.h) for the
// geocentric conversions. Both projections are those of TransverseMercator.h:
// TM07, and TM87 by the same series, as the model is published (with the
// program's own TM87 of TM87.h the manual's point would come out 0.9 mm
// north; with this one it agrees to 0.1 mm). No messages are shown: the
// results carry their status, and outsideGridMessage() gives the text.

#include "geodesy/CorrectionGrid.h"
#include "geodesy/Ellipsoids.h"
#include "geodesy/Extended.h"

#include <string>
#include <vector>

namespace korthal {

// A seven-parameter similarity in the coordinate frame rotation convention
// (EPSG method 1032/9607): X' = T + (1 + dS·10⁻⁶)·R·X with
// R = [[1, rZ, −rY], [−rZ, 1, rX], [rY, −rX, 1]], the rotations in arc-seconds.
struct HelmertParameters {
    Extended tX, tY, tZ;  // m
    Extended rX, rY, rZ;  // arc-seconds
    Extended dS;          // ppm
};

// HTRS07 → GGRS87 of the HEPOS model (EPSG 12204/12207).
constexpr HelmertParameters kHeposSimilarity = {203.437L, -73.461L, -243.594L, -0.170L,
                                                   -0.060L,  -0.151L,  -0.294L};

enum class HeposStatus {
    Ok,
    OutsideGrid,  // the point lies outside the correction grid: not transformed
};

template <class T>
struct HeposPoint {
    T E = 0, N = 0;    // the result (m); outside the grid: the similarity alone
    T h = 0;           // ellipsoidal height on the result's datum (m)
    T dE = 0, dN = 0;  // the grid's corrections at the point (m)
    // GGRS87 φ, λ (radians) of the similarity, before the grid's corrections:
    // where the program takes the geoid undulation of the point.
    T phi87 = 0, lambda87 = 0;
    HeposStatus status = HeposStatus::Ok;
    // The point lies within a micrometre of the grid's edge, where another
    // floating type could decide otherwise.
    bool nearEdge = false;
};

class HeposModel {
public:
    // The grids in metres, with the same nodes over TM07.
    HeposModel(const HelmertParameters& p, CorrectionGrid east, CorrectionGrid north);

    // The model with the grids built into the program.
    static const HeposModel& builtIn();

    // TM07 E, N and HTRS07 h → TM87 E, N and GGRS87 h. Without
    // `withPosition`, phi87 and lambda87 are left 0 (two arc tangents less).
    template <class T>
    HeposPoint<T> toTM87(Exact<T> E, Exact<T> N, Exact<T> h, bool withPosition = true) const;
    // TM87 E, N and GGRS87 h → TM07 E, N and HTRS07 h; phi87, lambda87 as in
    // the forward. The status is that of the grid at the TM07 result.
    template <class T>
    HeposPoint<T> toTM07(Exact<T> E, Exact<T> N, Exact<T> h) const;

    // The similarity alone, between geocentric coordinates.
    template <class T>
    BasicGeocentric<T> htrs07ToGgrs87(const BasicGeocentric<T>& x) const;
    template <class T>
    BasicGeocentric<T> ggrs87ToHtrs07(const BasicGeocentric<T>& x) const;

    const CorrectionGrid& eastGrid() const { return east_; }
    const CorrectionGrid& northGrid() const { return north_; }

private:
    // The similarity in the floating type it runs in.
    template <class T>
    struct Similarity {
        T m[3][3];    // (1 + dS)·R
        T inv[3][3];  // its inverse
        T t[3];       // tX, tY, tZ
    };
    template <class T>
    const Similarity<T>& similarity() const;
    // Where the node of a row and column starts in nodes_.
    std::size_t nodeIndex(int row, int column) const
    {
        return 2 * (static_cast<std::size_t>(row) * static_cast<std::size_t>(east_.columns()) +
                    static_cast<std::size_t>(column));
    }
    // dE, dN at the point, bilinear from the four nodes around its cell.
    template <class T>
    void correct(const CorrectionGrid::Cell<T>& cell, T& dE, T& dN) const;

    Similarity<Extended> x_;
    Similarity<double> d_;
    CorrectionGrid east_, north_;
    // Both components of each node side by side, in the grids' order: the
    // four nodes of a cell lie in two runs of memory, not four. Single
    // precision keeps them to a tenth of a micrometre, and halves the memory
    // a conversion walks through.
    std::vector<float> nodes_;
};

// "Το σημείο NAME βρίσκεται έξω από τον κάναβο διορθώσεων του μοντέλου HEPOS".
std::string outsideGridMessage(const std::string& pointName);

// Whether the two grids have the same nodes; if not, the reason in Greek.
std::string gridLayoutProblem(const CorrectionGrid& east, const CorrectionGrid& north);

}  // namespace korthal
