#pragma once
// The ranges that typed and imported coordinates must lie in, and the
// message that refuses a value outside them. Every place that takes a
// coordinate from the user (the grids' entry rules, a point list being
// imported) checks against these, and the grids size their columns by them.

#include "geodesy/DatumShift.h"
#include "geodesy/Extended.h"
#include "network/NumberText.h"

#include <array>
#include <string>

namespace korthal {

// An inclusive range.
struct CoordinateLimits {
    double min = 0, max = 0;
};

// WGS84 coordinates of a network point, X, Y, Z (m) in the geocentric form,
// packed φ, λ (DD.MMSSsss) and h (m) in the ellipsoidal one. A value of 0
// means "not entered" and is not checked.
inline constexpr std::array<CoordinateLimits, 3> kGeocentricLimits{
    {{4151000, 5005000}, {1545000, 2557000}, {3546692, 4248850}}};
inline constexpr std::array<CoordinateLimits, 3> kEllipsoidalLimits{{{34, 42}, {19, 29}, {0, 3000}}};
inline const CoordinateLimits& wgs84Limits(InputForm form, int axis)
{
    return (form == InputForm::Geocentric ? kGeocentricLimits
                                          : kEllipsoidalLimits)[static_cast<std::size_t>(axis)];
}

// A reference point's EGSA87 easting and northing (m) and packed φ, λ; here
// 0 is checked like any other value.
inline constexpr CoordinateLimits kReferenceEasting{38039, 961961};
inline constexpr CoordinateLimits kReferenceNorthing{3773444, 4661884};
inline constexpr CoordinateLimits kReferenceLatitude{34, 42};
inline constexpr CoordinateLimits kReferenceLongitude{19, 29};

extern const char* const kMsgBelowMinimum;  // "Ελάχιστη επιτρεπόμενη τμή : "
extern const char* const kMsgAboveMaximum;  // "Μέγιστη επιτρεπόμενη τμή : "

// Empty when v lies in `limits`; otherwise the message with the limit
// passed, written by `numbers` with `decimals` decimals (those of EGSA87
// coordinates on the screen).
std::string outOfRangeMessage(Extended v, const CoordinateLimits& limits, const NumberText& numbers,
                              int decimals);

}  // namespace korthal
