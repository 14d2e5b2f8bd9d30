// The network computation over many detail points: every stored position is
// the one the point's own inputs give under the transformation in force,
// also after the inputs, the datum shift or the transformation changed.

#include "DocumentTestSupport.h"

#include "geodesy/DatumShift.h"
#include "geodesy/Geoid.h"

#include <cstdio>
#include <fstream>

namespace korthal::testing {
namespace {

class RecomputeBulkTest : public DocumentTest {
protected:
    // The reference points of trigPoints (four measured) and `count` detail
    // points stored straight into the table.
    void build(int count)
    {
        std::mt19937_64 gen(11);
        std::uniform_real_distribution<double> u(0.0, 1.0);
        const auto trig = trigPoints(&gen);
        for (const auto& p : trig)
            addReference(p);
        for (std::size_t i = 0; i < 4; ++i)
            addMeasured(trig[i].name, trig[i].X, trig[i].Y, trig[i].Z);
        MemTable& g = doc.GPS();
        g.disableControls();
        for (int i = 0; i < count; ++i) {
            const auto p = demo::surveyPoint("Κ" + std::to_string(i), 386000 + 12000 * u(gen),
                                             4381000 + 11000 * u(gen), 90 + 700 * u(gen), &gen);
            g.setFloat(appendDetail(p), gps::apoxh, p.apoxh);
        }
        g.enableControls();
        doc.RecomputeNetwork();
    }

    // A detail point with its measurement, stored straight into the table.
    Rec appendDetail(const demo::SurveyPoint& p)
    {
        MemTable& g = doc.GPS();
        const Rec r = g.appendRecord();
        g.setString(r, gps::Name, p.name);
        g.setBoolean(r, gps::detailPoint, true);
        g.setFloat(r, gps::X, p.X);
        g.setFloat(r, gps::Y, p.Y);
        g.setFloat(r, gps::Z, p.Z);
        return r;
    }

    // The number of detail points whose stored E, N, H is not exactly what
    // their inputs give now (0, 0, 0 for a point not measured).
    int wrongPositions()
    {
        const MemTable& g = doc.GPS();
        int wrong = 0;
        for (Rec r = g.firstStored(); r != NoRec; r = g.nextStored(r)) {
            if (!g.getBoolean(r, gps::detailPoint))
                continue;
            const double X = g.getFloat(r, gps::X), Y = g.getFloat(r, gps::Y), Z = g.getFloat(r, gps::Z);
            double E = 0, N = 0, H = 0;
            if (X != 0 && Y != 0 && Z != 0) {
                TM87 t = WGS84ToTM87(doc.datumShifts(), InputForm::Geocentric, X, Y, Z, g.getFloat(r, gps::apoxh));
                doc.transformation().ApplyTransformation(t.E, t.N, t.H);
                E = static_cast<double>(t.E), N = static_cast<double>(t.N), H = static_cast<double>(t.H);
            }
            // The computation leaves alone what moved by less than 0.01 mm.
            if (std::fabs(g.getFloat(r, gps::E) - E) > 1e-5 || std::fabs(g.getFloat(r, gps::N) - N) > 1e-5 ||
                std::fabs(g.getFloat(r, gps::H) - H) > 1e-5)
                ++wrong;
        }
        return wrong;
    }

