#pragma once
// Random jobs of reference points for the tests and the benchmark of the
// estimation's statistics: known and measured coordinates that differ by a
// small similarity and noise, optionally with a gross error in one point,
// and the count of how often the tests name that point or warn.

#include "geodesy/Adjustment.h"
#include "geodesy/Angles.h"
#include "geodesy/Transformation.h"

#include <cmath>
#include <cstddef>
#include <random>

namespace korthal::test {

// The known (target) and measured (source) coordinates of a job's
// reference points: E, N, H in metres.
struct Network {
    TVector XT, YT, ZT, XS, YS, ZS;
};

// How a random job is made beside its size and noise.
struct JobShape {
    double heightNoise = 1;  // the noise on H, times that on E and N
    // The misfit turns about E and N too, tilting the job by a few arc
    // seconds: centimetres over its heights, which the 2-D estimation cannot
    // follow.
    bool tilted = true;
};

// A job of n reference points over 10 km × 10 km, heights 50..900 m: the
// known coordinates carry normal noise of `noise` m on E and N (on H as
// `shape` says); the measured ones are the true ones moved by a small
// similarity (the datum relation's misfit).
inline Network randomNetwork(std::mt19937_64& gen, double noise, std::size_t n,
                             const JobShape& shape = {})
{
    constexpr Extended kArcSecond = kPi / 180 / 3600;
    std::uniform_real_distribution<double> east(380000, 390000), north(4380000, 4390000),
        height(50, 900), angle(-5, 5), ppm(-10, 10), shift(-1, 1);
    std::normal_distribution<double> err(0, noise);
    // Braced initialisers are evaluated in order: the draws keep theirs.
    const double tilt = shape.tilted ? 1 : 0;
    const Transformation misfit(SimilarityParameters{
        1 + ppm(gen) * 1e-6L, angle(gen) * kArcSecond * tilt, angle(gen) * kArcSecond * tilt,
        angle(gen) * kArcSecond, shift(gen), shift(gen), shift(gen)});
    Network net;
    for (std::size_t i = 0; i < n; ++i) {
        const Extended E = east(gen), N = north(gen), H = height(gen);
        net.XT.push_back(E + err(gen));
        net.YT.push_back(N + err(gen));
        net.ZT.push_back(H + shape.heightNoise * err(gen));
        // The misfit acts about the job's corner, as a local distortion does.
        Extended x = E - 380000, y = N - 4380000, z = H;
        misfit.ApplyTransformation(x, y, z);
        net.XS.push_back(x + 380000);
        net.YS.push_back(y + 4380000);
        net.ZS.push_back(z);
    }
    return net;
}

// The estimation the document makes (2-D or 3-D) and its statistics.
inline AdjustmentStatistics estimate(const Network& net, bool threeD,
                                     const AprioriPrecision& apriori = {})
{
    if (threeD) {
        const Transformation t =
            EstimateTransformation(net.XT, net.YT, net.ZT, net.XS, net.YS, net.ZS, {}).transformation;
        return Statistics3D(t, net.XT, net.YT, net.ZT, net.XS, net.YS, net.ZS, apriori);
    }
    const Transformation t = Estimate2DSimilarity(net.XT, net.YT, net.XS, net.YS).transformation;
    return Statistics2D(t, net.XT, net.YT, net.XS, net.YS, apriori);
}

// Counts of a blunder simulation.
struct BlunderRates {
    int clean = 0, cleanNamed = 0, cleanWarned = 0;  // networks without a blunder
    int small = 0, smallNamed = 0;                   // blunders of 0.5 m to 1 m
    int large = 0, largeNamed = 0;                   // blunders of 1 m to 2 m
    int warned = 0;                                  // blundered networks warned of
};

// `networks` jobs of 6 to 12 points with 1.5 cm noise (on H times
// `heightNoise`), each estimated as it is and again with one point's known
// coordinates moved by 0.5 m to 2 m: in a random 3-D direction for the 3-D
// estimation, a random horizontal one for the 2-D.
inline BlunderRates simulateBlunders(bool threeD, int networks, unsigned seed,
                                     double heightNoise = 1)
{
    std::mt19937_64 gen(seed);
    std::uniform_int_distribution<std::size_t> count(6, 12);
    std::uniform_real_distribution<double> size(0.5, 2), turn(0, 2 * M_PI);
    std::normal_distribution<double> unit(0, 1);
    BlunderRates r;
    for (int k = 0; k < networks; ++k) {
        const std::size_t n = count(gen);
        Network net = randomNetwork(gen, 0.015, n, {heightNoise});
        AdjustmentStatistics s = estimate(net, threeD);
        ++r.clean;
        r.cleanNamed += s.named() >= 0;
        r.cleanWarned += s.disagreement;

        const std::size_t bad = std::uniform_int_distribution<std::size_t>(0, n - 1)(gen);
        const double length = size(gen);
        double e[3];
        if (threeD) {
            // Normal draws point in a uniformly random direction.
            e[0] = unit(gen), e[1] = unit(gen), e[2] = unit(gen);
        } else {
            const double a = turn(gen);
            e[0] = std::cos(a), e[1] = std::sin(a), e[2] = 0;
        }
        const double norm = std::sqrt(e[0] * e[0] + e[1] * e[1] + e[2] * e[2]);
        net.XT[bad] += length * e[0] / norm;
        net.YT[bad] += length * e[1] / norm;
        net.ZT[bad] += length * e[2] / norm;
        s = estimate(net, threeD);
        r.warned += s.disagreement;
        const bool named = s.named() == static_cast<int>(bad);
        if (length < 1) {
            ++r.small;
            r.smallNamed += named;
        } else {
            ++r.large;
            r.largeNamed += named;
        }
    }
    return r;
}

}  // namespace korthal::test
