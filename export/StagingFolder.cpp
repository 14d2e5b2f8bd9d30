#include "export/StagingFolder.h"

#include "table/AtomicFile.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include <fcntl.h>
#include <unistd.h>

namespace korthal {

namespace {

namespace fs = std::filesystem;

// Flushes a file or a folder to disk; the errno of a failure, else 0.
int syncPath(const fs::path& p)
{
    const int fd = ::open(p.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return errno;
    int err = ::fsync(fd) == 0 ? 0 : errno;
    // Some file systems cannot flush a folder; that is not a failed write.
    if (err == EINVAL || err == EBADF)
        err = 0;
    ::close(fd);
    return err;
}

// Keeps the old file under `backup`: a second name when the file system
// allows one, else a copy.
bool keepOld(const fs::path& old, const fs::path& backup)
{
    if (::link(old.c_str(), backup.c_str()) == 0)
        return true;
    std::error_code ec;
    return fs::copy_file(old, backup, ec) && !ec;
}

}  // namespace

StagingFolder::StagingFolder(const std::string& folder)
    : folder_(folder.empty() ? std::string(".") : folder)
{
    std::string tmpl = (fs::path(folder_) / ".korthal-export-XXXXXX").string();
    if (::mkdtemp(tmpl.data()))
        path_ = tmpl;
    else
        error_ = fileWriteError((fs::path(folder_) / "").string(), errno);
}

StagingFolder::~StagingFolder()
{
    if (path_.empty())
        return;
    std::error_code ec;
    fs::remove_all(path_, ec);
}

std::string StagingFolder::staged(const std::string& fileName) const
{
    return (fs::path(path_) / fileName).string();
}

bool StagingFolder::commit(const std::vector<std::string>& stale)
{
    if (path_.empty())
        return false;
    std::error_code ec;
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(path_, ec))
        if (e.is_regular_file())
            names.push_back(e.path().filename().string());
    if (ec) {
        error_ = fileWriteError(path_, ec.value());
        return false;
    }
    std::sort(names.begin(), names.end());
    for (const auto& n : names) {
        if (const int err = syncPath(fs::path(path_) / n)) {
            error_ = fileWriteError((fs::path(folder_) / n).string(), err);
            return false;
        }
    }

    const fs::path backup = fs::path(path_) / ".previous";
    if (!fs::create_directory(backup, ec)) {
        error_ = fileWriteError(backup.string(), ec.value());
        return false;
    }
    std::vector<bool> hadOld(names.size(), false);
    for (std::size_t i = 0; i < names.size(); ++i) {
        const fs::path target = fs::path(folder_) / names[i];
        if (!fs::exists(fs::symlink_status(target)))
            continue;
        if (!keepOld(target, backup / names[i])) {
            error_ = fileWriteError(target.string(), errno ? errno : EIO);
            return false;
        }
        hadOld[i] = true;
    }

    for (std::size_t i = 0; i < names.size(); ++i) {
        const fs::path target = fs::path(folder_) / names[i];
        if (std::rename((fs::path(path_) / names[i]).c_str(), target.c_str()) == 0)
            continue;
        error_ = fileWriteError(target.string(), errno);
        // Put back what was there before the files already moved.
        for (std::size_t j = 0; j < i; ++j) {
            const fs::path moved = fs::path(folder_) / names[j];
            if (hadOld[j])
                std::rename((backup / names[j]).c_str(), moved.c_str());
            else
                fs::remove(moved, ec);
        }
        return false;
    }

    for (const auto& n : stale) {
        const fs::path old = fs::path(folder_) / n;
        if (fs::exists(fs::symlink_status(old)) &&
            std::rename(old.c_str(), (backup / n).c_str()) != 0)
            fs::remove(old, ec);
    }
    syncPath(folder_);
    return true;
}

}  // namespace korthal
