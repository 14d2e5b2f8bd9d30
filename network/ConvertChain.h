#pragma once
// The coordinate forms that "korthal-cli convert" and the calculator know and
// the steps between them, one step at a time to a neighbour. The calculator's line
//   wgs84-geo <-> wgs84-xyz <-> egsa87-xyz <-> egsa87-geo <-> tm87 <-> hatt
// with the systems that meet it at TM87:
//   htrs07-xyz <-> htrs07-geo <-> tm07 <-> tm87     (the HEPOS model)
//   tm87 <-> tm3-west, tm3-central, tm3-east         (old Greek datum)
//   tm87 <-> utm34-ed50, utm35-ed50                  (ED50)
//   tm87 <-> hatt-okxe                               (the sheet polynomials)
// A conversion walks the shortest way between two forms.
//
// Heights: the HTRS07 forms carry the HTRS07 ellipsoidal height h; tm87 the
// height H = h − undulation on EGSA87 (the geoid model, or --undulation); the
// TM3, UTM and hatt-okxe forms carry the same H as tm87 (a height above the
// geoid does not depend on the map grid; the datum shift is made at the
// point's own ellipsoidal height).
//
// The chain runs in Extended, as the coordinate calculator computes, or in
// double for speed. The double run watches for the places where it could end
// up on the other side of a step of the computation (a point far outside
// Greece, a footpoint iteration that stops near its limit, a position on an
// edge of the geoid grid or halfway between two of its decimetres, or on the
// edge of the HEPOS grid) and then says that the Extended run must decide.

#include "geodesy/DatumShift.h"
#include "geodesy/Extended.h"
#include "geodesy/HATT.h"
#include "geodesy/HattSheets.h"
#include "geodesy/HeposModel.h"

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace korthal::chain {

// The forms: the calculator's line in its order, then the others.
enum Form {
    WGS84Geo,
    WGS84Xyz,
    EGSA87Xyz,
    EGSA87Geo,
    TM87Proj,
    HattProj,
    HTRS07Geo,
    HTRS07Xyz,
    TM07Proj,
    TM3West,
    TM3Central,
    TM3East,
    UTM34ED50,
    UTM35ED50,
    HattOkxe,
    FormCount
};

constexpr std::array<const char*, FormCount> kFormNames = {
    "wgs84-geo",  "wgs84-xyz",  "egsa87-xyz",  "egsa87-geo", "tm87",
    "hatt",       "htrs07-geo", "htrs07-xyz",  "tm07",       "tm3-west",
    "tm3-central", "tm3-east",  "utm34-ed50",  "utm35-ed50", "hatt-okxe"};

std::optional<Form> formNamed(const std::string& name);
inline bool isGeographic(Form f) { return f == WGS84Geo || f == EGSA87Geo || f == HTRS07Geo; }

// How far beyond a sheet's outline a point may lie before a warning.
constexpr double kFarFromSheet = 20000;  // m

struct ConvertOptions {
    int decimals = 4;
    std::optional<Extended> undulation;  // fixed EGSA87 undulation, else the geoid model
    Extended hattUndulation = -2.5L;
    std::optional<HattSheet> sheet;
    DatumShiftTable shifts;
    // The HEPOS model (nullptr: the one built in).
    const HeposModel* hepos = nullptr;
    // The sheets of --sheet NAME|NUMBER for hatt-okxe (two for a number that
    // names two); empty: the sheet of each point.
    std::vector<int> okxeSheets;
};

// What a point met on its way that the line's output must say.
enum class PointNote {
    None,
    OutsideHeposGrid,  // not converted
    FarFromSheet,      // converted; noteMetres beyond the outline of sheet noteSheet
};

// A point in one form: geographic forms hold φ, λ in radians and h; the
// others their three coordinates. `sheet` goes with the HATT form.
template <class T>
struct ChainPoint {
    T a = 0, b = 0, c = 0;
    HattSheet sheet;
    int okxe = -1;  // the sheet of hatt-okxe (HattSheets::builtIn())
    PointNote note = PointNote::None;
    double noteMetres = 0;
    int noteSheet = -1;
    // A run without a watch: a footpoint iteration on the way did not
    // converge (the result is written all the same); the caller says so.
    bool noConvergence = false;
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
// is the calculator's computation; a footpoint iteration that did not
// converge is marked in the result's noConvergence. With a watch see
// ChainWatch. Nothing is shown either way.
template <class T>
ChainPoint<T> convertPoint(Form from, Form to, ChainPoint<T> p, const ConvertOptions& o,
                           ChainWatch* watch = nullptr);

// Whether the double run may be tried at all for these forms (the choice of
// a HATT sheet is left to Extended).
bool doubleRunFits(Form from, Form to);

// The forms a conversion passes through, `from` and `to` included.
std::vector<Form> route(Form from, Form to);

}  // namespace korthal::chain
