#pragma once
// The chain of coordinate forms that "korthal-cli convert" walks, one step at
// a time to a neighbour:
//   wgs84-geo <-> wgs84-xyz <-> egsa87-xyz <-> egsa87-geo <-> tm87 <-> hatt
//
// The chain runs in Extended, as the coordinate calculator computes, or in
// double for speed. The double run watches for the places where it could end
// up on the other side of a step of the computation (a point far outside
// Greece, a footpoint iteration that stops near its limit, a position on an
// edge of the geoid grid or halfway between two of its decimetres) and then
// says that the Extended run must decide.

#include "geodesy/DatumShift.h"
#include "geodesy/Extended.h"
#include "geodesy/HATT.h"

#include <array>
#include <optional>
#include <string>

namespace korthal::cli {

// The forms in the order of the chain.
enum Form { WGS84Geo, WGS84Xyz, EGSA87Xyz, EGSA87Geo, TM87Proj, HattProj, FormCount };

constexpr std::array<const char*, FormCount> kFormNames = {
    "wgs84-geo", "wgs84-xyz", "egsa87-xyz", "egsa87-geo", "tm87", "hatt"};

std::optional<Form> formNamed(const std::string& name);
inline bool isGeographic(Form f) { return f == WGS84Geo || f == EGSA87Geo; }

struct ConvertOptions {
    int decimals = 4;
    std::optional<Extended> undulation;  // fixed EGSA87 undulation, else the geoid model
    Extended hattUndulation = -2.5L;
    std::optional<HattSheet> sheet;
    DatumShiftTable shifts;
};

// A point in one form: geographic forms hold φ, λ in radians and h; the
// others their three coordinates. `sheet` goes with the HATT form.
template <class T>
struct ChainPoint {
    T a = 0, b = 0, c = 0;
    HattSheet sheet;
};

// What a run met that it could not settle alone.
struct ChainWatch {
    // Set by the double run: the Extended run must decide this point.
    bool needsExtended = false;
    // Set by a run with a watch when a footpoint iteration did not converge:
    // the run without a watch must be made, so that the message is shown.
    bool noConvergence = false;
};

// Converts p from form `from` to form `to`. In Extended without a watch this
// is the calculator's computation, messages included. With a watch nothing
// is shown; see ChainWatch.
template <class T>
ChainPoint<T> convertPoint(Form from, Form to, ChainPoint<T> p, const ConvertOptions& o,
                           ChainWatch* watch = nullptr);

// Whether the double run may be tried at all for these forms (the HATT sheet
// choice is left to Extended).
bool doubleRunFits(Form from, Form to);

}  // namespace korthal::cli
