#include "network/Calculator.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

using namespace korthal;
using E = CalcEdit;
using B = CalcButton;

namespace {

// A calculator with point/none separators and the usual decimals, so that
// texts are easy to read back.
struct Fixture {
    NumberText text{Separators{'.', ','}};
    NumberSettings numbers;
    DatumShiftTable shifts;
    Transformation tr;
    Calculator calc{CalculatorContext{&text, &numbers, &shifts, &tr}};
    Fixture()
    {
        numbers.DecimalSeparators = {'.', '.', '.'};
        numbers.ThousandSeparators = {'\0', '\0', '\0'};
        numbers.GPSDecimals = {4, 4, 4};
        numbers.EGSA87Decimals = {4, 4, 4};
        numbers.DMSDecimals = {9, 9, 9};
        text.setDisplay({'.', '\0'});
    }
    void set3(E first, const char* a, const char* b, const char* c)
    {
        calc.setText(first, a);
        calc.setText(static_cast<E>(static_cast<int>(first) + 1), b);
        calc.setText(static_cast<E>(static_cast<int>(first) + 2), c);
    }
    double num(E e) const { return std::stod(calc.text(e)); }
};

}  // namespace

TEST(Calculator, ButtonsFollowTheirSourceGroups)
{
    Fixture f;
    for (int b = 0; b < kCalcButtonCount; ++b)
        EXPECT_FALSE(f.calc.enabled(static_cast<B>(b))) << b;

    f.calc.setText(E::WGS84X, "4600000");
    f.calc.setText(E::WGS84Y, "2000000");
    EXPECT_FALSE(f.calc.enabled(B::SBWGS84ge));
    f.calc.setText(E::WGS84Z, "abc");  // any text completes the group
    EXPECT_TRUE(f.calc.enabled(B::SBWGS84ge));
    EXPECT_TRUE(f.calc.enabled(B::SBWGS84gEGSA87g));
    EXPECT_FALSE(f.calc.enabled(B::SBWGS84eg));

    // The click then fails with the conversion message, names the edit and
    // writes nothing.
    const CalcOutcome o = f.calc.convert(B::SBWGS84ge);
    EXPECT_FALSE(o);
    ASSERT_EQ(o.messages.size(), 1u);
    EXPECT_EQ(o.messages[0].problem, CalcProblem::NotANumber);
    EXPECT_NE(o.messages[0].text.find("abc"), std::string::npos);
    EXPECT_EQ(o.refused, E::WGS84Z);
    EXPECT_TRUE(f.calc.text(E::WGS84f).empty());

    f.calc.setText(E::WGS84Z, "");
    EXPECT_FALSE(f.calc.enabled(B::SBWGS84ge));

    // SpeedButton11 follows the group that changed last.
    f.set3(E::TM87E, "400000", "4200000", "100");
    EXPECT_TRUE(f.calc.enabled(B::SpeedButton11));
    f.calc.setText(E::EGSA87f, "38");
    EXPECT_FALSE(f.calc.enabled(B::SpeedButton11));
    EXPECT_TRUE(f.calc.enabled(B::SBTM87HATT));
}

TEST(Calculator, ChainThereAndBackReturnsTheStartWithinTheDisplayedDecimals)
{
    Fixture f;
    f.set3(E::WGS84f, "38.153012300", "23.451234500", "150.0000");
    ASSERT_TRUE(f.calc.enabled(B::SBWGS84eEGSA87e));
    ASSERT_TRUE(f.calc.convert(B::SBWGS84eEGSA87e));
    // Every step wrote its group with its decimals.
    EXPECT_FALSE(f.calc.text(E::WGS84X).empty());
    EXPECT_FALSE(f.calc.text(E::EGSA87X).empty());
    const std::string ef = f.calc.text(E::EGSA87f);
    EXPECT_EQ(ef.size() - ef.find('.') - 1, 9u);
    EXPECT_NE(f.calc.text(E::EGSA87f), "38.153012300");  // the datum shift moved it

    // Completing the EGSA87 ellipsoidal group filled the undulation.
    EXPECT_FALSE(f.calc.text(E::EditApoxhEGSA).empty());

    f.set3(E::WGS84f, "", "", "");
    ASSERT_TRUE(f.calc.convert(B::SBEGSA87eWGS84e));
    EXPECT_NEAR(f.num(E::WGS84f), 38.1530123, 2e-9);
    EXPECT_NEAR(f.num(E::WGS84l), 23.4512345, 2e-9);
    EXPECT_NEAR(f.num(E::WGS84h), 150.0, 2e-3);
}

