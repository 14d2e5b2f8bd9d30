#include "project/Photos.h"

#include "table/AtomicFile.h"

#include <cstring>
#include <filesystem>
#include <set>
#include <cstdio>
#include <system_error>

namespace korthal {

namespace fs = std::filesystem;

std::string photoBaseName(const std::string& networkFileName, bool networkTable)
{
    if (!networkTable) return "EGSA87";
    const std::string name = fs::path(networkFileName).filename().string();
    return name.substr(0, name.find('.'));
}

std::string photoPointNumber(long long id)
{
    const std::string s = std::to_string(id + 1000000);
    return s.substr(1);
}

std::string photoStem(const std::string& baseName, long long id, int n)
{
    return baseName + photoPointNumber(id) + static_cast<char>('0' + n);
}

std::array<std::string, kPhotosPerPoint> findPhotos(const std::string& folder,
                                                     const std::string& baseName, long long id)
{
    std::array<std::string, kPhotosPerPoint> found;
    std::array<fs::file_time_type, kPhotosPerPoint> when{};
    // The stem without its photograph digit: a file of this point is
    // prefix + digit + "." + extension.
    const std::string prefix = baseName + photoPointNumber(id);
    std::error_code ec;
    fs::directory_iterator it(folder, ec);
    if (ec) return found;
    for (const fs::directory_entry& e : it) {
        const std::string name = e.path().filename().string();
        if (name.size() < prefix.size() + 2 || name.compare(0, prefix.size(), prefix) != 0 ||
            name[prefix.size() + 1] != '.')
            continue;
        const char digit = name[prefix.size()];
        if (digit < '1' || digit > '0' + kPhotosPerPoint) continue;
        std::error_code fe;
        if (!e.is_regular_file(fe)) continue;
        const fs::file_time_type t = e.last_write_time(fe);
        const auto k = static_cast<std::size_t>(digit - '1');
        const std::string path = (fs::path(folder) / name).string();
        if (found[k].empty() || t > when[k] || (t == when[k] && path < found[k])) {
            found[k] = path;
            when[k] = t;
        }
    }
    return found;
}

std::string findPhoto(const std::string& folder, const std::string& baseName, long long id, int n)
{
    if (n < 1 || n > kPhotosPerPoint) return {};
    return findPhotos(folder, baseName, id)[static_cast<std::size_t>(n - 1)];
}

std::string photoTargetPath(const std::string& folder, const std::string& stem,
                            const std::string& source, const std::string& fallbackExtension)
{
    std::string ext = fs::path(source).extension().string();
    if (ext.size() < 2) ext = fallbackExtension;
    return (fs::path(folder) / (stem + ext)).string();
}

bool copyPhotoFile(const std::string& source, const std::string& target, std::string& error)
{
    std::error_code ec;
    if (fs::equivalent(source, target, ec)) return true;
    std::string bytes;
    std::FILE* in = fs::is_regular_file(source, ec) ? std::fopen(source.c_str(), "rb") : nullptr;
    bool readError = in == nullptr;
    if (in) {
        char buf[65536];
        std::size_t n;
        while ((n = std::fread(buf, 1, sizeof buf, in)) > 0) bytes.append(buf, n);
        readError = std::ferror(in) != 0;
        std::fclose(in);
    }
    if (readError) {
        error = "Δεν είναι δυνατή η ανάγνωση του αρχείου \"" + source + "\"";
        return false;
    }
    const fs::path folder = fs::path(target).parent_path();
    if (!folder.empty()) fs::create_directories(folder, ec);
    return writeFileAtomically(target, bytes, error);
}

bool copyPointPhotos(const std::string& folder, const std::string& fromBase,
                     const std::string& toBase, const std::vector<long long>& ids,
                     std::string& error)
{
    if (fromBase == toBase) return true;
    std::set<std::string> numbers;
    for (long long id : ids) numbers.insert(photoPointNumber(id));
    std::error_code ec;
    std::vector<std::string> names;
    for (const fs::directory_entry& e : fs::directory_iterator(folder, ec)) {
        const std::string name = e.path().filename().string();
        // fromBase, the point number, the photograph's digit, "." and more.
        if (name.size() < fromBase.size() + 8 || name.compare(0, fromBase.size(), fromBase) != 0)
            continue;
        const std::string rest = name.substr(fromBase.size());
        if (rest.size() < 8 || rest[7] != '.' || rest[6] < '1' || rest[6] > '0' + kPhotosPerPoint ||
            !numbers.count(rest.substr(0, 6)))
            continue;
        std::error_code fe;
        if (e.is_regular_file(fe)) names.push_back(name);
    }
    bool ok = true;
    for (const std::string& name : names) {
        const fs::path from = fs::path(folder) / name;
        const fs::path to = fs::path(folder) / (toBase + name.substr(fromBase.size()));
        std::string problem;
        if (!copyPhotoFile(from.string(), to.string(), problem) && ok) {
            error = problem;
            ok = false;
        }
    }
    return ok;
}

bool deletePhotoFile(const std::string& path, std::string& error)
{
    std::error_code ec;
    if (fs::remove(path, ec)) return true;
    error = "Η φωτογραφία \"" + path + "\" δεν μπορεί να διαγραφεί";
    if (ec) error += std::string(": ") + std::strerror(ec.value());
    return false;
}

}  // namespace korthal
