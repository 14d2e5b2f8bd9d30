#pragma once
// The machinery under RinexText.h: streams of bytes (the file, bytes in
// memory, a gzip layer, a compress layer) and streams of lines (lines split
// from bytes, lines restored from Hatanaka text). Each layer pulls from the
// one below it; all of them share one ReadState that says how far into the
// file the reading is and what went wrong.

#include "views/RinexText.h"

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

namespace korthal::rinex {

// What the layers of one source share.
struct ReadState {
    std::string name;             // the file, for messages
    std::uint64_t rawRead = 0;    // bytes taken from the file (or memory)
    std::uint64_t rawSize = 0;
    TextError error;

    // Records the first fault only: the layers above it report the end of
    // their input as a consequence.
    void fail(TextError::Kind kind, std::string message, std::int64_t line = 0,
              std::uint64_t byte = 0)
    {
        if (error)
            return;
        error.kind = kind;
        error.message = std::move(message);
        error.line = line;
        error.byte = byte;
    }
};

class ByteSource {
public:
    virtual ~ByteSource() = default;
    // Up to n bytes into dst; 0 at the end of the stream or on a fault
    // (then the state's error is set).
    virtual std::size_t read(char* dst, std::size_t n) = 0;
};

class LineLayer {
public:
    virtual ~LineLayer() = default;
    // The next line without its end; false at the end or on a fault.
    virtual bool next(std::string_view& line) = 0;
    // The number of the last line handed out, from 1.
    virtual std::int64_t lineNumber() const = 0;
    // The last line handed out had no line end.
    virtual bool unterminated() const = 0;
    // Bytes of text handed out as lines so far (line ends included).
    virtual std::uint64_t consumed() const = 0;
};

// The bytes of a file, read in large blocks.
class FileBytes : public ByteSource {
public:
    FileBytes(std::FILE* f, ReadState& state) : f_(f), state_(state) {}
    std::size_t read(char* dst, std::size_t n) override;

private:
    std::FILE* f_;
    ReadState& state_;
};

// Bytes in memory, held by the caller.
class MemoryBytes : public ByteSource {
public:
    MemoryBytes(std::string_view bytes, ReadState& state) : rest_(bytes), state_(state)
    {
        state_.rawSize = bytes.size();
    }
    std::size_t read(char* dst, std::size_t n) override;

private:
    std::string_view rest_;
    ReadState& state_;
};

// The bytes of a source with the first ones already taken: `head`, then
// the rest of `in`.
class PrefixedBytes : public ByteSource {
public:
    PrefixedBytes(std::string head, ByteSource& in) : head_(std::move(head)), in_(in) {}
    std::size_t read(char* dst, std::size_t n) override;

private:
    std::string head_;
    std::size_t pos_ = 0;
    ByteSource& in_;
};

// A gzip stream (RFC 1952) unpacked with zlib; members that follow one
// another are read as one stream, as gzip itself does.
class GzipBytes : public ByteSource {
public:
    GzipBytes(ByteSource& in, ReadState& state);
    ~GzipBytes() override;
    GzipBytes(const GzipBytes&) = delete;
    GzipBytes& operator=(const GzipBytes&) = delete;
    std::size_t read(char* dst, std::size_t n) override;

private:
    struct Zlib;
    std::unique_ptr<Zlib> z_;
};

// Lines split from bytes: a line ends at LF, and a CR before the LF is
// dropped. A line longer than kMaxLine ends the reading with a fault.
class ByteLines : public LineLayer {
public:
    ByteLines(ByteSource& in, ReadState& state) : in_(in), state_(state) {}
    bool next(std::string_view& line) override;
    std::int64_t lineNumber() const override { return lineNo_; }
    bool unterminated() const override { return unterminated_; }
    std::uint64_t consumed() const override { return consumed_; }

private:
    bool refill();

    ByteSource& in_;
    ReadState& state_;
    std::string buffer_;
    std::size_t pos_ = 0;
    bool eof_ = false;
    bool unterminated_ = false;
    std::int64_t lineNo_ = 0;
    std::uint64_t consumed_ = 0;
};

// The first two bytes of the gzip and compress formats.
inline bool isGzipMagic(std::string_view b)
{
    return b.size() >= 2 && b[0] == '\x1f' && b[1] == '\x8b';
}
inline bool isCompressMagic(std::string_view b)
{
    return b.size() >= 2 && b[0] == '\x1f' && b[1] == '\x9d';
}

}  // namespace korthal::rinex
