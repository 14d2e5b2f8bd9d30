#pragma once
// Numbers as text with the user's separators.
//
// The user picks a decimal separator ('.' or ',') and a thousands separator
// ('.', ',', ' ' or none) and numbers of decimals, separately for three
// destinations: screen and printer, input files, output files.
// FormatNumber and ParseNumber honour the separators in force, whatever the
// process locale says: the "system" separators are an explicit input, taken
// by default from LC_NUMERIC.

#include "geodesy/Extended.h"
#include "table/PlainNumber.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace korthal {

// Where numbers go. The settings file numbers the destinations 0, 1, 2 in
// this order (the keys "GPSdecimals0" .. "GPSdecimals2"), as does the page
// control of the settings.
enum class NumberDestination : int { Screen = 0, InputFile = 1, OutputFile = 2 };
inline constexpr std::array<NumberDestination, 3> kNumberDestinations{
    NumberDestination::Screen, NumberDestination::InputFile, NumberDestination::OutputFile};
// The destination of a page of the settings (0, 1, 2; anything else: the screen).
constexpr NumberDestination destinationOfPage(int page)
{
    return page == 1 ? NumberDestination::InputFile
           : page == 2 ? NumberDestination::OutputFile
                       : NumberDestination::Screen;
}
// The number under which the settings file keeps a destination.
constexpr int storedNumber(NumberDestination d) { return static_cast<int>(d); }

// One value for each destination.
template <class T>
struct PerDestination {
    std::array<T, 3> values;
    T& operator[](NumberDestination d) { return values[static_cast<std::size_t>(d)]; }
    const T& operator[](NumberDestination d) const { return values[static_cast<std::size_t>(d)]; }
    bool operator==(const PerDestination&) const = default;
};

// The six settings of each number destination, as data.
struct NumberSettings {
    PerDestination<char> DecimalSeparators{{',', ',', ','}};
    PerDestination<char> ThousandSeparators{{'.', '.', '.'}};
    PerDestination<int> GPSDecimals{{4, 4, 4}};
    PerDestination<int> EGSA87Decimals{{4, 4, 4}};
    PerDestination<int> ParamDecimals{{8, 8, 8}};
    PerDestination<int> DMSDecimals{{9, 9, 9}};
};

// Separator choices as the settings store them (combo box item indexes).
// Thousands: 0 '.', 1 ',', 2 ' ', 3 none. Decimal: 0 '.', 1 ','.
char thousandsFromIndex(int index);
int thousandsToIndex(char c);
char decimalFromIndex(int index);
int decimalToIndex(char c);

// The rule that keeps the two separators different. Applied after the user
// changes one of them; returns the pair with the other one adjusted.
Separators afterThousandsChange(Separators s);
Separators afterDecimalChange(Separators s);

// An argument of FormatNumber.
using FormatArg = std::variant<Extended, long long, std::string>;

class NumberText {
public:
    NumberText() : NumberText(localeSeparators()) {}
    explicit NumberText(Separators system) : system_(system), display_(system) {}

    Separators system() const { return system_; }
    void setSystem(Separators s) { system_ = s; }

    // DisplayDecimalSeparator and DisplayThousandSeparator.
    Separators display() const { return display_; }
    void setDisplay(Separators s) { display_ = s; }

    // Text typed by the user to a number: removes the display thousands
    // separator, turns the first user decimal separator (userDecimal, normally
    // DecimalSeparators of the screen) into the system one, and converts with the system
    // separator. Empty text is 0.
    NumberResult ParseNumber(std::string_view s, char userDecimal) const;
    NumberResult ParseNumber(std::string_view s) const { return ParseNumber(s, display_.decimal); }

    // Text read exactly as the display separators write it: an optional
    // sign, digits (grouped in threes by the thousands separator, or not at
    // all), at most one decimal separator, an optional exponent, blanks
    // around. Anything else fails, so a number written with other
    // separators is refused rather than misread ("1.9" with the thousands
    // separator '.' is not 19).
    NumberResult readDisplayed(std::string_view s) const;
    // Text typed where numbers are shown with the display separators (the
    // calculator's edits): read as displayed; text that does not read so is
    // read with the system separators. Empty text is 0. The error names the
    // text.
    NumberResult readShown(std::string_view s) const;
    // Text typed into a grid cell: the standard conversion with the system
    // separators; text it cannot read is taken when it reads as displayed
    // (what the user sees on screen). The error names the text.
    NumberResult readTyped(std::string_view s) const;

    // Formats every '%' piece of fmt with its argument, the 'n' pieces with the
    // display separators. Supported specifiers: %[-][width][.prec](n|f|d|s|e|g).
    std::string FormatNumber(std::string_view fmt, const std::vector<FormatArg>& args) const;

    // FormatNumber("%.<decimals>n", value).
    std::string formatFixed(Extended value, int decimals) const;
    // A packed angle DD.MMSSsss the same way, with seconds and minutes that
    // round to 60 carried (PackedToShow).
    std::string formatPacked(Extended packed, int decimals) const;

    // The standard float-to-text conversion: general format, up to 15
    // significant digits, the system decimal separator.
    std::string floatToText(Extended value) const;
    // The same with the display decimal separator: for a number the program
    // writes into an edit that readShown reads back (no grouping, so it
    // reads back as the same number whatever the separators).
    std::string floatToShownText(Extended value) const;

private:
    Separators system_;
    Separators display_;
};

// One piece formatted the standard way: system separators, no substitution.
std::string formatPiece(std::string_view piece, const FormatArg& arg, Separators system);

}  // namespace korthal
