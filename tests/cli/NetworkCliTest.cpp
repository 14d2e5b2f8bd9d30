// korthal-cli network, import and selftest on the demo working folder.

#include "support/RunCli.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using namespace korthal::test;

fs::path workDir()
{
    const fs::path d = scratchBase("net");
    fs::remove_all(d);
    fs::create_directories(d);
    return d;
}

// Runs korthal-cli in `dir` with the arguments (quoted for the shell).
CliResult cli(const fs::path& dir, const std::string& args)
{
    return runCli(args, {}, dir);
}

fs::path demoCopy()
{
    const fs::path d = workDir();
    for (const auto& e : fs::directory_iterator(fs::path(KORTHAL_SOURCE_DIR) / "examples" / "demo"))
        fs::copy_file(e.path(), d / e.path().filename());
    return d;
}

TEST(CliNetwork, DemoNetworkPrintsParametersResidualsAndListing)
{
    const fs::path d = demoCopy();
    CliResult r = cli(d, "network DEMO.WGS84");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("Σημεία αναφοράς του δικτύου: 6"), std::string::npos);
    EXPECT_NE(r.out.find("3-Δ  (επταπαραμετρικός)"), std::string::npos);
    EXPECT_NE(r.out.find("Ha = "), std::string::npos);
    EXPECT_NE(r.out.find("Σ110 "), std::string::npos);
    EXPECT_NE(r.out.find("Korthal"), std::string::npos);
    EXPECT_NE(r.out.find("Κ30 "), std::string::npos);
    EXPECT_EQ(r.err, "");

    // The method from the command line, and the listing into a file.
    r = cli(d, "network DEMO.WGS84 --method none --output LIST.TXT");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("Ea = Eb"), std::string::npos);
    EXPECT_EQ(r.out.find("Κ30 "), std::string::npos);
    const std::string file = readBytes(d / "LIST.TXT");
    EXPECT_NE(file.find("Korthal\r\n"), std::string::npos);
    EXPECT_NE(file.find("\xCA" "30 "), std::string::npos);  // Κ30 in code page 1253
}

TEST(CliNetwork, ImportReportsBadLinesAndWritesTheNetwork)
{
    const fs::path d = demoCopy();
    {
        std::ofstream list(d / "DEMO.TXT", std::ios::app | std::ios::binary);
        list << "BAD,4400000\r\n";
    }
    CliResult r = cli(d, "import DEMO.TXT --out NEW.WGS84");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("37"), std::string::npos) << r.err;  // the line number
    EXPECT_NE(r.out.find("36 points imported (6 reference points), 1 lines rejected"),
              std::string::npos)
        << r.out;
    ASSERT_TRUE(fs::exists(d / "NEW.WGS84"));
    fs::copy_file(d / "DEMO.INI", d / "NEW.INI");
    r = cli(d, "network NEW.WGS84");
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("Σημεία αναφοράς του δικτύου: 6"), std::string::npos);
}

// The demo folder with the GPS measurement of Σ104 in the point list moved
// 0.5 m to the north (in geocentric X, Y, Z at the job's latitude and
// longitude): a reference point that does not fit.
fs::path demoWithBlunder()
{
    const fs::path d = demoCopy();
    std::string list = readBytes(d / "DEMO.TXT");
    const std::string from = "\xD3" "104,4536660.715,1906496.334,4045007.780";
    const auto at = list.find(from);
    EXPECT_NE(at, std::string::npos);
    if (at != std::string::npos)
        list.replace(at, from.size(), "\xD3" "104,4536660.422,1906496.213,4045008.167");
    writeBytes(d / "DEMO.TXT", list);
    return d;
}

// The line of the residual table that starts with the point's name.
std::string residualLine(const std::string& out, const std::string& name)
{
    const auto table = out.find("Υπόλοιπα των σημείων αναφοράς");
    const auto at = out.find("  " + name + " ", table);
    if (table == std::string::npos || at == std::string::npos)
        return {};
    return out.substr(at, out.find('\n', at) - at);
}

