// The lines of "convert" written from the double computation are the lines
// the Extended computation writes, digit for digit, also where a number lies
// on a rounding step.

#include "geodesy/Angles.h"
#include "project/Dialogs.h"
#include "tools/cli/CliSupport.h"
#include "tools/cli/ConvertLines.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <random>
#include <string>

using namespace korthal;
using namespace korthal::cli;

namespace {

// What the calculator's Extended computation writes for one line of three
// numbers (the line is known to be good).
std::string extendedLine(const ConvertJob& job, const std::string& line)
{
    char a[64], b[64], c[64];
    EXPECT_EQ(std::sscanf(line.c_str(), "%63s %63s %63s", a, b, c), 3) << line;
    ChainPoint<Extended> p{*parseNumber(a), *parseNumber(b), *parseNumber(c), {}};
    if (isGeographic(job.from)) {
        p.a = DMSToRad(p.a);
        p.b = DMSToRad(p.b);
    }
    const ChainPoint<Extended> r = convertPoint(job.from, job.to, p, job.options);
    const int dec = job.options.decimals;
    if (isGeographic(job.to))
        return formatPacked(r.a, 9) + ' ' + formatPacked(r.b, 9) + ' ' + formatFixed(r.c, dec) +
               '\n';
    std::string s = formatFixed(r.a, dec) + ' ' + formatFixed(r.b, dec) + ' ' + formatFixed(r.c, dec);
    if (job.to == HattProj)
        s += ' ' + std::to_string(r.sheet.i) + ' ' + std::to_string(r.sheet.j);
    if (job.to == HattOkxe)
        s += std::string(" ") + HattSheets::builtIn()[r.okxe].name;
    return s + '\n';
}

ConvertJob job(Form from, Form to, int decimals = 4)
{
    ConvertJob j;
    j.from = from;
    j.to = to;
    j.options.decimals = decimals;
    j.options.shifts.refill({200.2, -74.8, -246.0}, {-454.944, -375.483, -502.543},
                            {86.9, 92.5, 128.8});
    return j;
}

// Converts `lines` as one block and checks every output line against the
// Extended computation; returns how many lines came from the double run.
long expectExtendedText(const ConvertJob& j, const std::vector<std::string>& lines)
{
    std::string text, want;
    for (const auto& l : lines) {
        text += l + '\n';
        want += extendedLine(j, l);
    }
    const ConvertedBlock b = convertBlock(text, 1, j);
    // A point at sea far from every HATT sheet has a warning.
    if (j.to != HattOkxe) {
        EXPECT_EQ(b.err, "");
    }
    EXPECT_EQ(b.restAt, std::string::npos);
    EXPECT_EQ(b.out, want) << kFormNames[j.from] << " -> " << kFormNames[j.to];
    EXPECT_EQ(b.doubleLines + b.extendedLines, static_cast<long>(lines.size()));
    return b.doubleLines;
}

}  // namespace

TEST(ConvertLines, FixedTextIsWrittenOnlyWhenSure)
{
    std::mt19937_64 gen(4);
    std::uniform_real_distribution<double> u(-5e6, 5e6);
    int written = 0;
    for (int i = 0; i < 100000; ++i) {
        const double x = i % 3 == 0 ? u(gen) : std::round(u(gen) * 1e4) / 1e4 + 0.00005;
        const int decimals = i % 13;
        std::string out;
        if (appendFixedIfSure(out, x, decimals, 2e-7)) {
            ++written;
            ASSERT_EQ(out, formatFixed(x, decimals)) << x << ' ' << decimals;
        } else {
            ASSERT_EQ(out, "");
        }
    }
    EXPECT_GT(written, 30000);
    std::string out;
    EXPECT_FALSE(appendFixedIfSure(out, 0.00005, 4, 2e-7));  // halfway: Extended decides
    EXPECT_TRUE(appendFixedIfSure(out, -0.00001, 4, 2e-7));
    EXPECT_EQ(out, "0.0000");  // no minus sign before zero, as formatFixed
    EXPECT_FALSE(appendFixedIfSure(out, 1e300, 4, 2e-7));
}

