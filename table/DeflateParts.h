#pragma once
// Compressing a large text on several cores into one zlib stream.
//
// The text is cut into parts that libdeflate compresses at the same time,
// each into raw deflate blocks. Blocks can follow one another in a stream,
// but each part's last block is marked as the last of the stream, and ends
// somewhere inside a byte. So every part but the last is read through block
// by block (without writing out what it inflates to) to find where its last
// block begins and where it ends; the mark is cleared there and an empty
// stored block is written after it, which brings the next part onto a byte
// boundary. This is what zlib's own Z_SYNC_FLUSH writes between pieces of a
// stream, and any inflater reads the whole as one stream.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace korthal {

// What reading through a raw deflate stream found.
struct DeflateWalk {
    bool ok = false;                 // the blocks read through to a last block
    std::uint64_t inflatedSize = 0;  // the bytes the stream inflates to
    std::uint64_t lastBlockBit = 0;  // the bit that marks the last block
    std::uint64_t endBit = 0;        // the bit after the last block's end code
};

// Reads through the blocks of a raw deflate stream (RFC 1951), checking
// each code, length and distance, without inflating it. Not ok for a
// damaged or cut stream.
DeflateWalk walkRawDeflate(std::string_view stream);

// Makes the raw deflate stream of a part, which inflates to `size` bytes,
// ready for another part to follow: its last block is no longer the last,
// and an empty stored block ends it on a byte boundary. False, with the
// stream unchanged, when it does not read through to exactly `size` bytes.
bool openRawDeflate(std::string& stream, std::uint64_t size);

// One part of a stream in parts, compressed on its own.
struct DeflatePart {
    std::string stream;         // raw deflate blocks, open for the next part
                                // unless this is the last one
    std::uint32_t adler = 1;    // the Adler-32 of the part's bytes
    std::uint64_t size = 0;     // the part's bytes
    bool ok = false;            // false when compressing or opening failed
};

// Compresses a part with libdeflate at `level`, and opens it unless `last`.
DeflatePart deflatePart(std::string_view bytes, int level, bool last);

// The zlib stream of the parts, in order, compressed at `level`; empty when
// any part failed.
std::string joinDeflateParts(const std::vector<DeflatePart>& parts, int level);

// The zlib stream of `bytes` compressed by libdeflate at `level`, in up to
// `parts` parts of at least `minPart` bytes, cut after a line feed where
// there is one, compressed at the same time. One part is compressed as a
// whole. Empty when compression failed.
std::string zlibStreamInParts(std::string_view bytes, int level, int parts,
                              std::size_t minPart);

}  // namespace korthal
