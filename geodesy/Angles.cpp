#include "geodesy/Angles.h"

#include <cmath>

namespace korthal {

namespace {
// π as the extended constant of the system (the 64-bit-mantissa value).
const Extended kPiExt = 3.14159265358979324L;
const Extended kCarry = 59.999999999L;
const Extended kMinuteNudge = 1e-9L;
}  // namespace

Extended Int(Extended x)
{
    return std::trunc(x);
}

Extended Frac(Extended x)
{
    return x - std::trunc(x);
}

Extended DMSToRad(Extended v)
{
    // A packed value such as 23.30 is not exact in binary: its minute digits
    // may come out as 29.99999999999999 and would truncate to 29' plus 99.99".
    // Whole minutes are therefore taken after a nudge far below any seconds
    // digit a user can type (1e-9 minute digits = 1e-7").
    const Extended m = Int(Frac(v) * 100 + std::copysign(kMinuteNudge, v));
    const Extended s = (Frac(v) * 100 - m) * 100;
    return (Int(v) + m / 60 + s / 3600) * kPiExt / 180;
}

Extended RadToDMS(Extended r)
{
    const Extended x = r * 180 / kPiExt;
    Extended d = Int(x);
    Extended m = Int(Frac(x) * 60);
    Extended s = (Frac(x) * 60 - m) * 60;
    if (s > kCarry) {
        s = s - 60;
        m = m + 1;
    }
    if (m > kCarry) {
        m = m - 60;
        d = d + 1;
    }
    return d + m / 100 + s / 10000;
}

}  // namespace korthal
