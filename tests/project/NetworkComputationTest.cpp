// The network transformation and the entry rules of the document.

#include "DocumentTestSupport.h"

#include "geodesy/Angles.h"
#include "network/ConvertChain.h"
#include "project/AdjustmentText.h"

#include <cmath>

namespace korthal::testing {
namespace {

using demo::SurveyPoint;

class NetworkTest : public DocumentTest {
protected:
    // Five reference points known to GYS, four of them measured, and two
    // measured detail points.
    void buildNetwork()
    {
        std::mt19937_64 gen(7);
        trig = trigPoints(&gen);
        for (const auto& p : trig)
            addReference(p);
        for (std::size_t i = 0; i < 4; ++i)
            refIds.push_back(addMeasured(trig[i].name, trig[i].X, trig[i].Y, trig[i].Z));
        d1 = demo::surveyPoint("Κ1", 391000.0, 4385000.0, 300.0, &gen);
        d2 = demo::surveyPoint("Κ2", 395500.0, 4388800.0, 150.0, &gen);
        id1 = addMeasured(d1.name, d1.X, d1.Y, d1.Z);
        id2 = addMeasured(d2.name, d2.X, d2.Y, d2.Z);
        doc.GPS().edit();
        for (long long id : {id1, id2}) {
            doc.GPS().locateID(id);
            doc.GPS().edit();
            doc.GPS().set(gps::apoxh, id == id1 ? d1.apoxh : d2.apoxh);
            doc.GPS().post();
        }
        doc.RecomputeNetwork();
    }

