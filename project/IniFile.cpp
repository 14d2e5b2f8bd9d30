#include "project/IniFile.h"

#include "network/NumberText.h"
#include "table/TextUtil.h"
#include "table/Cp1253.h"
#include "table/TableFile.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>

namespace korthal {

namespace {

std::string_view trim(std::string_view s)
{
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front())))
        s.remove_prefix(1);
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back())))
        s.remove_suffix(1);
    return s;
}

bool sameName(std::string_view a, std::string_view b)
{
    return equalsNoCase(a, b);
}

// The section name of a "[name]" line, or false.
bool sectionOf(std::string_view line, std::string_view& name)
{
    line = trim(line);
    if (line.size() < 2 || line.front() != '[')
        return false;
    const auto close = line.find(']');
    if (close == std::string_view::npos)
        return false;
    name = trim(line.substr(1, close - 1));
    return true;
}

}  // namespace

IniFile::IniFile(std::string path) : path_(std::move(path))
{
    std::FILE* f = std::fopen(path_.c_str(), "rb");
    if (!f)
        return;
    std::string bytes;
    char buf[8192];
    std::size_t n;
    while (!tooLarge_ && (n = std::fread(buf, 1, sizeof buf, f)) > 0) {
        bytes.append(buf, n);
        tooLarge_ = bytes.size() > kMaxBytes;
    }
    std::fclose(f);
    if (tooLarge_) {
        // No settings file is this large: read nothing, and write nothing
        // over whatever the file is.
        error_ = "Το αρχείο ρυθμίσεων \"" + path_ + "\" είναι μεγαλύτερο από " +
                 std::to_string(kMaxBytes / (1 << 20)) + " MB: δεν διαβάζεται ούτε γράφεται.";
        return;
    }
    const std::string text = cp1253ToUtf8(bytes);
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find_first_of("\r\n", pos);
        if (end == std::string::npos)
            end = text.size();
        lines_.emplace_back(text.substr(pos, end - pos));
        if (end < text.size() && text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n')
            ++end;
        pos = end + 1;
    }
}

int IniFile::find(const std::string& section, const std::string& key, int* sectionLine) const
{
    if (sectionLine)
        *sectionLine = -1;
    bool inSection = false;
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        std::string_view name;
        if (sectionOf(lines_[i], name)) {
            inSection = sameName(name, section);
            if (inSection && sectionLine && *sectionLine < 0)
                *sectionLine = static_cast<int>(i);
            continue;
        }
        if (!inSection)
            continue;
        const std::string_view line = lines_[i];
        const auto eq = line.find('=');
        if (eq == std::string_view::npos)
            continue;
        if (sameName(trim(line.substr(0, eq)), key))
            return static_cast<int>(i);
    }
    return -1;
}

bool IniFile::valueExists(const std::string& section, const std::string& key) const
{
    return find(section, key, nullptr) >= 0;
}

std::string IniFile::readString(const std::string& section, const std::string& key,
                                const std::string& def) const
{
    const int i = find(section, key, nullptr);
    if (i < 0)
        return def;
    const std::string& line = lines_[static_cast<std::size_t>(i)];
    std::string_view v = trim(std::string_view(line).substr(line.find('=') + 1));
    if (v.size() >= 2 && ((v.front() == '"' && v.back() == '"') || (v.front() == '\'' && v.back() == '\'')))
        v = v.substr(1, v.size() - 2);
    return std::string(v);
}

long long IniFile::readInteger(const std::string& section, const std::string& key,
                               long long def) const
{
    const std::string s = readString(section, key, {});
    std::string_view v = trim(s);
    if (!v.empty() && v.front() == '+')
        v.remove_prefix(1);
    long long out = 0;
    const auto [p, ec] = std::from_chars(v.data(), v.data() + v.size(), out);
    if (v.empty() || ec != std::errc() || p != v.data() + v.size())
        return def;
    return out;
}

bool IniFile::readBool(const std::string& section, const std::string& key, bool def) const
{
    return readInteger(section, key, def ? 1 : 0) != 0;
}

