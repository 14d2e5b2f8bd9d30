#pragma once
// Greek code page 1253, the single-byte text of every file the program
// writes, to and from UTF-8, the text in memory. Converted with iconv.
//
// The eleven byte values that code page 1253 leaves undefined read as the
// characters U+0080..U+00FF of the same number and are written back as those
// bytes, so that any file reads and writes back unchanged. Characters that
// code page 1253 cannot hold are written as '?', one '?' per character; so is
// each broken piece of UTF-8 (a stray continuation byte, a lead byte without
// its continuation bytes, an overlong form, a surrogate), and the bytes that
// follow such a piece are converted as they are, never swallowed with it.
//
// The conversion of each byte and character is asked of iconv once and kept
// in tables; text is then converted a character at a time, with runs of
// ASCII copied as they are.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace korthal {

std::string cp1253ToUtf8(std::string_view bytes);

// A character that became '?': where it starts in the UTF-8 text and its
// bytes (a character code page 1253 has not, or a broken piece of UTF-8).
struct UnconvertedCharacter {
    std::size_t offset = 0;
    std::string bytes;
    bool operator==(const UnconvertedCharacter&) const = default;
};

// `lossy`, when given, tells whether some character had to become '?'.
std::string utf8ToCp1253(std::string_view text, bool* lossy = nullptr);
// The same, listing every character that became '?' in `unconverted`
// (cleared first), in text order.
std::string utf8ToCp1253(std::string_view text, std::vector<UnconvertedCharacter>& unconverted);

// The characters of a list as a message can show them: each character code
// page 1253 lacks as itself, a broken piece of UTF-8 as its bytes in hex
// ("<C2>"), separated by spaces, the same character once.
std::string describeUnconverted(const std::vector<UnconvertedCharacter>& unconverted);

// The same, appended to `out`.
void appendCp1253AsUtf8(std::string& out, std::string_view bytes);
void appendUtf8AsCp1253(std::string& out, std::string_view text, bool* lossy = nullptr);

}  // namespace korthal