    std::vector<SurveyPoint> trig;
    std::vector<long long> refIds;
    SurveyPoint d1, d2;
    long long id1 = 0, id2 = 0;
};

TEST_F(NetworkTest, ThreeDimensionalEstimateRecoversTheDatumDifference)
{
    buildNetwork();
    EXPECT_EQ(doc.RefPointCount, 4);
    EXPECT_TRUE(doc.Use3D);
    // The EPSG relation differs from the default shift by decimetres: the
    // correction is small but real, and the detail points land within a few
    // centimetres of their true coordinates.
    EXPECT_GT(std::fabs(doc.transformation().parameters().shiftX) + std::fabs(doc.transformation().parameters().shiftY), 0.01);
    EXPECT_NEAR(value(id1, gps::E), d1.E, 0.06);
    EXPECT_NEAR(value(id1, gps::N), d1.N, 0.06);
    EXPECT_NEAR(value(id1, gps::H), d1.H, 0.10);
    EXPECT_LT(doc.RmsTotal, 0.05);
    EXPECT_GT(doc.RmsTotal, 0.0);
    ASSERT_EQ(doc.residuals().size(), 4u);
    const ReferenceResidual* r = doc.residualOf(refIds[0]);
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->name, trig[0].name);
    EXPECT_LT(std::fabs(r->vE) + std::fabs(r->vN) + std::fabs(r->vH), 0.15);
    EXPECT_EQ(doc.residualOf(id1), nullptr);
    // RMS of the residuals agrees with the per-point residuals.
    double se = 0;
    for (const auto& x : doc.residuals())
        se += x.vE * x.vE;
    EXPECT_NEAR(std::sqrt(se / 4), double(doc.RmsE), 1e-9);
    // Extents cover the points of each kind.
    EXPECT_LE(doc.ExtentAll.MinE, doc.ExtentReference.MinE);
    EXPECT_NEAR(doc.ExtentDetail.MaxN, std::max(value(id1, gps::N), value(id2, gps::N)), 1e-9);
}

TEST_F(NetworkTest, CompletingAReferencePointRecomputesAllButADetailPointOnlyItself)
{
    buildNetwork();
    const Extended scaleBefore = doc.transformation().parameters().scale;
    const double e2Before = value(id2, gps::E);
    // A fifth reference point, typed coordinate by coordinate.
    MemTable& g = doc.GPS();
    g.append();
    doc.enterNetworkPointName(trig[4].name);
    const long long id5 = g.asInteger(gps::ID);
    EXPECT_TRUE(doc.enterNetworkCoordinate(gps::X, doc.numbers().floatToText(trig[4].X)));
    EXPECT_TRUE(doc.enterNetworkCoordinate(gps::Y, doc.numbers().floatToText(trig[4].Y)));
    EXPECT_EQ(doc.RefPointCount, 4);  // incomplete: nothing recomputed yet
    EXPECT_EQ(doc.transformation().parameters().scale, scaleBefore);
    EXPECT_TRUE(doc.enterNetworkCoordinate(gps::Z, doc.numbers().floatToText(trig[4].Z)));
    EXPECT_EQ(doc.RefPointCount, 5);
    EXPECT_NE(doc.transformation().parameters().scale, scaleBefore);
    EXPECT_NE(value(id2, gps::E), e2Before);  // every detail point follows
    EXPECT_EQ(g.asInteger(gps::ID), id5);     // the typed record stays current
    EXPECT_FALSE(doc.EntryInProgress);

    // A new detail point: only its own record changes.
    const Extended scale = doc.transformation().parameters().scale;
    const double e1 = value(id1, gps::E), e2 = value(id2, gps::E);
    const SurveyPoint d3 = demo::surveyPoint("Κ3", 393000.0, 4384000.0, 500.0);
    g.append();
    doc.enterNetworkPointName(d3.name);
    const long long id3 = g.asInteger(gps::ID);
    doc.enterNetworkCoordinate(gps::X, doc.numbers().floatToText(d3.X));
    doc.enterNetworkCoordinate(gps::Y, doc.numbers().floatToText(d3.Y));
    EXPECT_EQ(value(id3, gps::E), 0.0);
    doc.enterNetworkCoordinate(gps::Z, doc.numbers().floatToText(d3.Z));
    EXPECT_EQ(doc.transformation().parameters().scale, scale);
    EXPECT_EQ(value(id1, gps::E), e1);
    EXPECT_EQ(value(id2, gps::E), e2);
    EXPECT_NEAR(value(id3, gps::E), d3.E, 0.06);
    EXPECT_NEAR(value(id3, gps::apoxh), d3.apoxh, 0.051);  // from the geoid model
    EXPECT_NEAR(value(id3, gps::H), d3.H, 0.15);

    // A typed undulation stays and moves H; typing X again restores the model's.
    doc.enterNetworkCoordinate(gps::apoxh, "40.5");
    EXPECT_EQ(value(id3, gps::apoxh), 40.5);
    EXPECT_NEAR(value(id3, gps::H), d3.h - 40.5, 0.15);
    doc.enterNetworkCoordinate(gps::X, doc.numbers().floatToText(d3.X));
    EXPECT_NEAR(value(id3, gps::apoxh), d3.apoxh, 0.051);

    // 0 in X clears the derived values of a detail point.
    doc.enterNetworkCoordinate(gps::X, "0");
    EXPECT_EQ(value(id3, gps::E), 0.0);
    EXPECT_EQ(value(id3, gps::N), 0.0);
    EXPECT_EQ(value(id3, gps::H), 0.0);
    EXPECT_EQ(value(id3, gps::apoxh), 0.0);
    EXPECT_TRUE(dialogs.messages().empty());
}

TEST_F(NetworkTest, SmallDifferencesDoNotRewriteARecord)
{
    buildNetwork();
    MemTable& g = doc.GPS();
    const Rec r = g.findID(id1);
    const double e = g.getFloat(r, gps::E);
    g.setFloat(r, gps::E, e + 0.000009);
    doc.NetworkModified = false;
    doc.TransformNetworkPoints(true);
    EXPECT_EQ(g.getFloat(r, gps::E), e + 0.000009);
    EXPECT_FALSE(doc.NetworkModified);

    g.setFloat(r, gps::E, e + 0.00002);
    doc.TransformNetworkPoints(true);
    EXPECT_NEAR(g.getFloat(r, gps::E), e, 1e-9);
    EXPECT_TRUE(doc.NetworkModified);

    // A detail point whose measurement is incomplete gets no position, and
    // stays out of the extents.
    g.setFloat(r, gps::Z, 0);
    doc.TransformNetworkPoints(true);
    EXPECT_EQ(g.getFloat(r, gps::E), 0.0);
    EXPECT_EQ(g.getFloat(r, gps::H), 0.0);
    EXPECT_EQ(doc.ExtentDetail.MinE, value(id2, gps::E));
    EXPECT_EQ(doc.ExtentDetail.MaxE, value(id2, gps::E));
}

TEST_F(NetworkTest, OneReferencePointGivesTheIdentity)
{
    std::mt19937_64 gen(3);
    trig = trigPoints(&gen);
    addReference(trig[0]);
    const long long id = addMeasured(trig[0].name, trig[0].X, trig[0].Y, trig[0].Z);
    doc.RecomputeNetwork();
    EXPECT_EQ(doc.RefPointCount, 1);
    const auto& M = doc.transformation().matrix();
    for (std::size_t i = 0; i < 3; ++i)
        for (std::size_t j = 0; j < 4; ++j)
            EXPECT_EQ(M[i][j], i == j ? 1 : 0);
    // The residuals are the raw differences of the datum relation.
    const TM87 c = WGS84ToTM87(doc.datumShifts(), InputForm::Geocentric, trig[0].X, trig[0].Y, trig[0].Z, trig[0].apoxh);
    const ReferenceResidual* r = doc.residualOf(id);
    ASSERT_NE(r, nullptr);
    EXPECT_NEAR(r->vE, trig[0].E - double(c.E), 1e-9);
    EXPECT_NEAR(double(doc.RmsE), std::fabs(r->vE), 1e-9);
    // The identity shows only the symbols.
    const TransformationDisplay& d = doc.parameters();
    EXPECT_EQ(d.rows[0].text(), "Eb");
    EXPECT_EQ(d.rows[1].text(), "Nb");
    EXPECT_EQ(d.rows[2].text(), "Hb");
}

TEST_F(NetworkTest, NoReferencePointsLeaveZeroRmsAndEmptyExtentsForAnEmptyTable)
{
    doc.RmsTotal = 3;  // from an earlier network
    doc.RecomputeNetwork();
    EXPECT_EQ(doc.RmsTotal, 0);
    EXPECT_EQ(doc.ExtentAll.MinE, 100000000);
    EXPECT_EQ(doc.ExtentAll.MaxN, 0);
    EXPECT_TRUE(doc.residuals().empty());
}

TEST_F(NetworkTest, ThreeDimensionalFallsBackToTwoWhenAReferenceHeightIsZero)
{
    std::mt19937_64 gen(5);
    trig = trigPoints(&gen);
    trig[1].H = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        addReference(trig[i]);
        addMeasured(trig[i].name, trig[i].X, trig[i].Y, trig[i].Z);
    }
    doc.RecomputeNetwork();
    EXPECT_FALSE(doc.Use3D);
    EXPECT_EQ(doc.transformation().parameters().rotX, 0);
    EXPECT_EQ(doc.transformation().parameters().rotY, 0);
    EXPECT_EQ(doc.transformation().matrix()[2][2], 1);
    EXPECT_EQ(doc.RmsH, 0);
    const TransformationDisplay& d = doc.parameters();
    EXPECT_FALSE(d.LexVisible);
    EXPECT_FALSE(d.LtzVisible);
    // The third row is the height passed through.
    EXPECT_EQ(d.rows[2].text(), "Hb");
    // The first row shows its terms in order: sign, value, symbol, subscript.
    const ParamRow& row = d.rows[0];
    EXPECT_TRUE(row.label(2, TermPart::Symbol).visible);
    EXPECT_FALSE(row.label(3, TermPart::Symbol).visible);
    EXPECT_EQ(row.labels[0].part, TermPart::Sign);
    EXPECT_EQ(row.labels.size(), 14u);
    EXPECT_EQ(row.labels[13].column, 4);

