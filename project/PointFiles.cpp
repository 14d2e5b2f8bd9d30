#include "project/PointFiles.h"

#include "project/JobFolder.h"
#include "project/Photos.h"
#include "project/Settings.h"

#include <filesystem>
#include <set>
#include <system_error>

namespace korthal {

namespace fs = std::filesystem;

std::string observationTablePath(const std::string& networkFile, long long id)
{
    std::string base = networkFile.substr(networkFile.find_last_of("/\\") == std::string::npos
                                              ? 0
                                              : networkFile.find_last_of("/\\") + 1);
    const std::size_t dot = base.rfind('.');
    if (dot != std::string::npos)
        base.resize(dot);
    std::string number = std::to_string(id);
    if (id >= 0 && id < 1000000)
        number = std::to_string(id + 1000000).substr(1);
    const std::string folder = jobFolderOf(networkFile);
    return (folder.empty() ? std::string("./RINEX") : rinexFolderOf(networkFile)) + "/" + base +
           number + ".RNX";
}

namespace {

// Copies one file when it exists and is not its own target; remembers the
// first failure.
void copyIfThere(const std::string& from, const std::string& to, bool& ok, std::string& error)
{
    std::error_code ec;
    if (!fs::is_regular_file(from, ec) || sameFile(from, to)) return;
    std::string problem;
    if (!copyPhotoFile(from, to, problem) && ok) {
        error = problem;
        ok = false;
    }
}

}  // namespace

bool copyPointFiles(const std::string& fromNetwork, const std::string& toNetwork,
                    const std::vector<long long>& ids, std::string& error)
{
    bool ok = true;
    // Photographs: every file of a photograph of these points, whatever its
    // extension.
    const std::string fromBase = photoBaseName(fromNetwork, true);
    const std::string toBase = photoBaseName(toNetwork, true);
    const fs::path fromImages = imagesFolderOf(fromNetwork);
    const fs::path toImages = imagesFolderOf(toNetwork);
    std::set<std::string> numbers;
    for (long long id : ids) numbers.insert(photoPointNumber(id));
    std::vector<std::string> names;
    std::error_code ec;
    for (const fs::directory_entry& e : fs::directory_iterator(fromImages, ec)) {
        const std::string name = e.path().filename().string();
        // fromBase, the point number, the photograph's digit, "." and more.
        if (name.size() < fromBase.size() + 8 || name.compare(0, fromBase.size(), fromBase) != 0)
            continue;
        const std::string rest = name.substr(fromBase.size());
        if (rest[7] != '.' || rest[6] < '1' || rest[6] > '0' + kPhotosPerPoint ||
            !numbers.count(rest.substr(0, 6)))
            continue;
        names.push_back(name);
    }
    for (const std::string& name : names)
        copyIfThere((fromImages / name).string(),
                    (toImages / (toBase + name.substr(fromBase.size()))).string(), ok, error);
    // Observation tables and their settings files.
    for (long long id : ids) {
        const std::string from = observationTablePath(fromNetwork, id);
        const std::string to = observationTablePath(toNetwork, id);
        copyIfThere(from, to, ok, error);
        copyIfThere(changeFileExt(from, ".INI"), changeFileExt(to, ".INI"), ok, error);
    }
    return ok;
}

}  // namespace korthal
