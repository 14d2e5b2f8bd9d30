#pragma once
// The lines of a RINEX text file, one at a time.
//
// Readers take their lines from a LineSource, so they know nothing of where
// the text comes from: a file on disk, text in memory (tests, fuzzing), or a
// decompressing reader. openRinexTextLines is the one place that opens a
// file for them; it reads through RinexText.h, so a file may be plain,
// gzipped or Unix-compressed, one layer inside another.

#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace korthal::rinex {

// Gives the next line (without its end, LF or CRLF) and true, or false at the
// end of the text.
using LineSource = std::function<bool(std::string& line)>;

// The lines of a file, plain or compressed. An empty source and the reason
// (Greek, naming the file) in `error` when the file cannot be opened.
LineSource openRinexTextLines(const std::string& path, std::string& error);

// The same; when a damaged compressed layer (a gzip checksum, a bad compress
// code) or a line too long for a RINEX file ends the lines early, `fault`
// holds its message (Greek, naming the file and the byte or line) once the
// source has said false. It stays empty for a whole text.
LineSource openRinexTextLines(const std::string& path, std::string& error,
                              std::shared_ptr<const std::string>& fault);

// The lines of text in memory; `text` must outlive the source.
LineSource textLines(std::string_view text);

}  // namespace korthal::rinex
