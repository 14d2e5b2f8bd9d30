#include "geodesy/Angles.h"
#include "geodesy/DatumShift.h"
#include "geodesy/HATT.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace korthal;

namespace {

constexpr Extended kDeg = kPi / 180;
// Metres per radian of latitude (about) on the Bessel ellipsoid in Greece.
constexpr Extended kMetresPerRad = 6.36e6L;

double d(Extended x) { return static_cast<double>(x); }

void expectTripleEq(const ShiftTriple& t, double dX, double dY, double dZ)
{
    EXPECT_DOUBLE_EQ(t.dX, dX);
    EXPECT_DOUBLE_EQ(t.dY, dY);
    EXPECT_DOUBLE_EQ(t.dZ, dZ);
}

}  // namespace

TEST(HATT, ReferencePointAndBack)
{
    const Extended phi = 38.1L * kDeg, lambda = 23.6L * kDeg;
    const HattPoint p = EllipsoidalToHATT(phi, lambda, 150, -2.5L);
    EXPECT_EQ(p.sheet.i, 7);
    EXPECT_EQ(p.sheet.j, 8);
    EXPECT_TRUE(p.sheet.valid());
    EXPECT_NEAR(d(p.x), 11722.55, 0.01);
    EXPECT_NEAR(d(p.y), -16639.73, 0.01);
    EXPECT_EQ(p.H, 152.5L);

    const Geographic g = HATTToEllipsoidal(p.x, p.y, p.H, -2.5L, p.sheet);
    EXPECT_LT(std::fabs(d((g.phi - phi) * kMetresPerRad)), 0.001);
    EXPECT_LT(std::fabs(d((g.lambda - lambda) * kMetresPerRad * std::cos(phi))), 0.001);
    EXPECT_EQ(g.h, 150);
}

TEST(HATT, SheetCentresAndCornersRoundTrip)
{
    // The centre of sheet (i, j) projects to the origin of that sheet.
    for (int i : {0, 7, 14})
        for (int j : {0, 9, 18}) {
            const Extended phi0 = (34.75L + 0.5L * i) * kDeg;
            const Extended lam0 = kLambdaAthens + (-4.25L + 0.5L * j) * kDeg;
            const HattPoint c = EllipsoidalToHATT(phi0, lam0, 0, 0);
            EXPECT_EQ(c.sheet.i, i);
            EXPECT_EQ(c.sheet.j, j);
            EXPECT_NEAR(d(c.x), 0, 1e-5);  // the edge constant has 11 digits
            EXPECT_NEAR(d(c.y), 0, 1e-6);
        }

    // Near the corners of a sheet the series are at their worst: latitude
    // within 3 mm, longitude within 0.02 mm.
    const Extended phi0 = 38.25L * kDeg;
    const Extended lam0 = kLambdaAthens - 0.25L * kDeg;
    const Extended off = 0.2499L * kDeg;
    for (int si : {-1, 0, 1})
        for (int sj : {-1, 0, 1}) {
            const Extended phi = phi0 + si * off, lam = lam0 + sj * off;
            const HattPoint p = EllipsoidalToHATT(phi, lam, 0, 0);
            ASSERT_EQ(p.sheet.i, 7);
            ASSERT_EQ(p.sheet.j, 8);
            const Geographic g = HATTToEllipsoidal(p.x, p.y, 0, 0, p.sheet);
            EXPECT_LT(std::fabs(d((g.phi - phi) * kMetresPerRad)), 0.003) << si << ' ' << sj;
            EXPECT_LT(std::fabs(d((g.lambda - lam) * kMetresPerRad * std::cos(phi))), 0.00002)
                << si << ' ' << sj;
        }
}

TEST(HATT, PointsOutsideTheSheetGridKeepTheirComputedIndices)
{
    // South of 34° 30': row −1.
    const HattPoint south = EllipsoidalToHATT(34.2L * kDeg, 23 * kDeg, 0, 0);
    EXPECT_EQ(south.sheet.i, -1);
    EXPECT_FALSE(south.sheet.valid());
    // East of the last column.
    const HattPoint east = EllipsoidalToHATT(36 * kDeg, 29.3L * kDeg, 0, 0);
    EXPECT_EQ(east.sheet.j, 20);
    EXPECT_FALSE(east.sheet.valid());
    // Less than half a degree west of the grid truncates toward zero.
    const HattPoint west = EllipsoidalToHATT(39 * kDeg, kLambdaWest - 0.2L * kDeg, 0, 0);
    EXPECT_EQ(west.sheet.j, 0);
    const HattPoint farWest = EllipsoidalToHATT(39 * kDeg, kLambdaWest - 0.7L * kDeg, 0, 0);
    EXPECT_EQ(farWest.sheet.j, -1);
}

