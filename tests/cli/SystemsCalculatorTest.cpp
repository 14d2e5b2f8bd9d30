// The calculator's second page against "korthal-cli convert": the same point
// typed into one group gives, in every other group, the numbers the command
// writes for that pair of forms, digit for digit; and the published examples
// (the HEPOS manual's point, the sheet "Αλεξάνδρεια") come out of it.

#include "geodesy/DatumShift.h"
#include "geodesy/HattSheets.h"
#include "network/SystemsCalculator.h"
#include "support/RunCli.h"
#include "tools/cli/CliSupport.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace {

using namespace korthal;
using korthal::test::CliResult;
using korthal::test::runCli;

// The forms of korthal-cli convert, in the order of SysGroup.
const char* const kForms[kSysGroupCount] = {
    "htrs07-geo", "htrs07-xyz", "tm07",       "tm3-west", "tm3-central",
    "tm3-east",   "utm34-ed50", "utm35-ed50", "hatt-okxe", "tm87",
    "egsa87-geo", "wgs84-geo",  "wgs84-xyz"};

// The page's edits with the command's separators (point, no grouping).
std::string plain(std::string s)
{
    std::erase(s, ',');
    return s;
}

std::vector<std::string> words(const std::string& line)
{
    std::vector<std::string> out;
    std::istringstream s(line);
    for (std::string w; s >> w;)
        out.push_back(w);
    return out;
}

struct Case {
    SysGroup from;
    const char* point;  // three numbers as typed
    int sheetNumber;    // the sheet picked, 0: found from the point
    // The published values of one other group, with their tolerance.
    SysGroup checked;
    double want[2];
    double tolerance;
};

struct Fixture {
    NumberText text{Separators{'.', ','}};
    NumberSettings numbers;
    // The shifts the command line takes without a settings file.
    DatumShiftTable shifts = [] {
        std::string error;
        return *cli::shiftTable(std::nullopt, error);
    }();
    SystemsCalculator calc{SystemsContext{&text, &numbers, &shifts}};
};

}  // namespace

TEST(SystemsCalculator, EveryGroupAsTheCommandLineConvertsIt)
{
    const Case cases[] = {
        // The HEPOS manual: TM07 566 446.108, 2 529 618.096 → TM87 to 1 mm.
        {SysGroup::TM07, "566446.108 2529618.096 51.610", 0, SysGroup::EGSA87TM87,
         {566296.537, 4529332.307}, 0.001},
        // The sheet "Αλεξάνδρεια" (number 26): x, y → TM87 to 1 cm.
        {SysGroup::HattSheet, "-16997.09 -14277.15 120", 26, SysGroup::EGSA87TM87,
         {353310.92, 4497950.95}, 0.01},
        // And back from TM87, the sheet found from the point.
        {SysGroup::EGSA87TM87, "353310.92 4497950.95 120", 0, SysGroup::HattSheet,
         {-16997.09, -14277.15}, 0.01},
        // Athens in the central TM3 zone, Rhodes in UTM 35, Athens in HTRS07.
        {SysGroup::TM3Central, "200895.914 443071.668 100", 0, SysGroup::Count, {}, 0},
        {SysGroup::UTM35ED50, "431154.247 4028433.818 50", 0, SysGroup::Count, {}, 0},
        {SysGroup::HTRS07Xyz, "4607420.558 2025237.044 3905083.663", 0, SysGroup::Count, {}, 0},
    };
    for (const Case& c : cases) {
        Fixture f;
        const std::vector<std::string> in = words(c.point);
        for (int k = 0; k < 3; ++k)
            f.calc.setText(c.from, k, in[static_cast<std::size_t>(k)]);
        if (c.sheetNumber)
            f.calc.chooseSheet(HattSheets::builtIn().withNumber(c.sheetNumber).at(0));
        const SysOutcome r = f.calc.convertFrom(c.from);
        const std::string from = kForms[static_cast<int>(c.from)];
        ASSERT_TRUE(r.converted) << from;
        EXPECT_TRUE(r.messages.empty()) << from << ": " << r.messages.front();

        const std::string sheet =
            c.sheetNumber ? " --sheet " + std::to_string(c.sheetNumber) : std::string();
        for (int g = 0; g < kSysGroupCount; ++g) {
            const auto to = static_cast<SysGroup>(g);
            if (to == c.from)
                continue;
            const CliResult cli = runCli("convert " + from + " " + kForms[g] + sheet,
                                         std::string(c.point) + "\n");
            ASSERT_EQ(cli.status, 0) << from << " → " << kForms[g] << ": " << cli.err;
            const std::vector<std::string> want = words(cli.out);
            ASSERT_GE(want.size(), 3u) << cli.out;
            for (int k = 0; k < 3; ++k)
                EXPECT_EQ(plain(f.calc.text(to, k)), want[static_cast<std::size_t>(k)])
                    << from << " → " << kForms[g] << " [" << k << "]";
            if (to == SysGroup::HattSheet) {
                ASSERT_GE(f.calc.sheet(), 0);
                EXPECT_EQ(want.at(3), HattSheets::builtIn()[f.calc.sheet()].name);
            }
        }
        if (c.checked != SysGroup::Count) {
            for (int k = 0; k < 2; ++k)
                EXPECT_NEAR(std::stod(plain(f.calc.text(c.checked, k))), c.want[k], c.tolerance)
                    << from;
        }
    }
}

