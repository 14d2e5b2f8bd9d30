#pragma once
// The calculator's "αποχή" button: the undulation of the built-in geoid
// model at the calculator's EGSA87 point, written into its undulation edit.

#include "geodesy/DatumShift.h"
#include "network/Calculator.h"
#include "network/NumberText.h"

#include <optional>
#include <string>

namespace korthal {

// Writes the model's undulation at φ, λ (radians, the point the geoid map
// marker takes: Calculator::geoidMarker) into EditApoxhEGSA, as the
// calculator writes numbers it reads back. Outside the model's grid it
// leaves the edit as it is and returns the message to show.
std::optional<std::string> fillGeoidUndulation(Calculator& calc, const DatumShiftTable& shifts,
                                               const NumberText& text, Extended phi,
                                               Extended lambda);

}  // namespace korthal
