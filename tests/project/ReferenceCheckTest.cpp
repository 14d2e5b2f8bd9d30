// The test of the reference points in the network computation: the suspect,
// leaving points out (check points) and keeping that choice in the network's
// settings file; and the estimation without any point left out, bit for bit
// as it was before there was a choice.

#include "DocumentTestSupport.h"

#include "project/AdjustmentText.h"
#include "project/IniFile.h"
#include "support/Files.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>

namespace korthal::testing {
namespace {

using demo::SurveyPoint;

std::string hex(Extended v)
{
    char buf[64];
    std::snprintf(buf, sizeof buf, "%La", v);
    return buf;
}

// FNV-1a over the bits of E, N, H of every network record, in table order.
std::uint64_t coordinateHash(const MemTable& g)
{
    std::uint64_t h = 1469598103934665603ull;
    for (int row = 0; row < g.recordCount(); ++row) {
        const Rec r = g.recAt(row);
        for (int f : {gps::E, gps::N, gps::H}) {
            const double v = g.getFloat(r, f);
            unsigned char bytes[sizeof v];
            std::memcpy(bytes, &v, sizeof v);
            for (unsigned char b : bytes) {
                h ^= b;
                h *= 1099511628211ull;
            }
        }
    }
    return h;
}

// The demo network as the program computes it, with the method given.
void loadDemo(Document& doc, int method)
{
    const std::string dir = std::string(KORTHAL_SOURCE_DIR) + "/examples/demo/";
    doc.LoadReference(dir + "EGSA87");
    doc.openNetwork(dir + "DEMO.WGS84");
    doc.settings().method = estimationMethodOf(method);
    doc.RecomputeNetwork();
}

TEST(ReferenceCheck, WithNoPointLeftOutTheResultsAreThoseOfBefore)
{
    // Parameters, RMS values and every record's E, N, H as the computation
    // gave them before points could be left out (printed with %La).
    struct Expected {
        int method;
        const char* p[11];  // s, rx, ry, rz, tx, ty, tz, RmsE, RmsN, RmsH, RmsTotal
        const char* m[12];  // TrMatrix by rows
        std::uint64_t hash;
    };
    const Expected cases[] = {
        {2,
         {"0x8.0000e49b0af3fbdp-3", "0xc.3a51a9fc24adbd2p-22", "-0xa.5d3264722976571p-22",
          "0xc.8e34d22bab402a4p-22", "-0xd.a9806052101f1cfp+0", "-0xd.26a3e1ecfd38406p-1",
          "0xd.1ff7bf44f2f73p+0", "0xb.3280a47e8fb8e41p-10", "0xb.ac779023f737dbp-10",
          "0xa.f58b51530b3dedap-10", "0xb.47d6e6c658a9ccfp-10"},
         {"0x8.0000e49ac8b08cep-3", "0xc.8e343e0847c2658p-22", "0xa.5d338c9ae5804fbp-22",
          "-0xd.a9806052101f1cfp+0", "-0xc.8e3638f391cdc17p-22", "0x8.0000e49abe29ba6p-3",
          "0xc.3a53076723bae9fp-22", "-0xd.26a3e1ecfd38406p-1", "-0xa.5d31267fd1b8123p-22",
          "-0xc.3a550fe7c0f271ep-22", "0x8.0000e49acab841p-3", "0xd.1ff7bf44f2f73p+0"},
         6037354846964526507ull},
        {1,
         // The planar matrix is built from the scale and the angle: its
         // diagonal and the shifts differ from the earlier a = S1/Q by the
         // last bit (the coordinates of the records do not change).
         {"0x8.0000cf9b1458786p-3", "0x0p+0", "0x0p+0", "0xc.cdfe5ea6178baa1p-22",
          "-0xd.dc1867fa68b8p+0", "-0xb.ba823105a4p-1", "0x0p+0", "0xb.982ef4d867ca7ap-10",
          "0xc.00387393a60f283p-10", "0x0p+0", "0xb.cca6604beedd353p-10"},
         {"0x8.0000cf9aeb5b0dbp-3", "0xc.cdffaaf04f2f2cfp-22", "0x0p+0", "-0xd.dc1867fa68b8p+0",
          "-0xc.cdffaaf04f2f2cfp-22", "0x8.0000cf9aeb5b0dbp-3", "0x0p+0", "-0xb.ba823105a4p-1",
          "0x0p+0", "0x0p+0", "0x8p-3", "0x0p+0"},
         4344337415792556349ull},
    };
    RecordingDialogs rec;
    for (const Expected& e : cases) {
        SCOPED_TRACE(e.method);
        Document doc(Separators{'.', ','});
        loadDemo(doc, e.method);
        ASSERT_EQ(doc.RefPointCount, 6);
        EXPECT_EQ(doc.CheckPointCount, 0);
        const Transformation& t = doc.transformation();
        const Extended p[11] = {t.parameters().scale,  t.parameters().rotX,   t.parameters().rotY,   t.parameters().rotZ,
                                t.parameters().shiftX, t.parameters().shiftY, t.parameters().shiftZ, doc.RmsE,
                                doc.RmsN,   doc.RmsH,   doc.RmsTotal};
        for (std::size_t i = 0; i < 11; ++i)
            EXPECT_EQ(hex(p[i]), e.p[i]) << i;
        for (std::size_t i = 0; i < 12; ++i)
            EXPECT_EQ(hex(t.matrix()[i / 4][i % 4]), e.m[i]) << i;
        EXPECT_EQ(coordinateHash(doc.GPS()), e.hash);
    }
}

class ReferenceCheckTest : public DocumentTest {
protected:
    // The six reference points, measured with 1.5 cm noise, the known
    // northing of `blundered` typed 0.5 m too large; and two detail points.
    void build(int blundered, int method = 2, std::size_t points = 6)
    {
        doc.settings().method = estimationMethodOf(method);
        std::mt19937_64 gen(21);
        trig = trigPoints(&gen);
        trig.resize(points);
        for (std::size_t i = 0; i < trig.size(); ++i) {
            SurveyPoint known = trig[i];
            if (static_cast<int>(i) == blundered)
                known.N += 0.5;
            addReference(known);
            ids.push_back(addMeasured(trig[i].name, trig[i].X, trig[i].Y, trig[i].Z));
        }
        detail = demo::surveyPoint("Κ1", 391000.0, 4385000.0, 300.0);
        detailId = addMeasured(detail.name, detail.X, detail.Y, detail.Z);
        doc.GPS().locateID(detailId);
        doc.GPS().edit();
        doc.GPS().set(gps::apoxh, detail.apoxh);
        doc.GPS().post();
        doc.RecomputeNetwork();
    }