TEST(ConvertLines, EveryFormPairWritesTheExtendedText)
{
    // Points over Greece in every form, from geocentric WGS84 coordinates.
    std::mt19937_64 gen(1987);
    // Inside the HATT sheets and the HEPOS grid, so that no line has a note.
    std::uniform_real_distribution<double> phi(35, 41.5), lam(20, 28), h(0, 2500);
    std::vector<std::string> xyz;
    for (int i = 0; i < 400; ++i) {
        const auto g = EllipsoidalToGeocentric(WGS84, phi(gen) * kPi / 180, lam(gen) * kPi / 180,
                                               h(gen));
        xyz.push_back(formatFixed(g.X, 3) + ' ' + formatFixed(g.Y, 3) + '\t' + formatFixed(g.Z, 3));
    }
    for (int from = WGS84Geo; from < FormCount; ++from) {
        // The HATT forms need a sheet for their input: tested on their own.
        if (from == HattProj || from == HattOkxe)
            continue;
        std::vector<std::string> in;
        const ConvertJob toFrom = job(WGS84Xyz, static_cast<Form>(from), 9);
        for (const auto& l : xyz) {
            const std::string t = extendedLine(toFrom, l);
            in.push_back(t.substr(0, t.size() - 1));
        }
        for (int to = WGS84Geo; to < FormCount; ++to) {
            const ConvertJob j = job(static_cast<Form>(from), static_cast<Form>(to));
            const long fromDouble = expectExtendedText(j, in);
            if (doubleRunFits(j.from, j.to))
                EXPECT_GT(fromDouble, 350) << kFormNames[static_cast<std::size_t>(from)] << ' '
                                           << kFormNames[static_cast<std::size_t>(to)];
            else
                EXPECT_EQ(fromDouble, 0);  // the sheet is chosen in Extended
        }
    }
}

TEST(ConvertLines, NumbersOnStepsGoToExtended)
{
    // Halfway between two written values, packed angles at the step of a
    // minute, whole degrees, more digits than a double holds, a point far
    // outside Greece.
    const std::vector<std::string> tm = {"475794.20005 4202419.10015 154.60025",
                                         "475794.2000500000001 4202419.1 -0.00005",
                                         "+475794.2 4202419.1 1e2", "1e7 -4e6 0"};
    expectExtendedText(job(TM87Proj, TM87Proj), tm);
    expectExtendedText(job(TM87Proj, EGSA87Geo), tm);
    const std::vector<std::string> geo = {"38.0559999990 23.30 100", "38 23 0",
                                          "37.5999999999999999 23.5959999999999999 1",
                                          "38.06 23.36 150", "-0.3 0.3 0", "38.5959 179.5 10"};
    expectExtendedText(job(WGS84Geo, WGS84Geo), geo);
    expectExtendedText(job(EGSA87Geo, TM87Proj), geo);
    expectExtendedText(job(WGS84Geo, EGSA87Xyz, 12), geo);
}

TEST(ConvertLines, BadLinesAndLineNumbersOfLaterBlocks)
{
    const ConvertJob j = job(WGS84Xyz, EGSA87Xyz);
    const ConvertedBlock b =
        convertBlock("# c\r\n\r\n4500000 2000000 4000000\r\n1 2\nx y z\n", 41, j);
    EXPECT_TRUE(b.badLines);
    EXPECT_EQ(b.out, "4500200.2000 1999925.2000 3999754.0000\n");
    EXPECT_EQ(b.err,
              "korthal-cli convert: line 44: not three numbers: 1 2\n"
              "korthal-cli convert: line 45: not three numbers: x y z\n");
}

TEST(ConvertLines, EveryFormAndBackAgain)
{
    // A point near Athens (TM87 E, N, H) to every form and back: the
    // steps' inverses give it back to far below a millimetre (the TM87
    // inverse ends its footpoint iteration at a step of 1e-8 rad, which leaves
    // some 0.03 mm).
    ConvertJob j = job(TM87Proj, TM87Proj);
    j.options.okxeSheets = {};
    const ChainPoint<Extended> start{476288.2634L, 4203630.3635L, 154.25L, {}};
    for (int f = WGS84Geo; f < FormCount; ++f) {
        const Form form = static_cast<Form>(f);
        if (form == HattProj)
            continue;  // the datum shift's projection, a millimetre at its corners
        ChainPoint<Extended> there = convertPoint(TM87Proj, form, start, j.options);
        ASSERT_EQ(there.note, PointNote::None) << kFormNames[static_cast<std::size_t>(f)];
        ConvertOptions back = j.options;
        if (form == HattOkxe)
            back.okxeSheets = {there.okxe};
        const ChainPoint<Extended> again = convertPoint(form, TM87Proj, there, back);
        EXPECT_NEAR(static_cast<double>(again.a - start.a), 0, 1e-4)
            << kFormNames[static_cast<std::size_t>(f)];
        EXPECT_NEAR(static_cast<double>(again.b - start.b), 0, 1e-4)
            << kFormNames[static_cast<std::size_t>(f)];
        EXPECT_NEAR(static_cast<double>(again.c - start.c), 0, 1e-4)
            << kFormNames[static_cast<std::size_t>(f)];
    }
    // The shortest ways: HTRS07 meets WGS84 at TM87.
    EXPECT_EQ(route(HTRS07Xyz, WGS84Geo),
              (std::vector<Form>{HTRS07Xyz, HTRS07Geo, TM07Proj, TM87Proj, EGSA87Geo, EGSA87Xyz,
                                 WGS84Xyz, WGS84Geo}));
    EXPECT_EQ(route(cli::UTM34ED50, cli::TM3East),
              (std::vector<Form>{cli::UTM34ED50, TM87Proj, cli::TM3East}));
}
