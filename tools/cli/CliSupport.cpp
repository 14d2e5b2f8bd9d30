#include "tools/cli/CliSupport.h"

#include "geodesy/Angles.h"
#include "project/Document.h"
#include "project/IniFile.h"
#include "project/Settings.h"
#include "table/AtomicFile.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iostream>

namespace korthal::cli {

std::optional<Extended> parseNumber(std::string_view text)
{
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    if (text.empty() || text.front() == '+')
        return std::nullopt;
    Extended value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (ec != std::errc() || ptr != end || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<int> parseInt(std::string_view text)
{
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    int value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || ec != std::errc() || ptr != end)
        return std::nullopt;
    return value;
}

std::string formatFixed(Extended x, int decimals)
{
    char buf[128];
    std::to_chars_result r =
        std::to_chars(buf, buf + sizeof buf, x, std::chars_format::fixed, decimals);
    if (r.ec != std::errc())  // too long for fixed notation: far outside any use
        r = std::to_chars(buf, buf + sizeof buf, x, std::chars_format::general);
    std::string s(buf, r.ptr);
    if (!s.empty() && s.front() == '-' &&
        std::all_of(s.begin() + 1, s.end(), [](char c) { return c == '0' || c == '.'; }))
        s.erase(0, 1);
    return s;
}

std::string formatPacked(Extended radians, int decimals)
{
    if (decimals < 4)
        decimals = 4;
    const int secondDecimals = decimals - 4;
    Extended x = std::fabs(radians) * 180 / kPi;
    if (!std::isfinite(x) || x > 1e9L)
        return formatFixed(radians * 180 / kPi, decimals);
    Extended deg = std::floor(x);
    Extended minutes = std::floor((x - deg) * 60);
    Extended seconds = ((x - deg) * 60 - minutes) * 60;
    const Extended unit = std::pow(10.0L, Extended(secondDecimals));
    Extended scaled = std::nearbyint(seconds * unit);  // seconds in units of the last digit
    if (scaled >= 60 * unit) {
        scaled -= 60 * unit;
        minutes += 1;
    }
    if (minutes >= 60) {
        minutes -= 60;
        deg += 1;
    }
    const Extended packed = deg + minutes / 100 + scaled / unit / 10000;
    return formatFixed(radians < 0 ? -packed : packed, decimals);
}

std::optional<DatumShiftTable> shiftTable(const std::optional<std::string>& settingsPath,
                                          std::string& error)
{
    std::array<double, kShiftKeys.size()> v = kShiftDefaults;
    if (settingsPath) {
        // The settings reader takes a missing file for an empty one; a file
        // named on the command line has to be there.
        if (!std::ifstream(*settingsPath, std::ios::binary)) {
            error = "cannot open settings file \"" + *settingsPath + "\"";
            return std::nullopt;
        }
        const IniFile ini(*settingsPath);
        for (std::size_t k = 0; k < v.size(); ++k) {
            // Either decimal point: the file may come from a machine with ','.
            std::string text = ini.readString("General", kShiftKeys[k], {});
            std::replace(text.begin(), text.end(), ',', '.');
            if (const auto n = parseNumber(text))
                v[k] = static_cast<double>(*n);
        }
    }
    DatumShiftTable t;
    t.refill({v[0], v[1], v[2]}, {v[3], v[4], v[5]}, {v[6], v[7], v[8]});
    return t;
}

std::optional<std::string> optionValue(const std::vector<std::string>& args, std::size_t& i,
                                       std::string_view name, bool& missing)
{
    missing = false;
    const std::string& a = args[i];
    if (a == name) {
        if (i + 1 >= args.size()) {
            missing = true;
            ++i;
            return std::string();
        }
        i += 2;
        return args[i - 1];
    }
    if (a.size() > name.size() && a.compare(0, name.size(), name) == 0 && a[name.size()] == '=') {
        ++i;
        return a.substr(name.size() + 1);
    }
    return std::nullopt;
}

std::string sharedArgument(const std::vector<std::string>& args, std::size_t& i,
                           std::optional<std::string>& settingsPath,
                           std::vector<std::string>& positional)
{
    bool missing = false;
    if (auto f = optionValue(args, i, "--settings", missing)) {
        if (missing || f->empty())
            return "--settings needs a file name";
        settingsPath = *f;
    } else if (args[i].size() > 1 && args[i][0] == '-' && !parseNumber(args[i])) {
        return "unknown option \"" + args[i] + "\"";
    } else {
        positional.push_back(args[i++]);
    }
    return {};
}

std::string findReference(const std::string& given, const std::string& network)
{
    if (!given.empty())
        return given;
    const std::filesystem::path beside = std::filesystem::path(network).parent_path() / "EGSA87";
    if (std::filesystem::exists(beside))
        return beside.string();
    if (std::filesystem::exists("EGSA87"))
        return "EGSA87";
    return {};
}

std::string networkArgument(const std::vector<std::string>& args, std::size_t& i,
                            std::string& network)
{
    if (!args[i].empty() && args[i][0] == '-')
        return "unknown option \"" + args[i] + "\"";
    if (!network.empty())
        return "only one network file, got \"" + args[i] + "\"";
    network = args[i++];
    return {};
}

int loadNetwork(Document& doc, std::string_view command, const std::string& network,
                const std::string& reference, const std::string& settingsFile, bool& complete)
{
    namespace fs = std::filesystem;
    complete = false;
    if (!fs::exists(network)) {
        std::cerr << "korthal-cli " << command << ": no such file: " << network << '\n';
        return 1;
    }
    if (!settingsFile.empty() && !fs::exists(settingsFile)) {
        std::cerr << "korthal-cli " << command << ": no such settings file: " << settingsFile
                  << '\n';
        return 1;
    }
    if (!reference.empty() && !fs::exists(reference)) {
        std::cerr << "korthal-cli " << command << ": no such reference file: " << reference
                  << '\n';
        return 1;
    }
    const std::string ref = findReference(reference, network);
    if (ref.empty())
        std::cerr << "korthal-cli " << command
                  << ": no reference file \"EGSA87\" found; no point is a reference point\n";
    else if (!doc.LoadReference(ref))
        std::cerr << "korthal-cli " << command << ": " << doc.LastLoadProblem << '\n';
    doc.SettingsFileOverride = settingsFile;
    doc.openNetwork(network);
    complete = doc.LastLoadProblem.empty();
    if (!complete)
        std::cerr << "korthal-cli " << command << ": " << doc.LastLoadProblem << '\n';
    return 0;
}

bool writeOutput(std::string_view command, const std::string& path, std::string_view bytes)
{
    std::string error;
    if (writeFileAtomically(path, bytes, error))
        return true;
    std::cerr << "korthal-cli " << command << ": " << error << '\n';
    return false;
}

int usageError(std::string_view command, const std::string& what)
{
    std::cerr << "korthal-cli " << command << ": " << what << "\n"
              << "\"korthal-cli " << command << " --help\" describes the command.\n";
    return 2;
}

}  // namespace korthal::cli
