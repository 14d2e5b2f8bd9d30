#pragma once
// The geoid undulation model of Greece: a 15' × 15' grid, 33 rows from 42° N
// south to 34° N, 41 columns from 19° E east to 29° E, in centimetres, turned
// to the EGSA87 datum by a datum term.

#include "geodesy/DatumShift.h"

#include <cstdint>
#include <optional>

namespace korthal {

constexpr int kGeoidRows = 33;
constexpr int kGeoidCols = 41;
extern const std::uint16_t GeoidGrid[kGeoidRows * kGeoidCols];

// The node at integer grid coordinates u = 4·φ°, v = 4·λ° (each rounded to
// the nearest integer first), in centimetres; nullopt outside the grid.
std::optional<double> GeoidGridValue(double u, double v);

// The undulation in metres with one decimal on EGSA87 at φ, λ (radians),
// with the datum term of shifts[0][1]; nullopt where the four surrounding
// nodes do not all exist. With `nearStep`, also says whether φ, λ lie so close
// to a step of the model (a cell edge, where the grid may end, or a value
// halfway between two decimetres) that a position computed in another
// floating type could fall on its other side.
std::optional<double> GeoidUndulation(const DatumShiftTable& shifts, double phi, double lambda,
                                      bool* nearStep = nullptr);

// The same undulation before its rounding to decimetres, in metres: a
// continuous surface for maps and contour lines.
std::optional<double> GeoidUndulationUnrounded(const DatumShiftTable& shifts, double phi,
                                               double lambda);

}  // namespace korthal
