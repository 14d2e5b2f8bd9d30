#pragma once
// A document with reference points and a network measured with the EPSG
// datum relation, for the tests of the network computation.

#include "network/PointTables.h"
#include "project/Dialogs.h"
#include "project/Document.h"
#include "project/Settings.h"
#include "support/Files.h"
#include "tools/DemoData.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>

namespace korthal::testing {

// Reference points over about 10 km west of Larisa, heights 90..850 m.
inline std::vector<demo::SurveyPoint> trigPoints(std::mt19937_64* gen = nullptr)
{
    const double pts[][3] = {{389210.41, 4382140.27, 412.36}, {396540.88, 4383910.12, 655.02},
                             {392870.05, 4389020.66, 97.81},  {398120.73, 4390480.39, 248.19},
                             {386930.52, 4391630.84, 846.47}, {394410.19, 4386220.57, 311.73}};
    std::vector<demo::SurveyPoint> out;
    int i = 1;
    for (const auto& p : pts)
        out.push_back(demo::surveyPoint("Σ" + std::to_string(100 + i++), p[0], p[1], p[2], gen));
    return out;
}

class DocumentTest : public ::testing::Test {
protected:
    DocumentTest()
    {
        NumberSettings& ns = doc.settings().numbers;
        ns.DecimalSeparators = {',', '.', ','};
        ns.ThousandSeparators = {'.', '\0', '.'};
        ns.GPSDecimals = {4, 4, 4};
        ns.EGSA87Decimals = {4, 4, 4};
        doc.numbers().setDisplay(Separators{',', '.'});
        doc.settings().method = EstimationMethod::Similarity3D;
    }

    void addReference(const demo::SurveyPoint& p) { demo::appendReference(doc.GYS(), p); }

    // A network point named `name` (the name rule decides its kind) with its
    // measurement stored directly, without the entry rules.
    long long addMeasured(const std::string& name, double X, double Y, double Z)
    {
        MemTable& g = doc.GPS();
        g.append();
        doc.enterNetworkPointName(name);
        g.edit();
        g.set(gps::X, X);
        g.set(gps::Y, Y);
        g.set(gps::Z, Z);
        g.post();
        return g.asInteger(gps::ID);
    }

    double value(long long id, int field)
    {
        Rec r = doc.GPS().findID(id);
        return doc.GPS().getFloat(r, field);
    }

    RecordingDialogs dialogs;
    Document doc{Separators{'.', ','}};
    test::TempDir temp{"doc"};
    const std::filesystem::path& dir = temp.path;
};

}  // namespace korthal::testing