TEST(DatumShift, InitialTableAndRefill)
{
    DatumShiftTable t;
    expectTripleEq(t(WGS84, EGSA87), 200.2, -74.8, -246.0);
    expectTripleEq(t(GR, EGSA87), 655.0, 299.0, 251.7);
    expectTripleEq(t(ED50, GR), -541.7, -466.3, -626.5);
    for (int i = 0; i < 4; ++i)
        expectTripleEq(t(i, i), 0, 0, 0);

    // The refill clears whatever the table held, the diagonal included.
    t(2, 2) = {1, 2, 3};
    t.refill({200.2, -74.8, -246.0}, {-454.944, -375.483, -502.543}, {86.9, 92.5, 128.8});
    expectTripleEq(t(WGS84, GR), -454.944, -375.483, -502.543);
    for (int i = 0; i < 4; ++i) {
        expectTripleEq(t(i, i), 0, 0, 0);
        for (int j = 0; j < 4; ++j) {
            EXPECT_DOUBLE_EQ(t(j, i).dX, -t(i, j).dX);
            EXPECT_DOUBLE_EQ(t(j, i).dZ, -t(i, j).dZ);
            // [i][j] = [0][j] − [0][i], up to the rounding of the steps.
            EXPECT_NEAR(t(i, j).dY, t(0, j).dY - t(0, i).dY, 1e-9);
        }
    }
    expectTripleEq(t(ED50, GR), -454.944 - 86.9, -375.483 - 92.5, -502.543 - 128.8);
    expectTripleEq(t(EGSA87, ED50), 86.9 - 200.2, 92.5 + 74.8, 128.8 + 246.0);
}

TEST(DatumShift, ShiftsAndTheirRoundTrip)
{
    const DatumShiftTable t;
    double X = 4500000, Y = 2000000, Z = 4000000;
    ShiftWGS84ToEGSA87(t, X, Y, Z);
    EXPECT_DOUBLE_EQ(X, 4500200.2);
    EXPECT_DOUBLE_EQ(Y, 1999925.2);
    EXPECT_DOUBLE_EQ(Z, 3999754.0);
    ShiftEGSA87ToWGS84(t, X, Y, Z);
    EXPECT_EQ(X, 4500000);
    EXPECT_EQ(Y, 2000000);
    EXPECT_EQ(Z, 4000000);
}

TEST(DatumShift, WGS84ToTM87FromBothInputForms)
{
    const DatumShiftTable t;
    const Extended phi = 37.9L * kDeg, lam = 23.7L * kDeg, h = 250;
    const Geocentric g = EllipsoidalToGeocentric(WGS84, phi, lam, h);
    const TM87 fromXYZ = WGS84ToTM87(t, InputForm::Geocentric, d(g.X), d(g.Y), d(g.Z), 30);
    const TM87 fromGeo = WGS84ToTM87(t, InputForm::Ellipsoidal, d(RadToDMS(phi)), d(RadToDMS(lam)), d(h), 30);
    EXPECT_NEAR(d(fromXYZ.E), d(fromGeo.E), 1e-4);
    EXPECT_NEAR(d(fromXYZ.N), d(fromGeo.N), 1e-4);
    EXPECT_NEAR(d(fromXYZ.H), d(fromGeo.H), 1e-4);

    // An independent reference (a general-purpose geodetic library with the
    // same translation and an exact transverse Mercator): within 2 mm.
    const TM87 athens = WGS84ToTM87(t, InputForm::Geocentric, 4608995.773, 2025713.370, 3903083.628, 0);
    EXPECT_NEAR(d(athens.E), 475794.2004, 0.002);
    EXPECT_NEAR(d(athens.N), 4202419.1475, 0.002);
    EXPECT_NEAR(d(athens.H), 161.7570, 0.002);
}

TEST(PackedAngle, WholeMinutesThatBinaryCannotHoldExactly)
{
    // 37.54 and 23.30 as doubles or extended reals fall just below their
    // decimal values; the minutes must still read 54' and 30'.
    const struct {
        Extended packed;
        Extended degrees;
    } cases[] = {
        {37.54, 37.9L}, {37.54L, 37.9L}, {23.30, 23.5L}, {23.30L, 23.5L},
        {21.4530, 21.7583333333333333333L}, {-23.30L, -23.5L}, {38.0L, 38.0L},
    };
    for (const auto& c : cases)
        EXPECT_NEAR(d(DMSToRad(c.packed) / kDeg), d(c.degrees), 1e-12) << d(c.packed);
}
