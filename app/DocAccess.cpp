#include "app/DocAccess.h"

#include "geodesy/Dialogs.h"
#include "network/PointTables.h"
#include "project/Document.h"
#include "project/Settings.h"
#include "project/TableFile.h"

namespace korthal::app {

NetworkSettings& pageSettings(Document& doc) { return doc.settings(); }
const NetworkSettings& pageSettings(const Document& doc) { return doc.settings(); }
NumberSettings& numberSettings(Document& doc) { return doc.settings().numbers; }
const NumberSettings& numberSettings(const Document& doc) { return doc.settings().numbers; }

char numberDecimal(const Document& doc) { return numberSettings(doc).DecimalSeparators[0]; }

void settingsChanged(Document& doc)
{
    NetworkSettings& s = doc.settings();
    s.SettingsModified = true;
    doc.SettingsModified = true;
    doc.numbers().setDisplay(s.display);
    doc.GPS().invalidateCalc();
}

bool convertInputForm(Document& doc, bool toGeocentric)
{
    NetworkSettings& s = doc.settings();
    bool geo = s.InputIsGeocentric;
    if (!switchInputForm(doc.GPS(), geo, toGeocentric)) return false;
    s.setInputIsGeocentric(geo);
    settingsChanged(doc);
    // Every record was posted by the conversion.
    if (doc.GPS().recordCount() > 0) doc.NetworkModified = true;
    return true;
}

bool saveNetworkAs(Document& doc, const std::string& name)
{
    if (name.empty() || !SaveToFile(doc.GPS(), name)) {
        showMessage(Document::saveErrorMessage(name));
        return false;
    }
    // A network saved under a new name takes its settings along: without
    // them its coordinates would be read back in the default input form.
    const bool renamed = name != doc.CurrentFileName;
    doc.CurrentFileName = name;
    doc.NetworkModified = false;
    if (renamed || doc.SettingsModified || doc.settings().SettingsModified) {
        if (!doc.saveParams()) {
            showMessage(Document::saveErrorMessage(doc.settingsFileName()));
            return false;
        }
    }
    return true;
}

}  // namespace korthal::app
