#include "geodesy/Angles.h"
#include "geodesy/Geoid.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>

using namespace korthal;

namespace {

double rad(Extended packed) { return static_cast<double>(DMSToRad(packed)); }

}  // namespace

TEST(Geoid, GridShapeAndReferenceNodes)
{
    const auto [lo, hi] = std::minmax_element(GeoidGrid, GeoidGrid + kGeoidRows * kGeoidCols);
    EXPECT_GE(*lo, 23);
    EXPECT_LE(*hi, 4465);

    // u = 4·φ°, v = 4·λ°.
    EXPECT_EQ(GeoidGridValue(168, 76), 3644);
    EXPECT_EQ(GeoidGridValue(168, 77), 3665);
    EXPECT_EQ(GeoidGridValue(152, 94), 3744);
    EXPECT_EQ(GeoidGridValue(160, 88), 3919);
    EXPECT_EQ(GeoidGridValue(140, 100), 1955);
    // Inputs are rounded to the nearest node first.
    EXPECT_EQ(GeoidGridValue(151.6, 94.4), 3744);
    // The corners exist, nothing beyond them does.
    EXPECT_TRUE(GeoidGridValue(136, 116).has_value());
    EXPECT_EQ(GeoidGridValue(169, 76), std::nullopt);
    EXPECT_EQ(GeoidGridValue(135, 76), std::nullopt);
    EXPECT_EQ(GeoidGridValue(150, 75), std::nullopt);
    EXPECT_EQ(GeoidGridValue(150, 117), std::nullopt);
    EXPECT_EQ(GeoidGridValue(std::numeric_limits<double>::quiet_NaN(), 90), std::nullopt);
    EXPECT_EQ(GeoidGridValue(1e300, 90), std::nullopt);
}

TEST(Geoid, UndulationExamples)
{
    const DatumShiftTable initial;
    // At a node the grid value itself (3744 cm) plus the datum term.
    EXPECT_EQ(GeoidUndulation(initial, rad(38.0), rad(23.3)), 6.9);
    EXPECT_EQ(GeoidUndulation(initial, rad(37.54), rad(23.42)), 7.3);

    // Without a datum shift the node value is all that is left.
    DatumShiftTable none;
    none.refill({}, {}, {});
    EXPECT_EQ(GeoidUndulation(none, rad(38.0), rad(23.3)), 37.4);

    // Another WGS84 → EGSA87 shift changes the result by its datum term.
    DatumShiftTable moved;
    moved.refill({210.2, -74.8, -246.0}, {-454.944, -375.483, -502.543}, {86.9, 92.5, 128.8});
    const double phi = rad(38.0), lam = rad(23.3);
    const double term = std::cos(lam) * std::cos(phi) * 10 * 0.94522917;
    EXPECT_NEAR(*GeoidUndulation(moved, phi, lam), 6.9 + term, 0.051);
    EXPECT_NE(GeoidUndulation(moved, phi, lam), 6.9);
}

TEST(Geoid, OneDecimalEverywhereInsideAndNothingOutside)
{
    const DatumShiftTable t;
    for (double phiDeg = 34.0; phiDeg < 42.0; phiDeg += 0.37)
        for (double lamDeg = 19.0; lamDeg < 29.0; lamDeg += 0.41) {
            const auto n = GeoidUndulation(t, static_cast<double>(phiDeg * kPi / 180),
                                           static_cast<double>(lamDeg * kPi / 180));
            ASSERT_TRUE(n.has_value()) << phiDeg << ' ' << lamDeg;
            EXPECT_EQ(*n, std::nearbyint(*n * 10) / 10);
            EXPECT_GT(*n, -30);
            EXPECT_LT(*n, 50);
        }

    // The four surrounding nodes must exist.
    EXPECT_EQ(GeoidUndulation(t, rad(42.0), rad(23.0)), std::nullopt);
    EXPECT_EQ(GeoidUndulation(t, rad(33.5959), rad(23.0)), std::nullopt);
    EXPECT_EQ(GeoidUndulation(t, rad(38.0), rad(29.0)), std::nullopt);
    EXPECT_EQ(GeoidUndulation(t, rad(38.0), rad(18.5959)), std::nullopt);
    EXPECT_EQ(GeoidUndulation(t, -rad(38.0), rad(23.0)), std::nullopt);
    EXPECT_EQ(GeoidUndulation(t, 0, 0), std::nullopt);
    EXPECT_EQ(GeoidUndulation(t, std::numeric_limits<double>::infinity(), rad(23.0)),
              std::nullopt);
}