TEST(Calculator, UndulationFollowsTheEllipsoidalGroupUntilItChanges)
{
    Fixture f;
    f.set3(E::EGSA87f, "38.0", "23.3", "100");
    const std::string model = f.calc.text(E::EditApoxhEGSA);
    ASSERT_FALSE(model.empty());
    f.calc.setText(E::EditApoxhEGSA, "12.5");
    f.calc.setText(E::TM87E, "1");  // another group: undulation stays
    EXPECT_EQ(f.calc.text(E::EditApoxhEGSA), "12.5");
    f.calc.setText(E::EGSA87h, "101");
    EXPECT_EQ(f.calc.text(E::EditApoxhEGSA), model);

    // TM87 heights use that undulation: H = h - N.
    ASSERT_TRUE(f.calc.convert(B::SBEGSAeTM));
    EXPECT_NEAR(f.num(E::TM87H), 101 - std::stod(model), 1e-4);
}

TEST(Calculator, IdentityTransformationCopiesTM87)
{
    Fixture f;
    f.set3(E::TM87E, "476543.1234", "4212345.5678", "321.0000");
    ASSERT_TRUE(f.calc.convert(B::SBTM87TM87m));
    EXPECT_EQ(f.calc.text(E::TM87Em), "476543.1234");
    EXPECT_EQ(f.calc.text(E::TM87Nm), "4212345.5678");
    EXPECT_EQ(f.calc.text(E::TM87Hm), "321.0000");
    EXPECT_TRUE(f.calc.enabled(B::SBTM87mHATT));

    // A shifted transformation is undone by the way back.
    f.tr = Transformation(SimilarityParameters{1, 0, 0, 0, 10, -5, 0});
    ASSERT_TRUE(f.calc.convert(B::SBTM87TM87m));
    EXPECT_EQ(f.calc.text(E::TM87Em), "476553.1234");
    f.set3(E::TM87E, "", "", "");
    ASSERT_TRUE(f.calc.convert(B::SBTM87mTM87));
    EXPECT_EQ(f.calc.text(E::TM87E), "476543.1234");
    EXPECT_EQ(f.calc.text(E::TM87N), "4212345.5678");
}

TEST(Calculator, HattRoundTripAndSheetSelection)
{
    Fixture f;
    f.calc.initHattUndulation();
    EXPECT_EQ(f.calc.text(E::EditApoxhHATT), "-2.50");
    f.calc.setText(E::EditApoxhEGSA, "30");
    // A point near Thessaloniki.
    f.set3(E::TM87E, "410000.0000", "4500000.0000", "50.0000");
    ASSERT_TRUE(f.calc.convert(B::SBTM87HATT));
    // The chain rewrote the EGSA87 ellipsoidal and geocentric groups too.
    EXPECT_FALSE(f.calc.text(E::EGSA87f).empty());
    EXPECT_FALSE(f.calc.text(E::EGSA87X).empty());
    EXPECT_GE(f.calc.sheetRow(), 0);
    EXPECT_GE(f.calc.sheetCol(), 0);
    EXPECT_LT(std::fabs(f.num(E::HATTx)), 30000.0);  // near the sheet centre
    EXPECT_LT(std::fabs(f.num(E::HATTy)), 30000.0);

    // The way back lands on the start (undulations kept the same).
    const std::string x = f.calc.text(E::HATTx);
    f.calc.setText(E::EditApoxhEGSA, "30");
    f.set3(E::TM87E, "", "", "");
    ASSERT_TRUE(f.calc.convert(B::SBHATTTM87));
    EXPECT_NEAR(f.num(E::TM87E), 410000.0, 0.01);
    EXPECT_NEAR(f.num(E::TM87N), 4500000.0, 0.01);
    EXPECT_NEAR(f.num(E::TM87H), 50.0, 0.01);
}

