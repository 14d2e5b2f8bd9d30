#pragma once
// The job folder: the folder of the open network file. The reference point
// file "EGSA87", the photographs' folder "Images" and the observation tables'
// folder "RINEX" of a job sit in it, so that a network opened from anywhere
// (a file dialog, the command line, a double click in the file manager)
// finds its own files, and a program installed elsewhere writes nothing into
// the folder it happened to be started in.
//
// A network named without a folder ("DEMO.WGS84") has the working folder as
// its job folder, and the names stay as short as they always were: "EGSA87",
// "Images", "./RINEX/...".

#include <string>

namespace korthal {

class Document;

// The folder part of the network file's name; empty for a name without one
// (the working folder).
std::string jobFolderOf(const std::string& networkFile);

// `name` inside the job folder of `networkFile`: the name itself when the
// network has no folder part, else folder/name.
std::string inJobFolder(const std::string& networkFile, const std::string& name);

// The job's reference point file, photographs' folder and observation
// tables' folder.
std::string referenceFileOf(const std::string& networkFile);
std::string imagesFolderOf(const std::string& networkFile);
std::string rinexFolderOf(const std::string& networkFile);

// Creates the folders "Images" and "RINEX" in the job folder of
// `networkFile`; failures (no permission, a read-only medium) are ignored:
// a write into them later says what went wrong.
void createJobFolders(const std::string& networkFile);

// Whether two names denote the same file (the same absolute, normalised
// path; neither needs to exist).
bool sameFile(const std::string& a, const std::string& b);

// Before `networkFile` is opened into `doc`: when it lies in another job
// folder than the reference file in use, the reference points that changed
// are written to their own folder's file first (a failure shows the save
// error message), and the new folder's reference file is read. `problem`
// gets what went wrong with a reference file that loaded only partly (empty
// otherwise; a missing file gives an empty reference table without a word,
// as at start-up). False, with everything left as it was, when the changed
// reference points could not be written: the caller abandons the opening
// rather than lose them.
bool takeReferenceOfJob(Document& doc, const std::string& networkFile, std::string& problem);

}  // namespace korthal
