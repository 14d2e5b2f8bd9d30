#include "project/JobFolder.h"

#include "project/Dialogs.h"
#include "project/Document.h"
#include "table/TableFile.h"

#include <filesystem>
#include <system_error>

namespace korthal {

namespace fs = std::filesystem;

std::string jobFolderOf(const std::string& networkFile)
{
    return fs::path(networkFile).parent_path().string();
}

std::string inJobFolder(const std::string& networkFile, const std::string& name)
{
    const fs::path folder = fs::path(networkFile).parent_path();
    if (folder.empty()) return name;
    return (folder / name).string();
}

std::string referenceFileOf(const std::string& networkFile)
{
    return inJobFolder(networkFile, "EGSA87");
}

std::string imagesFolderOf(const std::string& networkFile)
{
    return inJobFolder(networkFile, "Images");
}

std::string rinexFolderOf(const std::string& networkFile)
{
    return inJobFolder(networkFile, "RINEX");
}

void createJobFolders(const std::string& networkFile)
{
    std::error_code ec;
    fs::create_directory(imagesFolderOf(networkFile), ec);
    fs::create_directory(rinexFolderOf(networkFile), ec);
}

bool sameFile(const std::string& a, const std::string& b)
{
    std::error_code ec1, ec2;
    const fs::path pa = fs::weakly_canonical(fs::absolute(a, ec1), ec1);
    const fs::path pb = fs::weakly_canonical(fs::absolute(b, ec2), ec2);
    if (ec1 || ec2) return a == b;
    return pa == pb;
}

bool takeReferenceOfJob(Document& doc, const std::string& networkFile, std::string& problem)
{
    problem.clear();
    const std::string reference = referenceFileOf(networkFile);
    // The same file, perhaps under another name: nothing to do.
    if (sameFile(reference, doc.ReferenceFileName)) return true;
    if (doc.ReferenceModified) {
        if (!SaveToFile(doc.GYS(), doc.ReferenceFileName).ok) {
            showMessage(Document::saveErrorMessage(doc.ReferenceFileName));
            return false;
        }
    }
    doc.ReferenceFileName = reference;
    doc.LoadReference(reference);
    problem = doc.LastLoadProblem;
    return true;
}

}  // namespace korthal
