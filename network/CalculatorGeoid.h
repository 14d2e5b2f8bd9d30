#pragma once
// The calculator's "αποχή" button: the undulation of the built-in geoid
// model at the calculator's EGSA87 point, written into its undulation edit.

#include "geodesy/DatumShift.h"
#include "network/Calculator.h"
#include "network/NumberText.h"

namespace korthal {

// Takes the point as the geoid map marker does (the EGSA87 ellipsoidal
// edits, filled first from the TM87 edits when they are empty) and writes
// the model's undulation there into EditApoxhEGSA, as the calculator writes
// numbers it reads back. Outside the model's grid it says so and leaves the
// edit as it is. Returns whether a value was written.
bool fillGeoidUndulation(Calculator& calc, const DatumShiftTable& shifts, const NumberText& text);

}  // namespace korthal
