// korthal-cli rinex-text: the plain text of a compressed file, Hatanaka
// compression with --crx, files written whole or not at all; and
// korthal-cli rinex naming which RINEX 3 code filled which type.

#include "support/RunCli.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace fs = std::filesystem;

namespace {

using namespace korthal::test;

std::string dataFile(const std::string& name)
{
    return std::string(KORTHAL_SHARED_DATA) + "/rinex/" + name;
}

std::string quoted(const std::string& s)
{
    return "\"" + s + "\"";
}

// Without trailing blanks on any line, and with LF line ends.
std::string plainLines(const std::string& text)
{
    std::string out;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(start, end - start);
        while (!line.empty() && (line.back() == ' ' || line.back() == '\r'))
            line.pop_back();
        out += line + "\n";
        start = end + 1;
    }
    return out;
}

}  // namespace

TEST(CliRinexText, RestoresCompressesAndWritesWholeOrNothing)
{
    TempDir dir("rinex_text");
    // Standard output: the plain twin's text.
    CliResult r = runCli("rinex-text " + quoted(dataFile("AJAC3550.21D")));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(plainLines(r.out), plainLines(readBytes(dataFile("AJAC3550.21O"))));

    // --crx --out, then back through rinex-text: the same text.
    const std::string crx = (dir.path / "DUTH.crx").string();
    r = runCli("rinex-text " + quoted(dataFile("DUTH0630.22O")) + " --crx --out " + quoted(crx));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(readBytes(crx).substr(0, 20), "3.0                 ");
    r = runCli("rinex-text " + quoted(crx));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(plainLines(r.out), plainLines(readBytes(dataFile("DUTH0630.22O"))));

    // A damaged file: a message naming the line, and the output untouched.
    std::string cut = readBytes(dataFile("DUTH0630.22D"));
    cut.resize(cut.size() / 2);
    const std::string damaged = writeBytes(dir.path / "cut.22d", cut);
    const std::string out = writeBytes(dir.path / "out.22o", "as it was\n");
    r = runCli("rinex-text " + quoted(damaged) + " --out " + quoted(out));
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("cut.22d"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("γραμμή"), std::string::npos) << r.err;
    EXPECT_EQ(readBytes(out), "as it was\n");
    // A text that is not observations cannot be Hatanaka-compressed.
    r = runCli("rinex-text " + quoted(dataFile("AMEL00NLD_R_20210010000_01D_MN.rnx")) + " --crx");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("δεν είναι αρχείο παρατηρήσεων"), std::string::npos) << r.err;
    EXPECT_EQ(runCli("rinex-text").status, 2);
}

TEST(CliRinexText, RinexNamesTheCodesOfARinex3File)
{
    TempDir dir("rinex_codes");
    const CliResult r = runCli("rinex " + quoted(dataFile("DUTH0630.22D")) + " --out " +
                               quoted((dir.path / "DUTH.RNX").string()));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out,
              "epochs: 3\n"
              "records: 29\n"
              "satellites: 12\n"
              "types: C1 L1 D1 S1 P2 L2 D2 S2\n"
              "skipped: 23\n"
              "special records: 0\n"
              "codes: C1=C1C L1=L1C D1=D1C S1=S1C P2=C2W L2=L2W D2=D2W S2=S2W\n");
    EXPECT_EQ(r.err, "");
}
