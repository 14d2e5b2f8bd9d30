#include "geodesy/Angles.h"

#include <algorithm>
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

Extended PackedToShow(Extended v, int decimals)
{
    if (decimals < 1 || decimals > 15 || !std::isfinite(v))
        return v;
    auto pow10 = [](int k) {
        long long p = 1;
        while (k-- > 0)
            p *= 10;
        return p;
    };
    const Extended a = std::fabs(v);
    if (a * static_cast<Extended>(pow10(decimals)) > 9e17L)
        return v;
    // The digits as shown, counted in units of at least the fourth decimal
    // (whole seconds), so that minutes and seconds are two digits each.
    const int w = std::max(decimals, 4);
    long long r = std::llround(a * static_cast<Extended>(pow10(decimals))) * pow10(w - decimals);
    const long long degree = pow10(w), minute = pow10(w - 2), second = pow10(w - 4);
    bool carried = false;
    if (r % degree / second % 100 == 60) {
        r += 40 * second;  // 60 seconds become the next minute
        carried = true;
    }
    if (r % degree / minute == 60) {
        r += 40 * minute;  // 60 minutes become the next degree
        carried = true;
    }
    if (!carried)
        return v;
    const Extended shown = static_cast<Extended>(r / degree) +
                           static_cast<Extended>(r % degree) / static_cast<Extended>(degree);
    return v < 0 ? -shown : shown;
}

}  // namespace korthal
