#pragma once
// The pieces the RINEX observation reader's parts share: columns of a line,
// numbers in them, the texts of its messages, and what the header tells the
// reading of the epochs. Internal to RinexReader*.cpp and RinexHeader.cpp.

#include "views/RinexReader.h"
#include "views/RinexText.h"

#include "table/Cp1253.h"
#include "table/PlainNumber.h"
#include "table/TextUtil.h"

#include <algorithm>
#include <charconv>
#include <cstring>

namespace korthal::rinex::detail {

// Columns first..last (1-based, inclusive) of a line; past the end is empty.
inline std::string_view cols(std::string_view line, std::size_t first, std::size_t last)
{
    if (first > line.size())
        return {};
    return line.substr(first - 1, last - first + 1);
}

inline bool isBlank(std::string_view s)
{
    return trimBlanks(s).empty();
}

inline bool contains(std::string_view s, std::string_view what)
{
    return s.find(what) != std::string_view::npos;
}

// The header label (columns 61-80); a short line is all label.
inline std::string_view label(std::string_view line)
{
    return line.size() > 60 ? line.substr(60) : line;
}

// A decimal integer surrounded by blanks; blank text fails.
inline bool toInt(std::string_view s, int& out)
{
    s = trimBlanks(s);
    if (s.empty())
        return false;
    if (s.front() == '+')
        s.remove_prefix(1);
    const auto r = std::from_chars(s.data(), s.data() + s.size(), out);
    return r.ec == std::errc() && r.ptr == s.data() + s.size();
}

// A decimal integer that reads 0 when blank.
inline bool toIntOrZero(std::string_view s, int& out)
{
    if (isBlank(s)) {
        out = 0;
        return true;
    }
    return toInt(s, out);
}

// A real with the point as decimal separator; blank reads 0.
inline bool toReal(std::string_view s, double& out)
{
    s = trimBlanks(s);
    if (s.empty()) {
        out = 0;
        return true;
    }
    if (s.front() == '+')
        s.remove_prefix(1);
    // Most values are exact in one operation (what from_chars would give).
    DecimalDigits digits;
    if (!s.empty() && s.front() != '+' && splitDecimal(s, '.', digits) && exactDouble(digits, out))
        return true;
    // RINEX writers use the Fortran exponent letter D now and then.
    char tmp[64];
    if (s.size() < sizeof tmp &&
        std::any_of(s.begin(), s.end(), [](char c) { return c == 'd' || c == 'D'; })) {
        std::memcpy(tmp, s.data(), s.size());
        for (std::size_t i = 0; i < s.size(); ++i)
            if (tmp[i] == 'd' || tmp[i] == 'D')
                tmp[i] = 'E';
        const auto r = std::from_chars(tmp, tmp + s.size(), out);
        return r.ec == std::errc() && r.ptr == tmp + s.size();
    }
    const auto r = std::from_chars(s.data(), s.data() + s.size(), out);
    return r.ec == std::errc() && r.ptr == s.data() + s.size();
}

// A piece of a line for a message. RINEX files are ASCII; any other byte is
// shown as the character of that byte in code page 1253, the program's own,
// so that the message stays valid text.
inline std::string printable(std::string_view s)
{
    return cp1253ToUtf8(s);
}

inline std::string lineError(std::int64_t no, const std::string& name, std::string_view line)
{
    return "Λάθος στη γραμμή " + std::to_string(no) + " του αρχείου " + quotedName(name) + ":\n" +
           printable(line);
}

// What the header tells the reading of the epochs, beyond Header.
struct EpochLayout {
    int major = 2;                    // 2, 3 or 4
    std::vector<int> slotOfPosition;  // the slot of each field of a satellite (GPS in RINEX 3)
    std::array<double, kSlotCount + 1> divisor{};  // RINEX 3 scale factors by slot (0: none)
    int linesPerSatellite = 1;        // RINEX 2
};

// Reads the header up to "END OF HEADER". False when it is unusable (the
// status, message and line are then in `result`).
bool readObservationHeader(TextSource& in, ReadResult& result, EpochLayout& layout);

}  // namespace korthal::rinex::detail
