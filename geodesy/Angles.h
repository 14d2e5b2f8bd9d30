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

// Int (toward zero) and Frac, keeping the sign.
Extended Int(Extended x);
Extended Frac(Extended x);

}  // namespace korthal
