// The statistics of the similarity estimation: the τ distribution, the
// standard errors of the parameters, how often the tests name a point or
// warn in random networks with and without a gross error, and the demo
// network's blunder.

#include "geodesy/Adjustment.h"
#include "geodesy/Angles.h"
#include "geodesy/DatumShift.h"
#include "geodesy/Transformation.h"
#include "support/RandomNetworks.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <random>
#include <string>

using namespace korthal;
using korthal::test::estimate;
using korthal::test::Network;
using korthal::test::randomNetwork;

namespace {

constexpr Extended kArcSec = kPi / 180 / 3600;

double d(Extended x) { return static_cast<double>(x); }

struct Rates {
    int networks = 0, falseAlarms = 0, found = 0, rmsBack = 0, discrepancyShown = 0;
};

// 1000 networks without and with a gross error of 0.5 m in one coordinate
// of one point; the blunder's point is left out and the estimation repeated.
Rates monteCarlo(bool threeD, unsigned seed)
{
    constexpr double kNoise = 0.015, kBlunder = 0.5;
    std::mt19937_64 gen(seed);
    std::uniform_int_distribution<std::size_t> count(6, 12);
    Rates rates;
    for (int k = 0; k < 1000; ++k) {
        const std::size_t n = count(gen);
        Network net = randomNetwork(gen, kNoise, n);
        ++rates.networks;
        if (estimate(net, threeD).suspect >= 0)
            ++rates.falseAlarms;

        const std::size_t bad = std::uniform_int_distribution<std::size_t>(0, n - 1)(gen);
        const int axis = std::uniform_int_distribution<int>(0, threeD ? 2 : 1)(gen);
        const double sign = std::bernoulli_distribution(0.5)(gen) ? 1 : -1;
        TVector& blundered = axis == 0 ? net.XT : axis == 1 ? net.YT : net.ZT;
        blundered[bad] += sign * kBlunder;
        const AdjustmentStatistics s = estimate(net, threeD);
        if (s.suspect != static_cast<int>(bad))
            continue;
        ++rates.found;

        // Without the suspect: the RMS is that of the noise again, and the
        // point's discrepancy shows the blunder.
        Network kept;
        for (std::size_t i = 0; i < n; ++i) {
            if (i == bad)
                continue;
            kept.XT.push_back(net.XT[i]), kept.YT.push_back(net.YT[i]), kept.ZT.push_back(net.ZT[i]);
            kept.XS.push_back(net.XS[i]), kept.YS.push_back(net.YS[i]), kept.ZS.push_back(net.ZS[i]);
        }
        const Transformation t =
            threeD ? EstimateTransformation(kept.XT, kept.YT, kept.ZT, kept.XS, kept.YS, kept.ZS, {})
                         .transformation
                   : Estimate2DSimilarity(kept.XT, kept.YT, kept.XS, kept.YS).transformation;
        const AdjustmentStatistics after =
            threeD ? Statistics3D(t, kept.XT, kept.YT, kept.ZT, kept.XS, kept.YS, kept.ZS)
                   : Statistics2D(t, kept.XT, kept.YT, kept.XS, kept.YS);
        Extended vv = 0;
        for (const PointTest& p : after.points)
            vv += p.vE * p.vE + p.vN * p.vN + p.vH * p.vH;
        const Extended rms = std::sqrt(vv / Extended((threeD ? 3 : 2) * (n - 1)));
        if (rms < 2 * kNoise)
            ++rates.rmsBack;
        Extended E = net.XS[bad], N = net.YS[bad], H = net.ZS[bad];
        t.ApplyTransformation(E, N, H);
        const Extended v[3] = {net.XT[bad] - E, net.YT[bad] - N, threeD ? net.ZT[bad] - H : 0};
        if (std::fabs(d(v[axis]) - sign * kBlunder) < 0.1)
            ++rates.discrepancyShown;
    }
    return rates;
}

}  // namespace

