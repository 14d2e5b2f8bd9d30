#pragma once
// The networks opened lately, newest first, kept in the program settings file
// (section "Recent", keys "File1" to "File8"), with the folder the file
// dialogs showed last (key "Folder"); and what the start-up says about a last
// network that is not there any more.

#include <string>
#include <vector>

namespace korthal {

inline constexpr std::size_t kRecentNetworks = 8;

struct RecentNetworks {
    std::vector<std::string> files;  // newest first, no two the same file
    std::string folder;              // the file dialogs' last folder; empty: none yet

    // Puts `file` first (as an absolute name, so that it is found from any
    // working folder), dropping an older entry of the same file and the
    // oldest beyond kRecentNetworks. Its folder becomes `folder`.
    void add(const std::string& file);
    // Forgets an entry (a file that is gone).
    void remove(const std::string& file);
};

// A missing file or section gives an empty list.
RecentNetworks loadRecentNetworks(const std::string& programSettingsFile);
// False (with `error`) when the file cannot be written.
bool saveRecentNetworks(const std::string& programSettingsFile, const RecentNetworks& r,
                        std::string& error);

// What the start-up says when the network that was open last is missing:
// the program starts with an empty network under that name.
std::string missingLastNetworkMessage(const std::string& file);

}  // namespace korthal