TEST(CliNetwork, TheSuspectIsNamedAndCanBeLeftOut)
{
    const fs::path d = demoWithBlunder();
    CliResult r = cli(d, "network DEMO.TXT");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("  μ  = "), std::string::npos);
    EXPECT_NE(r.out.find(" ppm\n"), std::string::npos) << r.out;  // the scale's standard error
    EXPECT_NE(r.out.find("σ0 = ± "), std::string::npos);
    EXPECT_NE(residualLine(r.out, "Σ104").find("ΥΠΟΠΤΟ"), std::string::npos) << r.out;
    EXPECT_EQ(residualLine(r.out, "Σ101").find("ΥΠΟΠΤΟ"), std::string::npos);
    EXPECT_NE(r.out.find("Ύποπτο σημείο: Σ104  (F = "), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("Τα σημεία αναφοράς δεν συμφωνούν μεταξύ τους\n"), std::string::npos);

    // Left out: a check point with its discrepancy, the others fit again.
    r = cli(d, "network DEMO.TXT --exclude Σ104 --output LIST.TXT");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("Σημεία αναφοράς του δικτύου: 5  (και 1 σημείο ελέγχου"), std::string::npos);
    const std::string check = residualLine(r.out, "Σ104");
    EXPECT_NE(check.find("σημείο ελέγχου"), std::string::npos) << check;
    EXPECT_NE(check.find("-0,4"), std::string::npos) << check;  // about half a metre in N
    EXPECT_EQ(r.out.find("ΥΠΟΠΤΟ"), std::string::npos);
    EXPECT_NE(r.out.find("Κανένα ύποπτο σημείο"), std::string::npos);
    EXPECT_NE(r.out.find("συνολικό 0,01"), std::string::npos) << r.out;
    // Under the listing, in code page 1253: σ0 and the check points.
    const std::string file = readBytes(d / "LIST.TXT");
    EXPECT_NE(file.find("\xF3" "0 = \xB1 "), std::string::npos);  // "σ0 = ± "
    EXPECT_NE(file.find("\xF3\xE7\xEC\xE5\xDF\xEF \xE5\xEB\xDD\xE3\xF7\xEF\xF5"),
              std::string::npos);  // "σημείο ελέγχου"

    // The same choice from the network's settings file (by record ID: the
    // third line of the point list).
    {
        std::ofstream ini(d / "DEMO.INI", std::ios::app | std::ios::binary);
        ini << "[ExcludedPoints]\r\n3=\xD3" "104\r\n";
    }
    r = cli(d, "network DEMO.TXT");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(residualLine(r.out, "Σ104"), check);

    // Names that are no reference point of the network fail, for scripts.
    r = cli(d, "network DEMO.TXT --exclude Σ101,NOPE");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("NOPE"), std::string::npos);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(cli(d, "network DEMO.TXT --exclude Κ30").status, 1);  // a detail point
    EXPECT_EQ(cli(d, "network DEMO.TXT --exclude ,").status, 2);
    EXPECT_EQ(cli(d, "network DEMO.TXT --exclude").status, 2);
}

