#pragma once
// HATT coordinates for the sketch, all on one sheet.
//
// HATT is set up anew for every 30' × 30' sheet, and the network table gives
// each point the coordinates of the sheet it falls on. A network at a
// sheet's edge thus holds points in two systems whose origins lie some 40 km
// apart; drawn as they are, the two groups would stand far apart and the
// drawing window (from the middles of the network's sides, each on its own
// sheet) could come out inside out. The sketch draws the whole network on
// the sheet of its centre instead: a point of that sheet keeps its table
// coordinates exactly, a point of a neighbouring sheet gets the coordinates
// of its position on the centre's sheet.

#include "geodesy/DatumShift.h"
#include "geodesy/HATT.h"

namespace korthal {

// HATT of a TM87 position (E, N, H in metres, apoxh the geoid undulation),
// converted as the network table's calculated fields do it: GRS80
// ellipsoidal, geocentric, shifted to the old Greek datum, Bessel
// ellipsoidal, HATT. On the sheet the position falls on, or, when `sheet` is
// valid and differs from that one, on `sheet`.
HattPoint sketchHatt(double E, double N, double H, double apoxh, const DatumShiftTable& shifts,
                     HattSheet sheet = {});

// The sheet of the middle of the TM87 box (at height 0): the sheet the
// sketch of the box is drawn on.
HattSheet sketchHattSheet(double minE, double maxE, double minN, double maxN,
                          const DatumShiftTable& shifts);

}  // namespace korthal
