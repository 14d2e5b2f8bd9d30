#include "tools/cli/CliSupport.h"

#include "geodesy/Angles.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <fstream>

namespace korthal::cli {

namespace {

std::string_view trim(std::string_view s)
{
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!s.empty() && blank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && blank(s.back()))
        s.remove_suffix(1);
    return s;
}

bool equalsNoCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z')
            x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z')
            y = static_cast<char>(y - 'A' + 'a');
        if (x != y)
            return false;
    }
    return true;
}

}  // namespace

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

std::optional<ShiftSettings> readShiftSettings(const std::string& path, std::string& error)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = "cannot open settings file \"" + path + "\"";
        return std::nullopt;
    }
    ShiftSettings s;
    struct Key {
        const char* name;
        double* value;
        bool seen;
    };
    Key keys[] = {{"GRS80DX", &s.grs80.dX, false},   {"GRS80DY", &s.grs80.dY, false},
                  {"GRS80DZ", &s.grs80.dZ, false},   {"BESSELDX", &s.bessel.dX, false},
                  {"BESSELDY", &s.bessel.dY, false}, {"BESSELDZ", &s.bessel.dZ, false},
                  {"ED50DX", &s.ed50.dX, false},     {"ED50DY", &s.ed50.dY, false},
                  {"ED50DZ", &s.ed50.dZ, false}};
    bool inGeneral = false;
    std::string line;
    while (std::getline(in, line)) {
        const std::string_view l = trim(line);
        if (l.empty() || l.front() == ';')
            continue;
        if (l.front() == '[') {
            const auto close = l.find(']');
            inGeneral = close != std::string_view::npos &&
                        equalsNoCase(trim(l.substr(1, close - 1)), "General");
            continue;
        }
        const auto eq = l.find('=');
        if (!inGeneral || eq == std::string_view::npos)
            continue;
        const std::string_view name = trim(l.substr(0, eq));
        for (Key& k : keys) {
            if (k.seen || !equalsNoCase(name, k.name))
                continue;
            k.seen = true;  // the first occurrence counts
            std::string text(trim(l.substr(eq + 1)));
            std::replace(text.begin(), text.end(), ',', '.');
            if (const auto v = parseNumber(text))
                *k.value = static_cast<double>(*v);
        }
    }
    if (in.bad()) {
        error = "cannot read settings file \"" + path + "\"";
        return std::nullopt;
    }
    return s;
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

}  // namespace korthal::cli