TEST(CliNetwork, NoTestWithTooFewPoints)
{
    const fs::path d = demoCopy();
    const CliResult r = cli(d, "network DEMO.WGS84 --method 2d --exclude Σ101,Σ103,Σ104,Σ106");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(residualLine(r.out, "Σ108").find("χωρίς έλεγχο"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("δεν είναι δυνατός με 2 σημεία (ο 2-Δ μετασχηματισμός χρειάζεται "
                         "τουλάχιστον 3)"),
              std::string::npos);
}

// The numbers of a line of the report or the listing: thousands points
// dropped, decimal commas read as points; words are skipped.
std::vector<double> numbersOf(const std::string& line)
{
    std::vector<double> out;
    std::istringstream in(line);
    for (std::string w; in >> w;) {
        std::string t;
        for (char c : w)
            if (c != '.')
                t += c == ',' ? '.' : c;
        char* end = nullptr;
        const double v = std::strtod(t.c_str(), &end);
        if (!t.empty() && end == t.c_str() + t.size())
            out.push_back(v);
    }
    return out;
}

// The line that starts with `name` (after blanks) at or after `from`.
std::string lineOf(const std::string& out, const std::string& name, std::size_t from)
{
    for (std::size_t at = out.find(name + " ", from); at != std::string::npos;
         at = out.find(name + " ", at + 1)) {
        const std::size_t start = out.rfind('\n', at) + 1;
        if (out.find_first_not_of(' ', start) == at)
            return out.substr(at, out.find('\n', at) - at);
    }
    return {};
}

TEST(CliNetwork, HeposModelGivesTheConversionsPointsAndChecksTheReferencePoints)
{
    const fs::path d = demoCopy();
    // The method from the settings file (its number 3), with four decimals.
    std::string ini = readBytes(d / "DEMO.INI");
    for (const auto& [from, to] : {std::pair{"method=2", "method=3"},
                                   std::pair{"GPSdecimals2=3", "GPSdecimals2=4"}}) {
        const std::size_t at = ini.find(from);
        ASSERT_NE(at, std::string::npos) << from;
        ini.replace(at, std::string(from).size(), to);
    }
    writeBytes(d / "DEMO.INI", ini);
    const CliResult r = cli(d, "network DEMO.WGS84");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_NE(r.out.find("\nΜετασχηματισμός: μοντέλο HEPOS\n\n"), std::string::npos) << r.out;
    EXPECT_EQ(r.out.find("Παράμετροι:"), std::string::npos);
    EXPECT_EQ(r.out, cli(d, "network DEMO.WGS84 --method hepos").out);

    // Every point's X, Y, Z from the listing through korthal-cli convert.
    const std::vector<std::string> refs = {"Σ101", "Σ103", "Σ104", "Σ106", "Σ108", "Σ110"};
    const std::vector<std::string> details = {"Κ01", "Κ02", "Κ03", "Κ04", "Κ05"};
    const std::size_t listing = r.out.find("Korthal");
    ASSERT_NE(listing, std::string::npos);
    std::string input;
    std::vector<std::vector<double>> rows;
    for (const auto* names : {&refs, &details})
        for (const std::string& name : *names) {
            rows.push_back(numbersOf(lineOf(r.out, name, listing)));
            ASSERT_GE(rows.back().size(), 6u) << name;
            input += std::to_string(rows.back()[0]) + " " + std::to_string(rows.back()[1]) + " " +
                     std::to_string(rows.back()[2]) + "\n";
        }
    const CliResult c = runCli("convert htrs07-xyz tm87", input);
    ASSERT_EQ(c.status, 0) << c.err;
    std::istringstream converted(c.out);
    const std::size_t table = r.out.find("Αποκλίσεις των σημείων αναφοράς από το μοντέλο HEPOS");
    ASSERT_NE(table, std::string::npos);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        double E = 0, N = 0, H = 0;
        ASSERT_TRUE(converted >> E >> N >> H);
        if (i < refs.size()) {
            // Known (the listing) minus model, to the reports' 0.1 mm.
            const std::vector<double> v = numbersOf(lineOf(r.out, refs[i], table));
            ASSERT_EQ(v.size(), 3u) << refs[i];
            EXPECT_NEAR(v[0], rows[i][3] - E, 2.0e-4) << refs[i];
            EXPECT_NEAR(v[1], rows[i][4] - N, 2.0e-4) << refs[i];
        } else {
            EXPECT_NEAR(rows[i][3], E, 1.0e-4 + 1e-9) << details[i - refs.size()];
            EXPECT_NEAR(rows[i][4], N, 1.0e-4 + 1e-9) << details[i - refs.size()];
        }
    }
    EXPECT_NE(r.out.find("RMS των αποκλίσεων από το μοντέλο (6 σημεία):   E "), std::string::npos);

    // A point outside the model's grid: named, and given no E, N.
    {
        std::ofstream list(d / "DEMO.TXT", std::ios::app | std::ios::binary);
        list << "\xC5\xCE\xD9,4962425.922,1806175.325,3564873.148\r\n";  // ΕΞΩ
    }
    const CliResult o = cli(d, "network DEMO.TXT");
    ASSERT_EQ(o.status, 0) << o.err;
    EXPECT_NE(o.err.find(
                  "Το σημείο ΕΞΩ βρίσκεται έξω από τον κάναβο διορθώσεων του μοντέλου HEPOS"),
              std::string::npos)
        << o.err;
    EXPECT_NE(o.out.find("Έξω από τον κάναβο του μοντέλου HEPOS (χωρίς E, N από το μοντέλο): ΕΞΩ"),
              std::string::npos);
    const std::vector<double> outside = numbersOf(lineOf(o.out, "ΕΞΩ", o.out.find("Korthal")));
    ASSERT_GE(outside.size(), 5u);
    EXPECT_EQ(outside[3], 0);  // E
    EXPECT_EQ(outside[4], 0);  // N

    // The other methods keep their line.
    EXPECT_NE(cli(d, "network DEMO.WGS84 --method 3d")
                  .out.find("\nΜετασχηματισμός: 3-Δ  (επταπαραμετρικός)\n\nΠαράμετροι:\n"),
              std::string::npos);
}

TEST(CliNetwork, ArgumentErrors)
{
    const fs::path d = demoCopy();
    EXPECT_EQ(cli(d, "network").status, 2);
    EXPECT_EQ(cli(d, "network NONE.WGS84").status, 1);
    EXPECT_EQ(cli(d, "network DEMO.WGS84 --method 4d").status, 2);
    EXPECT_EQ(cli(d, "network DEMO.WGS84 --reference NOPE").status, 1);
    EXPECT_EQ(cli(d, "import DEMO.WGS84 --out X.WGS84").status, 2);
    EXPECT_EQ(cli(d, "import DEMO.TXT").status, 2);
    EXPECT_EQ(cli(d, "selftest --points 5").status, 2);
    EXPECT_EQ(cli(d, "selftest --scale 51").status, 2);
}

TEST(CliNetwork, SelftestWithoutMovementWritesItsReport)
{
    const fs::path d = workDir();
    CliResult r = cli(d, "selftest --runs 3 --points 5,5 --scale 0 --rotation 0 --shift-xy 0 --shift-z 0 "
                   "--report TEST.TXT");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("runs: 3, failed: 0"), std::string::npos);
    EXPECT_NE(r.out.find("maxΔΧ  = 0.0000 mm"), std::string::npos) << r.out;
    const std::string report = readBytes(d / "TEST.TXT");
    EXPECT_EQ(report.rfind("            Xb", 0), 0u);
    EXPECT_NE(report.find("\xEC = "), std::string::npos);  // "μ = " in code page 1253
}

}  // namespace
