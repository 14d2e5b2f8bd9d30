// The random check of the seven-parameter estimation.

#include "network/SelfTest.h"

#include <gtest/gtest.h>

namespace korthal {
namespace {

TEST(SelfTest, AllLimitsZeroGiveTheIdentityAndTinyDifferences)
{
    Transformation tr;
    NumberText numbers(Separators{'.', ','});
    SelfTest test(tr, numbers);
    test.setSeed(42);
    SelfTestSettings s;
    s.SEklimakas = s.SEstrofvn = s.SExy = s.SEz = 0;
    s.Pmin = s.Pmax = 7;
    s.SErepetitions = 5;
    ASSERT_EQ(s.check(), "");
    std::vector<int> points;
    int messages = 0;
    SelfTestResult r = test.run(s, {}, [&](const SelfTestProgress& p) {
        points.push_back(p.points);
        messages += (p.estimation != EstimationStatus::Estimated) + !p.failure.empty();
    });
    EXPECT_EQ(r.runs, 5);
    EXPECT_EQ(r.failedRuns, 0);
    EXPECT_LT(r.maxDX, 1e-7);
    EXPECT_LT(r.maxDY, 1e-7);
    EXPECT_LT(r.maxDZ, 1e-7);
    EXPECT_EQ(points, std::vector<int>(5, 7));  // Pmin = Pmax: exactly that many
    EXPECT_EQ(messages, 0);
    EXPECT_NEAR(double(tr.parameters().scale), 1.0, 1e-12);
    EXPECT_FALSE(test.running());
}

TEST(SelfTest, ReportHoldsEveryRunInItsFormat)
{
    Transformation tr;
    NumberText numbers(Separators{'.', ','});
    SelfTest test(tr, numbers);
    test.setSeed(1);
    SelfTestSettings s;
    s.Pmin = s.Pmax = 4;
    s.SErepetitions = 2;
    std::vector<std::string> lines;
    SelfTestResult r = test.run(s, [&](const std::string& l) { lines.push_back(l); });
    EXPECT_EQ(r.failedRuns, 0);
    // Header, then per run: 4 point lines, an empty line, the parameters,
    // three matrix lines and the separator.
    ASSERT_EQ(lines.size(), 1u + 2 * (4 + 1 + 1 + 3 + 1));
    EXPECT_EQ(lines[0], "            Xb               Yb               Zb                      Xa  "
                        "             Ya               Za");
    EXPECT_EQ(lines[1].substr(0, 4), "  1 ");
    EXPECT_EQ(lines[1].size(), 4u + 3 * 17 + 7 + 3 * 17);
    EXPECT_EQ(lines[5], "");
    EXPECT_EQ(lines[6].rfind("μ = ", 0), 0u);
    EXPECT_EQ(lines[7].rfind("a11 = ", 0), 0u);
    EXPECT_NE(lines[7].find("max Δχ = "), std::string::npos);
    EXPECT_EQ(lines[7].substr(lines[7].size() - 2), "mm");
    EXPECT_EQ(lines[10], std::string(112, '-'));
    EXPECT_EQ(lines[11].substr(0, 4), "  1 ");
}

TEST(SelfTest, ReportUsesTheSystemSeparatorsAndTheLabelsTheDisplayOnes)
{
    Transformation tr;
    // System: point and comma; the user shows comma and point.
    NumberText numbers(Separators{'.', ','});
    numbers.setDisplay(Separators{',', '.'});
    SelfTest test(tr, numbers);
    test.setSeed(3);
    SelfTestSettings s;
    s.Pmin = s.Pmax = 3;
    s.SErepetitions = 1;
    std::vector<std::string> lines;
    std::string label;
    test.run(s, [&](const std::string& l) { lines.push_back(l); },
             [&](const SelfTestProgress& p) { label = p.labelDX; });
    ASSERT_EQ(lines.size(), 1u + 3 + 6);
    // Xa lies between 4 360 000 and 4 560 000: grouped with commas, four
    // decimals after a point.
    const std::string xa = lines[1].substr(4, 17);
    EXPECT_EQ(xa.find_first_not_of(' '), 2u) << lines[1];
    EXPECT_EQ(xa[3], ',') << xa;
    EXPECT_EQ(xa[7], ',') << xa;
    EXPECT_EQ(xa[11], '.') << xa;
    EXPECT_EQ(lines[5].rfind("μ = ", 0), 0u);
    EXPECT_EQ(lines[5].find(','), std::string::npos) << lines[5];  // no grouping in the parameters
    EXPECT_NE(lines[5].find('.'), std::string::npos) << lines[5];
    EXPECT_EQ(lines[6].rfind("a11 = ", 0), 0u);
    EXPECT_EQ(lines[6].substr(lines[6].size() - 9, 1), ".") << lines[6];  // max Δχ = d.dddddd
    // The labels follow the display settings.
    ASSERT_FALSE(label.empty());
    EXPECT_NE(label.find(','), std::string::npos) << label;
    EXPECT_EQ(label.find('.'), std::string::npos) << label;
}

TEST(SelfTest, StopRequestEndsAfterTheCurrentRunAndRangesAreChecked)
{
    Transformation tr;
    NumberText numbers(Separators{'.', ','});
    SelfTest test(tr, numbers);
    SelfTestSettings s;
    s.SErepetitions = 1000;
    s.Pmin = 3, s.Pmax = 5;
    SelfTestResult r = test.run(s, {}, [&](const SelfTestProgress& p) {
        EXPECT_TRUE(test.running());
        EXPECT_GE(p.points, 3);
        EXPECT_LT(p.points, 5);  // Pmax itself is never drawn
        if (p.run == 3)
            test.requestStop();
    });
    EXPECT_EQ(r.runs, 3);
    EXPECT_TRUE(r.stopped);

    s.Pmin = 2;
    EXPECT_NE(s.check(), "");
    EXPECT_EQ(s.check(), "Η τιμή Pmin = 2 είναι εκτός των ορίων 3..9999.");
    s.Pmin = 10, s.Pmax = 9;
    EXPECT_NE(s.check(), "");
    EXPECT_EQ(s.check(), "Το Pmax = 9 είναι μικρότερο από το Pmin = 10.");
    s.Pmax = 10, s.SEklimakas = 51;
    EXPECT_NE(s.check(), "");
}

}  // namespace
}  // namespace korthal