TEST(Adjustment, TauDistribution)
{
    // For r = 2, τ²/2 follows Beta(1/2, 1/2): P(|τ| > t) = 1 − (2/π)·asin(t/√2).
    for (double t : {0.3, 0.9, 1.3, 1.41})
        EXPECT_NEAR(d(tauExceedance(2, t)), 1 - 2 / M_PI * std::asin(t / std::sqrt(2.0)), 1e-15);
    // τ = √r·t/√(r − 1 + t²) with t Student's with r − 1 degrees of freedom:
    // two-sided 0.1 % quantiles t(5) = 6.8688, t(10) = 4.5869, t(30) = 3.6460.
    for (auto [r, t] : {std::pair{6, 6.8688}, {11, 4.5869}, {31, 3.6460}}) {
        const double tau = std::sqrt(r * t * t / (r - 1 + t * t));
        EXPECT_NEAR(d(tauCritical(r, 0.001L)), tau, 2e-4) << r;
        EXPECT_NEAR(d(tauExceedance(r, tau)), 0.001, 1e-6) << r;
    }
    // Large redundancy: the normal quantile 3.2905; never above √r.
    EXPECT_NEAR(d(tauCritical(100000, 0.001L)), 3.2905, 1e-3);
    for (int r = 2; r < 40; ++r) {
        EXPECT_LT(tauCritical(r, 0.001L), std::sqrt(Extended(r)));
        EXPECT_LT(tauCritical(r, 0.01L), tauCritical(r, 0.001L));
    }
    EXPECT_EQ(tauCritical(1, 0.001L), 0);
    // The level per value keeps that of the network: 1 % over ten values
    // is about 0.1 % each.
    EXPECT_NEAR(d(perTestAlpha(10, 0.01L)), 0.0010045, 1e-7);
    EXPECT_NEAR(d(1 - std::pow(1 - perTestAlpha(27, 0.01L), 27)), 0.01, 1e-15);
    EXPECT_NEAR(d(incompleteBeta(2, 3, 0.4L)), 0.5248, 1e-12);  // 1 − 0.6⁴ − 4·0.4·0.6³
}

