// The geoid undulation of a point in Greece: bilinear interpolation of the
// built-in grid (centimetres) plus a datum term for EGSA87.

#include "geodesy/Geoid.h"

#include <cmath>

namespace korthal {

namespace {

// Grid coordinates of the north-west node (42° N, 19° E) and the south-east
// node (34° N, 29° E), in quarter-degrees.
constexpr long kUNorth = 168;
constexpr long kUSouth = 136;
constexpr long kVWest = 76;
constexpr long kVEast = 116;

constexpr Extended kQuarterDegreesPerRadian = 229.1831180523293L;  // 720/π

// Datum factors of the three shift components.
constexpr Extended kFactorX = 0.94522917L;
constexpr Extended kFactorY = 0.98941883L;
constexpr Extended kFactorZ = 0.95099929L;

}  // namespace

std::optional<double> GeoidGridValue(double u, double v)
{
    if (!std::isfinite(u) || !std::isfinite(v))
        return std::nullopt;
    const double ru = std::nearbyint(u);
    const double rv = std::nearbyint(v);
    if (ru < double(kUSouth) || ru > double(kUNorth) || rv < double(kVWest) ||
        rv > double(kVEast))
        return std::nullopt;
    // Entry 6813 − 41·u + v counted from 1.
    const long index = 6812 - 41 * static_cast<long>(ru) + static_cast<long>(rv);
    return double(GeoidGrid[static_cast<std::size_t>(index)]);
}

namespace {

// The interpolated grid value with the datum term, in centimetres. With
// `nearEdge`, also whether φ, λ lie on or next to a cell edge.
std::optional<Extended> undulationCm(const DatumShiftTable& shifts, double phi, double lambda,
                                     bool* nearEdge = nullptr)
{
    if (nearEdge)
        *nearEdge = false;
    const Extended u = Extended(phi) * kQuarterDegreesPerRadian;
    const Extended v = Extended(lambda) * kQuarterDegreesPerRadian;
    if (!std::isfinite(u) || !std::isfinite(v))
        return std::nullopt;
    const Extended i = std::trunc(u);
    const Extended j = std::trunc(v);
    const Extended fu = u - i;
    const Extended fv = v - j;
    // Far wider than the difference between a double and an Extended position.
    constexpr Extended kEdge = 1e-9L;
    if (nearEdge)
        *nearEdge = fu < kEdge || fu > 1 - kEdge || fv < kEdge || fv > 1 - kEdge;

    // The four surrounding nodes; i + 1 is the next row to the north.
    const auto n00 = GeoidGridValue(double(i), double(j));
    const auto n10 = GeoidGridValue(double(i + 1), double(j));
    const auto n01 = GeoidGridValue(double(i), double(j + 1));
    const auto n11 = GeoidGridValue(double(i + 1), double(j + 1));
    if (!n00 || !n10 || !n01 || !n11)
        return std::nullopt;
    const Extended g00 = *n00, g10 = *n10, g01 = *n01, g11 = *n11;

    // Along u first, then along v first; the mean of the two.
    const Extended a = g00 + fu * (g10 - g00);
    const Extended b = g01 + fu * (g11 - g01);
    const Extended G1 = a + fv * (b - a);
    const Extended c = g00 + fv * (g01 - g00);
    const Extended d = g10 + fv * (g11 - g10);
    const Extended G2 = c + fu * (d - c);
    const Extended G = (G1 + G2) / 2;

    // The datum term of the WGS84 → EGSA87 shift, in centimetres.
    const ShiftTriple& s = shifts(WGS84, EGSA87);
    const Extended cphi = std::cos(Extended(phi));
    const Extended sphi = std::sin(Extended(phi));
    const Extended clam = std::cos(Extended(lambda));
    const Extended slam = std::sin(Extended(lambda));
    Extended T = clam * cphi * Extended(s.dX) * 100 * kFactorX + G;
    T = slam * cphi * Extended(s.dY) * 100 * kFactorY + T;
    T = sphi * Extended(s.dZ) * 100 * kFactorZ + T;
    return T;
}

}  // namespace

std::optional<double> GeoidUndulation(const DatumShiftTable& shifts, double phi, double lambda,
                                      bool* nearStep)
{
    const auto T = undulationCm(shifts, phi, lambda, nearStep);
    if (!T)
        return std::nullopt;
    // Whole decimetres, ties to even.
    if (nearStep) {
        const Extended dm = *T / 10;
        *nearStep = *nearStep || std::fabs(dm - std::floor(dm) - 0.5L) < 1e-6L;
    }
    return double(std::nearbyint(*T / 10)) / 10.0;
}

std::optional<double> GeoidUndulationUnrounded(const DatumShiftTable& shifts, double phi,
                                               double lambda)
{
    const auto T = undulationCm(shifts, phi, lambda);
    if (!T)
        return std::nullopt;
    return double(*T / 100);
}

}  // namespace korthal
