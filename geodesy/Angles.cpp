#include "geodesy/Angles.h"

#include <cmath>

namespace korthal {

namespace {
// π as the extended constant of the system (the 64-bit-mantissa value).
const Extended kPiExt = 3.14159265358979324L;
const Extended kCarry = 59.999999999L;
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
    const Extended m = Int(Frac(v) * 100);
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
