// korthal-cli network, import and selftest on the demo working folder.

#include "support/RunCli.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

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
