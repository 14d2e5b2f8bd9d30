#pragma once
// The few things the windows need from the network settings and the file
// writers, in one place.

#include "geodesy/DatumShift.h"
#include "geodesy/Transformation.h"
#include "network/NumberText.h"

#include <string>

namespace korthal {
class Document;
}

namespace korthal::app {

NumberSettings& numberSettings(Document& doc);
const NumberSettings& numberSettings(const Document& doc);
// The user's decimal separator on the screen (destination 0).
inline char numberDecimal(const Document& doc) { return numberSettings(doc).DecimalSeparators[0]; }
// The number destination page now selected (0..2).
int numberPage(const Document& doc);
void setNumberPage(Document& doc, int page);

// `RG2d` (0 none, 1 2-D, 2 3-D) and `RGafinikoy`.
int transformMethod(const Document& doc);
void setTransformMethod(Document& doc, int method);
int transformKind(const Document& doc);
void setTransformKind(Document& doc, int kind);
ConvergenceCriteria convergence(const Document& doc);
void setConvergence(Document& doc, const ConvergenceCriteria& c);

// The three shift triples of the settings: 0 WGS84 to GRS80 (EGSA87),
// 1 to Bessel (GR), 2 to ED50.
ShiftTriple settingsShift(const Document& doc, int which);
void setSettingsShift(Document& doc, int which, const ShiftTriple& s);

// Switches the WGS84 input form; true when the records were converted.
bool convertInputForm(Document& doc, bool toGeocentric);

// Writes the network table under `name`, which becomes CurrentFileName, and
// the network settings when they changed. Shows the save error message and
// returns false when a write failed.
bool saveNetworkAs(Document& doc, const std::string& name);

}  // namespace korthal::app
