#include "project/SettingsLocation.h"

#include "project/Settings.h"

#include <filesystem>
#include <system_error>

#include <unistd.h>

namespace korthal {

namespace fs = std::filesystem;

bool folderIsWritable(const std::string& folder)
{
    const std::string f = folder.empty() ? std::string(".") : folder;
    std::error_code ec;
    return fs::is_directory(f, ec) && ::access(f.c_str(), W_OK | X_OK) == 0;
}

SettingsLocation programSettingsLocation(const std::string& executablePath,
                                         const std::string& userConfigFolder)
{
    const std::string beside = programSettingsPath(executablePath);
    if (userConfigFolder.empty() || folderIsWritable(fs::path(beside).parent_path().string()))
        return {beside, beside};
    const std::string own =
        (fs::path(userConfigFolder) / fs::path(beside).filename()).string();
    std::error_code ec;
    if (!fs::exists(own, ec) && fs::is_regular_file(beside, ec))
        return {beside, own};
    return {own, own};
}

bool makeSettingsFolder(const std::string& settingsFile)
{
    const fs::path folder = fs::path(settingsFile).parent_path();
    if (folder.empty()) return true;
    std::error_code ec;
    fs::create_directories(folder, ec);
    return fs::is_directory(folder, ec);
}

std::string programSettingsNotSavedMessage(const std::string& settingsFile)
{
    return "Οι ρυθμίσεις του προγράμματος δεν αποθηκεύτηκαν: το αρχείο " + settingsFile +
           " δεν μπορεί να γραφτεί.\rΤην επόμενη φορά το πρόγραμμα δεν θα ξέρει ποιο δίκτυο " +
           "ήταν ανοιχτό.";
}

}  // namespace korthal
