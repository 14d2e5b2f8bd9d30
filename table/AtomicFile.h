#pragma once
// Writing a file so that it is either the complete old one or the complete
// new one, even when the program is killed or the power fails on the way:
// the bytes go to a new file in the same folder, which is flushed to disk and
// renamed over the target, and then the folder is flushed too. Until commit()
// succeeds the target is untouched; a failure removes the new file.

#include <string>
#include <string_view>

namespace korthal {

class AtomicFile {
public:
    explicit AtomicFile(const std::string& path);
    ~AtomicFile();
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    // False once a write has failed (later writes do nothing).
    bool write(std::string_view data);
    // Flushes, closes and renames over the target; false (and the target
    // untouched) on any failure, with `error` naming the file and the
    // system's reason in Greek.
    bool commit(std::string& error);

private:
    void syncFolder() const;

    std::string path_;
    std::string tmp_;
    int fd_ = -1;
    int err_ = 0;
};

// Writes `bytes` to `path` through an AtomicFile; on failure `path` is left
// as it was and `error` names the file and the system's reason.
bool writeFileAtomically(const std::string& path, std::string_view bytes, std::string& error);

// The message for a file that cannot be written, with the system's reason.
std::string fileWriteError(const std::string& path, int err);

}  // namespace korthal