    // A reference point without its measurement takes no part.
    addReference(trig[4]);
    MemTable& g = doc.GPS();
    g.append();
    doc.enterNetworkPointName(trig[4].name);
    doc.RecomputeNetwork();
    EXPECT_EQ(doc.RefPointCount, 4);
    ASSERT_EQ(doc.residuals().size(), 5u);
    EXPECT_EQ(std::count_if(doc.residuals().begin(), doc.residuals().end(),
                            [](const ReferenceResidual& r) { return !r.used; }),
              1);
}

TEST_F(NetworkTest, HeposModelCarriesThePointsAndTheReferencePointsCheckIt)
{
    buildNetwork();
    // A reference point and a detail point south-west of the Ionian sea,
    // within the entry limits but outside the model's grid.
    const SurveyPoint far = demo::surveyPoint("Σ200", 131366.0, 3792228.0, 120.0);
    addReference(far);
    const long long farRef = addMeasured(far.name, far.X, far.Y, far.Z);
    const long long farDetail = addMeasured("Κ9", 4962425.922, 1806175.325, 3564873.148);
    doc.settings().method = EstimationMethod::HeposModel;
    dialogs.clear();
    doc.RecomputeNetwork();

    // Nothing is estimated: the model alone, as the conversion chain gives it.
    EXPECT_EQ(doc.transformation().matrix()[0][0], 1);
    EXPECT_EQ(doc.transformation().matrix()[0][3], 0);
    EXPECT_EQ(doc.statistics().parameters, 0);
    auto model = [this](long long id) {
        chain::ConvertOptions o;
        o.undulation = value(id, gps::apoxh);
        chain::ChainPoint<Extended> p;
        p.a = value(id, gps::X), p.b = value(id, gps::Y), p.c = value(id, gps::Z);
        return chain::convertPoint(chain::HTRS07Xyz, chain::TM87Proj, p, o);
    };
    for (long long id : {id1, id2}) {
        const auto m = model(id);
        EXPECT_NEAR(value(id, gps::E), double(m.a), 1e-6);
        EXPECT_NEAR(value(id, gps::N), double(m.b), 1e-6);
        EXPECT_NEAR(value(id, gps::H), double(m.c), 1e-6);
    }
    // The reference points: known minus model, their RMS, no test.
    EXPECT_EQ(doc.RefPointCount, 4);
    double se = 0;
    for (std::size_t i = 0; i < refIds.size(); ++i) {
        const ReferenceResidual* r = doc.residualOf(refIds[i]);
        ASSERT_NE(r, nullptr);
        const auto m = model(refIds[i]);
        EXPECT_NEAR(r->vE, trig[i].E - double(m.a), 1e-6) << r->name;
        EXPECT_NEAR(r->vN, trig[i].N - double(m.b), 1e-6) << r->name;
        EXPECT_NEAR(r->vH, trig[i].H - double(m.c), 1e-6) << r->name;
        EXPECT_EQ(tauText(doc, *r, doc.numbers()), "");
        se += r->vE * r->vE;
    }
    EXPECT_NEAR(double(doc.RmsE), std::sqrt(se / 4), 1e-9);

    // Outside the grid: named once, given nothing, no discrepancy.
    EXPECT_EQ(value(farDetail, gps::E), 0);
    EXPECT_EQ(value(farDetail, gps::N), 0);
    EXPECT_EQ(value(farDetail, gps::H), 0);
    const ReferenceResidual* out = doc.residualOf(farRef);
    ASSERT_NE(out, nullptr);
    EXPECT_TRUE(out->outsideGrid);
    EXPECT_FALSE(out->used);
    EXPECT_EQ(residualRemark(*out), "έξω από τον κάναβο HEPOS");
    EXPECT_EQ(doc.outsideGrid(), (std::vector<std::string>{"Σ200", "Κ9"}));
    ASSERT_EQ(dialogs.entries.size(), 1u);
    EXPECT_EQ(dialogs.entries[0].text,
              "Τα σημεία Σ200, Κ9 βρίσκονται έξω από τον κάναβο διορθώσεων του μοντέλου "
              "HEPOS\rΔεν υπολογίστηκαν E, N από το μοντέλο");
    const AdjustmentSummary sum = adjustmentSummary(doc, doc.numbers());
    EXPECT_EQ(sum.outsideGrid,
              "Έξω από τον κάναβο του μοντέλου HEPOS (χωρίς E, N από το μοντέλο): Σ200, Κ9");
    EXPECT_EQ(sum.precision, "");
    EXPECT_EQ(sum.verdict, "");

    // A coordinate typed for the point outside: its own message, and no
    // undulation taken from a position it does not have.
    dialogs.clear();
    MemTable& g = doc.GPS();
    g.locateID(farDetail);
    doc.enterNetworkCoordinate(gps::X, "4962425,9");
    ASSERT_EQ(dialogs.entries.size(), 1u);
    EXPECT_EQ(dialogs.entries[0].text, outsideGridMessage("Κ9") + "\rΔεν υπολογίστηκαν E, N από το μοντέλο");
    EXPECT_EQ(value(farDetail, gps::E), 0);
    EXPECT_EQ(value(farDetail, gps::apoxh), 0);

    // Back to the 3-D estimation: the datum relation again, for every point.
    doc.settings().method = EstimationMethod::Similarity3D;
    dialogs.clear();
    doc.RecomputeNetwork();
    EXPECT_TRUE(doc.outsideGrid().empty());
    EXPECT_TRUE(dialogs.entries.empty());
    EXPECT_NE(value(farDetail, gps::E), 0);
    EXPECT_NEAR(value(id1, gps::E), d1.E, 0.06);

    // Many points outside: the message names twenty and counts the rest,
    // the report's line stays within a line of the listing.
    for (int i = 0; i < 30; ++i)
        addMeasured("Κ" + std::to_string(100 + i), 4962425.922, 1806175.325, 3564873.148);
    doc.settings().method = EstimationMethod::HeposModel;
    dialogs.clear();
    doc.RecomputeNetwork();
    ASSERT_EQ(doc.outsideGrid().size(), 32u);
    ASSERT_EQ(dialogs.entries.size(), 1u);
    EXPECT_NE(dialogs.entries[0].text.find(", Κ117 και 12 ακόμη βρίσκονται"), std::string::npos)
        << dialogs.entries[0].text;
    const std::string line = adjustmentSummary(doc, doc.numbers()).outsideGrid;
    std::size_t chars = 0;
    for (unsigned char c : line)
        chars += (c & 0xC0) != 0x80 ? 1 : 0;
    EXPECT_LE(chars, 120u) << line;
    EXPECT_NE(line.find("Σ200, Κ9, Κ100, "), std::string::npos) << line;
    EXPECT_EQ(line.substr(line.size() - std::string(" ακόμη").size()), " ακόμη") << line;
}

