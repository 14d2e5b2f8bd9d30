#include "geodesy/Angles.h"
#include "geodesy/Dialogs.h"
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
    Transformation t;
    t.TrScale = 1 + 5e-6L;
    t.TrRotX = 2.5L * kArcSec;
    t.TrRotY = -1.8L * kArcSec;
    t.TrRotZ = 3.7L * kArcSec;
    t.TrShiftX = 312.4L;
    t.TrShiftY = -187.9L;
    t.TrShiftZ = 95.3L;
    t.BuildTransformationMatrix();
    return t;
}

PointSet applied(const Transformation& t, const PointSet& s)
{
    PointSet r = s;
    for (std::size_t i = 0; i < r.X.size(); ++i)
        t.ApplyTransformation(r.X[i], r.Y[i], r.Z[i]);
    return r;
}

}  // namespace

TEST(Transformation, ResetIsIdentityAndInverseUndoesForward)
{
    Transformation t = knownTransformation();
    Extended X = 471234.567L, Y = 4203456.789L, Z = 321.0L;
    t.ApplyTransformation(X, Y, Z);
    EXPECT_GT(std::fabs(d(X - 471234.567L)), 1);
    t.ApplyInverseTransformation(X, Y, Z);
    EXPECT_NEAR(d(X), 471234.567, 1e-9);
    EXPECT_NEAR(d(Y), 4203456.789, 1e-9);
    EXPECT_NEAR(d(Z), 321.0, 1e-9);

    t.ResetTransformation();
    Extended a = 1.5L, b = -2.25L, c = 1e6L;
    t.ApplyTransformation(a, b, c);
    EXPECT_EQ(a, 1.5L);
    EXPECT_EQ(b, -2.25L);
    EXPECT_EQ(c, 1e6L);
}

TEST(Transformation, SevenParameterRecovery)
{
    RecordingDialogs rec;
    const Transformation truth = knownTransformation();
    for (std::size_t n : {3u, 12u}) {
        const PointSet src = sourcePoints(n);
        const PointSet dst = applied(truth, src);
        Transformation t;
        const int iterations =
            t.EstimateTransformation(dst.X, dst.Y, dst.Z, src.X, src.Y, src.Z, {});
        EXPECT_GE(iterations, 2);
        EXPECT_LE(iterations, 6);
        EXPECT_NEAR(d(t.TrScale), d(truth.TrScale), 1e-10);
        EXPECT_NEAR(d(t.TrRotX), d(truth.TrRotX), 1e-10);
        EXPECT_NEAR(d(t.TrRotY), d(truth.TrRotY), 1e-10);
        EXPECT_NEAR(d(t.TrRotZ), d(truth.TrRotZ), 1e-10);
        EXPECT_NEAR(d(t.TrShiftX), d(truth.TrShiftX), 1e-4);
        EXPECT_NEAR(d(t.TrShiftY), d(truth.TrShiftY), 1e-4);
        EXPECT_NEAR(d(t.TrShiftZ), d(truth.TrShiftZ), 1e-4);
        for (std::size_t i = 0; i < n; ++i) {
            Extended X = src.X[i], Y = src.Y[i], Z = src.Z[i];
            t.ApplyTransformation(X, Y, Z);
            EXPECT_NEAR(d(X), d(dst.X[i]), 1e-6);
            EXPECT_NEAR(d(Y), d(dst.Y[i]), 1e-6);
            EXPECT_NEAR(d(Z), d(dst.Z[i]), 1e-6);
        }
    }
    EXPECT_TRUE(rec.messages().empty());

    // Looser limits end the loop no later.
    const PointSet src = sourcePoints(20);
    const PointSet dst = applied(truth, src);
    Transformation strict, loose;
    const int nStrict = strict.EstimateTransformation(dst.X, dst.Y, dst.Z, src.X, src.Y, src.Z,
                                                      {100, 100, 100});
    const int nLoose = loose.EstimateTransformation(dst.X, dst.Y, dst.Z, src.X, src.Y, src.Z,
                                                    {100000, 100000, 100000});
    EXPECT_LE(nLoose, nStrict);
}

