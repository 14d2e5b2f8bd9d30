#pragma once
// Geocentric translations between WGS84 (0), EGSA87 (1), ED50 (2) and GR (3).
// Entry [i][j] takes coordinates on datum i to datum j: X_j = X_i + ΔX[i][j].
//
// A translation is exact arithmetic (the sum is made in Extended); what a
// point's position carries is the datum relation itself, a three-parameter
// model of metre order. The composite WGS84 geocentric -> TM87 of EGSA87
// agrees with PROJ (helmert, cart, tmerc) within 1.0 mm, the TM87 series'
// own error; tests/geodesy/ProjReferenceTest.cpp holds the table.

#include "geodesy/Extended.h"
#include "geodesy/TM87.h"

#include <array>
#include <cstddef>

namespace korthal {

struct ShiftTriple {
    double dX = 0, dY = 0, dZ = 0;
};

class DatumShiftTable {
public:
    // The initial values, before any settings are read.
    DatumShiftTable();

    const ShiftTriple& operator()(int from, int to) const
    {
        return t_[static_cast<std::size_t>(from)][static_cast<std::size_t>(to)];
    }
    ShiftTriple& operator()(int from, int to)
    {
        return t_[static_cast<std::size_t>(from)][static_cast<std::size_t>(to)];
    }

    // The seven-step refill from the three triples WGS84→GRS80, WGS84→Bessel
    // and WGS84→ED50 of the settings.
    void refill(ShiftTriple grs80, ShiftTriple bessel, ShiftTriple ed50);

private:
    std::array<std::array<ShiftTriple, 4>, 4> t_{};
};

// In place: adds [0][1] (resp. [1][0]), computed in extended precision and
// stored back as doubles.
void ShiftWGS84ToEGSA87(const DatumShiftTable& shifts, double& X, double& Y, double& Z);
void ShiftEGSA87ToWGS84(const DatumShiftTable& shifts, double& X, double& Y, double& Z);

// The form in which a network's WGS84 coordinates are typed and kept.
enum class InputForm {
    Geocentric,   // X, Y, Z in metres
    Ellipsoidal,  // packed φ, λ (DD.MMSSsss) and h in metres
};

// A GPS point to TM87 of EGSA87. A, B, C are the coordinates in `form`. The template computes the ellipsoid
// and projection formulas in T (double or Extended); the shift is always
// added in Extended and stored as doubles.
template <class T>
BasicTM87<T> WGS84ToTM87(const DatumShiftTable& shifts, InputForm form, double A,
                         double B, double C, double undulation);
TM87 WGS84ToTM87(const DatumShiftTable& shifts, InputForm form, double A, double B,
                 double C, double undulation);

}  // namespace korthal