TEST_F(NetworkTest, LimitsIncludeTheirBounds)
{
    doc.settings().setInputForm(InputForm::Ellipsoidal);
    MemTable& g = doc.GPS();
    g.append();
    doc.enterNetworkPointName("Α1");
    EXPECT_TRUE(doc.enterNetworkCoordinate(gps::X, "34"));
    EXPECT_TRUE(doc.enterNetworkCoordinate(gps::X, "42"));
    EXPECT_FALSE(doc.enterNetworkCoordinate(gps::X, "33.5959"));
    EXPECT_EQ(g.asFloat(gps::X), 42.0);  // the field keeps its value
    EXPECT_FALSE(doc.enterNetworkCoordinate(gps::Z, "3000.001"));
    EXPECT_TRUE(doc.enterNetworkCoordinate(gps::Z, "0"));  // 0 is always accepted
    EXPECT_FALSE(doc.enterNetworkCoordinate(gps::Y, "abc"));
    // Text set through the table reaches the same rule.
    g.setText(gps::Y, "29.0000001");
    EXPECT_EQ(g.asFloat(gps::Y), 0.0);
    EXPECT_FALSE(doc.EntryInProgress);  // cleared on the error's way out
    ASSERT_EQ(dialogs.messages().size(), 4u);
    EXPECT_EQ(dialogs.messages()[3], "Μέγιστη επιτρεπόμενη τμή : 29,0000");
    EXPECT_EQ(dialogs.messages()[0], "Ελάχιστη επιτρεπόμενη τμή : 34,0000");
    EXPECT_EQ(dialogs.messages()[1], "Μέγιστη επιτρεπόμενη τμή : 3.000,0000");
    // Fields without limits still refuse a number no table field can hold.
    EXPECT_FALSE(doc.enterNetworkCoordinate(gps::apoxh, "1e400"));
    EXPECT_EQ(g.asFloat(gps::apoxh), 0.0);
    EXPECT_EQ(dialogs.messages().back(), conversionError("1e400"));

    dialogs.clear();
    doc.settings().setInputForm(InputForm::Geocentric);
    EXPECT_FALSE(doc.enterNetworkCoordinate(gps::Z, "4248851"));
    EXPECT_TRUE(doc.enterNetworkCoordinate(gps::Z, "4248850"));
    EXPECT_TRUE(doc.enterNetworkCoordinate(gps::X, "4151000"));
    ASSERT_EQ(dialogs.messages().size(), 1u);
    EXPECT_EQ(dialogs.messages()[0], "Μέγιστη επιτρεπόμενη τμή : 4.248.850,0000");

    // Reference table: 0 is not exempt for E and N.
    dialogs.clear();
    MemTable& y = doc.GYS();
    y.append();
    EXPECT_FALSE(doc.enterReferenceCoordinate(gys::E, "0"));
    EXPECT_TRUE(doc.enterReferenceCoordinate(gys::E, "961961"));
    EXPECT_FALSE(doc.enterReferenceCoordinate(gys::N, "4661884.01"));
    EXPECT_FALSE(doc.enterReferenceGeographic(gys::l, "29.0001"));
    EXPECT_TRUE(doc.enterReferenceGeographic(gys::f, "34"));
    EXPECT_EQ(dialogs.messages().size(), 3u);
}