TEST(Calculator, AreasAndSheets)
{
    Fixture f;
    EXPECT_STREQ(HattAreas[0].name, "AVDIRA");
    EXPECT_STREQ(HattAreas[kHattAreaCount - 1].name, "PSACHNA-LIMNI");
    int thessaloniki = -1, megisti = -1;
    for (int k = 0; k < kHattAreaCount; ++k) {
        // Every centre lies on the sheet grid.
        const double i = (HattAreas[k].phi - 34.75) * 2, j = (HattAreas[k].lambdaFromAthens + 4.25) * 2;
        EXPECT_EQ(i, std::round(i)) << HattAreas[k].name;
        EXPECT_EQ(j, std::round(j)) << HattAreas[k].name;
        if (std::string(HattAreas[k].name) == "THESSALONIKI") thessaloniki = k;
        if (std::string(HattAreas[k].name) == "N.MEGISTI(KASTELORIZO)") megisti = k;
    }
    ASSERT_GE(thessaloniki, 0);
    f.calc.selectHattArea(thessaloniki);
    EXPECT_EQ(f.calc.sheetRow(), 12);
    EXPECT_EQ(f.calc.sheetCol(), 7);

    f.calc.setSheet(0, 0);
    EXPECT_EQ(f.calc.area(), -1);
    f.calc.setSheet(12, 7);
    EXPECT_EQ(f.calc.area(), thessaloniki);

    // Shared centres select the first row with that centre.
    f.calc.selectHattArea(megisti);
    EXPECT_EQ(f.calc.sheetCol(), -1);  // beyond the 19 columns
    int symi = -1, syrna = -1;
    for (int k = 0; k < kHattAreaCount; ++k) {
        if (std::string(HattAreas[k].name) == "SYMI") symi = k;
        if (std::string(HattAreas[k].name) == "SYRNA") syrna = k;
    }
    f.calc.selectHattArea(syrna);
    f.calc.setSheet(f.calc.sheetRow(), f.calc.sheetCol());
    EXPECT_EQ(f.calc.area(), symi);

    // HATT to TM87 without a sheet is refused with a message.
    f.calc.setSheet(-1, -1);
    f.set3(E::HATTx, "100", "100", "10");
    f.calc.setText(E::EditApoxhEGSA, "30");
    const CalcOutcome o = f.calc.convert(B::SBHATTTM87);
    EXPECT_FALSE(o);
    ASSERT_EQ(o.messages.size(), 1u);
    EXPECT_EQ(o.messages[0].problem, CalcProblem::NoSheet);
    EXPECT_EQ(o.messages[0].text, "Επιλέξτε πρώτα το φύλλο χάρτη HATT");
    EXPECT_EQ(o.refused, E::Count);
    EXPECT_TRUE(f.calc.text(E::TM87E).empty());
}

