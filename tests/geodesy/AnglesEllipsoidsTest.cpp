#include "geodesy/Angles.h"
#include "geodesy/Ellipsoids.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace korthal;

namespace {
constexpr Extended kDeg = kPi / 180;
}

TEST(PackedAngle, ConvertsAndCarries)
{
    EXPECT_NEAR(static_cast<double>(DMSToRad(38.153L)),
                static_cast<double>((38 + 15.0L / 60 + 30.0L / 3600) * kDeg), 1e-15);
    EXPECT_NEAR(static_cast<double>(DMSToRad(-0.3L)), static_cast<double>(-0.5L * kDeg), 1e-15);

    // 30° 59' 59.9999999995" rolls over seconds and minutes to 31°.
    const Extended r = (30 + 59.0L / 60 + 59.9999999995L / 3600) * kDeg;
    EXPECT_NEAR(static_cast<double>(RadToDMS(r)), 31.0, 1e-13);

    // A negative angle carries nothing: d, m and s are all negative.
    const Extended neg = RadToDMS(-(10 + 20.0L / 60 + 30.0L / 3600) * kDeg);
    EXPECT_NEAR(static_cast<double>(neg), -10.203, 1e-12);

    // Minutes of 60 or more are not refused here.
    EXPECT_NEAR(static_cast<double>(DMSToRad(38.75L)), static_cast<double>((38 + 75.0L / 60) * kDeg),
                1e-15);
}

TEST(PackedAngle, RoundTripsValuesWithFiveDecimalsOfSeconds)
{
    for (Extended v : {0.0000001L, 12.3456789L, 38.1530123L, 45.5959999L, 89.0000001L, 23.42588L})
        EXPECT_NEAR(static_cast<double>(RadToDMS(DMSToRad(v))), static_cast<double>(v), 1e-12)
            << static_cast<double>(v);
}

TEST(Ellipsoids, SpecialPositions)
{
    for (int ell = 0; ell < 4; ++ell) {
        const Extended b = Ellipsoids[ell].b;
        for (Extended Z : {6356000.0L, -6356000.0L}) {
            Geographic g = GeocentricToEllipsoidal(ell, 0, 0, Z);
            EXPECT_EQ(g.phi, kPi / 2);
            EXPECT_EQ(g.lambda, 0);
            EXPECT_EQ(g.h, Z - b);
        }
        Geographic eq = GeocentricToEllipsoidal(ell, 3000000, 4000000, 0);
        EXPECT_EQ(eq.phi, 0);
        EXPECT_EQ(eq.h, 5000000 - static_cast<Extended>(Ellipsoids[ell].a));
    }
    EXPECT_EQ(GeocentricToEllipsoidal(EGSA87, 0, -5000000, 3000000).lambda, kPi / 2);
}

TEST(Ellipsoids, RoundTripInsideGreece)
{
    for (int ell = 0; ell < 4; ++ell)
        for (Extended phiDeg = 34; phiDeg <= 42; phiDeg += 2)
            for (Extended lamDeg = 19; lamDeg <= 30; lamDeg += 2.75L)
                for (Extended h : {0.0L, 350.0L, 3000.0L, 10000.0L}) {
                    Geocentric c = EllipsoidalToGeocentric(ell, phiDeg * kDeg, lamDeg * kDeg, h);
                    Geographic g = GeocentricToEllipsoidal(ell, c.X, c.Y, c.Z);
                    EXPECT_NEAR(static_cast<double>(g.phi - phiDeg * kDeg), 0, 1e-12);
                    EXPECT_NEAR(static_cast<double>(g.lambda - lamDeg * kDeg), 0, 1e-12);
                    EXPECT_NEAR(static_cast<double>(g.h - h), 0, 1e-4);
                }
}

TEST(Ellipsoids, WGS84AndGRS80DifferOnlyInTheLastDigits)
{
    Geocentric c = EllipsoidalToGeocentric(EGSA87, 38 * kDeg, 23.5L * kDeg, 100);
    Geographic g0 = GeocentricToEllipsoidal(WGS84, c.X, c.Y, c.Z);
    Geographic g1 = GeocentricToEllipsoidal(EGSA87, c.X, c.Y, c.Z);
    EXPECT_NE(g0.phi, g1.phi);
    EXPECT_NEAR(static_cast<double>(g0.phi - g1.phi), 0, 1e-9);
}

TEST(PackedAngle, SecondsThatRoundToSixtyAreCarried)
{
    // 37° 59' 59.999999" shows with 9 decimals (five of seconds) as 38°.
    const Extended nearly38 = RadToDMS((37 + 59.0L / 60 + 59.999999L / 3600) * kDeg);
    EXPECT_NEAR(static_cast<double>(PackedToShow(nearly38, 9)), 38.0, 1e-15);
    // ... and 59' 59.6" with 4 decimals (whole seconds) as the next degree.
    EXPECT_NEAR(static_cast<double>(PackedToShow(37.59596L, 4)), 38.0, 1e-15);
    // Seconds alone: 12° 30' 59.9996" is 12° 31' 00".
    EXPECT_NEAR(static_cast<double>(PackedToShow(12.30599996L, 6)), 12.31, 1e-15);
    // Minutes that round to 60 with two decimals (DD.MM), and with one.
    EXPECT_NEAR(static_cast<double>(PackedToShow(21.5958L, 2)), 22.0, 1e-15);
    EXPECT_NEAR(static_cast<double>(PackedToShow(21.57L, 1)), 22.0, 1e-15);
    // The sign is kept.
    EXPECT_NEAR(static_cast<double>(PackedToShow(-0.0059999999L, 6)), -0.01, 1e-15);
    // Values that show no 60 are returned as they are, typed oddities too.
    for (Extended v : {38.1530123L, 37.5959L, 38.75L, 0.0L})
        EXPECT_EQ(PackedToShow(v, 9), v);
    EXPECT_EQ(PackedToShow(37.5959999L, 0), 37.5959999L);
}
