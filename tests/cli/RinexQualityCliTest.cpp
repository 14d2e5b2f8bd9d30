// korthal-cli rinex-sky and rinex-qc: their output, a stored table as input,
// and bad input.

#include "support/Files.h"
#include "support/RunCli.h"

#include <gtest/gtest.h>

#include <regex>
#include <sstream>
#include <string>

namespace {

using namespace korthal::test;

std::string shared(const std::string& name)
{
    return std::string(KORTHAL_SHARED_DATA) + "/rinex/" + name;
}

std::string quoted(const std::string& s) { return "\"" + s + "\""; }

}  // namespace

// One line per observation (948 in 07590920.05o), in the stated format; the
// first is G03 at 103.9°, 9.7° (RTKLIB's value, to its 0.1°). A stored
// table gives the same lines, its position taken from its settings file.
TEST(RinexSkyCli, LinesPerObservation)
{
    const std::string nav = " --nav " + quoted(shared("07590920.05n"));
    const CliResult r = runCli("rinex-sky " + quoted(shared("07590920.05o")) + nav);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    const std::regex format(R"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d G\d\d \d+\.\d\d -?\d+\.\d\d)");
    std::istringstream in(r.out);
    std::string line;
    int lines = 0;
    while (std::getline(in, line)) {
        EXPECT_TRUE(std::regex_match(line, format)) << line;
        ++lines;
    }
    EXPECT_EQ(lines, 948);
    std::istringstream first(r.out);
    std::string date, time, sat;
    double az = 0, el = 0;
    first >> date >> time >> sat >> az >> el;
    EXPECT_EQ(date + " " + time + " " + sat, "2005-04-02 00:00:00 G03");
    EXPECT_NEAR(az, 103.9, 0.1);
    EXPECT_NEAR(el, 9.7, 0.1);

    TempDir dir("rinex-sky");
    const std::string table = dir.file("P.RNX");
    ASSERT_EQ(runCli("rinex " + quoted(shared("07590920.05o")) + " --out " + quoted(table)).status, 0);
    const CliResult fromTable = runCli("rinex-sky " + quoted(table) + nav);
    EXPECT_EQ(fromTable.status, 0) << fromTable.err;
    EXPECT_EQ(fromTable.out, r.out);
}

// The report's keys and the sky plot picture.
TEST(RinexQcCli, ReportAndPicture)
{
    TempDir dir("rinex-qc");
    const std::string png = dir.file("sky.png");
    const CliResult r = runCli("rinex-qc " + quoted(shared("07590920.05o")) + " --nav " +
                               quoted(shared("07590920.05n")) + " --mask 10 --png " + quoted(png));
    ASSERT_EQ(r.status, 0) << r.err;
    for (const char* key : {"\nepochs: 120\n", "\nexpected: 120\n", "\nsatellites: 11\n",
                            "\ncompleteness: 100.0\n", "\ngaps: 0\n", "\nslips: 1\n", "\nmp1: 0.",
                            "\nmp2: 0.", "\nsky: yes\n", "\nnot-tracked: G27\n",
                            "\nslip: 2005-04-02 00:28:30 G08 lli\n", "\nsatellite observations",
                            "\nG11 120 120 120 0 "})
        EXPECT_NE(r.out.find(key), std::string::npos) << key;
    EXPECT_EQ(readBytes(png).substr(0, 8), "\x89PNG\r\n\x1a\n");
}

// Bad input: a damaged navigation record is named by its line and the
// report still comes; navigation of other systems gives the report without
// the sky (and no picture); wrong arguments and a file that is no
// navigation file are refused.
TEST(RinexQcCli, BadInput)
{
    TempDir dir("rinex-qc-bad");
    std::string nav = readBytes(shared("07590920.05n"));
    const std::size_t at = nav.find("5.218750000000D+01");
    ASSERT_NE(at, std::string::npos);
    nav.replace(at, 18, "5.2187500x0000D+01");
    const std::string broken = dir.file("broken.05n");
    writeBytes(broken, nav);
    const std::string obs = quoted(shared("07590920.05o"));

    const CliResult damaged = runCli("rinex-qc " + obs + " --nav " + quoted(broken));
    EXPECT_EQ(damaged.status, 0) << damaged.err;
    EXPECT_NE(damaged.err.find("broken.05n, γραμμή 14: το \"-5.2187500x0000D+01\""), std::string::npos)
        << damaged.err;
    EXPECT_NE(damaged.out.find("\nsky: yes\n"), std::string::npos);

    const std::string png = dir.file("none.png");
    const CliResult other = runCli("rinex-qc " + quoted(shared("delf0010.21o")) + " --nav " +
                                   quoted(shared("AMEL00NLD_R_20210010000_01D_MN.rnx")) +
                                   " --png " + quoted(png));
    EXPECT_EQ(other.status, 1);
    EXPECT_NE(other.out.find("\nepochs: 105\n"), std::string::npos);
    EXPECT_NE(other.out.find("\nsky: no\nsky-reason: "), std::string::npos);
    EXPECT_NE(other.err.find("δεν έχει εφημερίδες GPS"), std::string::npos) << other.err;
    EXPECT_FALSE(std::filesystem::exists(png));

    struct Case {
        std::string args;
        int status;
        const char* err;
    };
    const Case cases[] = {
        {"rinex-sky " + obs, 2, "--nav"},
        {"rinex-sky " + obs + " --nav " + obs, 1, "δεν είναι αρχείο εφημερίδων"},
        {"rinex-sky " + obs + " --nav " + quoted(shared("07590920.05n")) + " --position 1 2 3", 2,
         "--position"},
        {"rinex-qc " + obs + " --mask 95", 2, "--mask"},
        {"rinex-qc " + quoted(dir.file("missing.05o")), 1, "missing.05o"},
    };
    for (const Case& c : cases) {
        const CliResult r = runCli(c.args);
        EXPECT_EQ(r.status, c.status) << c.args;
        EXPECT_NE(r.err.find(c.err), std::string::npos) << c.args << "\n" << r.err;
        EXPECT_EQ(r.out, "") << c.args;
    }
}
