#include "geodesy/BroadcastOrbit.h"

#include <algorithm>
#include <cmath>

namespace korthal::gnss {

namespace {

constexpr double kPi = 3.14159265358979323846;
// The relativistic clock term's constant F = -2√μ / c² (s/√m), IS-GPS-200.
constexpr double kRelativityF = -4.442807633e-10;

// Days from 1970-01-01 of a date of the proleptic Gregorian calendar.
long long daysFromCivil(int y, int m, int d)
{
    y -= m <= 2 ? 1 : 0;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const long long yoe = y - era * 400;
    const long long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const long long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

// 1980-01-06, the GPS epoch, in days from 1970-01-01.
constexpr long long kGpsEpochDays = 3657;

double eccentricAnomaly(double meanAnomaly, double e)
{
    // Newton's method on E - e sin E = M; for GPS orbits (e < 0.03) four or
    // five steps reach the last bit.
    double E = meanAnomaly;
    for (int i = 0; i < 30; ++i) {
        const double step = (E - e * std::sin(E) - meanAnomaly) / (1.0 - e * std::cos(E));
        E -= step;
        if (std::fabs(step) < 1e-14)
            break;
    }
    return E;
}

}  // namespace

double gpsSeconds(int year, int month, int day, int hour, int minute, double second)
{
    const long long days = daysFromCivil(year, month, day) - kGpsEpochDays;
    return static_cast<double>(days) * 86400.0 + hour * 3600.0 + minute * 60.0 + second;
}

GpsCalendar gpsCalendar(double t)
{
    GpsCalendar c;
    const double dayCount = std::floor(t / 86400.0);
    double rest = t - dayCount * 86400.0;
    // Civil date from days (the inverse of daysFromCivil).
    const long long z = static_cast<long long>(dayCount) + kGpsEpochDays + 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const long long doe = z - era * 146097;
    const long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const long long mp = (5 * doy + 2) / 153;
    c.day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    c.month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    c.year = static_cast<int>(yoe + era * 400 + (c.month <= 2 ? 1 : 0));
    c.hour = static_cast<int>(rest / 3600.0);
    rest -= c.hour * 3600.0;
    c.minute = static_cast<int>(rest / 60.0);
    c.second = rest - c.minute * 60.0;
    return c;
}

bool ephemerisValidAt(const GpsEphemeris& eph, double t)
{
    const double halfFit = std::max(2.0, eph.fitHours / 2.0) * 3600.0;
    return std::fabs(t - eph.toe) <= halfFit;
}

BasicGeocentric<double> satellitePosition(const GpsEphemeris& eph, double t)
{
    const double A = eph.sqrtA * eph.sqrtA;
    const double tk = t - eph.toe;
    const double n = std::sqrt(kGpsMu / (A * A * A)) + eph.deltaN;
    const double E = eccentricAnomaly(eph.m0 + n * tk, eph.e);
    const double sinE = std::sin(E), cosE = std::cos(E);
    const double v = std::atan2(std::sqrt(1.0 - eph.e * eph.e) * sinE, cosE - eph.e);
    const double phi = v + eph.omega;
    const double sin2 = std::sin(2.0 * phi), cos2 = std::cos(2.0 * phi);
    const double u = phi + eph.cus * sin2 + eph.cuc * cos2;
    const double r = A * (1.0 - eph.e * cosE) + eph.crs * sin2 + eph.crc * cos2;
    const double i = eph.i0 + eph.cis * sin2 + eph.cic * cos2 + eph.iDot * tk;
    const double x = r * std::cos(u), y = r * std::sin(u);
    // The node's longitude counts from the start of the week of toe.
    const double toeOfWeek = eph.toe - std::floor(eph.toe / kSecondsPerWeek) * kSecondsPerWeek;
    const double node =
        eph.omega0 + (eph.omegaDot - kEarthRotation) * tk - kEarthRotation * toeOfWeek;
    const double sinN = std::sin(node), cosN = std::cos(node), cosI = std::cos(i);
    return {x * cosN - y * cosI * sinN, x * sinN + y * cosI * cosN, y * std::sin(i)};
}

double satelliteClockOffset(const GpsEphemeris& eph, double t)
{
    const double dt = t - eph.toc;
    const double A = eph.sqrtA * eph.sqrtA;
    const double n = std::sqrt(kGpsMu / (A * A * A)) + eph.deltaN;
    const double E = eccentricAnomaly(eph.m0 + n * (t - eph.toe), eph.e);
    return eph.af0 + eph.af1 * dt + eph.af2 * dt * dt +
           kRelativityF * eph.e * eph.sqrtA * std::sin(E);
}

BasicGeocentric<double> satelliteSeenFrom(const GpsEphemeris& eph,
                                          const BasicGeocentric<double>& receiver,
                                          double tReceive)
{
    double travel = 0.075;  // about 20 000 km
    BasicGeocentric<double> seen;
    for (int pass = 0; pass < 3; ++pass) {
        const BasicGeocentric<double> p = satellitePosition(eph, tReceive - travel);
        // The Earth turned under the signal: express the point of departure
        // in the frame of the moment of reception.
        const double turn = kEarthRotation * travel;
        const double c = std::cos(turn), s = std::sin(turn);
        seen = {c * p.X + s * p.Y, -s * p.X + c * p.Y, p.Z};
        const double dx = seen.X - receiver.X, dy = seen.Y - receiver.Y, dz = seen.Z - receiver.Z;
        travel = std::sqrt(dx * dx + dy * dy + dz * dz) / kSpeedOfLight;
    }
    return seen;
}

LocalHorizon::LocalHorizon(const BasicGeocentric<double>& receiver) : receiver_(receiver)
{
    const BasicGeographic<double> g =
        GeocentricToEllipsoidal<double>(WGS84, receiver.X, receiver.Y, receiver.Z);
    // The longitude of the whole globe: the conversion's own serves Greece
    // (a half-turn around Greenwich) and a GPS receiver may stand anywhere.
    const double lambda = std::atan2(receiver.Y, receiver.X);
    const double sp = std::sin(g.phi), cp = std::cos(g.phi);
    const double sl = std::sin(lambda), cl = std::cos(lambda);
    east_[0] = -sl, east_[1] = cl, east_[2] = 0;
    north_[0] = -sp * cl, north_[1] = -sp * sl, north_[2] = cp;
    up_[0] = cp * cl, up_[1] = cp * sl, up_[2] = sp;
}

LookAngles LocalHorizon::look(const BasicGeocentric<double>& target) const
{
    const double d[3] = {target.X - receiver_.X, target.Y - receiver_.Y, target.Z - receiver_.Z};
    const double e = d[0] * east_[0] + d[1] * east_[1];
    const double n = d[0] * north_[0] + d[1] * north_[1] + d[2] * north_[2];
    const double u = d[0] * up_[0] + d[1] * up_[1] + d[2] * up_[2];
    LookAngles a;
    a.azimuth = std::atan2(e, n) * 180.0 / kPi;
    if (a.azimuth < 0)
        a.azimuth += 360.0;
    a.elevation = std::atan2(u, std::sqrt(e * e + n * n)) * 180.0 / kPi;
    return a;
}

EphemerisSet::EphemerisSet(std::vector<GpsEphemeris> all)
{
    for (GpsEphemeris& e : all) {
        if (e.prn < 1 || e.prn > 99)
            continue;
        if (byPrn_.size() <= static_cast<std::size_t>(e.prn))
            byPrn_.resize(static_cast<std::size_t>(e.prn) + 1);
        byPrn_[static_cast<std::size_t>(e.prn)].push_back(e);
        ++count_;
    }
    for (auto& list : byPrn_)
        std::stable_sort(list.begin(), list.end(),
                         [](const GpsEphemeris& a, const GpsEphemeris& b) { return a.toe < b.toe; });
}

const GpsEphemeris* EphemerisSet::nearest(int prn, double t) const
{
    if (prn < 0 || static_cast<std::size_t>(prn) >= byPrn_.size())
        return nullptr;
    const auto& list = byPrn_[static_cast<std::size_t>(prn)];
    // The first toe after t and the one before it are the candidates.
    const auto after = std::upper_bound(list.begin(), list.end(), t,
                                        [](double x, const GpsEphemeris& e) { return x < e.toe; });
    const GpsEphemeris* best = nullptr;
    if (after != list.end() && ephemerisValidAt(*after, t))
        best = &*after;
    if (after != list.begin()) {
        // Of several with the same toe (repeated broadcasts) the last.
        const GpsEphemeris& before = *(after - 1);
        if (ephemerisValidAt(before, t) &&
            (!best || t - before.toe < best->toe - t))
            best = &before;
    }
    return best;
}

std::vector<int> EphemerisSet::satellites() const
{
    std::vector<int> out;
    for (std::size_t p = 0; p < byPrn_.size(); ++p)
        if (!byPrn_[p].empty())
            out.push_back(static_cast<int>(p));
    return out;
}

}  // namespace korthal::gnss
