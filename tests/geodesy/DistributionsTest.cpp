// The distributions of the estimation's tests against a reference table.

#include "geodesy/Distributions.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace korthal;

TEST(Distributions, CriticalValuesMatchTheReference)
{
    // Upper critical values from SciPy 1.10.1 (Debian 12's python3-scipy):
    // scipy.stats.chi2.isf(alpha, dof) and scipy.stats.f.isf(alpha, d1, d2);
    // relative tolerance 1e-10. χ²(2) and F(2, 1) have closed forms too:
    // −2·ln(alpha) and (1/alpha² − 1)/2.
    struct ChiSquare {
        int dof;
        double alpha, critical;
    };
    const ChiSquare chi[] = {
        {1, 0.05, 3.8414588206941285},   {2, 0.01, 9.210340371976182},
        {11, 0.01, 24.72497031131828},   {29, 0.01, 49.58788447289881},
        {100, 0.01, 135.80672317102676}, {2993, 0.01, 3175.9235561861387},
    };
    for (const ChiSquare& c : chi) {
        const Extended x = chiSquareCritical(c.dof, c.alpha);
        EXPECT_NEAR(static_cast<double>(x) / c.critical, 1, 1e-10) << c.dof;
        EXPECT_NEAR(static_cast<double>(chiSquareExceedance(c.dof, x)), c.alpha, 1e-12) << c.dof;
    }
    struct Fisher {
        int d1, d2;
        double alpha, critical;
    };
    const Fisher f[] = {
        {1, 10, 0.01, 10.04428927339659},   {2, 1, 0.05, 199.49999999999972},
        {2, 10, 0.001, 14.905358527674858}, {3, 8, 0.01, 7.590991947598852},
        {3, 2, 0.005, 199.16643460468538},  {3, 29, 0.0005, 7.976581718330563},
        {2, 20, 0.00025, 12.919545389923533},
    };
    for (const Fisher& c : f) {
        const Extended x = fCritical(c.d1, c.d2, c.alpha);
        EXPECT_NEAR(static_cast<double>(x) / c.critical, 1, 1e-10) << c.d1 << ", " << c.d2;
        EXPECT_NEAR(static_cast<double>(fExceedance(c.d1, c.d2, x)), c.alpha, 1e-12);
    }
    // F(1, r − 1) is τ²·(r − 1)/(r − τ²): the two tests agree for one value.
    const Extended tau = tauCritical(9, 0.001L);
    EXPECT_NEAR(static_cast<double>(fCritical(1, 8, 0.001L)),
                static_cast<double>(tau * tau * 8 / (9 - tau * tau)), 1e-9);
    // scipy.special.gammainc: P(2.5, 1), P(50, 60) and 1 − P(1500, 1650).
    EXPECT_NEAR(static_cast<double>(incompleteGamma(2.5L, 1)), 0.15085496391539038, 1e-15);
    EXPECT_NEAR(static_cast<double>(incompleteGamma(50, 60)), 0.9155933189063082, 1e-15);
    EXPECT_NEAR(static_cast<double>(chiSquareExceedance(3000, 3300)) / 8.51384970727166e-05, 1,
                1e-9);
    // Degrees of freedom below 1: nothing to test.
    EXPECT_EQ(fCritical(3, 0, 0.01L), 0);
    EXPECT_EQ(chiSquareCritical(0, 0.01L), 0);
}
