// Drives the built korthal-cli and checks its output and exit status.

#include "geodesy/Angles.h"
#include "geodesy/DatumShift.h"
#include "geodesy/Geoid.h"
#include "support/RunCli.h"

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <string>
#include <vector>

using namespace korthal;

namespace {

using Result = korthal::test::CliResult;
using korthal::test::runCli;

std::vector<std::string> lines(const std::string& text)
{
    std::vector<std::string> out;
    std::istringstream s(text);
    for (std::string l; std::getline(s, l);)
        out.push_back(l);
    return out;
}

std::vector<double> numbers(const std::string& line)
{
    std::vector<double> out;
    std::istringstream s(line);
    for (double v; s >> v;)
        out.push_back(v);
    return out;
}

// Decimals after the point of one printed number.
std::size_t decimalsOf(const std::string& field)
{
    const auto dot = field.find('.');
    return dot == std::string::npos ? 0 : field.size() - dot - 1;
}

std::vector<std::string> fields(const std::string& line)
{
    std::vector<std::string> out;
    std::istringstream s(line);
    for (std::string f; s >> f;)
        out.push_back(f);
    return out;
}

const char* const kDemo =
    "4608995.773 2025713.370 3903083.628\n"
    "4464053.490 1890231.410 4131063.810\n"
    "4715809.884 2212225.881 3668590.727\n";

}  // namespace

TEST(Cli, HelpTexts)
{
    const Result overview = runCli("--help");
    EXPECT_EQ(overview.status, 0);
    EXPECT_NE(overview.out.find("convert"), std::string::npos);
    EXPECT_NE(overview.out.find("geoid"), std::string::npos);
    // Every command's summary stands in one column, apart from its name,
    // however long the name ("rinex-series" once ran into its summary).
    std::size_t column = std::string::npos;
    std::istringstream listed(overview.out.substr(overview.out.find("Commands:\n") + 10));
    for (std::string line; std::getline(listed, line) && !line.empty();) {
        const std::size_t name = line.find_first_not_of(' ');
        const std::size_t gap = line.find("  ", name);
        ASSERT_NE(gap, std::string::npos) << line;
        const std::size_t summary = line.find_first_not_of(' ', gap);
        if (column == std::string::npos)
            column = summary;
        EXPECT_EQ(summary, column) << line;
    }
    EXPECT_NE(overview.out.find("  rinex-series  print"), std::string::npos);

    const Result convert = runCli("convert --help");
    EXPECT_EQ(convert.status, 0);
    for (const char* word : {"wgs84-geo", "wgs84-xyz", "egsa87-xyz", "egsa87-geo", "tm87",
                             "hatt", "--decimals", "--undulation", "--hatt-undulation",
                             "--sheet", "--settings", "DD.MMSSsss", "GRS80DX", "htrs07-geo",
                             "htrs07-xyz", "tm07", "tm3-west", "tm3-central", "tm3-east",
                             "utm34-ed50", "utm35-ed50", "hatt-okxe", "--grid-east",
                             "--grid-north", "NAME|NUMBER"})
        EXPECT_NE(convert.out.find(word), std::string::npos) << word;

    const Result geoid = runCli("geoid --help");
    EXPECT_EQ(geoid.status, 0);
    EXPECT_NE(geoid.out.find("one decimal"), std::string::npos);
}