double IniFile::readFloat(const std::string& section, const std::string& key, double def,
                          char decimal) const
{
    const std::string s = readString(section, key, {});
    if (trim(s).empty())
        return def;
    const NumberResult n = parseDecimal(s, decimal);
    // A number beyond a double's range (1E400) is no value either.
    const double d = static_cast<double>(n.value);
    return n.ok && std::isfinite(d) ? d : def;
}

bool IniFile::writeString(const std::string& section, const std::string& key,
                          const std::string& value)
{
    if (tooLarge_)
        return false;  // error_ says why
    // A line break would end the line early and make the rest a line of its
    // own (another key, or a section); such a value or name is never written.
    for (const std::string* s : {&section, &key, &value}) {
        if (s->find_first_of(std::string_view("\r\n\0", 3)) != std::string::npos) {
            error_ = "Δεν είναι δυνατή η εγγραφή του αρχείου \"" + path_ +
                     "\": η τιμή του \"" + key + "\" έχει αλλαγή γραμμής.";
            return false;
        }
    }
    int sectionLine = -1;
    const int i = find(section, key, &sectionLine);
    const std::string entry = key + "=" + value;
    if (i >= 0) {
        lines_[static_cast<std::size_t>(i)] = entry;
    } else if (sectionLine >= 0) {
        // After the section's last value line (before blank lines that end it).
        std::size_t at = static_cast<std::size_t>(sectionLine) + 1;
        std::size_t lastValue = at;
        for (; at < lines_.size(); ++at) {
            std::string_view name;
            if (sectionOf(lines_[at], name))
                break;
            if (!trim(lines_[at]).empty())
                lastValue = at + 1;
        }
        lines_.insert(lines_.begin() + static_cast<long>(lastValue), entry);
    } else {
        if (!lines_.empty() && !trim(lines_.back()).empty())
            lines_.emplace_back();
        lines_.push_back("[" + section + "]");
        lines_.push_back(entry);
    }
    return save();
}

bool IniFile::writeInteger(const std::string& section, const std::string& key, long long value)
{
    return writeString(section, key, std::to_string(value));
}

bool IniFile::writeBool(const std::string& section, const std::string& key, bool value)
{
    return writeString(section, key, value ? "1" : "0");
}

bool IniFile::writeFloat(const std::string& section, const std::string& key, double value,
                         char decimal)
{
    return writeString(section, key, generalFormat(static_cast<Extended>(value), decimal));
}

std::vector<std::pair<std::string, std::string>> IniFile::readSection(const std::string& section) const
{
    std::vector<std::pair<std::string, std::string>> out;
    bool inSection = false;
    for (const std::string& line : lines_) {
        std::string_view name;
        if (sectionOf(line, name)) {
            inSection = sameName(name, section);
            continue;
        }
        const auto eq = line.find('=');
        if (inSection && eq != std::string::npos)
            out.emplace_back(std::string(trim(std::string_view(line).substr(0, eq))),
                             std::string(trim(std::string_view(line).substr(eq + 1))));
    }
    return out;
}

bool IniFile::replaceSection(const std::string& section,
                             const std::vector<std::pair<std::string, std::string>>& entries)
{
    std::vector<std::string> kept;
    bool inSection = false, hadSection = false;
    for (const std::string& line : lines_) {
        std::string_view name;
        if (sectionOf(line, name)) {
            inSection = sameName(name, section);
            hadSection = hadSection || inSection;
        }
        if (!inSection)
            kept.push_back(line);
    }
    if (!hadSection && entries.empty())
        return true;
    while (!kept.empty() && trim(kept.back()).empty())
        kept.pop_back();
    if (!entries.empty()) {
        if (!kept.empty())
            kept.emplace_back();
        kept.push_back("[" + section + "]");
        for (const auto& [key, value] : entries)
            kept.push_back(key + "=" + value);
    }
    if (kept == lines_)
        return true;
    lines_ = std::move(kept);
    return save();
}

bool IniFile::save()
{
    std::string text;
    for (const std::string& line : lines_) {
        text += line;
        text += "\r\n";
    }
    error_.clear();
    return writeFileAtomically(path_, utf8ToCp1253(text), error_);
}

}  // namespace korthal
