#pragma once
// Numbers as plain text, the same on every machine: the standard text of a
// double in the table files and the table engine (general format, a given
// decimal separator, no grouping) and the reading of such text back. The
// user's own separators and decimals (network/NumberText.h) build on these.

#include "geodesy/Extended.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace korthal {

// '\0' stands for "no thousands separator".
struct Separators {
    char decimal = ',';
    char thousands = '.';
};

// The separators of LC_NUMERIC. When the locale has no thousands separator
// (the C locale has none) the one that differs from the decimal is used:
// ',' beside '.', '.' beside ','.
Separators localeSeparators();

// The outcome of reading a number from text.
struct NumberResult {
    Extended value = 0;
    bool ok = false;
    std::string error;  // the conversion message, naming the text
    explicit operator bool() const { return ok; }
};

// The conversion message for text that is not a number.
std::string conversionError(std::string_view text);

// Reads a plain decimal number written with the given decimal separator and
// no grouping: optional blanks, sign, digits, separator, digits, exponent
// (E or e), blanks. Never depends on the process locale.
NumberResult parseDecimal(std::string_view text, char decimalSeparator);

// General format with up to `digits` significant digits, decimal separator
// `decimal`, exponent with 'E' for tiny or huge magnitudes; zero is "0".
std::string generalFormat(Extended value, char decimal, int digits = 15);
// The same for a double with 15 digits, appended to `out` without building
// strings on the way: the text of the table files.
void appendGeneral(std::string& out, double value, char decimal);
// The same written at `to`, which has room for kGeneralMax bytes; returns the
// end of the text.
inline constexpr std::size_t kGeneralMax = 32;
char* writeGeneral(char* to, double value, char decimal);

// ---- Pieces for fast readers ----

// A plain decimal number split into its significant digits as an integer and
// a power of ten: the value is ±digits·10^exponent.
struct DecimalDigits {
    std::uint64_t digits = 0;
    int exponent = 0;
    bool negative = false;
};

// Reads the whole text as sign, digits, separator, digits and exponent, as
// parseDecimal does but without surrounding blanks. False when the text is
// not of that form, or holds more than 19 significant digits or an exponent
// beyond ±9999 (parseDecimal then decides).
bool splitDecimal(std::string_view text, char decimalSeparator, DecimalDigits& out);

// The value of the digits, correctly rounded, when one multiplication or
// division of exact numbers gives it (up to 2^53 and 10^22 for double, 2^64
// and 10^27 for Extended); false otherwise. The Extended value is then the
// one that parseDecimal reads, and the double the one std::from_chars reads.
bool exactDouble(const DecimalDigits& d, double& value);
bool exactExtended(const DecimalDigits& d, Extended& value);

}  // namespace korthal
