#include "project/RecentNetworks.h"

#include "project/IniFile.h"
#include "project/JobFolder.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace korthal {

namespace fs = std::filesystem;

namespace {

const char* const kSection = "Recent";

std::string absoluteName(const std::string& file)
{
    std::error_code ec;
    const fs::path p = fs::absolute(file, ec);
    return ec ? file : p.lexically_normal().string();
}

}  // namespace

void RecentNetworks::add(const std::string& file)
{
    const std::string name = absoluteName(file);
    remove(name);
    files.insert(files.begin(), name);
    if (files.size() > kRecentNetworks) files.resize(kRecentNetworks);
    folder = fs::path(name).parent_path().string();
}

void RecentNetworks::remove(const std::string& file)
{
    files.erase(std::remove_if(files.begin(), files.end(),
                               [&](const std::string& f) { return sameFile(f, file); }),
                files.end());
}

RecentNetworks loadRecentNetworks(const std::string& programSettingsFile)
{
    const IniFile ini(programSettingsFile);
    RecentNetworks r;
    for (std::size_t k = 1; k <= kRecentNetworks; ++k) {
        const std::string f = ini.readString(kSection, "File" + std::to_string(k), "");
        if (!f.empty() && std::none_of(r.files.begin(), r.files.end(),
                                       [&](const std::string& g) { return g == f; }))
            r.files.push_back(f);
    }
    r.folder = ini.readString(kSection, "Folder", "");
    return r;
}

bool saveRecentNetworks(const std::string& programSettingsFile, const RecentNetworks& r,
                        std::string& error)
{
    std::vector<std::pair<std::string, std::string>> entries;
    for (std::size_t k = 0; k < r.files.size() && k < kRecentNetworks; ++k)
        entries.emplace_back("File" + std::to_string(k + 1), r.files[k]);
    if (!r.folder.empty()) entries.emplace_back("Folder", r.folder);
    IniFile ini(programSettingsFile);
    if (ini.replaceSection(kSection, entries)) return true;
    error = ini.error();
    return false;
}

std::string missingLastNetworkMessage(const std::string& file)
{
    return "Δεν βρέθηκε το αρχείο " + file + " του δικτύου που ήταν ανοιχτό τελευταίο.\r" +
           "Το πρόγραμμα ξεκινά με κενό δίκτυο με αυτό το όνομα.";
}

}  // namespace korthal
