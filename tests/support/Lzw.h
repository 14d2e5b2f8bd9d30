#pragma once
// Unix compress (.Z) streams made in the tests, independent of the decoder
// under test: the classic LZW of compress, codes of 9 up to `maxBits` bits
// in groups of eight, the group padded when the width grows, and in block
// mode the code 256 that clears the table, sent here when the table is full
// (compress sends it when the ratio drops; either is a valid stream).
// Checked once by hand against gzip -d and ncompress's uncompress, for
// `maxBits` from 12 to 16.

#include <cstdint>
#include <string>
#include <unordered_map>

namespace korthal::test {

inline std::string lzwCompress(const std::string& in, int maxBits = 16, bool clearWhenFull = true)
{
    std::string out = {'\x1f', '\x9d', static_cast<char>(0x80 | maxBits)};
    int bits = 9;
    long nextEntry = 257;
    const long entries = 1L << maxBits;
    std::unordered_map<std::uint32_t, long> table;  // (prefix << 8 | byte) -> code
    std::uint64_t buffer = 0;
    int buffered = 0;
    std::string group;  // the bytes of the current group of eight codes
    int codesInGroup = 0;

    const auto flushGroup = [&](bool pad) {
        if (pad && buffered > 0) {
            group.push_back(static_cast<char>(buffer & 0xff));
            buffer = 0;
            buffered = 0;
        }
        if (pad && codesInGroup > 0)
            group.resize(static_cast<std::size_t>(bits), '\0');  // a whole group of `bits` bytes
        out += group;
        group.clear();
        codesInGroup = 0;
    };
    const auto put = [&](long code) {
        buffer |= static_cast<std::uint64_t>(code) << buffered;
        buffered += bits;
        while (buffered >= 8) {
            group.push_back(static_cast<char>(buffer & 0xff));
            buffer >>= 8;
            buffered -= 8;
        }
        if (++codesInGroup == 8)
            flushGroup(false);
    };

    if (in.empty())
        return out;
    long prefix = static_cast<unsigned char>(in[0]);
    for (std::size_t i = 1; i < in.size(); ++i) {
        const auto c = static_cast<unsigned char>(in[i]);
        const std::uint32_t key = static_cast<std::uint32_t>(prefix) << 8 | c;
        const auto found = table.find(key);
        if (found != table.end()) {
            prefix = found->second;
            continue;
        }
        put(prefix);
        if (nextEntry < entries) {
            table[key] = nextEntry++;
            // The width grows once the next entry would not fit.
            if (nextEntry > (1L << bits) && bits < maxBits) {
                flushGroup(true);
                ++bits;
            }
        } else if (clearWhenFull) {
            put(256);
            flushGroup(true);
            table.clear();
            nextEntry = 257;
            bits = 9;
        }
        prefix = c;
    }
    put(prefix);
    // The end: the last bits, not a whole group.
    if (buffered > 0)
        group.push_back(static_cast<char>(buffer & 0xff));
    out += group;
    return out;
}

}  // namespace korthal::test