TEST(Adjustment, CofactorsAndStandardErrorsFollowTheRedundancy)
{
    std::mt19937_64 gen(11);
    for (bool threeD : {false, true}) {
        SCOPED_TRACE(threeD ? "3-D" : "2-D");
        const Network net = randomNetwork(gen, 0.015, 9);
        const AdjustmentStatistics s = estimate(net, threeD);
        EXPECT_EQ(s.redundancy, threeD ? 27 - 7 : 18 - 4);
        ASSERT_TRUE(s.precisionKnown);
        ASSERT_TRUE(s.tested);
        // The cofactors of the residuals sum to the redundancy (the trace of
        // I − A·N⁻¹·Aᵀ), each between 0 and 1.
        Extended trace = 0;
        for (const PointTest& p : s.points) {
            for (Extended q : {p.qE, p.qN, p.qH})
                EXPECT_TRUE(q >= 0 && q < 1);
            trace += p.qE + p.qN + p.qH;
        }
        EXPECT_NEAR(d(trace), s.redundancy, 1e-9);
        // σ0 estimates the noise; the standard errors are those of a job of
        // 10 km with centimetre noise: a ppm or two, a fraction of an arc
        // second; the shifts at the TM87 origin, thousands of km away, far
        // more than at the job.
        EXPECT_GT(s.sigma0, 0.007);
        EXPECT_LT(s.sigma0, 0.025);
        EXPECT_GT(s.errors.scale * 1e6, 0.2);
        EXPECT_LT(s.errors.scale * 1e6, 5);
        EXPECT_GT(s.errors.rotZ / kArcSec, 0.05);
        EXPECT_LT(s.errors.rotZ / kArcSec, 1);
        EXPECT_GT(s.errors.shiftX, 1);
        EXPECT_EQ(s.errors.rotX == 0, !threeD);
        EXPECT_EQ(s.errors.shiftZ == 0, !threeD);
    }

    // The 3-D errors agree with the spread of the parameters over repeated
    // noise on one geometry.
    const Network base = randomNetwork(gen, 0, 8);
    std::normal_distribution<double> err(0, 0.02);
    Extended sumScale = 0, sumScale2 = 0, sumShift = 0, sumShift2 = 0, predicted = 0, predictedShift = 0;
    constexpr int kRuns = 400;
    for (int k = 0; k < kRuns; ++k) {
        Network net = base;
        for (TVector* v : {&net.XT, &net.YT, &net.ZT})
            for (Extended& x : *v)
                x += err(gen);
        const Estimate e = EstimateTransformation(net.XT, net.YT, net.ZT, net.XS, net.YS, net.ZS, {});
        EXPECT_EQ(e.status, EstimationStatus::Estimated);
        const Transformation& t = e.transformation;
        const AdjustmentStatistics s = Statistics3D(t, net.XT, net.YT, net.ZT, net.XS, net.YS, net.ZS);
        const SimilarityParameters& p = t.parameters();
        sumScale += p.scale, sumScale2 += p.scale * p.scale;
        sumShift += p.shiftY, sumShift2 += p.shiftY * p.shiftY;
        predicted += s.errors.scale / s.sigma0 * 0.02L;
        predictedShift += s.errors.shiftY / s.sigma0 * 0.02L;
    }
    const Extended spreadScale = std::sqrt(sumScale2 / kRuns - (sumScale / kRuns) * (sumScale / kRuns));
    const Extended spreadShift = std::sqrt(sumShift2 / kRuns - (sumShift / kRuns) * (sumShift / kRuns));
    EXPECT_NEAR(d(spreadScale / (predicted / kRuns)), 1, 0.15);
    EXPECT_NEAR(d(spreadShift / (predictedShift / kRuns)), 1, 0.15);
}

TEST(Adjustment, TooFewPointsForATest)
{
    std::mt19937_64 gen(5);
    // 2-D: two points fit exactly; three give redundancy 2 and a test.
    const Network two = randomNetwork(gen, 0.015, 2);
    AdjustmentStatistics s = estimate(two, false);
    EXPECT_EQ(s.redundancy, 0);
    EXPECT_FALSE(s.precisionKnown);
    EXPECT_FALSE(s.tested);
    EXPECT_EQ(s.points.size(), 2u);
    EXPECT_FALSE(s.globalTested);
    // With three the coordinates are tested one by one (and τ names the
    // point), but a redundancy of 2 leaves nothing beside a point's two
    // coordinates to test them together against; the variance factor is
    // tested whenever there is redundancy.
    s = estimate(randomNetwork(gen, 0.015, 3), false);
    EXPECT_TRUE(s.tested);
    EXPECT_FALSE(s.pointsTested);
    EXPECT_EQ(s.named(), s.suspect);
    EXPECT_TRUE(s.globalTested);
    // 3-D: three points leave a redundancy of 2, too little to tell which
    // point is wrong, but σ0, the standard errors and the variance factor
    // exist.
    s = estimate(randomNetwork(gen, 0.015, 3), true);
    EXPECT_EQ(s.redundancy, 2);
    EXPECT_TRUE(s.precisionKnown);
    EXPECT_FALSE(s.tested);
    EXPECT_FALSE(s.pointsTested);
    EXPECT_TRUE(s.globalTested);
    EXPECT_EQ(s.suspect, -1);
    const Network four = randomNetwork(gen, 0.015, 4);
    s = estimate(four, true);
    EXPECT_TRUE(s.tested);
    EXPECT_TRUE(s.pointsTested);
    EXPECT_EQ(s.pointAxes, 3);
    // Without an a-priori precision the points are still tested together
    // (H weighing as E and N), but the variance factor is not.
    s = estimate(four, true, {0, 0});
    EXPECT_TRUE(s.pointsTested);
    EXPECT_FALSE(s.globalTested);
    // Mismatched vectors give nothing.
    EXPECT_TRUE(Statistics2D(Transformation{}, two.XT, two.YT, two.XS, {}).points.empty());
}

