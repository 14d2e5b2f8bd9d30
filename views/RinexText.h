#pragma once
// The plain RINEX text of any file a surveyor is given, one line at a time.
//
// Files come plain, gzipped (.gz), Unix-compressed (.Z) and, for observation
// files, Hatanaka-compressed (Compact RINEX, .crx or .YYd), and the layers
// stack (.crx.gz, .YYd.Z). openRinexText looks at the first bytes of the file
// and of every layer it unpacks, not at the file's name, and hands out the
// lines of the innermost text, streaming: nothing is ever held whole, however
// large the file.
//
// The observation reader (RinexReader.h), the navigation reader and
// `korthal-cli rinex-text` read through it. It knows nothing of what the
// lines mean beyond the Hatanaka layer.
//
// A fault in any layer (a gzip checksum, a bad compress code, a Hatanaka
// line that cannot be restored) ends the lines; error() then holds the
// message in Greek, naming the file and the line or byte offset.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace korthal::rinex {

// RINEX lines hold 80 characters (RINEX 3 observation lines a few hundred);
// a line many times longer is not one.
inline constexpr std::size_t kMaxLine = 4096;

struct TextError {
    enum class Kind {
        None,
        CannotOpen,   // the file cannot be opened or read
        Damaged,      // a compressed layer is damaged
        LineTooLong,  // a line longer than kMaxLine: not a RINEX file
    };
    Kind kind = Kind::None;
    std::string message;     // Greek, names the file and where
    std::int64_t line = 0;   // the line of the text that holds the fault, or 0
    std::uint64_t byte = 0;  // the byte offset in the file (compressed layers), or 0
    explicit operator bool() const { return kind != Kind::None; }
};

enum class Layer { Gzip, Compress, Hatanaka };

// One layer of the text source's machinery: bytes or lines (RinexLayers.h).
class LineLayer;

class TextSource {
public:
    ~TextSource();
    TextSource(const TextSource&) = delete;
    TextSource& operator=(const TextSource&) = delete;

    // The next line, without its end (LF, or CR LF). The view holds until
    // the next call. False at the end of the text or on a fault (error()).
    bool next(std::string_view& line);
    // The number of the last line handed out, from 1, in the plain text.
    std::int64_t lineNumber() const;
    // The last line handed out was the end of the text without a line end:
    // the file may have been cut inside it.
    bool unterminated() const;

    // For progress: the bytes of the file taken so far, and its size.
    // For a plain file the bytes of the lines handed out; for a compressed
    // one the compressed bytes read.
    std::uint64_t bytesRead() const;
    std::uint64_t fileSize() const;

    const TextError& error() const;
    // The layers unpacked, outermost first (empty for a plain file).
    const std::vector<Layer>& layers() const;
    const std::string& name() const;

    // The layers behind the source (RinexText.cpp).
    struct Parts;

private:
    friend struct TextSourceParts;
    explicit TextSource(std::unique_ptr<Parts> parts);
    std::unique_ptr<Parts> p_;
};

// Opens a file. Never null: a file that cannot be opened gives a source
// whose first next() is false with error() of kind CannotOpen.
// `restoreHatanaka` false hands out the Compact RINEX text itself.
std::unique_ptr<TextSource> openRinexText(const std::string& path, bool restoreHatanaka = true);

// The same for bytes already in memory (held by the caller while the source
// lives); `name` is used in messages.
std::unique_ptr<TextSource> rinexTextFromMemory(std::string_view bytes, const std::string& name,
                                                bool restoreHatanaka = true);

// The text of a message that names a file.
std::string quotedName(const std::string& name);

}  // namespace korthal::rinex