TEST(Cli, ConvertMatchesTheLibraryAtFullPrecision)
{
    const Result r = runCli("convert wgs84-xyz tm87", kDemo);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    const auto out = lines(r.out);
    const auto in = lines(kDemo);
    ASSERT_EQ(out.size(), in.size());

    DatumShiftTable shifts;
    shifts.refill({200.2, -74.8, -246.0}, {-454.944, -375.483, -502.543}, {86.9, 92.5, 128.8});
    for (std::size_t i = 0; i < in.size(); ++i) {
        for (const auto& f : fields(out[i]))
            EXPECT_EQ(decimalsOf(f), 4u) << out[i];
        const auto p = numbers(in[i]);
        // The undulation is the geoid model at the EGSA87 position.
        const TM87 plain = WGS84ToTM87(shifts, InputForm::Geocentric, p[0], p[1], p[2], 0);
        double Xe = p[0], Ye = p[1], Ze = p[2];
        ShiftWGS84ToEGSA87(shifts, Xe, Ye, Ze);
        const Geographic g = GeocentricToEllipsoidal(EGSA87, Xe, Ye, Ze);
        const auto N = GeoidUndulation(shifts, static_cast<double>(g.phi),
                                       static_cast<double>(g.lambda));
        ASSERT_TRUE(N.has_value());
        const auto got = numbers(out[i]);
        ASSERT_EQ(got.size(), 3u);
        EXPECT_NEAR(got[0], static_cast<double>(plain.E), 6e-5);
        EXPECT_NEAR(got[1], static_cast<double>(plain.N), 6e-5);
        EXPECT_NEAR(got[2], static_cast<double>(plain.H) - *N, 6e-5);
    }

    // --decimals and --undulation.
    const Result two = runCli("convert wgs84-xyz tm87 --decimals 2 --undulation 0", kDemo);
    ASSERT_EQ(two.status, 0);
    const auto first = fields(lines(two.out)[0]);
    ASSERT_EQ(first.size(), 3u);
    for (const auto& f : first)
        EXPECT_EQ(decimalsOf(f), 2u);
    const Result egsa = runCli("convert wgs84-xyz egsa87-geo", kDemo);
    EXPECT_NEAR(numbers(first[2])[0], numbers(lines(egsa.out)[0])[2], 0.006);
    for (const auto& f : fields(lines(egsa.out)[0]))
        EXPECT_EQ(decimalsOf(f), f == fields(lines(egsa.out)[0])[2] ? 4u : 9u);
}

TEST(Cli, RoundTripsAlongTheChain)
{
    const Result there = runCli("convert wgs84-xyz hatt", kDemo);
    ASSERT_EQ(there.status, 0) << there.err;
    const auto hatt = lines(there.out);
    ASSERT_EQ(hatt.size(), 3u);
    // Athens lies on the sheet of ATHINAI-LAVRION, Thessaloniki on its own.
    EXPECT_EQ(numbers(hatt[0])[3], 6);
    EXPECT_EQ(numbers(hatt[0])[4], 9);
    EXPECT_EQ(numbers(hatt[1])[3], 12);
    EXPECT_EQ(numbers(hatt[1])[4], 7);

    const auto in = lines(kDemo);
    for (std::size_t i = 0; i < hatt.size(); ++i) {
        const auto h = numbers(hatt[i]);
        std::ostringstream args;
        args << "convert hatt wgs84-xyz --sheet " << h[3] << ',' << h[4];
        std::ostringstream point;
        point.precision(12);
        point << h[0] << ' ' << h[1] << ' ' << h[2] << '\n';
        const Result back = runCli(args.str(), point.str());
        ASSERT_EQ(back.status, 0) << back.err;
        const auto got = numbers(back.out);
        const auto want = numbers(in[i]);
        ASSERT_EQ(got.size(), 3u);
        for (std::size_t k = 0; k < 3; ++k)
            EXPECT_NEAR(got[k], want[k], 0.005) << i << ' ' << k;
    }

    // Geographic in and out: the packed angles keep nine decimals and
    // never show 60 seconds.
    const Result geo = runCli("convert wgs84-geo wgs84-geo", "38.06 23.36 150\n-0.3 0.3 0\n");
    ASSERT_EQ(geo.status, 0);
    EXPECT_EQ(geo.out, "38.060000000 23.360000000 150.0000\n-0.300000000 0.300000000 0.0000\n");
    const Result viaTm = runCli("convert egsa87-geo egsa87-geo --undulation 5", "37.54 23.42 80\n");
    EXPECT_EQ(viaTm.out, "37.540000000 23.420000000 80.0000\n");
    const Result tm = runCli("convert egsa87-geo tm87", "37.54 23.42 80\n");
    const Result back = runCli("convert tm87 egsa87-geo", tm.out);
    EXPECT_EQ(back.out, "37.540000000 23.420000000 80.0000\n");
}