    Rec nthDetail(int n)
    {
        const MemTable& g = doc.GPS();
        for (Rec r = g.firstStored(); r != NoRec; r = g.nextStored(r))
            if (g.getBoolean(r, gps::detailPoint) && n-- == 0)
                return r;
        return NoRec;
    }
};

// Enough points that the projections are shared between two threads.
constexpr int kPoints = 6000;

TEST_F(RecomputeBulkTest, EveryPointFollowsItsInputsTheShiftAndTheTransformation)
{
    build(kPoints);
    ASSERT_EQ(doc.RefPointCount, 4);
    EXPECT_EQ(wrongPositions(), 0);

    // Inputs changed behind the computation's back: a coordinate, an
    // undulation, a point whose measurement is taken away.
    MemTable& g = doc.GPS();
    g.setFloat(nthDetail(10), gps::X, g.getFloat(nthDetail(10), gps::X) + 3.0);
    g.setFloat(nthDetail(4000), gps::apoxh, g.getFloat(nthDetail(4000), gps::apoxh) + 1.5);
    g.setFloat(nthDetail(5999), gps::Z, 0.0);
    doc.RecomputeNetwork();
    EXPECT_EQ(wrongPositions(), 0);
    EXPECT_EQ(g.getFloat(nthDetail(5999), gps::E), 0.0);

    // A new WGS84 -> EGSA87 shift moves every point (without a local
    // transformation, which would absorb most of it).
    doc.settings().method = EstimationMethod::None;
    doc.RecomputeNetwork();
    const double before = g.getFloat(nthDetail(20), gps::E);
    doc.datumShifts()(WGS84, EGSA87).dX += 0.5;
    doc.RecomputeNetwork();
    EXPECT_EQ(wrongPositions(), 0);
    EXPECT_GT(std::fabs(g.getFloat(nthDetail(20), gps::E) - before), 0.1);
    doc.settings().method = EstimationMethod::Similarity3D;
    doc.RecomputeNetwork();
    EXPECT_EQ(wrongPositions(), 0);

    // A reference point left out: a new transformation for every point.
    const long long refId = g.getInteger(g.firstStored(), gps::ID);
    doc.setExcluded(refId, true);
    EXPECT_EQ(doc.RefPointCount, 3);
    EXPECT_EQ(wrongPositions(), 0);

    // Records deleted and new ones added in their place.
    for (int i = 0; i < 50; ++i)
        g.deleteRecord(nthDetail(100));
    for (int i = 0; i < 50; ++i) {
        appendDetail(demo::surveyPoint("Ν" + std::to_string(i), 390000 + 40.0 * i, 4385000, 200));
    }
    doc.RecomputeNetwork();
    EXPECT_EQ(wrongPositions(), 0);
}

TEST_F(RecomputeBulkTest, ClearedNetworkLoadedAgainIsComputedAfresh)
{
    build(kPoints);
    doc.GPS().clear();
    doc.GYS().clear();
    build(100);
    EXPECT_EQ(doc.RefPointCount, 4);
    EXPECT_EQ(wrongPositions(), 0);
}

// A list imported into a network with a transformation in force: every
// point gets exactly what entering it alone gives (E, N, H under the
// transformation, the geoid undulation there, E, N, H again with it).
TEST_F(RecomputeBulkTest, ImportedPointsGetWhatEnteringThemOneByOneGives)
{
    build(10);
    ASSERT_EQ(doc.RefPointCount, 4);
    std::mt19937_64 gen(5);
    std::uniform_real_distribution<double> u(0.0, 1.0);
    std::vector<demo::SurveyPoint> pts;
    {
        std::ofstream list(dir / "L.TXT", std::ios::binary);
        for (int i = 0; i < kPoints; ++i) {
            pts.push_back(demo::surveyPoint("I" + std::to_string(i), 386000 + 12000 * u(gen),
                                            4381000 + 11000 * u(gen), 90 + 700 * u(gen), &gen));
            char line[120];
            std::snprintf(line, sizeof line, "%s\t%.4f\t%.4f\t%.4f\r\n", pts.back().name.c_str(),
                          pts.back().X, pts.back().Y, pts.back().Z);
            list << line;
        }
    }
    doc.settings().numbers.DecimalSeparators[NumberDestination::InputFile] = '.';
    doc.settings().numbers.ThousandSeparators[NumberDestination::InputFile] = '\0';
    const ImportResult r = doc.ImportPointList((dir / "L.TXT").string());
    ASSERT_EQ(r.imported, kPoints);
    ASSERT_TRUE(r.rejected.empty());

    const MemTable& g = doc.GPS();
    const DatumShiftTable& shifts = doc.datumShifts();
    const Transformation& tr = doc.transformation();
    auto entered = [&](double X, double Y, double Z, double undulation) {
        TM87 t = WGS84ToTM87(shifts, InputForm::Geocentric, X, Y, Z, undulation);
        tr.ApplyTransformation(t.E, t.N, t.H);
        return std::array<double, 3>{static_cast<double>(t.E), static_cast<double>(t.N),
                                     static_cast<double>(t.H)};
    };
    int checked = 0, wrong = 0;
    for (Rec rec = g.firstStored(); rec != NoRec; rec = g.nextStored(rec)) {
        if (g.getString(rec, gps::Name)[0] != 'I')
            continue;
        ++checked;
        const double X = g.getFloat(rec, gps::X), Y = g.getFloat(rec, gps::Y), Z = g.getFloat(rec, gps::Z);
        const auto first = entered(X, Y, Z, 0);
        const Geographic p = TM87ToEllipsoidal(first[0], first[1], first[2], 0);
        const auto n = GeoidUndulation(shifts, static_cast<double>(p.phi), static_cast<double>(p.lambda));
        ASSERT_TRUE(n.has_value());
        const auto second = entered(X, Y, Z, *n);
        if (g.getFloat(rec, gps::apoxh) != *n || g.getFloat(rec, gps::E) != second[0] ||
            g.getFloat(rec, gps::N) != second[1] || g.getFloat(rec, gps::H) != second[2])
            ++wrong;
    }
    EXPECT_EQ(checked, kPoints);
    EXPECT_EQ(wrong, 0);

    // The network computation that follows finds every point where it is.
    doc.RecomputeNetwork();
    EXPECT_EQ(wrongPositions(), 0);
    EXPECT_FALSE(doc.Use3D && doc.RefPointCount != 4);
}

}  // namespace
}  // namespace korthal::testing