TEST(Transformation, ThreeDimensionalFailuresKeepOrReportState)
{
    RecordingDialogs rec;
    const Transformation truth = knownTransformation();

    // Two points: the message, and the transformation in force stays.
    Transformation t = truth;
    const PointSet two = sourcePoints(2);
    EXPECT_EQ(t.EstimateTransformation(two.X, two.Y, two.Z, two.X, two.Y, two.Z, {}), 0);
    ASSERT_EQ(rec.messages().size(), 1u);
    EXPECT_EQ(rec.messages()[0], kMsgNeedThreePoints);
    // Vectors of different lengths are refused rather than read past their end.
    const PointSet three = sourcePoints(3);
    EXPECT_EQ(t.EstimateTransformation(three.X, three.Y, three.Z, two.X, two.Y, two.Z, {}), 0);
    ASSERT_EQ(rec.messages().size(), 2u);
    EXPECT_EQ(rec.messages()[1], kMsgCountsDiffer);
    EXPECT_EQ(t.TrScale, truth.TrScale);
    EXPECT_EQ(t.TrMatrix, truth.TrMatrix);

    // Points on one line leave the rotation about that line undetermined: the
    // solver's message comes once, the loop stops and the result stays usable.
    rec.clear();
    PointSet line;
    for (int i = 0; i < 5; ++i) {
        line.X.push_back(470000 + 100 * i);
        line.Y.push_back(4200000 + 50 * i);
        line.Z.push_back(100 + 10 * i);
    }
    const PointSet moved = applied(truth, line);
    Transformation l;
    const int iterations =
        l.EstimateTransformation(moved.X, moved.Y, moved.Z, line.X, line.Y, line.Z, {});
    EXPECT_EQ(iterations, 1);
    ASSERT_EQ(rec.messages().size(), 1u);
    EXPECT_EQ(rec.messages()[0], kMsgNotIndependent);
    EXPECT_EQ(l.TrScale, 1);
    EXPECT_EQ(l.TrRotX, 0);
    // The shifts take the centroid of the source to that of the target.
    Extended X = 470200, Y = 4200100, Z = 120;
    l.ApplyTransformation(X, Y, Z);
    Extended TX = 470200, TY = 4200100, TZ = 120;
    truth.ApplyTransformation(TX, TY, TZ);
    EXPECT_NEAR(d(X), d(TX), 1e-6);
    EXPECT_NEAR(d(Y), d(TY), 1e-6);
    EXPECT_NEAR(d(Z), d(TZ), 1e-6);
}

TEST(Transformation, IterationIsBounded)
{
    // A coordinate that is not a number never satisfies the limits: the loop
    // stops after 50 updates with the non-convergence message, once.
    RecordingDialogs rec;
    PointSet src = sourcePoints(5);
    PointSet dst = applied(knownTransformation(), src);
    dst.Y[2] = std::nan("");
    Transformation t;
    EXPECT_EQ(t.EstimateTransformation(dst.X, dst.Y, dst.Z, src.X, src.Y, src.Z, {}), 50);
    ASSERT_EQ(rec.messages().size(), 1u);
    EXPECT_EQ(rec.messages()[0], kMsgNoConvergence);
}

TEST(Transformation, TwoDimensionalSimilarity)
{
    RecordingDialogs rec;
    Transformation t;
    // Two points determine it exactly.
    const TVector XS = {470000, 471500}, YS = {4200000, 4201200};
    const TVector XT = {470123.45L, 471621.98L}, YT = {4199876.54L, 4201078.01L};
    t.Estimate2DSimilarity(XT, YT, XS, YS);
    EXPECT_TRUE(rec.messages().empty());
    for (std::size_t i = 0; i < 2; ++i) {
        Extended X = XS[i], Y = YS[i], Z = 77;
        t.ApplyTransformation(X, Y, Z);
        EXPECT_NEAR(d(X), d(XT[i]), 1e-8);
        EXPECT_NEAR(d(Y), d(YT[i]), 1e-8);
        EXPECT_EQ(Z, 77);
    }
    // The matrix is s·R of the rotation about Z, and the inverse works.
    EXPECT_NEAR(d(t.TrMatrix[0][0]), d(t.TrScale * std::cos(t.TrRotZ)), 1e-15);
    EXPECT_NEAR(d(t.TrMatrix[0][1]), d(t.TrScale * std::sin(t.TrRotZ)), 1e-15);
    Extended X = XT[1], Y = YT[1], Z = 5;
    t.ApplyInverseTransformation(X, Y, Z);
    EXPECT_NEAR(d(X), d(XS[1]), 1e-8);
    EXPECT_NEAR(d(Y), d(YS[1]), 1e-8);

    // Failures leave the matrix as it was.
    const auto before = t.TrMatrix;
    t.Estimate2DSimilarity(XT, YT, XS, TVector{1});
    t.Estimate2DSimilarity({1}, {2}, {3}, {4});
    t.Estimate2DSimilarity(XT, YT, {5, 5}, {6, 6});
    const auto msgs = rec.messages();
    ASSERT_EQ(msgs.size(), 3u);
    EXPECT_EQ(msgs[0], kMsgCountsDiffer);
    EXPECT_EQ(msgs[1], kMsgNeedTwoPoints);
    EXPECT_EQ(msgs[2], kMsgNeedTwoPoints);
    EXPECT_EQ(rec.entries[0].icon, MsgIcon::Exclamation);
    EXPECT_EQ(t.TrMatrix, before);
}
