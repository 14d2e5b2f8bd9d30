#include "table/AtomicFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace korthal {

std::string fileWriteError(const std::string& path, int err)
{
    return "Δεν είναι δυνατή η εγγραφή του αρχείου \"" + path + "\": " + std::strerror(err);
}

AtomicFile::AtomicFile(const std::string& path) : path_(path), tmp_(path + ".XXXXXX")
{
    fd_ = mkstemp(tmp_.data());
    if (fd_ < 0) {
        err_ = errno;
        return;
    }
    // The new file gets the old one's permissions, or the usual ones.
    struct stat st {};
    if (stat(path.c_str(), &st) == 0) {
        fchmod(fd_, st.st_mode & 07777);
    } else {
        const mode_t mask = umask(0);
        umask(mask);
        fchmod(fd_, 0666 & ~mask);
    }
}

AtomicFile::~AtomicFile()
{
    if (fd_ >= 0) {
        close(fd_);
        unlink(tmp_.c_str());
    }
}

bool AtomicFile::write(std::string_view data)
{
    while (!err_ && !data.empty()) {
        const ssize_t n = ::write(fd_, data.data(), data.size());
        if (n < 0) {
            if (errno != EINTR)
                err_ = errno;
            continue;
        }
        data.remove_prefix(static_cast<std::size_t>(n));
    }
    return !err_;
}

bool AtomicFile::commit(std::string& error)
{
    if (!err_ && fsync(fd_) != 0)
        err_ = errno;
    if (fd_ >= 0 && close(fd_) != 0 && !err_)
        err_ = errno;
    fd_ = -1;
    if (!err_ && std::rename(tmp_.c_str(), path_.c_str()) != 0)
        err_ = errno;
    if (err_) {
        unlink(tmp_.c_str());
        error = fileWriteError(path_, err_);
        return false;
    }
    syncFolder();
    return true;
}

void AtomicFile::syncFolder() const
{
    // The rename is an entry of the folder: only once the folder is on disk
    // does a power cut leave the new file rather than the old one. The file
    // is in place by now, so a folder that cannot be synced (some file
    // systems refuse) is no failure of the save.
    const std::size_t slash = path_.find_last_of('/');
    const std::string folder =
        slash == std::string::npos ? "." : slash == 0 ? "/" : path_.substr(0, slash);
    const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        fsync(fd);
        close(fd);
    }
}

bool writeFileAtomically(const std::string& path, std::string_view data, std::string& error)
{
    AtomicFile file(path);
    file.write(data);
    return file.commit(error);
}

}  // namespace korthal