TEST_F(NetworkTest, ReferenceTableKeepsBothTriplesConsistent)
{
    const SurveyPoint p = trigPoints()[2];
    MemTable& y = doc.GYS();
    y.append();
    y.set(gys::Name, p.name);
    y.set(gys::apoxh, p.apoxh);
    y.post();
    doc.enterReferenceCoordinate(gys::E, doc.numbers().floatToText(p.E));
    doc.enterReferenceCoordinate(gys::N, doc.numbers().floatToText(p.N));
    doc.enterReferenceCoordinate(gys::H, doc.numbers().floatToText(p.H));
    EXPECT_NEAR(y.asFloat(gys::f), p.phi, 1e-10);
    EXPECT_NEAR(y.asFloat(gys::ortho), p.h, 1e-6);
    // The table's text of f and l is the packed angle.
    doc.enterReferenceGeographic(gys::f, "39.3015");
    EXPECT_EQ(y.text(gys::f), "39.301500000");
    y.edit();
    y.set(gys::l, 0.0);
    y.post();
    EXPECT_EQ(y.text(gys::l), "");
    doc.enterReferenceCoordinate(gys::E, doc.numbers().floatToText(p.E));
    // Typing h sets H = h − apoxh.
    doc.enterReferenceGeographic(gys::ortho, "500");
    EXPECT_NEAR(y.asFloat(gys::H), 500 - p.apoxh, 1e-6);
    EXPECT_TRUE(doc.ReferenceModified);

    // The name rule copies the reference point; another name keeps the copy.
    MemTable& g = doc.GPS();
    g.append();
    doc.enterNetworkPointName(p.name);
    EXPECT_FALSE(g.asBoolean(gps::detailPoint));
    EXPECT_NEAR(g.asFloat(gps::E), p.E, 1e-6);
    doc.enterNetworkPointName("ΑΛΛΟ");
    EXPECT_TRUE(g.asBoolean(gps::detailPoint));
    EXPECT_NEAR(g.asFloat(gps::E), p.E, 1e-6);
}


