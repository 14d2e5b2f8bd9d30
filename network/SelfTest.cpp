#include "network/SelfTest.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <random>

namespace korthal {

namespace {

struct Range {
    const char* name;
    int SelfTestSettings::*field;
    int min, max;
};

constexpr Range kRanges[] = {
    {"Pmin", &SelfTestSettings::Pmin, 3, 9999},
    {"Pmax", &SelfTestSettings::Pmax, 3, 9999},
    {"SEklimakas", &SelfTestSettings::SEklimakas, 0, 50},
    {"SEstrofvn", &SelfTestSettings::SEstrofvn, 0, 100},
    {"SExy", &SelfTestSettings::SExy, 0, 100},
    {"SEz", &SelfTestSettings::SEz, 0, 100},
    {"SErepetitions", &SelfTestSettings::SErepetitions, 1, 1000000},
};

}  // namespace

std::string SelfTestSettings::check() const
{
    for (const auto& r : kRanges) {
        int v = this->*r.field;
        if (v < r.min || v > r.max)
            return "Η τιμή " + std::string(r.name) + " = " + std::to_string(v) +
                   " είναι εκτός των ορίων " + std::to_string(r.min) + ".." +
                   std::to_string(r.max) + ".";
    }
    if (Pmax < Pmin)
        return "Το Pmax = " + std::to_string(Pmax) + " είναι μικρότερο από το Pmin = " +
               std::to_string(Pmin) + ".";
    return {};
}

std::string SelfTest::headerLine()
{
    return NumberText(Separators{'.', ','}).FormatNumber(
        "    %10s %16s %16s        %16s %16s %16s",
        {std::string("Xb"), std::string("Yb"), std::string("Zb"), std::string("Xa"),
         std::string("Ya"), std::string("Za")});
}

SelfTestResult SelfTest::run(const SelfTestSettings& s,
                             const std::function<void(const std::string&)>& report,
                             const std::function<void(const SelfTestProgress&)>& progress)
{
    SelfTestResult result;
    stop_ = false;
    running_ = true;
    if (report)
        report(headerLine());

    std::uint64_t seed =
        seed_ ? *seed_
              : static_cast<std::uint64_t>(
                    std::chrono::high_resolution_clock::now().time_since_epoch().count());
    std::mt19937_64 gen(seed);
    std::uniform_real_distribution<double> uniform(0.0, 1.0);
    auto R = [&]() { return static_cast<Extended>(uniform(gen)); };
    // A uniform integer in 0..k-1; 0 when k <= 0.
    auto randomInt = [&](int k) {
        if (k <= 0)
            return 0;
        return std::uniform_int_distribution<int>(0, k - 1)(gen);
    };

    // The report's numbers use the system's separators, as the standard
    // formatting writes them; only the labels follow the display settings.
    const NumberText plain(numbers_.system());

    TVector Xa, Ya, Za, Xb, Yb, Zb;
    SelfTestProgress shown;
    for (int run = 1; run <= s.SErepetitions && !stop_; ++run) {
        const int n = s.Pmin + randomInt(s.Pmax - s.Pmin);
        const auto un = static_cast<std::size_t>(n);
        Xa.resize(un), Ya.resize(un), Za.resize(un), Xb.resize(un), Yb.resize(un), Zb.resize(un);

        const Extended k = s.SEklimakas, r = s.SEstrofvn, d = s.SExy, z = s.SEz;
        SimilarityParameters random;
        random.scale = (1 - k / 100) + k * R() / 50;
        random.rotX = (-r + 2 * r * R()) / 1000;
        random.rotY = (-r + 2 * r * R()) / 1000;
        random.rotZ = (-r + 2 * r * R()) / 1000;
        random.shiftX = -d + 2 * d * R();
        random.shiftY = -d + 2 * d * R();
        random.shiftZ = -z + 2 * z * R();
        tr_ = Transformation(random);

        for (std::size_t i = 0; i < un; ++i) {
            Xa[i] = 4360000 + 200000 * R();
            Ya[i] = 1790000 + 200000 * R();
            Za[i] = 4129000 + 3000 * R();
            Xb[i] = Xa[i], Yb[i] = Ya[i], Zb[i] = Za[i];
            tr_.ApplyTransformation(Xb[i], Yb[i], Zb[i]);
        }

        const Estimate estimate = EstimateTransformation(Xa, Ya, Za, Xb, Yb, Zb, criteria_);
        if (estimate.made())
            tr_ = estimate.transformation;
        shown.estimation = estimate.status;
        shown.failure.clear();

        if (report) {
            for (std::size_t i = 0; i < un; ++i)
                report(plain.FormatNumber("%3d %16.4n %16.4n %16.4n        %16.4n %16.4n %16.4n ",
                                             {static_cast<long long>(i + 1), Xa[i], Ya[i], Za[i],
                                              Xb[i], Yb[i], Zb[i]}));
        }

        Extended runDX = 0, runDY = 0, runDZ = 0;
        bool failed = false;
        for (std::size_t i = 0; i < un; ++i) {
            tr_.ApplyTransformation(Xb[i], Yb[i], Zb[i]);
            Extended dX = std::fabs(Xb[i] - Xa[i]);
            Extended dY = std::fabs(Yb[i] - Ya[i]);
            Extended dZ = std::fabs(Zb[i] - Za[i]);
            // A NaN (an estimation that broke down) fails the check as well.
            auto bad = [](Extended v) { return !(v <= kSelfTestTolerance); };
            if (bad(dX) || bad(dY) || bad(dZ)) {
                std::string msg;
                if (bad(dX))
                    msg += "Δχ = " + numbers_.floatToText(dX);
                if (bad(dY))
                    msg += "    Δy = " + numbers_.floatToText(dY);
                if (bad(dZ))
                    msg += "    Δz = " + numbers_.floatToText(dZ);
                shown.failure = msg;
                failed = true;
                break;
            }
            auto raise = [&](Extended v, Extended& overall, std::string& label) {
                if (v > overall) {
                    overall = v;
                    label = numbers_.FormatNumber("%.4n", {v * 1000});
                }
            };
            raise(dX, shown.maxDX, shown.labelDX);
            raise(dY, shown.maxDY, shown.labelDY);
            raise(dZ, shown.maxDZ, shown.labelDZ);
            runDX = std::max(runDX, dX);
            runDY = std::max(runDY, dY);
            runDZ = std::max(runDZ, dZ);
        }

        result.runs = run;
        if (failed)
            ++result.failedRuns;
        shown.run = run;
        shown.points = n;
        shown.failed = failed;

        if (report) {
            const TransformationMatrix& M = tr_.matrix();
            const SimilarityParameters& p = tr_.parameters();
            report("");
            report(plain.FormatNumber(
                "μ = %10.8n ex = %10.7n ey = %10.7n ez = %10.7n   tχ = %10.5n ty = %10.5n tz = %10.5n",
                {p.scale, p.rotX, p.rotY, p.rotZ, p.shiftX, p.shiftY, p.shiftZ}));
            report(plain.FormatNumber(
                "a11 = %13.8n  a12 = %13.8n  a13 = %13.8n  a14 = %14.8n          max Δχ = %8.6nmm",
                {M[0][0], M[0][1], M[0][2], M[0][3], runDX * 1000}));
            report(plain.FormatNumber(
                "a21 = %13.8n  a22 = %13.8n  a23 = %13.8n  a24 = %14.8n          max Δy = %8.6nmm",
                {M[1][0], M[1][1], M[1][2], M[1][3], runDY * 1000}));
            report(plain.FormatNumber(
                "a31 = %13.8n  a32 = %13.8n  a33 = %13.8n  a34 = %14.8n          max Δz = %8.6nmm",
                {M[2][0], M[2][1], M[2][2], M[2][3], runDZ * 1000}));
            report(std::string(112, '-'));
        }
        if (progress)
            progress(shown);
    }
    result.maxDX = shown.maxDX;
    result.maxDY = shown.maxDY;
    result.maxDZ = shown.maxDZ;
    result.stopped = stop_ && result.runs < s.SErepetitions;
    running_ = false;
    stop_ = false;
    return result;
}

}  // namespace korthal
