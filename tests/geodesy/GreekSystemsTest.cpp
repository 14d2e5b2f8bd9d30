// The HEPOS model and the HATT sheet polynomials against the values their
// publishers quote (data/greek-systems/SOURCES.md), and the grid reader.

#include "geodesy/CorrectionGrid.h"
#include "geodesy/HattSheets.h"
#include "geodesy/HeposModel.h"
#include "support/Files.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

using namespace korthal;

namespace {

double d(Extended x)
{
    return static_cast<double>(x);
}

// A point inside sheet s's outline, as x, y on that sheet.
std::pair<double, double> pointInside(const HattSheets& sheets, int s)
{
    for (double y = -66000; y <= 66000; y += 1000)
        for (double x = -66000; x <= 66000; x += 1000)
            if (sheets.metresOutside(s, x, y) == 0)
                return {x, y};
    ADD_FAILURE() << "no point inside " << sheets[s].name;
    return {0, 0};
}

}  // namespace

TEST(HeposModel, ManualPointBothWaysToAMillimetre)
{
    // The HEPOS manual: TM07 E, N, HTRS07 h and TM87 E, N, GGRS87 h.
    const HeposModel& m = HeposModel::builtIn();
    const HeposPoint<Extended> f = m.toTM87<Extended>(566446.108L, 2529618.096L, 51.610L);
    ASSERT_EQ(f.status, HeposStatus::Ok);
    EXPECT_NEAR(d(f.E), 566296.537, 0.001);
    EXPECT_NEAR(d(f.N), 4529332.307, 0.001);
    EXPECT_NEAR(d(f.h), 6.501, 0.001);
    EXPECT_NEAR(d(f.dE), -0.122, 0.0005);  // quoted to the millimetre
    EXPECT_NEAR(d(f.dN), -0.184, 0.0005);

    const HeposPoint<Extended> b = m.toTM07<Extended>(566296.537L, 4529332.307L, 6.501L);
    ASSERT_EQ(b.status, HeposStatus::Ok);
    EXPECT_NEAR(d(b.E), 566446.108, 0.001);
    EXPECT_NEAR(d(b.N), 2529618.096, 0.001);
    EXPECT_NEAR(d(b.h), 51.610, 0.001);

    // There and back anywhere on the grid, in both floating types.
    for (double E = 100000; E < 880000; E += 97000)
        for (double N = 1900000; N < 2650000; N += 83000) {
            const HeposPoint<double> t = m.toTM87<double>(E, N, 300);
            const HeposPoint<double> back = m.toTM07<double>(t.E, t.N, t.h);
            EXPECT_NEAR(back.E, E, 1e-6);
            EXPECT_NEAR(back.N, N, 1e-6);
            EXPECT_NEAR(back.h, 300, 1e-6);
            EXPECT_NEAR(d(m.toTM87<Extended>(E, N, 300).E), t.E, 1e-8);
        }
}

TEST(HeposModel, GridNodesAsPublishedAndNothingBeyond)
{
    // Node values in cm, to 0.01 cm: row from the south, column from the west.
    struct Node {
        int row, column;
        double east, north;
    };
    const Node nodes[] = {{0, 0, -33.20, -38.75},
                          {0, 1, -33.14, -37.71},
                          {406, 420, 142.10, -108.27},
                          {407, 421, 143.45, -109.89}};
    const HeposModel& m = HeposModel::builtIn();
    ASSERT_EQ(m.eastGrid().rows(), 408);
    ASSERT_EQ(m.eastGrid().columns(), 422);
    for (const Node& n : nodes) {
        EXPECT_NEAR(m.eastGrid().node(n.row, n.column) * 100, n.east, 1e-4) << n.row;
        EXPECT_NEAR(m.northGrid().node(n.row, n.column) * 100, n.north, 1e-4) << n.row;
        // Interpolated on the node itself, the node's value.
        const auto cell =
            m.eastGrid().locate<double>(41600 + 2000.0 * n.column, 1845619 + 2000.0 * n.row);
        ASSERT_TRUE(cell.inside);
        EXPECT_NEAR(m.northGrid().interpolate(cell) * 100, n.north, 1e-9);
    }
    // Just outside each edge: refused, not extrapolated.
    const double west = 41600, south = 1845619, east = west + 421 * 2000.0,
                 north = south + 407 * 2000.0;
    for (const auto& [E, N] :
         {std::pair{west - 0.01, 2e6}, std::pair{east + 0.01, 2e6},
          std::pair{400000.0, south - 0.01}, std::pair{400000.0, north + 0.01}})
        EXPECT_EQ(m.toTM87<double>(E, N, 0).status, HeposStatus::OutsideGrid) << E << ' ' << N;
    EXPECT_EQ(m.toTM87<double>(east, north, 0).status, HeposStatus::Ok);
    EXPECT_EQ(outsideGridMessage("Σ12"),
              "Το σημείο Σ12 βρίσκεται έξω από τον κάναβο διορθώσεων του μοντέλου HEPOS");
}