TEST_F(NetworkTest, PendingEditsSurviveRefusedEntriesAndFullRuns)
{
    buildNetwork();
    MemTable& g = doc.GPS();
    ASSERT_TRUE(g.locateID(id1));
    // A description typed but not posted yet is not lost by a refused value.
    g.edit();
    g.set(gps::Perigrafh, std::string("στο πεζοδρόμιο"));
    EXPECT_FALSE(doc.enterNetworkCoordinate(gps::X, "1"));
    EXPECT_FALSE(doc.enterNetworkCoordinate(gps::Y, "abc"));
    ASSERT_EQ(g.state(), MemTable::State::Edit);
    g.post();
    EXPECT_EQ(g.getString(g.findID(id1), gps::Perigrafh), "στο πεζοδρόμιο");
    // A refused value on a record without other changes leaves no edit open.
    EXPECT_FALSE(doc.enterNetworkCoordinate(gps::X, "1"));
    EXPECT_EQ(g.state(), MemTable::State::Browse);

    // A pending change of the undulation is posted before a full run, and
    // the run's E, N, H are not overwritten by the edit afterwards.
    const double H = value(id1, gps::H), u = value(id1, gps::apoxh);
    g.edit();
    g.set(gps::apoxh, u + 2);
    doc.RecomputeNetwork();
    EXPECT_EQ(g.state(), MemTable::State::Browse);
    EXPECT_EQ(value(id1, gps::apoxh), u + 2);
    EXPECT_NEAR(value(id1, gps::H), H - 2, 1e-3);
    g.edit();
    g.set(gps::apoxh, u);
    doc.TransformNetworkPoints(true);
    EXPECT_EQ(g.state(), MemTable::State::Browse);
    EXPECT_NEAR(value(id1, gps::H), H, 1e-6);
}

