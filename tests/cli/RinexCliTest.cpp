// korthal-cli rinex: the summary, the files it writes, the failures.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

std::string slurp(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

// Runs "korthal-cli rinex OBS --out OUT" in `dir`; returns the exit status,
// with stdout and stderr in dir/out.txt and dir/err.txt.
int runRinex(const fs::path& dir, const std::string& obs, const std::string& out)
{
    const std::string cmd = std::string("\"") + KORTHAL_CLI + "\" rinex \"" + KORTHAL_SHARED_DATA +
                            "/rinex/" + obs + "\" --out \"" + (dir / out).string() + "\" >\"" +
                            (dir / "out.txt").string() + "\" 2>\"" + (dir / "err.txt").string() +
                            "\"";
    const int st = std::system(cmd.c_str());
    return WIFEXITED(st) ? WEXITSTATUS(st) : -1;
}

struct Dir {
    fs::path path;
    explicit Dir(const std::string& name)
        : path(fs::temp_directory_path() /
               ("korthal_cli_" + std::to_string(getpid()) + "_" + name))
    {
        fs::remove_all(path);
        fs::create_directories(path);
    }
    ~Dir() { fs::remove_all(path); }
};

}  // namespace

TEST(CliRinex, WritesTableAndSettingsAndSummary)
{
    Dir dir("rinex_ok");
    EXPECT_EQ(runRinex(dir.path, "AJAC3550.21O", "AJAC.RNX"), 0) << slurp(dir.path / "err.txt");
    EXPECT_EQ(slurp(dir.path / "out.txt"),
              "epochs: 2\n"
              "records: 18\n"
              "satellites: 9\n"
              "types: L1 L2 C1 C2 P1 P2 D1 D2 S1 S2 L5 C5 D5 S5 L7 C7 D7 S7 L8 C8 D8 S8\n"
              "skipped: 34\n"
              "special records: 0\n");
    EXPECT_EQ(slurp(dir.path / "err.txt"), "");
    // A zlib stream at level 9, and the settings file beside it.
    const std::string rnx = slurp(dir.path / "AJAC.RNX");
    ASSERT_GE(rnx.size(), 2u);
    EXPECT_EQ(rnx.substr(0, 2), "\x78\xDA");
    const std::string ini = slurp(dir.path / "AJAC.INI");
    EXPECT_NE(ini.find("nTypes=22"), std::string::npos) << ini;
    EXPECT_NE(ini.find("[POSITION]"), std::string::npos) << ini;
}

TEST(CliRinex, FailuresGoToStderrWithStatusOne)
{
    Dir dir("rinex_fail");
    // RINEX 3: nothing written.
    EXPECT_EQ(runRinex(dir.path, "ACOR00ESP_R_20213550000_01D_30S_MO.rnx", "A.RNX"), 1);
    EXPECT_EQ(slurp(dir.path / "out.txt"), "");
    EXPECT_NE(slurp(dir.path / "err.txt").find("3.04"), std::string::npos);
    EXPECT_FALSE(fs::exists(dir.path / "A.RNX"));
    EXPECT_FALSE(fs::exists(dir.path / "A.INI"));
    // An output folder that does not exist.
    EXPECT_EQ(runRinex(dir.path, "KOSG0010.95O", "no/such/C.RNX"), 1);
    EXPECT_NE(slurp(dir.path / "err.txt"), "");
}
