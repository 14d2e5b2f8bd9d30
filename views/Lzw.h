#pragma once
// Unix compress (.Z files): an LZW stream of codes of 9 to at most 16 bits,
// unpacked as a stream of bytes.
//
// The format: the bytes 1F 9D, a byte whose low five bits give the largest
// code width and whose high bit says that code 256 clears the table; then
// the codes, least significant bit first, in groups of eight codes. The
// width grows by one bit each time the table's next entry would not fit,
// and a change of width (or a clear) skips the rest of the group of eight
// codes, which the compressor pads.

#include "views/RinexLayers.h"

#include <cstdint>
#include <string>
#include <vector>

namespace korthal::rinex {

class LzwBytes : public ByteSource {
public:
    // `in` starts with the two magic bytes.
    LzwBytes(ByteSource& in, ReadState& state);
    std::size_t read(char* dst, std::size_t n) override;

private:
    bool header();
    // The next code, or -1 at the end of the input.
    long nextCode();
    void damaged(const std::string& why);
    bool fillInput();

    ByteSource& in_;
    ReadState& state_;
    bool started_ = false;
    bool ended_ = false;
    int maxBits_ = 16;
    bool blockMode_ = false;
    int bits_ = 9;
    long maxCode_ = 511;
    long nextEntry_ = 256;
    long previous_ = -1;
    unsigned char firstChar_ = 0;
    std::vector<std::uint16_t> prefix_;
    std::vector<unsigned char> suffix_;
    std::vector<unsigned char> stack_;  // one string, last byte first
    std::size_t stackTop_ = 0;

    // The input: bits are counted from the first code (after the header).
    std::string input_;
    std::size_t inputPos_ = 0;        // next byte of input_ to take into bitBuf_
    std::uint64_t inputOffset_ = 3;   // file offset of input_[0]
    std::uint64_t bitPos_ = 0;        // bits taken as codes so far
    std::uint64_t groupStart_ = 0;    // bit where the codes of this width began
    std::uint64_t bitBuf_ = 0;        // bits not yet taken, lowest first
    int bitCount_ = 0;
    bool inputEnd_ = false;
};

}  // namespace korthal::rinex
