#pragma once
// Reading RINEX navigation files: the GPS broadcast ephemerides.
//
// Versions 2 (GPS navigation, ".YYn") and 3 and 4 (mixed navigation, "_MN",
// or GPS only, "_GN") are read. Only GPS ephemerides (in RINEX 4 the legacy
// "LNAV" message) are kept; records of other systems and other messages
// (GLONASS, Galileo, BeiDou, SBAS, CNAV, system time, Earth orientation,
// ionosphere) are read past and counted.
//
// A record with a number that cannot be read is named by its line and
// skipped, and reading goes on: one damaged ephemeris loses that satellite
// for two hours at most, never the whole file. Only a file that is no
// navigation file at all (no navigation header) is refused as a whole.
//
// The reader takes its lines from a LineSource (RinexTextLines.h); it knows
// nothing of the observation table or of the sky computations that use the
// ephemerides (RinexSky.h).

#include "geodesy/BroadcastOrbit.h"
#include "views/RinexTextLines.h"

#include <cstdint>
#include <string>
#include <vector>

namespace korthal::rinex {

// One record skipped, and why (Greek, naming the file and the line).
struct NavigationFinding {
    std::int64_t line = 0;  // 1-based
    std::string message;
};

enum class NavigationStatus {
    Ok,
    CannotOpen,      // nothing read
    NotNavigation,   // no navigation header: nothing read
};

struct NavigationResult {
    NavigationStatus status = NavigationStatus::Ok;
    std::string message;       // Greek, for anything but Ok
    double version = 0;
    std::vector<gnss::GpsEphemeris> ephemerides;  // GPS, in file order
    std::int64_t otherRecords = 0;                // records of other systems and messages
    std::vector<NavigationFinding> findings;      // records skipped
    bool ok() const { return status == NavigationStatus::Ok; }
};

// Reads the lines of a navigation file; `name` names it in messages.
NavigationResult readNavigation(const LineSource& lines, const std::string& name);

// Opens the file (openRinexTextLines) and reads it.
NavigationResult readNavigationFile(const std::string& path);

// The navigation files that may belong to an observation file, in the order
// to try them, beside it in its folder: RINEX 2 "ssssdddf.yyo" gives
// "ssssdddf.yyn" (and "N" for an upper-case name); RINEX 3 and 4 long names
// "..._MO.rnx" / "..._MO.crx" give "..._MN.rnx" and then "..._GN.rnx". Empty
// when the name follows neither pattern. Names only: the caller checks which
// exist.
std::vector<std::string> navigationFileCandidates(const std::string& observationFile);

}  // namespace korthal::rinex
