// korthal-cli rinex: the summary, the files it writes, the failures.

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <string>
#include <sys/wait.h>

namespace fs = std::filesystem;

namespace {

struct CliRun {
    int status = -1;
    std::string out;
};

// Runs the tool with the arguments (already quoted), stdout captured and
// stderr sent to `errFile`.
CliRun runCli(const std::string& args, const std::string& errFile)
{
    CliRun r;
    const std::string cmd = std::string("\"") + KORTHAL_CLI + "\" " + args + " 2>\"" + errFile + "\"";
    std::FILE* p = popen(cmd.c_str(), "r");
    if (!p)
        return r;
    std::array<char, 4096> buf{};
    std::size_t n = 0;
    while ((n = std::fread(buf.data(), 1, buf.size(), p)) > 0)
        r.out.append(buf.data(), n);
    const int st = pclose(p);
    r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
    return r;
}

std::string slurp(const std::string& path)
{
    std::string s;
    if (std::FILE* f = std::fopen(path.c_str(), "rb")) {
        std::array<char, 4096> buf{};
        std::size_t n = 0;
        while ((n = std::fread(buf.data(), 1, buf.size(), f)) > 0)
            s.append(buf.data(), n);
        std::fclose(f);
    }
    return s;
}

std::string data(const std::string& name)
{
    return "\"" + std::string(KORTHAL_SHARED_DATA) + "/rinex/" + name + "\"";
}

struct Dir {
    fs::path path;
    explicit Dir(const std::string& name) : path(fs::temp_directory_path() / ("korthal_cli_" + name))
    {
        fs::remove_all(path);
        fs::create_directories(path);
    }
    ~Dir() { fs::remove_all(path); }
    std::string operator/(const std::string& n) const { return (path / n).string(); }
};

}  // namespace

TEST(CliRinex, WritesTableAndSettingsAndSummary)
{
    Dir dir("rinex_ok");
    const CliRun r = runCli("rinex " + data("AJAC3550.21O") + " --out \"" + dir / "AJAC.RNX" + "\"",
                         dir / "err.txt");
    EXPECT_EQ(r.status, 0) << slurp(dir / "err.txt");
    EXPECT_EQ(r.out,
              "epochs: 2\n"
              "records: 18\n"
              "satellites: 9\n"
              "types: L1 L2 C1 C2 P1 P2 D1 D2 S1 S2 L5 C5 D5 S5 L7 C7 D7 S7 L8 C8 D8 S8\n"
              "skipped: 34\n"
              "special records: 0\n");
    EXPECT_TRUE(slurp(dir / "err.txt").empty());
    // A zlib stream (level 9 header) and the settings file beside it.
    const std::string rnx = slurp(dir / "AJAC.RNX");
    ASSERT_GE(rnx.size(), 2u);
    EXPECT_EQ(static_cast<unsigned char>(rnx[0]), 0x78);
    EXPECT_EQ(static_cast<unsigned char>(rnx[1]), 0xDA);
    const std::string ini = slurp(dir / "AJAC.INI");
    EXPECT_NE(ini.find("[Types]"), std::string::npos);
    EXPECT_NE(ini.find("nTypes=22"), std::string::npos);
    EXPECT_NE(ini.find("[POSITION]"), std::string::npos);

    const CliRun ev = runCli("rinex " + data("mixed211.05o") + " --out \"" + dir / "M.RNX" + "\"",
                          dir / "err.txt");
    EXPECT_EQ(ev.status, 0);
    EXPECT_NE(ev.out.find("epochs: 7\nrecords: 24\nsatellites: 4\n"), std::string::npos) << ev.out;
    EXPECT_NE(ev.out.find("skipped: 4\nspecial records: 16\n"), std::string::npos) << ev.out;
}

TEST(CliRinex, FailuresGoToStderrWithStatusOne)
{
    Dir dir("rinex_fail");
    // RINEX 3: nothing written.
    CliRun r = runCli("rinex " + data("ACOR00ESP_R_20213550000_01D_30S_MO.rnx") + " --out \"" +
                       dir / "A.RNX" + "\"",
                   dir / "err.txt");
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.out.empty());
    EXPECT_NE(slurp(dir / "err.txt").find("3.04"), std::string::npos);
    EXPECT_FALSE(fs::exists(dir / "A.RNX"));
    EXPECT_FALSE(fs::exists(dir / "A.INI"));

    // A missing input file.
    r = runCli("rinex \"" + dir / "none.05o" + "\" --out \"" + dir / "B.RNX" + "\"", dir / "err.txt");
    EXPECT_EQ(r.status, 1);
    EXPECT_FALSE(slurp(dir / "err.txt").empty());
    EXPECT_FALSE(fs::exists(dir / "B.RNX"));

    // An output folder that does not exist.
    r = runCli("rinex " + data("KOSG0010.95O") + " --out \"" + dir / "no/such/C.RNX" + "\"",
               dir / "err.txt");
    EXPECT_EQ(r.status, 1);
    EXPECT_FALSE(slurp(dir / "err.txt").empty());

    // No --out.
    r = runCli("rinex " + data("KOSG0010.95O"), dir / "err.txt");
    EXPECT_NE(r.status, 0);
}