TEST(Cli, BadLinesAreNamedAndTheRestConverted)
{
    const std::string input =
        "# a comment\n"
        "\n"
        "4608995.773 2025713.370 3903083.628\n"
        "4608995,773 2025713,370 3903083,628\n"
        "  \t \n"
        "1 2\n"
        "4464053.490\t1890231.410\t4131063.810\r\n"
        "1 2 3 4\n"
        "abc def ghi\n"
        "nan 1 2\n";
    const Result r = runCli("convert wgs84-xyz egsa87-xyz", input);
    EXPECT_EQ(r.status, 1);
    const auto out = lines(r.out);
    ASSERT_EQ(out.size(), 2u);
    EXPECT_EQ(out[0], "4609195.9730 2025638.5700 3902837.6280");
    EXPECT_EQ(out[1], "4464253.6900 1890156.6100 4130817.8100");
    const auto err = lines(r.err);
    ASSERT_EQ(err.size(), 5u) << r.err;
    EXPECT_NE(err[0].find("line 4"), std::string::npos);
    EXPECT_NE(err[0].find("4608995,773 2025713,370 3903083,628"), std::string::npos);
    EXPECT_NE(err[1].find("line 6"), std::string::npos);
    EXPECT_NE(err[2].find("line 8"), std::string::npos);
    EXPECT_NE(err[2].find("1 2 3 4"), std::string::npos);
    EXPECT_NE(err[3].find("line 9"), std::string::npos);
    EXPECT_NE(err[4].find("line 10"), std::string::npos);

    // Only good lines: status 0.
    EXPECT_EQ(runCli("convert wgs84-xyz egsa87-xyz", "# nothing\n\n").status, 0);
}

TEST(Cli, ArgumentErrors)
{
    EXPECT_EQ(runCli("convert hatt tm87", "1 2 3\n").status, 2);  // no sheet
    EXPECT_EQ(runCli("convert hatt tm87 --sheet 7", "1 2 3\n").status, 2);
    EXPECT_EQ(runCli("convert wgs84 tm87").status, 2);
    EXPECT_EQ(runCli("convert tm87").status, 2);
    EXPECT_EQ(runCli("convert tm87 hatt --decimals x").status, 2);
    EXPECT_EQ(runCli("convert tm87 hatt --frobnicate").status, 2);
    EXPECT_EQ(runCli("convert tm87 hatt --settings /nonexistent/N.INI", "1 2 3\n").status, 2);
    const Result r = runCli("convert tm87 hatt --undulation");
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("--undulation"), std::string::npos);
}

TEST(Cli, SettingsFileGivesTheDatumShifts)
{
    const korthal::test::TempDir dir("cli");
    const std::string ini = korthal::test::writeBytes(
        dir.file("network.INI"),
        "[Separators]\r\nTseparator0=0\r\n[general]\r\nmethod=2\r\n"
        "grs80dx=210,5\r\nGRS80DY = -70.25\r\nGRS80DZ=oops\r\nBESSELDX=-450\r\n");
    const Result r = runCli("convert wgs84-xyz egsa87-xyz --settings '" + ini + "'",
                         "4500000 2000000 4000000\n");
    ASSERT_EQ(r.status, 0) << r.err;
    // A value that is not a number keeps its default.
    EXPECT_EQ(r.out, "4500210.5000 1999929.7500 3999754.0000\n");

    // The HATT leg uses EGSA87 → GR = [0][3] − [0][1], so it moves too.
    const Result a = runCli("convert tm87 hatt", "475794.2 4202419.1 154.6\n");
    const Result b = runCli("convert tm87 hatt --settings=" + ini, "475794.2 4202419.1 154.6\n");
    ASSERT_EQ(a.status, 0);
    ASSERT_EQ(b.status, 0);
    EXPECT_NE(a.out, b.out);
}

TEST(Cli, Geoid)
{
    const Result a = runCli("geoid 37.54 23.42");
    EXPECT_EQ(a.status, 0);
    EXPECT_EQ(a.out, "7.3\n");
    EXPECT_EQ(runCli("geoid 38 23.30").out, "6.9\n");

    const Result outside = runCli("geoid 43.1 23");
    EXPECT_EQ(outside.status, 1);
    EXPECT_EQ(outside.out, "");
    EXPECT_NE(outside.err.find("outside"), std::string::npos);
    EXPECT_EQ(runCli("geoid 38").status, 2);
    EXPECT_EQ(runCli("geoid 38 x").status, 2);

    // Outside the model the conversion takes no undulation: H = h.
    const Result far = runCli("convert egsa87-geo tm87", "43.1 23 100\n");
    ASSERT_EQ(far.status, 0);
    EXPECT_EQ(fields(far.out).at(2), "100.0000");
}
