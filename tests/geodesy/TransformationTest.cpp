#include "geodesy/Angles.h"
#include "geodesy/EMatrix.h"
#include "geodesy/TM87.h"
#include "geodesy/Transformation.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace korthal;

namespace {

constexpr Extended kArcSec = kPi / 180 / 3600;

double d(Extended x) { return static_cast<double>(x); }

struct PointSet {
    TVector X, Y, Z;
};

// Points spread over a job of about 10 km × 8 km in TM87, heights 50..900 m.
PointSet sourcePoints(std::size_t n)
{
    PointSet s;
    for (std::size_t i = 0; i < n; ++i) {
        const Extended f = Extended(i) / Extended(n);
        const Extended g = std::sin(Extended(7 * i + 1));
        s.X.push_back(470000 + 10000 * f + 300 * g);
        s.Y.push_back(4200000 + 8000 * std::fabs(g) + 500 * f);
        s.Z.push_back(50 + 850 * std::fabs(std::cos(Extended(3 * i))));
    }
    return s;
}

Transformation knownTransformation()
{
    return Transformation(SimilarityParameters{1 + 5e-6L, 2.5L * kArcSec, -1.8L * kArcSec,
                                               3.7L * kArcSec, 312.4L, -187.9L, 95.3L});
}

PointSet applied(const Transformation& t, const PointSet& s)
{
    PointSet r = s;
    for (std::size_t i = 0; i < r.X.size(); ++i)
        t.ApplyTransformation(r.X[i], r.Y[i], r.Z[i]);
    return r;
}

}  // namespace

TEST(Transformation, IdentityAndInverseUndoesForward)
{
    const Transformation t = knownTransformation();
    Extended X = 471234.567L, Y = 4203456.789L, Z = 321.0L;
    t.ApplyTransformation(X, Y, Z);
    EXPECT_GT(std::fabs(d(X - 471234.567L)), 1);
    EXPECT_EQ(t.ApplyInverseTransformation(X, Y, Z), MatrixError::None);
    EXPECT_NEAR(d(X), 471234.567, 1e-9);
    EXPECT_NEAR(d(Y), 4203456.789, 1e-9);
    EXPECT_NEAR(d(Z), 321.0, 1e-9);

    const Transformation identity;
    Extended a = 1.5L, b = -2.25L, c = 1e6L;
    identity.ApplyTransformation(a, b, c);
    EXPECT_EQ(a, 1.5L);
    EXPECT_EQ(b, -2.25L);
    EXPECT_EQ(c, 1e6L);

    // A scale of 0 cannot be undone: the values stay, with the solver's error.
    const Transformation flat(SimilarityParameters{0, 0, 0, 0, 1, 2, 3});
    a = 7, b = 8, c = 9;
    EXPECT_EQ(flat.ApplyInverseTransformation(a, b, c), MatrixError::NotIndependent);
    EXPECT_EQ(a, 7);
    EXPECT_EQ(c, 9);
}

