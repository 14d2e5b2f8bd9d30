#pragma once
// The question asked before the open network is closed, replaced by another
// or by a new one, and the saving of the network under a name the user
// picks. Questions and messages go through dialogs(); nothing is shown here.

#include <string>

namespace korthal {

class Document;

// Whether the network holds changes worth asking about: it changed since it
// was loaded, and it is not an untouched new network (no points, no file).
bool networkNeedsSaving(const Document& doc);

// The question before the changes are saved or dropped, naming the network.
std::string unsavedChangesQuestion(const std::string& networkFile);

enum class SaveAnswer {
    NothingToSave,  // no changes: go on
    Saved,          // written: go on
    Discarded,      // the user does not want them: go on without them
    Cancelled,      // stop the action, everything stays as it was
};

// Asks whether to save the changes (Yes / No / Cancel). Yes asks for the
// name (prefilled with the network's own) and saves; Cancel at either
// question, or a save that failed (its message is shown), gives Cancelled.
SaveAnswer offerToSaveNetwork(Document& doc);

// Writes the network under `name` (Document::saveNetworkAs: the network
// file, its settings, its points' photographs and observation tables). When
// `name` lies in another folder, the job follows it: a folder without a
// reference file gets a copy of the reference points in use, and the
// reference file of the new folder is the one used from now on.
bool saveNetworkUnder(Document& doc, const std::string& name);

}  // namespace korthal
