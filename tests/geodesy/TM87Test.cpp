#include "geodesy/Angles.h"
#include "geodesy/TM87.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace korthal;

namespace {
constexpr Extended kDeg = kPi / 180;
constexpr Extended kArcSec = kDeg / 3600;
}  // namespace

TEST(TM87, MeridianArc)
{
    EXPECT_NEAR(static_cast<double>(MeridianArc(EGSA87, 0, 38 * kDeg)), 4207498.020, 0.001);
    EXPECT_EQ(MeridianArc(EGSA87, 0.6L, 0.6L), 0);
    EXPECT_NEAR(static_cast<double>(MeridianArc(EGSA87, 0.5L, 0.7L)),
                static_cast<double>(MeridianArc(EGSA87, 0, 0.7L) - MeridianArc(EGSA87, 0, 0.5L)),
                1e-6);
}

TEST(TM87, ProjectionOnTheCentralMeridianIsTheScaledArcToTheNanometre)
{
    // The projection sums the arc from sin φ and cos φ alone; MeridianArc
    // takes the sines and cosines of each multiple angle itself.
    for (Extended phiDeg = 33; phiDeg <= 43; phiDeg += 0.0625L) {
        const Extended arc = MeridianArc(EGSA87, 0, phiDeg * kDeg);
        EXPECT_NEAR(static_cast<double>(EllipsoidalToTM87(phiDeg * kDeg, kLambda0TM87, 0, 0).N),
                    static_cast<double>(0.9996L * arc), 1e-9)
            << phiDeg;
        EXPECT_NEAR(EllipsoidalToTM87<double>(static_cast<double>(phiDeg * kDeg),
                                              static_cast<double>(kLambda0TM87), 0, 0)
                        .N,
                    static_cast<double>(0.9996L * arc), 2e-9)
            << phiDeg;
    }
}

TEST(TM87, ForwardReferenceCases)
{
    struct Case {
        Extended phiDeg, lamDeg, E, N;
    };
    // Published example and points on the central meridian.
    const Case cases[] = {
        {38, 23.5L, 456101.200L, 4205932.949L},
        {38, 24, 500000, 0.9996L * MeridianArc(EGSA87, 0, 38 * kDeg)},
        {35, 24, 500000, 0.9996L * MeridianArc(EGSA87, 0, 35 * kDeg)},
    };
    for (const Case& c : cases) {
        TM87 t = EllipsoidalToTM87(c.phiDeg * kDeg, c.lamDeg * kDeg, 0, 0);
        EXPECT_NEAR(static_cast<double>(t.E), static_cast<double>(c.E), 0.001);
        EXPECT_NEAR(static_cast<double>(t.N), static_cast<double>(c.N), 0.001);
    }
    TM87 h = EllipsoidalToTM87(38 * kDeg, 22 * kDeg, 412.5L, 0);
    EXPECT_EQ(h.H, 412.5L);
    EXPECT_EQ(EllipsoidalToTM87(38 * kDeg, 22 * kDeg, 412.5L, 37.25L).H, 412.5L - 37.25L);
}

TEST(TM87, InverseRoundTripAnywhereInGreece)
{
    for (Extended phiDeg = 34; phiDeg <= 42; phiDeg += 0.5L)
        for (Extended lamDeg = 19.5L; lamDeg <= 30; lamDeg += 0.75L) {
            TM87 t = EllipsoidalToTM87(phiDeg * kDeg, lamDeg * kDeg, 250, 35.5L);
            FootpointCheck check;
            Geographic g = TM87ToEllipsoidal(t.E, t.N, t.H, 35.5L, &check);
            EXPECT_TRUE(check.converged);
            EXPECT_LT(std::fabs(g.phi - phiDeg * kDeg), 1e-5L * kArcSec) << phiDeg << " " << lamDeg;
            EXPECT_LT(std::fabs(g.lambda - lamDeg * kDeg), 1e-5L * kArcSec)
                << phiDeg << " " << lamDeg;
            EXPECT_EQ(g.h, t.H + 35.5L);
        }
}

TEST(TM87, FootpointReportsNonConvergence)
{
    // The iteration contracts fast for any real northing; only a value that
    // is not a number keeps it from settling, and then it stops at pass 21.
    FootpointCheck check;
    Extended phi = FootpointLatitude(EGSA87, std::nanl(""), &check);
    EXPECT_TRUE(std::isnan(phi));
    EXPECT_FALSE(check.converged);
    EXPECT_STREQ(kMsgNoConvergence, "η διαδικασία δεν συγκλίνει");
    FootpointCheck real;
    FootpointLatitude(EGSA87, 4200000.0L, &real);
    EXPECT_TRUE(real.converged);
}