TEST(Calculator, LoadingFromRecordsAndReformatting)
{
    Fixture f;
    f.set3(E::TM87Em, "1", "2", "3");
    f.set3(E::HATTx, "1", "2", "3");
    f.calc.setSheet(12, 7);

    f.calc.loadNetworkPoint(4600000.12346, 2000000, 4100000, 35.5, InputForm::Geocentric);
    EXPECT_EQ(f.calc.text(E::WGS84X), "4600000.1235");
    EXPECT_EQ(f.calc.text(E::EditApoxhEGSA), "35.5");
    EXPECT_TRUE(f.calc.text(E::WGS84f).empty());
    EXPECT_TRUE(f.calc.text(E::TM87Em).empty());
    EXPECT_TRUE(f.calc.text(E::HATTy).empty());
    EXPECT_EQ(f.calc.sheetRow(), -1);
    EXPECT_EQ(f.calc.area(), -1);
    EXPECT_FALSE(f.calc.enabled(B::SBHATTTM87));

    f.calc.loadNetworkPoint(38.15, 23.4, 120, 0, InputForm::Ellipsoidal);
    EXPECT_TRUE(f.calc.text(E::WGS84X).empty());
    EXPECT_EQ(f.calc.text(E::WGS84f), "38.150000000");
    EXPECT_EQ(f.calc.text(E::WGS84h), "120.0000");

    f.calc.loadReferencePoint(476000, 4200000, 12.5, 33.2);
    EXPECT_TRUE(f.calc.text(E::WGS84f).empty());
    EXPECT_EQ(f.calc.text(E::TM87E), "476000.0000");
    EXPECT_EQ(f.calc.text(E::EditApoxhEGSA), "33.2");

    // Leaving an edit reformats its number with its decimals.
    f.numbers.DMSDecimals[NumberDestination::Screen] = 5;
    f.calc.setText(E::EGSA87f, "38.1");
    f.calc.exitEdit(E::EGSA87f);
    EXPECT_EQ(f.calc.text(E::EGSA87f), "38.10000");
    f.calc.setText(E::HATTx, "12");
    f.calc.exitEdit(E::HATTx);
    EXPECT_EQ(f.calc.text(E::HATTx), "12.0000");
    f.calc.setText(E::WGS84h, "");
    f.calc.exitEdit(E::WGS84h);
    EXPECT_TRUE(f.calc.text(E::WGS84h).empty());
}

// A C-locale system under the Greek display separators: the undulation the
// calculator writes into its edit is read back as the same number, so
// h = H + N, not H + 10·N.
TEST(Calculator, UndulationsWrittenAreReadBackUnchanged)
{
    Fixture f;
    f.numbers.DecimalSeparators = {',', ',', ','};
    f.numbers.ThousandSeparators = {'.', '.', '.'};
    f.numbers.EGSA87Decimals = {3, 3, 3};
    f.text.setDisplay({',', '.'});
    f.calc.loadReferencePoint(476000, 4200000, 631.46, 1.9);
    EXPECT_EQ(f.calc.text(E::EditApoxhEGSA), "1,9");
    ASSERT_TRUE(f.calc.convert(B::SBTM87EGSAe));
    EXPECT_EQ(f.calc.text(E::EGSA87h), "633,360");

    // Completing the ellipsoidal group filled the undulation from the geoid
    // model, with a decimal comma; the way back to TM87 subtracts that.
    std::string u = f.calc.text(E::EditApoxhEGSA);
    ASSERT_NE(u.find(','), std::string::npos) << u;
    u[u.find(',')] = '.';
    ASSERT_TRUE(f.calc.convert(B::SBEGSAeTM));
    std::string H = f.calc.text(E::TM87H);
    H[H.find(',')] = '.';
    EXPECT_NEAR(std::stod(H), 633.36 - std::stod(u), 0.0011);

    // The typed text "1.9" (the system's way) is 1.9 too, not 19.
    f.calc.loadReferencePoint(476000, 4200000, 631.46, 0);
    f.calc.setText(E::EditApoxhEGSA, "1.9");
    ASSERT_TRUE(f.calc.convert(B::SBTM87EGSAe));
    EXPECT_EQ(f.calc.text(E::EGSA87h), "633,360");
}