TEST(CorrectionGrid, ReadsThePublishedFilesAndRefusesCorruptOnesByLine)
{
    // The files read as the built-in grid.
    const std::string dir = std::string(KORTHAL_SOURCE_DIR) + "/data/greek-systems/";
    GridReadError error;
    const auto east = parseCorrectionGrid(test::readBytes(dir + "east.grd"), error);
    ASSERT_TRUE(east) << error.message("east.grd");
    const CorrectionGrid& built = HeposModel::builtIn().eastGrid();
    ASSERT_TRUE(east->sameLayout(built));
    for (int r = 0; r < built.rows(); r += 37)
        for (int c = 0; c < built.columns(); c += 41)
            EXPECT_NEAR(east->node(r, c), built.node(r, c), 1e-12);

    // A corrupt text is refused at its line.
    const std::string good = "3\n2\n2000\n100\n200\n1 2\n3 4 \r\n5 6";
    ASSERT_TRUE(parseCorrectionGrid(good, error)) << error.reason;
    struct Bad {
        std::string text;
        int line;
    };
    const Bad bad[] = {
        {"", 1},
        {"3\nx\n2000\n100\n200\n1 2\n3 4\n5 6\n", 2},
        {"3\n2\n2000\n100\n200 300\n1 2\n3 4\n5 6\n", 5},
        {"3\n2\n-5\n100\n200\n1 2\n3 4\n5 6\n", 3},
        {"3\n1\n2000\n100\n200\n1\n3\n5\n", 2},
        {"99999\n2\n2000\n100\n200\n1 2\n", 1},
        {"3\n2\n2000\n100\n200\n1 2\n3\n5 6\n", 7},
        {"3\n2\n2000\n100\n200\n1 2\n3 4 4\n5 6\n", 7},
        {"3\n2\n2000\n100\n200\n1 2\n3 4,5\n5 6\n", 7},
        {"3\n2\n2000\n100\n200\n1 2\n3 nan\n5 6\n", 7},
        {"3\n2\n2000\n100\n200\n1 2\n3 4\n", 8},
        {"3\n2\n2000\n100\n200\n1 2\n3 4\n5 6\n\n7 8\n", 10},
    };
    for (const Bad& b : bad) {
        EXPECT_FALSE(parseCorrectionGrid(b.text, error)) << b.text;
        EXPECT_EQ(error.line, b.line) << b.text << " → " << error.reason;
    }
    EXPECT_EQ((GridReadError{7, "λόγος"}.message("east.grd")),
              "Το αρχείο \"east.grd\" δεν διαβάζεται: γραμμή 7: λόγος");
}

TEST(HattSheets, PublishedExampleAndEverySheetThereAndBack)
{
    const HattSheets& sheets = HattSheets::builtIn();
    ASSERT_EQ(sheets.size(), 390u);
    const int alex = sheets.withName("Αλεξάνδρεια");
    ASSERT_GE(alex, 0);
    EXPECT_EQ(sheets[alex].number, 26);
    EXPECT_EQ(sheets[alex].id, 27);
    const auto t = sheets.toTM87<Extended>(alex, -16997.09L, -14277.15L);
    EXPECT_NEAR(d(t.E), 353310.92, 0.01);
    EXPECT_NEAR(d(t.N), 4497950.95, 0.01);

    // On every sheet, at points of a 3 km grid inside its outline: forward
    // then inverse gives x, y back within a millimetre.
    int iterated = 0;
    for (std::size_t s = 0; s < sheets.size(); ++s) {
        const int sheet = static_cast<int>(s);
        int inside = 0;
        for (double x = -66000; x <= 66000; x += 3000)
            for (double y = -66000; y <= 66000; y += 3000) {
                if (sheets.metresOutside(sheet, x, y) > 0)
                    continue;
                ++inside;
                const auto en = sheets.toTM87<Extended>(sheet, x, y);
                const auto xy = sheets.fromTM87<Extended>(sheet, en.E, en.N);
                EXPECT_NEAR(d(xy.x), x, 0.001) << sheets[sheet].name;
                EXPECT_NEAR(d(xy.y), y, 0.001) << sheets[sheet].name;
                iterated += xy.iterated;
            }
        EXPECT_GE(inside, 6) << sheets[sheet].name;
    }
    EXPECT_GT(iterated, 0);  // the published inverse alone would not do
}

TEST(HattSheets, NamesNumbersAndTheSheetOfAPoint)
{
    const HattSheets& sheets = HattSheets::builtIn();
    const int alex = sheets.withName("Αλεξάνδρεια");
    // Accents, case, blanks and marks do not matter; a number names its sheet.
    for (const char* name : {"ΑΛΕΞΑΝΔΡΕΙΑ", "αλεξανδρεια", "Αλεξάνδρεια ", "26"})
        EXPECT_EQ(sheets.named(name), std::vector<int>{alex}) << name;
    EXPECT_EQ(sheets.named("αγ νικολαος βορ").size(), 1u);
    EXPECT_TRUE(sheets.named("Αλεξανδρια").empty());
    EXPECT_TRUE(sheets.named("999").empty());
    EXPECT_EQ(sheets.nearestNames("Αλεξανδρια", 3).at(0), "Αλεξάνδρεια");

    // Three numbers stand for two sheets each; a point takes the one that
    // holds it, given by its x, y or by TM87 E, N.
    for (const int number : {8, 77, 311}) {
        const std::vector<int> two = sheets.withNumber(number);
        ASSERT_EQ(two.size(), 2u) << number;
        for (const int s : two) {
            const auto [x, y] = pointInside(sheets, s);
            EXPECT_EQ(sheets.sheetOfHatt(two, x, y).sheet, s) << sheets[s].name;
            const auto en = sheets.toTM87<double>(s, x, y);
            EXPECT_EQ(sheets.sheetOfTM87(en.E, en.N).sheet, s) << sheets[s].name;
        }
    }
    const SheetFound a = sheets.sheetOfTM87(353310.92, 4497950.95);
    EXPECT_EQ(a.sheet, alex);
    EXPECT_EQ(a.metresOutside, 0);
    // Far out at sea: the nearest sheet, and how far.
    const SheetFound sea = sheets.sheetOfTM87(300000, 3700000);
    EXPECT_GE(sea.sheet, 0);
    EXPECT_GT(sea.metresOutside, 20000);
}
