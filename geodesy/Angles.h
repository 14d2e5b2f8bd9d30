#pragma once
// Angles: radians for computation, the packed sexagesimal DD.MMSSsss for the
// user (38.1530123 is 38° 15' 30.123").

#include "geodesy/Extended.h"

namespace korthal {

constexpr Extended kPi = 3.14159265358979323846264338327950288L;

// Packed DD.MMSSsss to radians. Negative values convert sign-consistently.
Extended DMSToRad(Extended v);
// Radians to packed DD.MMSSsss, with the carries of seconds and minutes at
// 59.999999999 so that 60 never shows.
Extended RadToDMS(Extended r);

// The packed angle to format with `decimals` decimals: v itself, or, when
// its seconds (or minutes) rounded to those decimals would read 60, the
// value with them carried into the minutes (and degrees), so that
// 37°59'59.999999" shows with 9 decimals as 38.000000000, never as
// 37.596000000 (37°59'60"). The sign is kept; values whose digits do not
// read as 60 after rounding are left alone.
Extended PackedToShow(Extended v, int decimals);

// Int (toward zero) and Frac, keeping the sign.
Extended Int(Extended x);
Extended Frac(Extended x);

}  // namespace korthal
