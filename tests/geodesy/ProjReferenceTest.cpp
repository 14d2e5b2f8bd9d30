// The projections and the datum shift against PROJ 9.1.1, an independent
// implementation. The tables were generated once with PROJ's cct (the
// commands stand above each table) and are kept here; PROJ is not needed to
// run the tests. Each tolerance is the largest difference measured, rounded
// up: the error bound stated in the projection's header. Latitude and
// longitude differences are taken to the ground with 6.4e6 m per radian.

#include "geodesy/Angles.h"
#include "geodesy/DatumShift.h"
#include "geodesy/HATT.h"
#include "geodesy/TM87.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace korthal;

namespace {

constexpr Extended kDeg = kPi / 180;
// HATT against the exact projection (m): the series forward, and its
// inverse measured on the ground.
constexpr double kHattForward = 0.0001;
constexpr double kHattInverse = 0.002;

struct ProjectedCase {
    double lat, lon;  // degrees
    double E, N;      // m
};

// cct -d 4 +proj=tmerc +ellps=GRS80 +lon_0=24 +k=0.9996 +x_0=500000 +y_0=0
// (PROJ's exact transverse Mercator, Poder/Engsager), input lon lat 0 0.
constexpr ProjectedCase kTM87[] = {
        {34.0, 19.5, 84273.5396, 3771296.3678},
        {34.0, 21.5, 269102.7537, 3764973.9255},
        {34.0, 24.0, 500000.0000, 3762155.9775},
        {34.0, 26.5, 730897.2463, 3764973.9255},
        {34.0, 28.5, 915726.4604, 3771296.3678},
        {35.5, 19.5, 91743.4337, 3937814.6453},
        {35.5, 21.5, 273243.6270, 3931367.2967},
        {35.5, 24.0, 500000.0000, 3928493.4564},
        {35.5, 26.5, 726756.3730, 3931367.2967},
        {35.5, 28.5, 908256.5663, 3937814.6453},
        {37.0, 19.5, 99493.3652, 4104348.8124},
        {37.0, 21.5, 277540.1973, 4097794.2351},
        {37.0, 24.0, 500000.0000, 4094872.3703},
        {37.0, 26.5, 722459.8027, 4097794.2351},
        {37.0, 28.5, 900506.6348, 4104348.8124},
        {38.5, 19.5, 107518.0883, 4270899.1509},
        {38.5, 21.5, 281989.5972, 4264255.3154},
        {38.5, 24.0, 500000.0000, 4261293.4268},
        {38.5, 26.5, 718010.4028, 4264255.3154},
        {38.5, 28.5, 892481.9117, 4270899.1509},
        {40.0, 19.5, 115812.1676, 4437465.8987},
        {40.0, 21.5, 286588.8521, 4430751.0194},
        {40.0, 24.0, 500000.0000, 4427757.2186},
        {40.0, 26.5, 713411.1479, 4430751.0194},
        {40.0, 28.5, 884187.8324, 4437465.8987},
        {41.75, 19.5, 125821.5185, 4631814.7669},
        {41.75, 21.5, 292139.9351, 4625040.2795},
        {41.75, 24.0, 500000.0000, 4622019.6175},
        {41.75, 26.5, 707860.0649, 4625040.2795},
        {41.75, 28.5, 874178.4815, 4631814.7669},
};

// cct -d 4 +proj=aeqd +ellps=bessel +lat_0=φ0 +lon_0=λ0 (the exact
// ellipsoidal azimuthal equidistant projection about the centre of the
// point's sheet: φ0 = 34° 45' + i·30', λ0 = λA − 4° 15' + j·30').
constexpr ProjectedCase kHatt[] = {
        {34.9, 19.6, 12215.1840, 16646.9794},
        {35.33, 23.95, -1485.2312, 8874.8540},
        {36.1, 22.4, -5972.9659, -16640.5252},
        {37.97, 23.72, -21642.6749, 24444.5558},
        {38.26, 21.74, -19806.9936, 1134.1160},
        {39.62, 19.92, -3978.3098, -14431.1277},
        {40.64, 22.94, -2227.6566, -12213.6207},
        {41.12, 25.41, -4730.7932, -14434.3686},
        {36.44, 28.22, -22084.0392, 21109.2982},
        {35.34, 25.13, 14876.6106, 9996.3532},
        {37.61, 26.02, 4737.5979, -15535.6393},
        {40.24, 24.31, -13301.8001, -1098.5482},
};

struct ShiftCase {
    double X, Y, Z;  // WGS84 geocentric (m)
    double E, N, h;  // TM87 and the GRS80 ellipsoidal height (m)
};

// cct -d 4 +proj=pipeline +step +proj=helmert +x=200.2 +y=-74.8 +z=-246.0
//   +step +inv +proj=cart +ellps=GRS80
//   +step +proj=tmerc +ellps=GRS80 +lon_0=24 +k=0.9996 +x_0=500000 +y_0=0
// (the default WGS84 to EGSA87 shift), input from cct +proj=cart +ellps=WGS84
// of points over Greece.
constexpr ShiftCase kShift[] = {
        {4755768.0078, 2207554.0104, 3619689.5698, 582177.5007, 3850944.3041, 17.8646},
        {4719168.0440, 2210619.8472, 3665087.5758, 599861.7245, 3906578.7609, -8.0792},
        {4608306.6568, 2025783.7105, 3903786.7125, 476138.4483, 4203342.7521, 119.3573},
        {4659254.5930, 1856969.1029, 3927570.8621, 301215.5873, 4235702.8072, 452.0113},
        {4596878.8885, 1750782.3912, 4047859.4898, 229533.2970, 4392258.3252, 866.6402},
        {4463763.8817, 1890159.8224, 4131339.4240, 411050.3354, 4497928.8519, -22.4041},
        {4348185.1957, 2064670.1305, 4170956.0261, 617416.7862, 4550516.8953, 190.3965},
        {4527163.1862, 2429478.5997, 3766723.2102, 878216.3890, 4039637.7593, 27.3973},
};

}  // namespace