TEST_F(NetworkTest, InputFormSwitchKeepsTheNetwork)
{
    buildNetwork();
    const double x = value(id1, gps::X), e = value(id1, gps::E);
    doc.setSettingsModified(false);
    EXPECT_FALSE(doc.SwitchInputForm(InputForm::Geocentric));  // already geocentric
    EXPECT_FALSE(doc.settingsModified());
    EXPECT_TRUE(doc.SwitchInputForm(InputForm::Ellipsoidal));
    EXPECT_TRUE(doc.settingsModified());
    EXPECT_NEAR(value(id1, gps::X), 39.0, 1.0);  // a latitude now
    doc.RecomputeNetwork();
    EXPECT_NEAR(value(id1, gps::E), e, 1e-4);
    EXPECT_TRUE(doc.SwitchInputForm(InputForm::Geocentric));
    EXPECT_NEAR(value(id1, gps::X), x, 1e-4);
}

TEST_F(NetworkTest, DeleteAsksFirst)
{
    // The question belongs to the document, for both tables.
    for (MemTable* t : {&doc.GPS(), &doc.GYS()}) {
        SCOPED_TRACE(t->name());
        for (const char* name : {"A", "B"}) {
            const Rec r = t->appendRecord();
            t->setString(r, t->fieldIndex("Name"), name);
        }
        t->first();
        RecordingDialogs d;
        d.answers = {Answer::No, Answer::Yes};
        EXPECT_FALSE(t->remove());
        EXPECT_EQ(t->recordCount(), 2);
        EXPECT_TRUE(t->remove());
        EXPECT_EQ(t->recordCount(), 1);
        ASSERT_EQ(d.entries.size(), 2u);
        EXPECT_EQ(d.entries[0].caption, kDeleteCaption);
        EXPECT_EQ(d.entries[0].text, kDeleteQuestion);
        EXPECT_EQ(d.entries[0].icon, MsgIcon::Exclamation);
        EXPECT_TRUE(d.entries[0].question);
    }
}

}  // namespace
}  // namespace korthal::testing