TEST(Adjustment, RandomNetworksNameTheBlunderAndRarelyAnyOtherPoint)
{
    for (bool threeD : {false, true}) {
        const Rates r = monteCarlo(threeD, threeD ? 2024 : 1987);
        std::printf("%s: false alarms %d/1000, blunder named %d/1000, RMS back %d, discrepancy %d\n",
                    threeD ? "3-D" : "2-D", r.falseAlarms, r.found, r.rmsBack, r.discrepancyShown);
        EXPECT_LE(r.falseAlarms, 20) << (threeD ? "3-D" : "2-D");
        EXPECT_GE(r.found, 980) << (threeD ? "3-D" : "2-D");
        EXPECT_EQ(r.rmsBack, r.found);
        EXPECT_EQ(r.discrepancyShown, r.found);
    }
}

namespace {

// The six reference points of examples/demo as the document feeds them to
// the estimation: the known EGSA87 E, N, H of the reference file, and the
// measured WGS84 X, Y, Z with the point's geoid undulation, brought to TM87.
struct DemoPoint {
    const char* name;
    double X, Y, Z, undulation, E, N, H;
};
constexpr DemoPoint kDemo[] = {
    {"Σ101", 4538567.695, 1901291.101, 4044813.091, 1.8, 390801.69, 4384841.15, 246.27},
    {"Σ103", 4537669.636, 1905199.335, 4044460.457, 1.9, 394741.70, 4384079.30, 547.82},
    {"Σ104", 4536660.715, 1906496.334, 4045007.780, 1.8, 396336.89, 4384752.04, 567.08},
    {"Σ106", 4537489.380, 1902640.424, 4046214.865, 1.8, 392481.65, 4386198.70, 775.67},
    {"Σ108", 4535331.425, 1905906.223, 4046523.562, 1.8, 396335.97, 4386846.34, 413.43},
    {"Σ110", 4536646.200, 1900672.316, 4048040.594, 1.8, 391026.63, 4388605.82, 755.33},
};

Network demoNetwork(double errorX104)
{
    const DatumShiftTable shifts;
    Network net;
    for (const DemoPoint& p : kDemo) {
        const double X = p.X + (std::string(p.name) == "Σ104" ? errorX104 : 0);
        const TM87 c = WGS84ToTM87(shifts, InputForm::Geocentric, X, p.Y, p.Z, p.undulation);
        net.XT.push_back(p.E), net.YT.push_back(p.N), net.ZT.push_back(p.H);
        net.XS.push_back(c.E), net.YS.push_back(c.N), net.ZS.push_back(c.H);
    }
    return net;
}

}  // namespace

TEST(Adjustment, DemoBlunderSpreadOverTheCoordinatesIsNamed)
{
    // 1.5 m on Σ104's measured geocentric X lands on E, N and H at once
    // (about −0.6, −0.9 and +1.1 m): no single residual stands out enough for
    // τ, which named no point, yet the point's coordinates together and the
    // variance factor show it plainly. σ0 as korthal-cli network shows it.
    struct Case {
        bool threeD;
        double errorX;
        double sigma0;   // m, to 0.05 mm
        int tauSuspect;  // τ alone
        int named;       // -1 none, 2 Σ104
        bool disagreement;
    };
    const Case cases[] = {
        {true, 0, 0.0141, -1, -1, false},
        {true, 1.5, 0.3562, -1, 2, true},
        {false, 0, 0.0141, -1, -1, false},
        {false, 1.5, 0.3055, -1, 2, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.threeD ? "3-D" : "2-D") +
                     (c.errorX != 0 ? " with the blunder" : ""));
        const AdjustmentStatistics s = estimate(demoNetwork(c.errorX), c.threeD);
        ASSERT_TRUE(s.pointsTested);
        ASSERT_TRUE(s.globalTested);
        EXPECT_NEAR(d(s.sigma0), c.sigma0, 5e-5);
        EXPECT_EQ(s.suspect, c.tauSuspect);
        EXPECT_EQ(s.named(), c.named);
        EXPECT_EQ(s.disagreement, c.disagreement);
    }
}

