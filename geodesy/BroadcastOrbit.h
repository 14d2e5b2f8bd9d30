#pragma once
// GPS satellite positions from the broadcast ephemeris, and where a satellite
// stands in the sky of a point on the ground.
//
// The orbit is the user algorithm of the GPS interface specification
// IS-GPS-200 (table 20-IV): mean motion corrected by Δn, Kepler's equation
// solved by iteration, the second-harmonic corrections of the argument of
// latitude, the radius and the inclination, and the longitude of the
// ascending node turned by the Earth's rotation since the start of the week.
// The constants are the specification's own (μ = 3.986005e14 m³/s²,
// Ω̇e = 7.2921151467e-5 rad/s). The position agrees with other
// implementations of the same algorithm to a few millimetres; against the
// true orbit the broadcast ephemeris is good to a metre or two.
//
// Times are GPS time in seconds since the GPS epoch 1980-01-06 00:00:00,
// held in a double (a microsecond at today's dates, four millimetres of
// satellite motion).
//
// Plain maths: no files, no messages. The navigation file reader
// (views/RinexNavigation.h) fills GpsEphemeris.

#include "geodesy/Ellipsoids.h"

#include <vector>

namespace korthal::gnss {

inline constexpr double kSecondsPerWeek = 604800.0;
inline constexpr double kSpeedOfLight = 299792458.0;        // m/s
inline constexpr double kGpsMu = 3.986005e14;               // m³/s², IS-GPS-200
inline constexpr double kEarthRotation = 7.2921151467e-5;   // rad/s, IS-GPS-200

// GPS seconds of a calendar date and time of day read in GPS time (no leap
// seconds: GPS time runs on without them).
double gpsSeconds(int year, int month, int day, int hour, int minute, double second);

// The calendar date and time of day of GPS seconds.
struct GpsCalendar {
    int year = 0, month = 0, day = 0;
    int hour = 0, minute = 0;
    double second = 0;
};
GpsCalendar gpsCalendar(double gpsSeconds);

// One broadcast ephemeris of a GPS satellite (subframes 1 to 3), angles in
// radians, times as GPS seconds.
struct GpsEphemeris {
    int prn = 0;
    double toc = 0;                       // clock reference time
    double af0 = 0, af1 = 0, af2 = 0;     // clock bias (s), drift (s/s), drift rate (s/s²)
    double iode = 0;
    double crs = 0, crc = 0;              // radius corrections (m)
    double cuc = 0, cus = 0;              // argument of latitude corrections (rad)
    double cic = 0, cis = 0;              // inclination corrections (rad)
    double deltaN = 0;                    // mean motion difference (rad/s)
    double m0 = 0;                        // mean anomaly at toe
    double e = 0;                         // eccentricity
    double sqrtA = 0;                     // square root of the semi-major axis (√m)
    double toe = 0;                       // ephemeris reference time
    double omega0 = 0;                    // longitude of the ascending node at the week's start
    double i0 = 0;                        // inclination at toe
    double omega = 0;                     // argument of perigee
    double omegaDot = 0;                  // rate of right ascension (rad/s)
    double iDot = 0;                      // rate of inclination (rad/s)
    int week = 0;                         // GPS week of toe, continuous
    double health = 0;                    // 0: healthy
    double fitHours = 0;                  // fit interval (h); 0 when not given
};

// Whether an ephemeris can serve at time t: within half its fit interval of
// toe, and at least two hours (the usual spacing of new ephemerides).
bool ephemerisValidAt(const GpsEphemeris& eph, double t);

// The satellite's antenna phase centre at GPS time t, in the Earth-fixed
// frame of that same instant (WGS84, m).
BasicGeocentric<double> satellitePosition(const GpsEphemeris& eph, double t);

// The satellite clock's offset from GPS time at t (s): the polynomial with
// the relativistic correction for the eccentric orbit (no group delay).
double satelliteClockOffset(const GpsEphemeris& eph, double t);

// Where the signal received at `receiver` at GPS time tReceive left the
// satellite, in the Earth-fixed frame of the reception: the signal's travel
// time found by iteration, and the Earth's turn during it (the Sagnac
// rotation about Z).
BasicGeocentric<double> satelliteSeenFrom(const GpsEphemeris& eph,
                                          const BasicGeocentric<double>& receiver,
                                          double tReceive);

// Azimuth (degrees clockwise from north, 0 to 360) and elevation (degrees
// above the ellipsoid's tangent plane) of a point seen from another, on the
// WGS84 ellipsoid.
struct LookAngles {
    double azimuth = 0;
    double elevation = 0;
};

// The rotation of a fixed receiver's local horizon: computed once per
// receiver, then applied to every satellite it sees.
class LocalHorizon {
public:
    explicit LocalHorizon(const BasicGeocentric<double>& receiver);
    LookAngles look(const BasicGeocentric<double>& target) const;
    const BasicGeocentric<double>& receiver() const { return receiver_; }

private:
    BasicGeocentric<double> receiver_;
    double east_[3], north_[3], up_[3];
};

// The broadcast ephemerides of a navigation file, by satellite.
class EphemerisSet {
public:
    EphemerisSet() = default;
    explicit EphemerisSet(std::vector<GpsEphemeris> all);

    // The ephemeris of satellite prn whose toe is nearest t and that is valid
    // at t (the later of two equally near); nullptr when none is.
    const GpsEphemeris* nearest(int prn, double t) const;

    bool empty() const { return count_ == 0; }
    std::size_t size() const { return count_; }
    // The satellites that have at least one ephemeris, ascending.
    std::vector<int> satellites() const;

private:
    std::vector<std::vector<GpsEphemeris>> byPrn_;  // index prn, each sorted by toe
    std::size_t count_ = 0;
};

}  // namespace korthal::gnss
