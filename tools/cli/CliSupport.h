#pragma once
// Helpers shared by the conversion commands of korthal-cli: strict number
// text with '.' as the decimal point, fixed-point output that ignores the
// locale, and the datum shifts of a network settings file.

#include "geodesy/DatumShift.h"
#include "geodesy/Extended.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace korthal::cli {

// The whole text as one finite number ('.' decimal point, optional sign and
// exponent, no grouping); nullopt otherwise.
std::optional<Extended> parseNumber(std::string_view text);

// An integer, the whole text; nullopt otherwise.
std::optional<int> parseInt(std::string_view text);

// x with `decimals` digits after '.', no grouping, never "-0.000".
std::string formatFixed(Extended x, int decimals);

// An angle in radians as packed DD.MMSSsss with `decimals` digits after the
// point (at least 4). The seconds are rounded to the digits shown and carried
// into minutes and degrees, so that 60 never shows.
std::string formatPacked(Extended radians, int decimals);

// The three WGS84 → GRS80, WGS84 → Bessel and WGS84 → ED50 triples, with the
// defaults of a new network.
struct ShiftSettings {
    ShiftTriple grs80{200.2, -74.8, -246.0};
    ShiftTriple bessel{-454.944, -375.483, -502.543};
    ShiftTriple ed50{86.9, 92.5, 128.8};

    DatumShiftTable table() const
    {
        DatumShiftTable t;
        t.refill(grs80, bessel, ed50);
        return t;
    }
};

// Reads the keys GRS80DX … ED50DZ of section "General" of an INI file
// (section and key names in any case, '.' or ',' as the decimal point). A key
// that is missing or not a number keeps its default. nullopt when the file
// cannot be read; `error` then says why.
std::optional<ShiftSettings> readShiftSettings(const std::string& path, std::string& error);

// The value of option `name` ("--name VALUE" or "--name=VALUE") at args[i];
// advances i past it. nullopt when args[i] is not that option.
// `missing` is set when the option has no value.
std::optional<std::string> optionValue(const std::vector<std::string>& args, std::size_t& i,
                                       std::string_view name, bool& missing);

}  // namespace korthal::cli
