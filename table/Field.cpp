#include "table/Field.h"

#include <cmath>

namespace korthal {

namespace {

// Days from 1970-01-01 of a civil date (proleptic Gregorian).
long long daysFromCivil(long long y, unsigned m, unsigned d)
{
    y -= m <= 2 ? 1 : 0;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const auto yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3u : 9u)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<long long>(doe) - 719468;
}

Date civilFromDays(long long z)
{
    z += 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const auto doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long long y = static_cast<long long>(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    const unsigned d = doy - (153 * mp + 2) / 5 + 1;
    const unsigned m = mp < 10 ? mp + 3 : mp - 9;
    return Date{static_cast<int>(y + (m <= 2 ? 1 : 0)), static_cast<int>(m), static_cast<int>(d)};
}

const long long kSerialEpoch = daysFromCivil(1899, 12, 30);

}  // namespace

std::int32_t Date::serial() const
{
    return static_cast<std::int32_t>(
        daysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) -
        kSerialEpoch);
}

Date Date::fromSerial(std::int32_t serial)
{
    return civilFromDays(serial + kSerialEpoch);
}

bool Date::valid() const
{
    if (month < 1 || month > 12 || day < 1 || year < 1 || year > 9999)
        return false;
    return fromSerial(serial()) == *this;
}

long long truncatedInteger(double d)
{
    if (std::isnan(d))
        return 0;
    // 2^63 is exact as a double; every double below it fits.
    if (d >= 9223372036854775808.0)
        return std::numeric_limits<long long>::max();
    if (d < -9223372036854775808.0)
        return std::numeric_limits<long long>::min();
    return static_cast<long long>(d);
}

}  // namespace korthal
