#pragma once
// Files written beside their final place and put there all at once, so that
// an export that fails, or is stopped half-way, leaves the folder as it was.
// A Shapefile is several files: either all of them are the new ones or all
// are the old ones.
//
// The files are written into a hidden folder made inside the target folder
// (so renaming them is a move within one file system), flushed to disk and
// then renamed over the targets. Until every rename has succeeded, the old
// files are kept as links (or copies) in the hidden folder and put back on a
// failure. The hidden folder goes with everything left in it.

#include <string>
#include <vector>

namespace korthal {

class StagingFolder {
public:
    // A new hidden folder in `folder`; ok() is false, with error(), when it
    // cannot be made (for instance a folder that cannot be written).
    explicit StagingFolder(const std::string& folder);
    ~StagingFolder();
    StagingFolder(const StagingFolder&) = delete;
    StagingFolder& operator=(const StagingFolder&) = delete;

    bool ok() const { return !path_.empty(); }
    const std::string& error() const { return error_; }
    // Where a file of this name is written before it is put in place.
    std::string staged(const std::string& fileName) const;

    // Moves every file of the staging folder into the target folder, over
    // files of the same names, and then moves the files named in `stale`
    // (kept beside the old files by other programs, wrong for the new ones)
    // out of the target folder. All or nothing: false, with error(), leaves
    // the target folder as it was.
    bool commit(const std::vector<std::string>& stale = {});

private:
    std::string folder_;
    std::string path_;
    std::string error_;
};

}  // namespace korthal