TEST(Transformation, SevenParameterRecovery)
{
    const Transformation truth = knownTransformation();
    const SimilarityParameters& want = truth.parameters();
    for (std::size_t n : {3u, 12u}) {
        const PointSet src = sourcePoints(n);
        const PointSet dst = applied(truth, src);
        const Estimate e = EstimateTransformation(dst.X, dst.Y, dst.Z, src.X, src.Y, src.Z, {});
        EXPECT_EQ(e.status, EstimationStatus::Estimated);
        EXPECT_GE(e.iterations, 2);
        EXPECT_LE(e.iterations, 6);
        const SimilarityParameters& got = e.transformation.parameters();
        EXPECT_NEAR(d(got.scale), d(want.scale), 1e-10);
        EXPECT_NEAR(d(got.rotX), d(want.rotX), 1e-10);
        EXPECT_NEAR(d(got.rotY), d(want.rotY), 1e-10);
        EXPECT_NEAR(d(got.rotZ), d(want.rotZ), 1e-10);
        EXPECT_NEAR(d(got.shiftX), d(want.shiftX), 1e-4);
        EXPECT_NEAR(d(got.shiftY), d(want.shiftY), 1e-4);
        EXPECT_NEAR(d(got.shiftZ), d(want.shiftZ), 1e-4);
        for (std::size_t i = 0; i < n; ++i) {
            Extended X = src.X[i], Y = src.Y[i], Z = src.Z[i];
            e.transformation.ApplyTransformation(X, Y, Z);
            EXPECT_NEAR(d(X), d(dst.X[i]), 1e-6);
            EXPECT_NEAR(d(Y), d(dst.Y[i]), 1e-6);
            EXPECT_NEAR(d(Z), d(dst.Z[i]), 1e-6);
        }
    }

    // Looser limits end the loop no later.
    const PointSet src = sourcePoints(20);
    const PointSet dst = applied(truth, src);
    const int nStrict =
        EstimateTransformation(dst.X, dst.Y, dst.Z, src.X, src.Y, src.Z, {100, 100, 100}).iterations;
    const int nLoose = EstimateTransformation(dst.X, dst.Y, dst.Z, src.X, src.Y, src.Z,
                                              {100000, 100000, 100000})
                           .iterations;
    EXPECT_LE(nLoose, nStrict);
}

