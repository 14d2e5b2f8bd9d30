#pragma once
// The self-test of the seven-parameter estimation: random groups of points
// are moved by a random similarity, the transformation back is estimated and
// applied, and the largest remaining differences are reported.
//
// The test runs on the caller's thread. After every run it calls the progress
// callback, in which a window may process its events; requestStop() (from
// the window's stop button) ends the test after the current run.

#include "geodesy/Extended.h"
#include "geodesy/Transformation.h"
#include "network/NumberText.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace korthal {

// The controls of the test page, with their ranges and defaults.
struct SelfTestSettings {
    int Pmin = 10;           // 3..9999, smallest number of points per run
    int Pmax = 50;           // 3..9999, the number of points stays below it unless equal
    int SEklimakas = 10;     // 0..50, scale change limit, per cent
    int SEstrofvn = 20;      // 0..100, rotation limit, milliradians
    int SExy = 20;           // 0..100, shift limit of X and Y, metres
    int SEz = 20;            // 0..100, shift limit of Z, metres
    int SErepetitions = 100; // 1..1000000, number of runs

    // Empty when every value lies in its range, else the first complaint, in
    // Greek, for the page to show.
    std::string check() const;
};

// What the page shows after each run.
struct SelfTestProgress {
    int run = 0;                      // runs done so far
    int points = 0;                   // points of this run
    Extended maxDX = 0, maxDY = 0, maxDZ = 0;  // overall maxima, metres
    // The overall maxima in millimetres as the labels show them ("%.4n").
    std::string labelDX, labelDY, labelDZ;
    bool failed = false;              // this run's check failed
    // How this run's estimation went, and the run's differences above the
    // limit ("Δχ = ...", empty when the check passed): the messages for the
    // caller to show, which the test itself never does.
    EstimationStatus estimation = EstimationStatus::Estimated;
    std::string failure;
};

struct SelfTestResult {
    int runs = 0;         // runs completed
    int failedRuns = 0;   // runs whose check failed
    Extended maxDX = 0, maxDY = 0, maxDZ = 0;  // metres
    bool stopped = false; // ended by requestStop()
};

class SelfTest {
public:
    // The test writes its random and estimated transformations into tr (the
    // transformation in force); numbers formats the labels with its display
    // separators, and the report with its system ones. What each run met is
    // told through the progress callback.
    SelfTest(Transformation& tr, const NumberText& numbers) : tr_(tr), numbers_(numbers) {}

    // The seed of the random generator; without one it is taken from the clock.
    void setSeed(std::uint64_t seed) { seed_ = seed; }
    // Convergence criteria of the estimation (the settings' spin edits).
    void setCriteria(const ConvergenceCriteria& c) { criteria_ = c; }

    // Runs the test. report, when given, receives every line of the report
    // file (UTF-8, without line ends), beginning with the header.
    SelfTestResult run(const SelfTestSettings& settings,
                       const std::function<void(const std::string&)>& report = {},
                       const std::function<void(const SelfTestProgress&)>& progress = {});

    void requestStop() { stop_ = true; }
    bool running() const { return running_; }

    // The report's header line.
    static std::string headerLine();

private:
    Transformation& tr_;
    const NumberText& numbers_;
    std::optional<std::uint64_t> seed_;
    ConvergenceCriteria criteria_;
    std::atomic<bool> stop_{false};
    bool running_ = false;
};

// Limit of the check: a difference above it fails the run (metres).
constexpr Extended kSelfTestTolerance = 1e-5L;

}  // namespace korthal
