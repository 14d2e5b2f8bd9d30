// korthal-cli rinex: the summary, the files it writes, the failures.

#include "support/RunCli.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace fs = std::filesystem;

namespace {

using namespace korthal::test;

// Runs "korthal-cli rinex OBS --out OUT" with OBS from the shared RINEX files
// and OUT in `dir`.
CliResult runRinex(const fs::path& dir, const std::string& obs, const std::string& out)
{
    return runCli("rinex \"" + std::string(KORTHAL_SHARED_DATA) + "/rinex/" + obs + "\" --out \"" +
                  (dir / out).string() + "\"");
}

}  // namespace

TEST(CliRinex, WritesTableAndSettingsAndSummary)
{
    TempDir dir("rinex_ok");
    const CliResult r = runRinex(dir.path, "AJAC3550.21O", "AJAC.RNX");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out,
              "epochs: 2\n"
              "records: 18\n"
              "satellites: 9\n"
              "types: L1 L2 C1 C2 P1 P2 D1 D2 S1 S2 L5 C5 D5 S5 L7 C7 D7 S7 L8 C8 D8 S8\n"
              "skipped: 34\n"
              "special records: 0\n");
    EXPECT_EQ(r.err, "");
    // A zlib stream at level 9, and the settings file beside it.
    const std::string rnx = readBytes(dir.path / "AJAC.RNX");
    ASSERT_GE(rnx.size(), 2u);
    EXPECT_EQ(rnx.substr(0, 2), "\x78\xDA");
    const std::string ini = readBytes(dir.path / "AJAC.INI");
    EXPECT_NE(ini.find("nTypes=22"), std::string::npos) << ini;
    EXPECT_NE(ini.find("[POSITION]"), std::string::npos) << ini;
}

TEST(CliRinex, FailuresGoToStderrWithStatusOne)
{
    TempDir dir("rinex_fail");
    // A version no reader knows: nothing written.
    const std::string five = writeBytes(
        dir.path / "five.21o",
        "     5.00           OBSERVATION DATA    G (GPS)             RINEX VERSION / TYPE\n");
    const CliResult unknown = runCli("rinex \"" + five + "\" --out \"" +
                                     (dir.path / "A.RNX").string() + "\"");
    EXPECT_EQ(unknown.status, 1);
    EXPECT_EQ(unknown.out, "");
    EXPECT_NE(unknown.err.find("5.00"), std::string::npos);
    EXPECT_FALSE(fs::exists(dir.path / "A.RNX"));
    EXPECT_FALSE(fs::exists(dir.path / "A.INI"));
    // An output folder that does not exist.
    const CliResult noFolder = runRinex(dir.path, "KOSG0010.95O", "no/such/C.RNX");
    EXPECT_EQ(noFolder.status, 1);
    EXPECT_NE(noFolder.err, "");
}
