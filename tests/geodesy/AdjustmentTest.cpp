// The statistics of the similarity estimation: the τ distribution, the
// standard errors of the parameters, and how often the test names a point
// in random networks with and without a gross error.

#include "geodesy/Adjustment.h"
#include "geodesy/Angles.h"
#include "geodesy/Transformation.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <random>

using namespace korthal;

namespace {

constexpr Extended kArcSec = kPi / 180 / 3600;

double d(Extended x) { return static_cast<double>(x); }

// A job of 6 to 12 reference points over 10 km × 10 km, heights 50..900 m:
// the known coordinates (target) carry normal noise of `noise` m on every
// axis, the measured ones (source) are the true ones moved by a small
// similarity (the datum relation's misfit).
struct Network {
    TVector XT, YT, ZT, XS, YS, ZS;
};

Network randomNetwork(std::mt19937_64& gen, double noise, std::size_t n)
{
    std::uniform_real_distribution<double> east(380000, 390000), north(4380000, 4390000),
        height(50, 900), angle(-5, 5), ppm(-10, 10), shift(-1, 1);
    std::normal_distribution<double> err(0, noise);
    // Braced initialisers are evaluated in order: the draws keep theirs.
    const Transformation misfit(SimilarityParameters{
        1 + ppm(gen) * 1e-6L, angle(gen) * kArcSec, angle(gen) * kArcSec, angle(gen) * kArcSec,
        shift(gen), shift(gen), shift(gen)});
    Network net;
    for (std::size_t i = 0; i < n; ++i) {
        const Extended E = east(gen), N = north(gen), H = height(gen);
        net.XT.push_back(E + err(gen));
        net.YT.push_back(N + err(gen));
        net.ZT.push_back(H + err(gen));
        // The misfit acts about the job's corner, as a local distortion does.
        Extended x = E - 380000, y = N - 4380000, z = H;
        misfit.ApplyTransformation(x, y, z);
        net.XS.push_back(x + 380000);
        net.YS.push_back(y + 4380000);
        net.ZS.push_back(z);
    }
    return net;
}

AdjustmentStatistics estimate(const Network& net, bool threeD)
{
    if (threeD) {
        const Transformation t =
            EstimateTransformation(net.XT, net.YT, net.ZT, net.XS, net.YS, net.ZS, {}).transformation;
        return Statistics3D(t, net.XT, net.YT, net.ZT, net.XS, net.YS, net.ZS);
    }
    const Transformation t = Estimate2DSimilarity(net.XT, net.YT, net.XS, net.YS).transformation;
    return Statistics2D(t, net.XT, net.YT, net.XS, net.YS);
}

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
    EXPECT_EQ(estimate(randomNetwork(gen, 0.015, 3), false).tested, true);
    // 3-D: three points leave a redundancy of 2, too little to tell which
    // point is wrong, but σ0 and the standard errors exist.
    s = estimate(randomNetwork(gen, 0.015, 3), true);
    EXPECT_EQ(s.redundancy, 2);
    EXPECT_TRUE(s.precisionKnown);
    EXPECT_FALSE(s.tested);
    EXPECT_EQ(s.suspect, -1);
    EXPECT_TRUE(estimate(randomNetwork(gen, 0.015, 4), true).tested);
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