TEST(Transformation, FailuresReturnTheirStatusAndMessage)
{
    const Transformation truth = knownTransformation();
    const PointSet two = sourcePoints(2), three = sourcePoints(3);
    // The line: points on one line leave the rotation about it undetermined.
    PointSet line;
    for (int i = 0; i < 5; ++i) {
        line.X.push_back(470000 + 100 * i);
        line.Y.push_back(4200000 + 50 * i);
        line.Z.push_back(100 + 10 * i);
    }
    const PointSet moved = applied(truth, line);
    // A coordinate that is not a number never satisfies the limits.
    const PointSet src5 = sourcePoints(5);
    PointSet nan5 = applied(truth, src5);
    nan5.Y[2] = std::nan("");

    struct Case {
        const char* what;
        Estimate e;
        EstimationStatus status;
        const char* message;
        int iterations;
    };
    const Case cases[] = {
        {"3-D, two points", EstimateTransformation(two.X, two.Y, two.Z, two.X, two.Y, two.Z, {}),
         EstimationStatus::TooFewPoints3D, kMsgNeedThreePoints, 0},
        {"3-D, lengths differ",
         EstimateTransformation(three.X, three.Y, three.Z, two.X, two.Y, two.Z, {}),
         EstimationStatus::CountsDiffer, kMsgCountsDiffer, 0},
        {"3-D, points on a line",
         EstimateTransformation(moved.X, moved.Y, moved.Z, line.X, line.Y, line.Z, {}),
         EstimationStatus::Singular, kMsgNotIndependent, 1},
        {"3-D, not a number",
         EstimateTransformation(nan5.X, nan5.Y, nan5.Z, src5.X, src5.Y, src5.Z, {}),
         EstimationStatus::NoConvergence, kMsgNoConvergence, 50},
        {"2-D, lengths differ", Estimate2DSimilarity(three.X, three.Y, three.X, TVector{1}),
         EstimationStatus::CountsDiffer, kMsgCountsDiffer, 0},
        {"2-D, one point", Estimate2DSimilarity({1}, {2}, {3}, {4}),
         EstimationStatus::TooFewPoints2D, kMsgNeedTwoPoints, 0},
        {"2-D, one place", Estimate2DSimilarity(two.X, two.Y, {5, 5}, {6, 6}),
         EstimationStatus::TooFewPoints2D, kMsgNeedTwoPoints, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(c.e.status, c.status);
        EXPECT_STREQ(messageText(c.e.status), c.message);
        EXPECT_EQ(c.e.iterations, c.iterations);
        // A refusal gives the identity and says it made nothing.
        EXPECT_EQ(c.e.made(), c.iterations > 0);
        if (!c.e.made())
            EXPECT_EQ(c.e.transformation.matrix(), Transformation{}.matrix());
    }
    EXPECT_STREQ(messageText(EstimationStatus::Estimated), "");

    // On the line the loop stops at once and keeps the start: no scale or
    // rotation, and shifts that take the centroid of the source to that of
    // the target.
    const Estimate l = EstimateTransformation(moved.X, moved.Y, moved.Z, line.X, line.Y, line.Z, {});
    EXPECT_EQ(l.transformation.parameters().scale, 1);
    EXPECT_EQ(l.transformation.parameters().rotX, 0);
    Extended X = 470200, Y = 4200100, Z = 120;
    l.transformation.ApplyTransformation(X, Y, Z);
    Extended TX = 470200, TY = 4200100, TZ = 120;
    truth.ApplyTransformation(TX, TY, TZ);
    EXPECT_NEAR(d(X), d(TX), 1e-6);
    EXPECT_NEAR(d(Y), d(TY), 1e-6);
    EXPECT_NEAR(d(Z), d(TZ), 1e-6);
}

TEST(Transformation, TwoDimensionalSimilarity)
{
    // Two points determine it exactly.
    const TVector XS = {470000, 471500}, YS = {4200000, 4201200};
    const TVector XT = {470123.45L, 471621.98L}, YT = {4199876.54L, 4201078.01L};
    const Estimate e = Estimate2DSimilarity(XT, YT, XS, YS);
    EXPECT_EQ(e.status, EstimationStatus::Estimated);
    const Transformation& t = e.transformation;
    for (std::size_t i = 0; i < 2; ++i) {
        Extended X = XS[i], Y = YS[i], Z = 77;
        t.ApplyTransformation(X, Y, Z);
        EXPECT_NEAR(d(X), d(XT[i]), 1e-8);
        EXPECT_NEAR(d(Y), d(YT[i]), 1e-8);
        EXPECT_EQ(Z, 77);
    }
    // The matrix is s·R of the rotation about Z, and the inverse works.
    const SimilarityParameters& p = t.parameters();
    EXPECT_NEAR(d(t.matrix()[0][0]), d(p.scale * std::cos(p.rotZ)), 1e-15);
    EXPECT_NEAR(d(t.matrix()[0][1]), d(p.scale * std::sin(p.rotZ)), 1e-15);
    Extended X = XT[1], Y = YT[1], Z = 5;
    t.ApplyInverseTransformation(X, Y, Z);
    EXPECT_NEAR(d(X), d(XS[1]), 1e-8);
    EXPECT_NEAR(d(Y), d(YS[1]), 1e-8);
}

TEST(Transformation, TwoDimensionalRotationInEveryQuadrant)
{
    // Points turned by a known angle, from a few seconds to beyond a right
    // angle either way: the angle found is the one applied, and the matrix
    // built from it carries the points (an angle taken from the ratio of
    // its sine and cosine alone would be off by 180° past a right angle).
    const TVector XS = {470000, 471500, 470800}, YS = {4200000, 4201200, 4199000};
    for (Extended degrees : {0.001L, 45.0L, 100.0L, 179.0L, -30.0L, -135.0L}) {
        SCOPED_TRACE(d(degrees));
        const Transformation truth(
            SimilarityParameters{1.00002L, 0, 0, degrees * kPi / 180, 1000, -2000, 0});
        TVector XT, YT;
        for (std::size_t i = 0; i < XS.size(); ++i) {
            Extended X = XS[i], Y = YS[i], Z = 0;
            truth.ApplyTransformation(X, Y, Z);
            XT.push_back(X);
            YT.push_back(Y);
        }
        const Estimate e = Estimate2DSimilarity(XT, YT, XS, YS);
        EXPECT_NEAR(d(e.transformation.parameters().rotZ * 180 / kPi), d(degrees), 1e-10);
        EXPECT_NEAR(d(e.transformation.parameters().scale), 1.00002, 1e-12);
        for (std::size_t i = 0; i < XS.size(); ++i) {
            Extended X = XS[i], Y = YS[i], Z = 0;
            e.transformation.ApplyTransformation(X, Y, Z);
            EXPECT_NEAR(d(X), d(XT[i]), 1e-6);
            EXPECT_NEAR(d(Y), d(YT[i]), 1e-6);
        }
    }
}
