#pragma once
// Settings files in the INI format: sections in square brackets, one
// "key=value" line per value. Section and key names match without regard to
// case. The file is read when the object is made; every write goes to the
// file at once (through a new file renamed over the old one), so a value
// written stays written even if a later one fails. On disk the text is code
// page 1253; in memory UTF-8. Lines the object does not understand are kept.
// A file larger than kMaxBytes is no settings file: it reads as empty and is
// never written over.

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

namespace korthal {

class IniFile {
public:
    static constexpr std::size_t kMaxBytes = 1 << 20;

    // Reads `path`; a missing or unreadable file is an empty one.
    explicit IniFile(std::string path);

    const std::string& path() const { return path_; }

    bool valueExists(const std::string& section, const std::string& key) const;
    std::string readString(const std::string& section, const std::string& key,
                           const std::string& def) const;
    // A decimal integer (blanks around it allowed); anything else gives def.
    long long readInteger(const std::string& section, const std::string& key, long long def) const;
    // An integer, nonzero meaning true; anything else gives def.
    bool readBool(const std::string& section, const std::string& key, bool def) const;
    // A number with the given decimal separator; anything else gives def.
    double readFloat(const std::string& section, const std::string& key, double def,
                     char decimal) const;

    // Each returns false when the file could not be written (see error()),
    // and writes nothing when a name or the value holds a line break or NUL.
    bool writeString(const std::string& section, const std::string& key, const std::string& value);
    bool writeInteger(const std::string& section, const std::string& key, long long value);
    bool writeBool(const std::string& section, const std::string& key, bool value);  // 1 or 0
    // General format, at most 15 significant digits, the given separator.
    bool writeFloat(const std::string& section, const std::string& key, double value, char decimal);

    // The key=value lines of a section, in file order (keys and values
    // trimmed); empty when the section is absent.
    std::vector<std::pair<std::string, std::string>> readSection(const std::string& section) const;
    // Puts the section in the file with exactly these entries, after the
    // rest of the file; with no entries the section is removed. A file that
    // would not change is not written. False when the write failed.
    bool replaceSection(const std::string& section,
                        const std::vector<std::pair<std::string, std::string>>& entries);

    const std::string& error() const { return error_; }

private:
    // Index of the key's line, or -1; `sectionLine` gets the section's line or -1.
    int find(const std::string& section, const std::string& key, int* sectionLine) const;
    bool save();

    std::string path_;
    std::vector<std::string> lines_;
    std::string error_;
    bool tooLarge_ = false;
};

}  // namespace korthal
