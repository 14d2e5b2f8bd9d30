#pragma once
// Greek code page 1253, the single-byte text of every file the program
// writes, to and from UTF-8, the text in memory. Converted with iconv.
//
// The eleven byte values that code page 1253 leaves undefined read as the
// characters U+0080..U+00FF of the same number and are written back as those
// bytes, so that any file reads and writes back unchanged. Characters that
// code page 1253 cannot hold are written as '?'.
//
// The conversion of each byte and character is asked of iconv once and kept
// in tables; text is then converted a character at a time, with runs of
// ASCII copied as they are.

#include <string>
#include <string_view>

namespace korthal {

std::string cp1253ToUtf8(std::string_view bytes);
// `lossy`, when given, tells whether some character had to become '?'.
std::string utf8ToCp1253(std::string_view text, bool* lossy = nullptr);

// The same, appended to `out`.
void appendCp1253AsUtf8(std::string& out, std::string_view bytes);
void appendUtf8AsCp1253(std::string& out, std::string_view text, bool* lossy = nullptr);

}  // namespace korthal
