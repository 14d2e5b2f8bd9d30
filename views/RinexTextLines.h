#pragma once
// The lines of a RINEX text file, one at a time.
//
// Readers take their lines from a LineSource, so they know nothing of where
// the text comes from: a file on disk, text in memory (tests, fuzzing), or a
// decompressing reader. openRinexTextLines is the one place that opens a
// file for them.

#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace korthal::rinex {

// Gives the next line (without its end, LF or CRLF) and true, or false at the
// end of the text.
using LineSource = std::function<bool(std::string& line)>;

// The lines of a plain text file. An empty source and the reason (Greek,
// naming the file) in `error` when the file cannot be opened.
LineSource openRinexTextLines(const std::string& path, std::string& error);

// The lines of text in memory; `text` must outlive the source.
LineSource textLines(std::string_view text);

}  // namespace korthal::rinex