TEST(ProjReference, TM87ForwardAndInverse)
{
    for (const ProjectedCase& c : kTM87) {
        SCOPED_TRACE(testing::Message() << c.lat << " " << c.lon);
        const TM87 t = EllipsoidalToTM87(c.lat * kDeg, c.lon * kDeg, 0, 0);
        EXPECT_NEAR(double(t.E), c.E, 0.0011);
        EXPECT_NEAR(double(t.N), c.N, 0.0011);
        const Geographic g = TM87ToEllipsoidal(c.E, c.N, 0, 0);
        // Back to metres on the ground: 1e-8 rad of latitude is 6.4 cm.
        const double dN = double(g.phi - c.lat * kDeg) * 6.4e6;
        const double dE = double(g.lambda - c.lon * kDeg) * 6.4e6 * std::cos(c.lat * double(kDeg));
        EXPECT_LT(std::fabs(dN), 0.0011);
        EXPECT_LT(std::fabs(dE), 0.0011);
    }
}

TEST(ProjReference, HattAgainstTheExactAzimuthalEquidistant)
{
    for (const ProjectedCase& c : kHatt) {
        SCOPED_TRACE(testing::Message() << c.lat << " " << c.lon);
        const HattPoint p = EllipsoidalToHATT(c.lat * kDeg, c.lon * kDeg, 0, 0);
        EXPECT_NEAR(double(p.x), c.E, kHattForward);
        EXPECT_NEAR(double(p.y), c.N, kHattForward);
        const Geographic g = HATTToEllipsoidal(c.E, c.N, 0, 0, p.sheet);
        const double dN = double(g.phi - c.lat * kDeg) * 6.4e6;
        const double dE = double(g.lambda - c.lon * kDeg) * 6.4e6 * std::cos(c.lat * double(kDeg));
        EXPECT_LT(std::fabs(dN), kHattInverse);
        EXPECT_LT(std::fabs(dE), kHattInverse);
    }
}

TEST(ProjReference, WGS84GeocentricToTM87ThroughTheDefaultShift)
{
    const DatumShiftTable shifts;
    for (const ShiftCase& c : kShift) {
        SCOPED_TRACE(testing::Message() << c.X << " " << c.Y << " " << c.Z);
        const TM87 t = WGS84ToTM87(shifts, InputForm::Geocentric, c.X, c.Y, c.Z, 0);
        EXPECT_NEAR(double(t.E), c.E, 0.0011);
        EXPECT_NEAR(double(t.N), c.N, 0.0011);
        EXPECT_NEAR(double(t.H), c.h, 0.0011);
    }
}
