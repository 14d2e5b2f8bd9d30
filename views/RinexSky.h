#pragma once
// Where the satellites of an observation table stood in the point's sky:
// azimuth and elevation of every observation from the broadcast
// ephemerides of a navigation file (RinexNavigation.h) and the point's
// position, and the tracks the sky plot draws.
//
// Plain data: the sky plot painter (paint/SkyPlotPainter.h) draws a SkyView,
// the quality report (RinexQuality.h) counts with it, `korthal-cli rinex-sky`
// prints the angles.

#include "geodesy/BroadcastOrbit.h"
#include "table/MemTable.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace korthal::rinex {

using Position = BasicGeocentric<double>;

// The GPS time (seconds since 1980-01-06) of a record of an observation
// table: its date, hour, minute and seconds as the receiver wrote them.
double recordTime(const MemTable& rinex, Rec r);

// "YYYY-MM-DD hh:mm:ss" of GPS seconds, rounded to the whole second.
std::string formatGpsTime(double t);

// The satellites' look angles from one point.
class SkyGeometry {
public:
    SkyGeometry(const gnss::EphemerisSet& ephemerides, const Position& receiver)
        : ephemerides_(ephemerides), horizon_(receiver)
    {
    }
    // Azimuth and elevation (degrees) of satellite prn at GPS time t, from
    // the ephemeris nearest in time; nullopt when none is valid then.
    std::optional<gnss::LookAngles> look(int prn, double t) const;
    const gnss::EphemerisSet& ephemerides() const { return ephemerides_; }

private:
    const gnss::EphemerisSet& ephemerides_;
    gnss::LocalHorizon horizon_;
};

// What the sky computations are given: the ephemerides (none when there is
// no usable navigation file, and then why) and the point's position.
struct SkySource {
    const gnss::EphemerisSet* ephemerides = nullptr;
    std::string navigationName;   // the file the ephemerides came from
    std::string missingReason;    // Greek: why there are none
    std::optional<Position> position;
    std::string positionSource;   // where the position came from, for the report
};

// The point's position is no position at all: missing, or (0, 0, 0) as a
// header without one gives, or not near the Earth's surface.
bool unusablePosition(const std::optional<Position>& p);

// One point of a satellite's track.
struct SkyPoint {
    float azimuth = 0;    // degrees clockwise from north
    float elevation = 0;  // degrees
    std::int32_t epoch = 0;  // index into the report's epoch list
    std::uint8_t snr = 0;    // signal-strength digit 1..9, 0 unknown
    bool newArc = false;     // not joined to the point before
};

struct SkyTrack {
    int prn = 0;
    bool tracked = true;  // false: above the mask by the orbit, never observed
    std::vector<SkyPoint> points;  // in time order, thinned for drawing
};

struct SkyView {
    bool available = false;
    std::string reason;     // Greek: why not available
    double mask = 10;       // elevation mask (degrees)
    Position position;      // where the sky was seen from
    std::vector<SkyTrack> tracks;  // tracked satellites first, each by number
};

// The observation's look angles, one call per record of the table that has a
// valid ephemeris, in the table's current index order.
struct ObservationLook {
    double time = 0;  // GPS seconds
    int prn = 0;
    gnss::LookAngles angles;
};
// Returns the number of records left out for want of a valid ephemeris.
std::int64_t forEachObservationLook(const MemTable& rinex, const SkyGeometry& sky,
                                    const std::function<void(const ObservationLook&)>& visit);

}  // namespace korthal::rinex
