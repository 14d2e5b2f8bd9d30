#include "views/RinexSky.h"

#include "views/RinexTable.h"

#include <cmath>
#include <cstdio>

namespace korthal::rinex {

double recordTime(const MemTable& t, Rec r)
{
    const Date d = t.getDate(r, rnx::Date);
    return gnss::gpsSeconds(d.year, d.month, d.day, static_cast<int>(t.getInteger(r, rnx::Hour)),
                            static_cast<int>(t.getInteger(r, rnx::min)), t.getFloat(r, rnx::sec));
}

std::string formatGpsTime(double t)
{
    const gnss::GpsCalendar c = gnss::gpsCalendar(std::round(t));
    char buf[40];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d", c.year, c.month, c.day, c.hour,
                  c.minute, static_cast<int>(std::lround(c.second)) % 60);
    return buf;
}

std::optional<gnss::LookAngles> SkyGeometry::look(int prn, double t) const
{
    const gnss::GpsEphemeris* eph = ephemerides_.nearest(prn, t);
    if (!eph)
        return std::nullopt;
    return horizon_.look(gnss::satelliteSeenFrom(*eph, horizon_.receiver(), t));
}

bool unusablePosition(const std::optional<Position>& p)
{
    if (!p)
        return true;
    const double r = std::sqrt(p->X * p->X + p->Y * p->Y + p->Z * p->Z);
    // From the Dead Sea shore to the highest summits, with room to spare.
    return !(r > 6.30e6 && r < 6.45e6);
}

std::int64_t forEachObservationLook(const MemTable& t, const SkyGeometry& sky,
                                    const std::function<void(const ObservationLook&)>& visit)
{
    std::int64_t missing = 0;
    const int n = t.recordCount();
    for (int row = 0; row < n; ++row) {
        const Rec r = t.recAt(row);
        ObservationLook o;
        o.time = recordTime(t, r);
        o.prn = static_cast<int>(t.getInteger(r, rnx::PRN));
        const auto angles = sky.look(o.prn, o.time);
        if (!angles) {
            ++missing;
            continue;
        }
        o.angles = *angles;
        visit(o);
    }
    return missing;
}

}  // namespace korthal::rinex
