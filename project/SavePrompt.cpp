#include "project/SavePrompt.h"

#include "project/Dialogs.h"
#include "project/Document.h"
#include "project/JobFolder.h"
#include "table/TableFile.h"

#include <filesystem>
#include <system_error>

namespace korthal {

namespace fs = std::filesystem;

bool networkNeedsSaving(const Document& doc)
{
    if (!doc.NetworkModified) return false;
    std::error_code ec;
    return doc.GPS().recordCount() > 0 || fs::exists(doc.CurrentFileName, ec);
}

std::string unsavedChangesQuestion(const std::string& networkFile)
{
    return "Το δίκτυο " + networkFile + " έχει αλλαγές που δεν αποθηκεύτηκαν.\r" +
           "Θέλετε να αποθηκευτούν ?";
}

SaveAnswer offerToSaveNetwork(Document& doc)
{
    if (!networkNeedsSaving(doc)) return SaveAnswer::NothingToSave;
    const Answer a = dialogs().ask(unsavedChangesQuestion(doc.CurrentFileName),
                                   "Αποθήκευση των σημείων", MsgIcon::Warning,
                                   MsgButtons::YesNoCancel);
    if (a == Answer::No) return SaveAnswer::Discarded;
    if (a != Answer::Yes) return SaveAnswer::Cancelled;
    const auto name = doc.askNetworkName(doc.offeredNetworkName());
    if (!name) return SaveAnswer::Cancelled;
    return saveNetworkUnder(doc, *name) ? SaveAnswer::Saved : SaveAnswer::Cancelled;
}

bool saveNetworkUnder(Document& doc, const std::string& name)
{
    const std::string previous = doc.CurrentFileName;
    if (!doc.saveNetworkAs(name)) return false;
    doc.Caption = "   Korthal  (v1.0)    Αρχείο : " + doc.CurrentFileName;
    if (sameFile(jobFolderOf(previous).empty() ? "." : jobFolderOf(previous),
                 jobFolderOf(name).empty() ? "." : jobFolderOf(name)))
        return true;
    // The reference points go with the network into a folder that has none.
    const std::string reference = referenceFileOf(name);
    std::error_code ec;
    if (!fs::exists(reference, ec) && doc.GYS().recordCount() > 0 &&
        !SaveToFile(doc.GYS(), reference).ok)
        showMessage(Document::saveErrorMessage(reference));
    createJobFolders(name);
    std::string problem;
    if (takeReferenceOfJob(doc, name, problem)) {
        if (!problem.empty()) showMessage(problem, MsgIcon::Warning);
        doc.RecomputeNetwork();
    }
    return true;
}

}  // namespace korthal