    std::vector<SurveyPoint> trig;
    std::vector<long long> ids;
    SurveyPoint detail;
    long long detailId = 0;
};

TEST_F(ReferenceCheckTest, TheBlunderIsNamedAndLeavingItOutRestoresTheNetwork)
{
    build(2);
    ASSERT_EQ(doc.residuals().size(), 6u);
    const ReferenceResidual* bad = doc.residualOf(ids[2]);
    ASSERT_NE(bad, nullptr);
    EXPECT_TRUE(bad->suspect);
    EXPECT_EQ(bad->tauAxis, 1);  // the northing
    int suspects = 0;
    for (const auto& r : doc.residuals())
        suspects += r.suspect ? 1 : 0;
    EXPECT_EQ(suspects, 1);
    EXPECT_TRUE(doc.statistics().tested);
    EXPECT_GT(doc.RmsTotal, 0.05);
    const double detailNBefore = value(detailId, gps::N);
    EXPECT_GT(std::fabs(detailNBefore - detail.N), 0.03);  // pulled by the blunder
    const AdjustmentSummary before = adjustmentSummary(doc, doc.numbers());
    EXPECT_NE(before.verdict.find("Ύποπτο σημείο: " + trig[2].name), std::string::npos);
    EXPECT_EQ(tauText(doc, *bad, doc.numbers()).find(','), 1u);  // "5,xx" with the display comma
    EXPECT_EQ(residualRemark(*bad), "ΥΠΟΠΤΟ");

    doc.setSettingsModified(false);
    doc.setExcluded(ids[2], true);
    EXPECT_TRUE(doc.settingsModified());
    EXPECT_EQ(doc.RefPointCount, 5);
    EXPECT_EQ(doc.CheckPointCount, 1);
    bad = doc.residualOf(ids[2]);
    ASSERT_NE(bad, nullptr);
    EXPECT_TRUE(bad->excluded);
    EXPECT_FALSE(bad->suspect);
    EXPECT_EQ(bad->tau, 0);
    // Its discrepancy, known minus transformed, shows the 0.5 m.
    EXPECT_NEAR(bad->vN, 0.5, 0.06);
    EXPECT_LT(std::fabs(bad->vE), 0.06);
    EXPECT_EQ(residualRemark(*bad), "σημείο ελέγχου");
    EXPECT_EQ(tauText(doc, *bad, doc.numbers()), "");
    // The RMS is that of the noise, no point is suspect, and the detail
    // point is where it belongs.
    EXPECT_LT(doc.RmsTotal, 0.03);
    for (const auto& r : doc.residuals())
        EXPECT_FALSE(r.suspect);
    EXPECT_NEAR(value(detailId, gps::N), detail.N, 0.04);
    const AdjustmentSummary after = adjustmentSummary(doc, doc.numbers());
    EXPECT_EQ(after.verdict, "Κανένα ύποπτο σημείο");
    EXPECT_EQ(after.checkPoints, "Σημεία ελέγχου (εκτός εκτίμησης): " + trig[2].name);

    // Taking it back gives the first result again.
    doc.setExcluded(ids[2], false);
    EXPECT_EQ(doc.RefPointCount, 6);
    EXPECT_TRUE(doc.residualOf(ids[2])->suspect);
    EXPECT_EQ(value(detailId, gps::N), detailNBefore);
}

// An error spread over a point's coordinates (1.5 m in its measured
// geocentric X) is named by the test of its coordinates together, and the
// agreement of the points is judged against the a-priori precision of the
// settings.
TEST_F(ReferenceCheckTest, SpreadErrorNamedByFAndAgreementAgainstTheSetting)
{
    build(-1);
    AdjustmentSummary s = adjustmentSummary(doc, doc.numbers());
    EXPECT_EQ(s.pointTest.rfind("Έλεγχος F κάθε σημείου (συντεταγμένες μαζί), α = 0,005", 0),
              0u)
        << s.pointTest;
    EXPECT_EQ(s.verdict, "Κανένα ύποπτο σημείο");
    EXPECT_NE(s.agreement.find("± 0,020 m (E, N), ± 0,040 m (H)"), std::string::npos)
        << s.agreement;
    EXPECT_EQ(s.agreementVerdict, "Τα σημεία αναφοράς συμφωνούν μεταξύ τους");

    doc.GPS().locateID(ids[2]);
    doc.GPS().edit();
    doc.GPS().set(gps::X, trig[2].X + 1.5);
    doc.GPS().post();
    doc.RecomputeNetwork();
    s = adjustmentSummary(doc, doc.numbers());
    EXPECT_EQ(s.verdict.rfind("Ύποπτο σημείο: " + trig[2].name + "  (F = ", 0), 0u) << s.verdict;
    EXPECT_EQ(residualRemark(*doc.residualOf(ids[2])), "ΥΠΟΠΤΟ");
    EXPECT_TRUE(s.disagreement);
    EXPECT_EQ(s.agreementVerdict, "Τα σημεία αναφοράς δεν συμφωνούν μεταξύ τους");

    // With a metre allowed, the same points agree.
    doc.settings().aprioriH = 1000;
    doc.settings().aprioriV = 1000;
    doc.RecomputeNetwork();
    s = adjustmentSummary(doc, doc.numbers());
    EXPECT_NE(s.agreement.find("± 1,000 m (E, N), ± 1,000 m (H)"), std::string::npos);
    EXPECT_EQ(s.agreementVerdict, "Τα σημεία αναφοράς συμφωνούν μεταξύ τους");
}

TEST_F(ReferenceCheckTest, TheChoiceLivesInTheNetworkSettingsFile)
{
    build(2);
    doc.CurrentFileName = (dir / "NET.WGS84").string();
    ASSERT_TRUE(doc.saveParams());
    const std::string ini = doc.settingsFileName();
    const std::string plain = test::readBytes(ini);
    EXPECT_EQ(plain.find("ExcludedPoints"), std::string::npos);

    doc.setExcluded(ids[2], true);
    doc.setExcluded(ids[4], true);
    ASSERT_TRUE(doc.saveParams());
    {
        const IniFile f(ini);
        const auto entries = f.readSection("ExcludedPoints");
        ASSERT_EQ(entries.size(), 2u);
        EXPECT_EQ(entries[0].first, std::to_string(ids[2]));
        EXPECT_EQ(entries[0].second, trig[2].name);
        // The other settings are where they were.
        EXPECT_EQ(f.readInteger("General", "method", -1), 2);
    }

    // Read back by another document: the same points are left out. A key
    // that is no record ID is passed over.
    {
        IniFile f(ini);
        ASSERT_TRUE(f.writeString("ExcludedPoints", "Σ999", "x"));
    }
    NetworkSettings other;
    DatumShiftTable shifts;
    other.LoadParams(ini, shifts);
    ASSERT_EQ(other.excludedPoints.size(), 2u);
    EXPECT_EQ(other.excludedPoints.count(ids[2]), 1u);
    EXPECT_EQ(other.excludedPoints.count(ids[4]), 1u);
    doc.LoadParams();
    EXPECT_TRUE(doc.isExcluded(ids[4]));
    EXPECT_FALSE(doc.settingsModified());

    // With every point back the section goes, and the file is as before.
    doc.setExcluded(ids[2], false);
    doc.setExcluded(ids[4], false);
    ASSERT_TRUE(doc.saveParams());
    EXPECT_EQ(test::readBytes(ini), plain);

    // A new network does not inherit the old one's choices.
    doc.setExcluded(ids[1], true);
    doc.NewNetwork();
    EXPECT_TRUE(doc.settings().excludedPoints.empty());
}

TEST_F(ReferenceCheckTest, TooFewPointsAndCommandLineNames)
{
    // 2-D with two points: an exact fit, nothing to test, said plainly.
    build(-1, 1, 2);
    EXPECT_FALSE(doc.statistics().tested);
    EXPECT_FALSE(doc.statistics().precisionKnown);
    AdjustmentSummary s = adjustmentSummary(doc, doc.numbers());
    EXPECT_EQ(s.test, "Έλεγχος των σημείων αναφοράς: δεν είναι δυνατός με 2 σημεία "
                      "(ο 2-Δ μετασχηματισμός χρειάζεται τουλάχιστον 3)");
    EXPECT_EQ(s.verdict, "");
    EXPECT_EQ(tauText(doc, doc.residuals()[0], doc.numbers()), "χωρίς έλεγχο");
    EXPECT_TRUE(doc.parameters().sMix.empty());

    // Leaving one of them out leaves no estimation at all.
    EXPECT_EQ(doc.excludeByName({trig[0].name, "ΚΑΝΕΝΑ"}), std::vector<std::string>{"ΚΑΝΕΝΑ"});
    EXPECT_EQ(doc.RefPointCount, 1);
    s = adjustmentSummary(doc, doc.numbers());
    EXPECT_NE(s.test.find("δεν έγινε"), std::string::npos);
    EXPECT_NE(doc.residualOf(ids[0]), nullptr);
    EXPECT_TRUE(doc.residualOf(ids[0])->excluded);
    // A detail point's name is no reference point.
    EXPECT_EQ(doc.excludeByName({detail.name}), std::vector<std::string>{detail.name});
}

TEST_F(ReferenceCheckTest, ParameterErrorsBesideTheParameters)
{
    build(-1, 2);
    const TransformationDisplay& d = doc.parameters();
    ASSERT_TRUE(doc.statistics().precisionKnown);
    EXPECT_EQ(d.sMix.rfind("± ", 0), 0u);
    EXPECT_NE(d.sMix.find(" ppm"), std::string::npos);
    EXPECT_NE(d.sEx.find('"'), std::string::npos);
    EXPECT_NE(d.sTz.find(" m"), std::string::npos);
    // 2-D: no rotations about X and Y, no shift in height.
    doc.settings().method = EstimationMethod::Similarity2D;
    doc.RecomputeNetwork();
    EXPECT_TRUE(doc.parameters().sEx.empty());
    EXPECT_TRUE(doc.parameters().sTz.empty());
    EXPECT_FALSE(doc.parameters().sEz.empty());
}

}  // namespace
}  // namespace korthal::testing