TEST(Adjustment, TestValuesFollowTheirDistributionsWhenThePrecisionIsAsAssumed)
{
    // Noise of 1.5 cm on E and N and 3 cm on H, the a-priori precision
    // saying so, and a job the estimation can follow (2-D: not tilted): the
    // variance factor is about 1 and exceeds its 5 % value in about 5 % of
    // the networks; a point's share T/Ω of the sum of squares follows
    // Beta(m/2, (r − m)/2), of mean m/r, and F exceeds its 5 % value for
    // about 5 % of the points. Tolerances of three standard errors or more.
    for (bool threeD : {false, true}) {
        SCOPED_TRACE(threeD ? "3-D" : "2-D");
        std::mt19937_64 gen(threeD ? 31 : 37);
        std::uniform_int_distribution<std::size_t> count(6, 12);
        constexpr int kNetworks = 1000;
        int points = 0, varianceExceeds = 0, fExceeds = 0;
        Extended factors = 0, shares = 0;
        for (int k = 0; k < kNetworks; ++k) {
            const Network net = randomNetwork(gen, 0.015, count(gen), {2, threeD});
            const AdjustmentStatistics s = estimate(net, threeD, {0.015L, 0.03L});
            ASSERT_TRUE(s.pointsTested && s.globalTested);
            factors += s.varianceFactor;
            varianceExceeds +=
                s.varianceFactor * s.redundancy > chiSquareCritical(s.redundancy, 0.05L);
            const int m = s.pointAxes, rest = s.redundancy - m;
            const Extended critical = fCritical(m, rest, 0.05L);
            for (const PointTest& p : s.points) {
                ++points;
                shares += m * p.F / (m * p.F + rest) * s.redundancy / m;
                fExceeds += p.F > critical;
            }
        }
        EXPECT_NEAR(d(factors / kNetworks), 1, 0.035);
        EXPECT_NEAR(varianceExceeds / double(kNetworks), 0.05, 0.021);
        EXPECT_NEAR(d(shares / points), 1, 0.02);
        EXPECT_NEAR(fExceeds / double(points), 0.05, 0.01);
    }
}

TEST(Adjustment, RandomNetworksNameABlunderInAnyDirectionAndWarn)
{
    // One point of 6 to 12 moved by 0.5 m to 2 m in a random direction (3-D;
    // in 2-D a horizontal one), 1.5 cm noise, the default a-priori
    // precision: the point named in at least 95 % of the networks for errors
    // of 1 m and more, the warning in at least 99 %, and without the error
    // neither in more than 2 %. bench_estimation runs 50 times as many.
    for (bool threeD : {false, true}) {
        SCOPED_TRACE(threeD ? "3-D" : "2-D");
        const test::BlunderRates r = test::simulateBlunders(threeD, 1000, threeD ? 41 : 43);
        std::printf("%s: without an error named %d, warned %d of %d; named %d of %d (0.5 to 1 m), "
                    "%d of %d (1 to 2 m); warned %d\n",
                    threeD ? "3-D" : "2-D", r.cleanNamed, r.cleanWarned, r.clean, r.smallNamed,
                    r.small, r.largeNamed, r.large, r.warned);
        EXPECT_GE(r.largeNamed, 0.95 * r.large);
        EXPECT_GE(r.warned, 0.99 * (r.small + r.large));
        EXPECT_LE(r.cleanNamed, 0.02 * r.clean);
        EXPECT_LE(r.cleanWarned, 0.02 * r.clean);
    }
}
