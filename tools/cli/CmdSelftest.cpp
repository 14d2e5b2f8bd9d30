// korthal-cli selftest: the random check of the seven-parameter estimation.

#include "tools/cli/Command.h"

#include "geodesy/Transformation.h"
#include "network/NumberText.h"
#include "network/SelfTest.h"
#include "project/Dialogs.h"
#include "project/TextOutput.h"

#include <charconv>
#include <iostream>
#include <optional>

namespace korthal::cli {
namespace {

std::optional<int> toInt(const std::string& s)
{
    int v = 0;
    auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (ec != std::errc() || p != s.data() + s.size())
        return std::nullopt;
    return v;
}

int runSelftest(const std::vector<std::string>& args)
{
    SelfTestSettings s;
    std::optional<std::string> reportPath;
    std::optional<std::uint64_t> seed;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&]() -> std::optional<std::string> {
            if (i + 1 >= args.size()) {
                std::cerr << "korthal-cli selftest: " << a << " needs a value\n";
                return std::nullopt;
            }
            return args[++i];
        };
        auto intOption = [&](int& field) {
            auto v = value();
            if (!v)
                return false;
            auto n = toInt(*v);
            if (!n) {
                std::cerr << "korthal-cli selftest: " << a << ": not a whole number: " << *v << '\n';
                return false;
            }
            field = *n;
            return true;
        };
        bool ok = true;
        if (a == "--runs") {
            ok = intOption(s.SErepetitions);
        } else if (a == "--points") {
            auto v = value();
            auto comma = v ? v->find(',') : std::string::npos;
            std::optional<int> lo, hi;
            if (comma != std::string::npos) {
                lo = toInt(v->substr(0, comma));
                hi = toInt(v->substr(comma + 1));
            }
            if (!lo || !hi) {
                if (v)
                    std::cerr << "korthal-cli selftest: --points wants MIN,MAX, got " << *v << '\n';
                return 2;
            }
            s.Pmin = *lo;
            s.Pmax = *hi;
        } else if (a == "--scale") {
            ok = intOption(s.SEklimakas);
        } else if (a == "--rotation") {
            ok = intOption(s.SEstrofvn);
        } else if (a == "--shift-xy") {
            ok = intOption(s.SExy);
        } else if (a == "--shift-z") {
            ok = intOption(s.SEz);
        } else if (a == "--report") {
            auto v = value();
            if (!v)
                return 2;
            reportPath = *v;
        } else if (a == "--seed") {
            int v = 0;
            if (!intOption(v))
                return 2;
            seed = static_cast<std::uint64_t>(v);
        } else {
            std::cerr << "korthal-cli selftest: unknown option " << a << '\n';
            return 2;
        }
        if (!ok)
            return 2;
    }
    if (auto complaint = s.check(); !complaint.empty()) {
        std::cerr << "korthal-cli selftest: " << complaint << '\n';
        return 2;
    }

    Transformation tr;
    NumberText numbers(Separators{'.', ','});
    SelfTest test(tr, numbers);
    if (seed)
        test.setSeed(*seed);
    std::vector<std::string> lines;
    auto report = [&](const std::string& line) { lines.push_back(line); };
    auto progress = [&](const SelfTestProgress& p) {
        // The run's messages, on stderr as the program would show them.
        if (p.estimation != EstimationStatus::Estimated)
            showMessage(messageText(p.estimation));
        if (!p.failure.empty())
            showMessage(p.failure);
        std::cout << "run " << p.run << ": " << p.points << " points"
                  << (p.failed ? ", check FAILED" : "") << '\n';
    };
    SelfTestResult r = reportPath ? test.run(s, report, progress) : test.run(s, {}, progress);
    std::cout << "runs: " << r.runs << ", failed: " << r.failedRuns << '\n'
              << "maxΔΧ  = " << numbers.FormatNumber("%.4n", {r.maxDX * 1000}) << " mm\n"
              << "maxΔΥ  = " << numbers.FormatNumber("%.4n", {r.maxDY * 1000}) << " mm\n"
              << "maxΔΖ  = " << numbers.FormatNumber("%.4n", {r.maxDZ * 1000}) << " mm\n";
    if (reportPath && !writeTextLines(*reportPath, lines)) {
        std::cerr << "korthal-cli selftest: cannot write " << *reportPath << '\n';
        return 1;
    }
    return r.failedRuns == 0 ? 0 : 1;
}

const Registration reg{Command{
    "selftest", "random check of the seven-parameter estimation",
    "Usage: korthal-cli selftest [--runs N] [--points MIN,MAX] [--scale P] [--rotation MRAD]\n"
    "                            [--shift-xy M] [--shift-z M] [--report TEST.TXT] [--seed S]\n\n"
    "Creates random groups of points, moves each by a random similarity (scale\n"
    "change up to P per cent, rotations up to MRAD milliradians, shifts up to M\n"
    "metres), estimates the seven-parameter transformation back and prints the\n"
    "largest remaining differences in millimetres. Defaults: 100 runs, 10,50\n"
    "points, 10 %, 20 mrad, 20 m, 20 m. --report writes every run to a text file\n"
    "(code page 1253). --seed makes the runs repeatable. Exit status 1 when a\n"
    "run's differences exceed 0.01 mm.\n",
    runSelftest}};

}  // namespace
}  // namespace korthal::cli
