#pragma once
// The few things the windows need from the document beyond its own
// interface, in one place: the settings page's data and the network writer.

#include "network/NumberText.h"

#include <string>

namespace korthal {
class Document;
class NetworkSettings;
}

namespace korthal::app {

NetworkSettings& pageSettings(Document& doc);
const NetworkSettings& pageSettings(const Document& doc);
NumberSettings& numberSettings(Document& doc);
const NumberSettings& numberSettings(const Document& doc);
// The user's decimal separator on the screen (destination 0).
char numberDecimal(const Document& doc);

// After a change on the settings page: the change marks the settings
// modified and the separators in force follow destination 0.
void settingsChanged(Document& doc);

// Switches the WGS84 input form; true when the records were converted.
bool convertInputForm(Document& doc, bool toGeocentric);

// Writes the network table under `name`, which becomes CurrentFileName, and
// the network settings when they changed. Shows the save error message and
// returns false when a write failed.
bool saveNetworkAs(Document& doc, const std::string& name);

}  // namespace korthal::app
