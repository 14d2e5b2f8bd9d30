#pragma once
// How good the GPS observations of a point's observation table are: epochs
// present against expected, gaps, observations per satellite, cycle slips,
// code multipath (MP1, MP2), signal strength, and, when a navigation file
// and the point's position are known, elevations, the satellites above the
// elevation mask that were not tracked, and the sky plot's tracks.
//
// Plain data from the table (RinexTable.h) and the sky (RinexSky.h); the
// command line prints it, the viewer shows it.
//
// The methods are the usual ones of GNSS quality checking:
//  - the interval is the most frequent step between epochs; the expected
//    epochs are those of that step from the first epoch to the last;
//  - a gap is a step longer than 1.5 intervals;
//  - a cycle slip is an LLI digit with its lowest bit set (lost lock), a
//    jump of the geometry-free phase L1 − L2 (metres) beyond what the
//    ionosphere does between two epochs, or a jump of the Melbourne–Wübbena
//    wide-lane combination beyond four times its running scatter (at least
//    four wide-lane cycles);
//  - MP1 and MP2 are the code-minus-carrier combinations
//      MP1 = P1 − (1 + 2/(α−1)) λ1·L1 + (2/(α−1)) λ2·L2
//      MP2 = P2 − (2α/(α−1)) λ1·L1 + (2α/(α−1) − 1) λ2·L2,   α = (f1/f2)²,
//    with the mean of each continuous arc (no slip, no gap; at least 5
//    epochs) removed, given as the RMS in metres. C1 and C2 stand in for a
//    missing P1 or P2;
//  - the signal strength is the RINEX signal-strength digit (1 to 9, about
//    a sixth of the carrier-to-noise density in dB-Hz) of L1 and L2, or of
//    their codes when the phase carries none.
// With the sky known, observations below the mask leave the slips,
// multipath and strength out; without it (and for a satellite the
// navigation file has no ephemeris of) every observation counts.

#include "views/RinexSky.h"

#include <cstdint>
#include <string>
#include <vector>

namespace korthal::rinex {

inline constexpr double kDefaultElevationMask = 10.0;

struct EpochGap {
    double after = 0;    // the last epoch before the gap (GPS seconds)
    double before = 0;   // the first epoch after it
    std::int64_t missing = 0;  // epochs of the interval that are not there
};

enum class SlipCause { LossOfLock, GeometryFree, WideLane };
const char* slipCauseName(SlipCause c);  // "lli", "gf", "mw"

struct CycleSlip {
    int prn = 0;
    double time = 0;  // the first epoch after the slip
    SlipCause cause = SlipCause::LossOfLock;
};

// A statistic that may have no value (no observations to compute it from).
struct Measure {
    double value = 0;
    std::int64_t count = 0;  // the observations it rests on; 0: no value
    bool known() const { return count > 0; }
};

struct SatelliteQuality {
    int prn = 0;
    std::int64_t observations = 0;  // epochs with any observation of it
    std::int64_t aboveMask = 0;     // of these, above the mask (sky known)
    std::int64_t expected = 0;      // epochs above the mask by the orbit (sky known)
    double first = 0, last = 0;     // its first and last epoch
    int slips = 0;
    Measure mp1, mp2;               // RMS (m)
    Measure snr1, snr2;             // mean strength digit
    Measure minElevation, maxElevation;  // degrees (sky known)
};

struct QualityReport {
    double mask = kDefaultElevationMask;
    std::vector<double> epochs;     // GPS seconds, ascending
    double interval = 0;            // seconds; 0 with fewer than two epochs
    std::int64_t expectedEpochs = 0;
    double completeness = 0;        // per cent
    std::vector<EpochGap> gaps;
    std::int64_t observations = 0;  // satellite-epochs
    std::vector<SatelliteQuality> satellites;  // by number
    std::vector<CycleSlip> slips;   // in time order
    Measure mp1, mp2, snr1, snr2;   // over all satellites
    std::vector<int> notTracked;    // above the mask by the orbit, never observed
    SkyView sky;                    // the sky parts, or why there are none

    std::int64_t epochCount() const { return static_cast<std::int64_t>(epochs.size()); }
};

// The whole report. `mask` in degrees.
QualityReport computeQuality(const MemTable& rinex, const SkySource& source,
                             double mask = kDefaultElevationMask);

}  // namespace korthal::rinex