TEST(SystemsCalculator, RefusalsAndWarningsInGreek)
{
    {
        // Not a number: nothing written, the edit named.
        Fixture f;
        f.calc.setText(SysGroup::EGSA87TM87, 0, "353310.92");
        f.calc.setText(SysGroup::EGSA87TM87, 1, "45x");
        f.calc.setText(SysGroup::EGSA87TM87, 2, "0");
        const SysOutcome r = f.calc.convertFrom(SysGroup::EGSA87TM87);
        EXPECT_FALSE(r.converted);
        EXPECT_EQ(r.refusedGroup, SysGroup::EGSA87TM87);
        EXPECT_EQ(r.refusedEdit, 1);
        ASSERT_EQ(r.messages.size(), 1u);
        EXPECT_NE(r.messages[0].find("45x"), std::string::npos) << r.messages[0];
        EXPECT_TRUE(f.calc.text(SysGroup::TM07, 0).empty());
    }
    {
        // HATT without a sheet (none picked, none found yet).
        Fixture f;
        for (int k = 0; k < 3; ++k)
            f.calc.setText(SysGroup::HattSheet, k, "1000");
        const SysOutcome r = f.calc.convertFrom(SysGroup::HattSheet);
        EXPECT_FALSE(r.converted);
        EXPECT_EQ(r.messages, std::vector<std::string>{kNoSheetText});
    }
    {
        // West of the HEPOS grid: the other systems converted, HTRS07 and
        // TM07 left empty, and said.
        Fixture f;
        for (int k = 0; k < 3; ++k)
            f.calc.setText(SysGroup::TM07, k, "stale");
        f.calc.setText(SysGroup::EGSA87TM87, 0, "30000");
        f.calc.setText(SysGroup::EGSA87TM87, 1, "4400000");
        f.calc.setText(SysGroup::EGSA87TM87, 2, "0");
        const SysOutcome r = f.calc.convertFrom(SysGroup::EGSA87TM87);
        EXPECT_TRUE(r.converted);
        // (and, out in the sea, how far the nearest sheet is)
        ASSERT_GE(r.messages.size(), 1u);
        EXPECT_EQ(r.messages[0], kOutsideHeposText);
        for (SysGroup g : {SysGroup::HTRS07Geo, SysGroup::HTRS07Xyz, SysGroup::TM07})
            EXPECT_TRUE(f.calc.text(g, 0).empty());
        EXPECT_FALSE(f.calc.text(SysGroup::TM3West, 0).empty());
        // From TM07 out there nothing is reached beyond the grid: nothing
        // is written.
        f.calc.setText(SysGroup::TM07, 0, "30000");
        f.calc.setText(SysGroup::TM07, 1, "2400000");
        f.calc.setText(SysGroup::TM07, 2, "0");
        const std::string before = f.calc.text(SysGroup::TM3West, 0);
        const SysOutcome back = f.calc.convertFrom(SysGroup::TM07);
        EXPECT_FALSE(back.converted);
        EXPECT_EQ(back.messages, std::vector<std::string>{kOutsideHeposText});
        EXPECT_EQ(f.calc.text(SysGroup::TM3West, 0), before);
    }
    {
        // 50 km south of sheet 26: converted, and the distance said.
        Fixture f;
        f.calc.chooseSheet(HattSheets::builtIn().withNumber(26).at(0));
        f.calc.setText(SysGroup::HattSheet, 0, "-16997.09");
        f.calc.setText(SysGroup::HattSheet, 1, "-64277.15");
        f.calc.setText(SysGroup::HattSheet, 2, "0");
        const SysOutcome r = f.calc.convertFrom(SysGroup::HattSheet);
        EXPECT_TRUE(r.converted);
        ASSERT_EQ(r.messages.size(), 1u);
        EXPECT_EQ(r.messages[0].rfind("Το σημείο βρίσκεται ", 0), 0u) << r.messages[0];
        EXPECT_NE(r.messages[0].find(" km έξω από το φύλλο Αλεξάνδρεια"), std::string::npos)
            << r.messages[0];
        EXPECT_FALSE(f.calc.text(SysGroup::EGSA87TM87, 0).empty());
    }
}
