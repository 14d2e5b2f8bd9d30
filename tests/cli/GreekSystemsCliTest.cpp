// "korthal-cli convert" with the HEPOS model and the HATT sheet polynomials:
// the published examples, and what a user is told when a point or an
// argument does not fit.

#include "support/RunCli.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace {

using korthal::test::CliResult;
using korthal::test::runCli;

std::vector<double> numbers(const std::string& line)
{
    std::vector<double> out;
    std::istringstream s(line);
    for (double v; s >> v;)
        out.push_back(v);
    return out;
}

void expectNear(const std::string& line, const std::vector<double>& want, double tolerance)
{
    const std::vector<double> got = numbers(line);
    ASSERT_GE(got.size(), want.size()) << line;
    for (std::size_t k = 0; k < want.size(); ++k)
        EXPECT_NEAR(got[k], want[k], tolerance) << line;
}

const std::string kData = std::string(KORTHAL_SOURCE_DIR) + "/data/greek-systems/";

}  // namespace

TEST(CliGreekSystems, HeposManualPointBothWays)
{
    // The HEPOS manual: ellipsoidal heights on each side, so --undulation 0.
    const CliResult f =
        runCli("convert tm07 tm87 --undulation 0", "566446.108 2529618.096 51.610\n");
    ASSERT_EQ(f.status, 0) << f.err;
    expectNear(f.out, {566296.537, 4529332.307, 6.501}, 0.001);
    const CliResult b =
        runCli("convert tm87 tm07 --undulation 0", "566296.537 4529332.307 6.501\n");
    ASSERT_EQ(b.status, 0) << b.err;
    expectNear(b.out, {566446.108, 2529618.096, 51.610}, 0.001);

    // Outside the grid: named by its line, not converted; the rest is.
    const CliResult out =
        runCli("convert tm07 tm87", "566446.108 2529618.096 51.610\n30000 2529618.096 51.610\n");
    EXPECT_EQ(out.status, 1);
    EXPECT_EQ(numbers(out.out).size(), 3u);
    EXPECT_NE(out.err.find("line 2: the point lies outside the HEPOS correction grid"),
              std::string::npos)
        << out.err;
}

TEST(CliGreekSystems, GridFilesOfTheUser)
{
    const korthal::test::TempDir dir("grids");
    // The published files give what is built in.
    const std::string point = "566446.108 2529618.096 51.610\n";
    const CliResult builtIn = runCli("convert tm07 tm87", point);
    const CliResult files = runCli("convert tm07 tm87 --grid-east '" + kData +
                                       "east.grd' --grid-north '" + kData + "north.grd'",
                                   point);
    ASSERT_EQ(files.status, 0) << files.err;
    EXPECT_EQ(files.out, builtIn.out);

    // A grid whose seventh line lacks a value is refused with its name and line.
    std::string text = korthal::test::readBytes(kData + "east.grd");
    const std::size_t line7 = text.find('\n', text.find('\n', text.find("-33.20")) + 1);
    text.erase(line7 - 8, 7);
    const std::string bad = korthal::test::writeBytes(dir.file("bad.grd"), text);
    const CliResult r = runCli(
        "convert tm07 tm87 --grid-east '" + bad + "' --grid-north '" + kData + "north.grd'", point);
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(
        r.err.find("bad.grd\" δεν διαβάζεται: γραμμή 7: η γραμμή έχει 421 τιμές αντί για 422"),
        std::string::npos)
        << r.err;
    EXPECT_EQ(runCli("convert tm07 tm87 --grid-east '" + bad + "'", point).status, 2);
}

TEST(CliGreekSystems, SheetPolynomialsByNameNumberAndPoint)
{
    // The published example of sheet "Αλεξάνδρεια" (number 26), to 1 cm.
    const std::string hatt = "-16997.09 -14277.15 120\n";
    for (const char* sheet : {"Αλεξάνδρεια", "ΑΛΕΞΑΝΔΡΕΙΑ", "26"}) {
        const CliResult r =
            runCli(std::string("convert hatt-okxe tm87 --sheet '") + sheet + "'", hatt);
        ASSERT_EQ(r.status, 0) << sheet << r.err;
        expectNear(r.out, {353310.92, 4497950.95, 120}, 0.01);
    }
    // Without a sheet the point finds its own, named after the numbers.
    const CliResult found = runCli("convert tm87 hatt-okxe", "353310.92 4497950.95 120\n");
    ASSERT_EQ(found.status, 0) << found.err;
    expectNear(found.out, {-16997.09, -14277.15, 120}, 0.01);
    EXPECT_NE(found.out.find(" Αλεξάνδρεια\n"), std::string::npos) << found.out;

    // An unknown name: exit 2, named, with the nearest names.
    const CliResult unknown = runCli("convert hatt-okxe tm87 --sheet Αλεξανδρια", hatt);
    EXPECT_EQ(unknown.status, 2);
    EXPECT_NE(unknown.err.find("\"Αλεξανδρια\""), std::string::npos);
    EXPECT_NE(unknown.err.find("nearest names: Αλεξάνδρεια"), std::string::npos) << unknown.err;
    EXPECT_EQ(runCli("convert hatt-okxe tm87 --sheet 999", hatt).status, 2);
    EXPECT_EQ(runCli("convert hatt-okxe tm87", hatt).status, 2);

    // 40 km south of the sheet: converted, with a warning.
    const CliResult far = runCli("convert hatt-okxe tm87 --sheet 26", "-16997.09 -64277.15 0\n");
    EXPECT_EQ(far.status, 0);
    EXPECT_EQ(numbers(far.out).size(), 3u);
    EXPECT_NE(far.err.find("line 1: the point lies"), std::string::npos);
    EXPECT_NE(far.err.find("km outside the outline of sheet Αλεξάνδρεια"), std::string::npos)
        << far.err;

    // Number 8 stands for the northern and the southern part of Άγ. Νικόλαος:
    // each point takes the part that holds it.
    const CliResult north =
        runCli("convert tm87 hatt-okxe --sheet 'Άγ.Νικόλαος-Βόρ.'", "416000 4034000 0\n");
    const CliResult south =
        runCli("convert tm87 hatt-okxe --sheet 'Αγ Νικολαος Νοτ'", "416000 4018000 0\n");
    ASSERT_EQ(north.status, 0) << north.err;
    ASSERT_EQ(south.status, 0) << south.err;
    const CliResult both = runCli("convert hatt-okxe tm87 --sheet 8",
                                  north.out.substr(0, north.out.rfind(' ')) + "\n" +
                                      south.out.substr(0, south.out.rfind(' ')) + "\n");
    ASSERT_EQ(both.status, 0) << both.err;
    std::istringstream lines(both.out);
    std::string first, second;
    std::getline(lines, first);
    std::getline(lines, second);
    expectNear(first, {416000, 4034000, 0}, 0.001);
    expectNear(second, {416000, 4018000, 0}, 0.001);
}