TEST(Calculator, PackedResultsCarryRoundedSeconds)
{
    Fixture f;
    // 38° 00' 00" exactly, reached through TM87: the seconds come back as
    // 59.99999...", which must show as 38.000000000, not 37.596000000.
    f.calc.setText(E::EditApoxhEGSA, "0");
    f.set3(E::EGSA87f, "38.000000000", "23.000000000", "100");
    ASSERT_TRUE(f.calc.convert(B::SBEGSAeTM));
    ASSERT_TRUE(f.calc.convert(B::SBTM87EGSAe));
    EXPECT_EQ(f.calc.text(E::EGSA87f), "38.000000000");
    EXPECT_EQ(f.calc.text(E::EGSA87l), "23.000000000");
    // A point loaded from the network, and an edit left, the same way.
    f.calc.loadNetworkPoint(37.5959999999, 23.2959999999, 100, 0, InputForm::Ellipsoidal);
    EXPECT_EQ(f.calc.text(E::WGS84f), "38.000000000");
    EXPECT_EQ(f.calc.text(E::WGS84l), "23.300000000");
    f.calc.setText(E::WGS84f, "21.5959999999");
    ASSERT_TRUE(f.calc.exitEdit(E::WGS84f));
    EXPECT_EQ(f.calc.text(E::WGS84f), "22.000000000");
}

TEST(Calculator, GeoidMarkerFillsTheEllipsoidalEditsFirst)
{
    // The ellipsoidal edits as typed.
    Fixture f;
    f.set3(E::EGSA87f, "38.000000000", "23.300000000", "100");
    Extended phi = 0, lambda = 0;
    ASSERT_TRUE(f.calc.geoidMarker(phi, lambda));
    EXPECT_NEAR(double(phi * 180 / 3.14159265358979323846L), 38.0, 1e-12);
    EXPECT_NEAR(double(lambda * 180 / 3.14159265358979323846L), 23.5, 1e-12);

    // Only TM87: converted to the ellipsoidal edits first.
    Fixture g;
    g.set3(E::TM87E, "476543.1234", "4212345.5678", "321");
    ASSERT_TRUE(g.calc.geoidMarker(phi, lambda));
    EXPECT_FALSE(g.calc.text(E::EGSA87f).empty());
    const Extended tmPhi = phi, tmLambda = lambda;
    EXPECT_GT(double(phi), 0.65);  // about 38° N

    // Only the transformed TM87 (shifted by the transformation): back
    // through TM87 to the same place, never to 0, 0.
    Fixture h;
    h.tr = Transformation(SimilarityParameters{1, 0, 0, 0, 10, -5, 0});
    h.set3(E::TM87Em, "476553.1234", "4212340.5678", "321");
    ASSERT_TRUE(h.calc.geoidMarker(phi, lambda));
    EXPECT_EQ(h.calc.text(E::TM87E), "476543.1234");
    EXPECT_NEAR(double(phi), double(tmPhi), 1e-12);
    EXPECT_NEAR(double(lambda), double(tmLambda), 1e-12);

    // Nothing to go on: no marker, no message.
    Fixture n;
    CalcOutcome o = n.calc.geoidMarker(phi, lambda);
    EXPECT_FALSE(o);
    EXPECT_TRUE(o.messages.empty());
    // Text that is no number: the conversion's message, no marker.
    n.set3(E::TM87E, "abc", "4212345", "1");
    o = n.calc.geoidMarker(phi, lambda);
    EXPECT_FALSE(o);
    EXPECT_EQ(o.messages.size(), 1u);

    // A transformation that cannot be undone: the solver's message, and the
    // values pass unchanged.
    Fixture z;
    z.tr = Transformation(SimilarityParameters{0, 0, 0, 0, 0, 0, 0});
    z.set3(E::TM87Em, "476553.1234", "4212340.5678", "321");
    o = z.calc.convert(B::SBTM87mTM87);
    EXPECT_TRUE(o);
    ASSERT_EQ(o.messages.size(), 1u);
    EXPECT_EQ(o.messages[0].problem, CalcProblem::Singular);
    EXPECT_EQ(o.messages[0].text, messageText(MatrixError::NotIndependent));
    EXPECT_EQ(z.calc.text(E::TM87E), "476553.1234");
}
