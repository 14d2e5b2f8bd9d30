#include "table/DeflateParts.h"

#include "table/LargeMemory.h"

#include <array>
#include <bit>
#include <cstring>
#include <libdeflate.h>
#include <memory>
#include <thread>
#include <vector>
#include <zlib.h>

namespace korthal {

namespace {

// The bits of a stream, the first bit the lowest of the first byte.
class BitReader {
public:
    explicit BitReader(std::string_view s)
        : bytes_(reinterpret_cast<const unsigned char*>(s.data())), size_(s.size())
    {
    }

    // The next k bits (k up to 32), without taking them; zeros past the end.
    std::uint32_t peek(int k) const
    {
        const std::size_t byte = static_cast<std::size_t>(pos_ >> 3);
        std::uint64_t word = 0;
        if constexpr (std::endian::native == std::endian::little) {
            if (byte + 8 <= size_) {
                std::memcpy(&word, bytes_ + byte, 8);
                return static_cast<std::uint32_t>((word >> (pos_ & 7)) & ((std::uint64_t{1} << k) - 1));
            }
        }
        for (std::size_t i = 0; i < 8 && byte + i < size_; ++i)
            word |= std::uint64_t{bytes_[byte + i]} << (8 * i);
        return static_cast<std::uint32_t>((word >> (pos_ & 7)) & ((std::uint64_t{1} << k) - 1));
    }
    std::uint32_t take(int k)
    {
        const std::uint32_t v = peek(k);
        pos_ += static_cast<std::uint64_t>(k);
        return v;
    }
    void skip(std::uint64_t bits) { pos_ += bits; }
    void toByte() { pos_ = (pos_ + 7) & ~std::uint64_t{7}; }
    std::uint64_t pos() const { return pos_; }
    // True once more bits were taken than the stream holds.
    bool overrun() const { return pos_ > std::uint64_t{size_} * 8; }

private:
    const unsigned char* bytes_;
    std::size_t size_;
    std::uint64_t pos_ = 0;
};

// A canonical Huffman code (RFC 1951, 3.2.2) as a table read with the
// longest code's bits: each entry holds the symbol and its code's length;
// 0 where no code begins (an incomplete code).
class HuffmanTable {
public:
    bool build(const std::uint8_t* lengths, int count)
    {
        std::array<int, 16> perLength{};
        for (int s = 0; s < count; ++s)
            ++perLength[lengths[s]];
        perLength[0] = 0;
        maxLength_ = 0;
        int left = 1;
        for (int len = 1; len <= 15; ++len) {
            left = 2 * left - perLength[static_cast<std::size_t>(len)];
            if (left < 0)
                return false;  // more codes than the lengths allow
            if (perLength[static_cast<std::size_t>(len)] > 0)
                maxLength_ = len;
        }
        if (maxLength_ == 0)
            return true;  // no codes: any use of the table fails
        std::array<std::uint32_t, 16> next{};
        std::uint32_t code = 0;
        for (int len = 1; len <= 15; ++len) {
            code = (code + static_cast<std::uint32_t>(perLength[static_cast<std::size_t>(len) - 1]))
                   << 1;
            next[static_cast<std::size_t>(len)] = code;
        }
        entries_.assign(std::size_t{1} << maxLength_, 0);
        for (int s = 0; s < count; ++s) {
            const int len = lengths[s];
            if (len == 0)
                continue;
            const std::uint32_t c = next[static_cast<std::size_t>(len)]++;
            // Codes are sent from their highest bit: reversed, they index
            // the table read from the lowest bit on.
            std::uint32_t reversed = 0;
            for (int i = 0; i < len; ++i)
                reversed |= ((c >> i) & 1u) << (len - 1 - i);
            const auto entry = static_cast<std::uint16_t>((s << 4) | len);
            for (std::uint32_t i = reversed; i < entries_.size(); i += 1u << len)
                entries_[i] = entry;
        }
        return true;
    }

    // The next symbol; -1 where no code begins.
    int decode(BitReader& in) const
    {
        if (maxLength_ == 0)
            return -1;
        const std::uint16_t e = entries_[in.peek(maxLength_)];
        if (e == 0)
            return -1;
        in.skip(e & 15u);
        return e >> 4;
    }

private:
    std::vector<std::uint16_t> entries_;
    int maxLength_ = 0;
};

constexpr std::array<std::uint16_t, 29> kLengthBase = {3,  4,  5,  6,  7,  8,  9,  10, 11, 13,
                                                       15, 17, 19, 23, 27, 31, 35, 43, 51, 59,
                                                       67, 83, 99, 115, 131, 163, 195, 227, 258};
constexpr std::array<std::uint8_t, 29> kLengthExtra = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1,
                                                       1, 1, 2, 2, 2, 2, 3, 3, 3, 3,
                                                       4, 4, 4, 4, 5, 5, 5, 5, 0};
constexpr std::array<std::uint16_t, 30> kDistanceBase = {
    1,   2,   3,   4,   5,   7,    9,    13,   17,   25,   33,   49,   65,    97,    129,
    193, 257, 385, 513, 769, 1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
constexpr std::array<std::uint8_t, 30> kDistanceExtra = {0, 0, 0, 0, 1, 1, 2,  2,  3,  3,
                                                         4, 4, 5, 5, 6, 6, 7,  7,  8,  8,
                                                         9, 9, 10, 10, 11, 11, 12, 12, 13, 13};
// The order in which a dynamic block gives the lengths of the code-length code.
constexpr std::array<std::uint8_t, 19> kCodeLengthOrder = {16, 17, 18, 0, 8,  7, 9,  6, 10, 5,
                                                           11, 4,  12, 3, 13, 2, 14, 1, 15};

// The codes of a dynamic block from its header; false when damaged.
bool readDynamicCodes(BitReader& in, HuffmanTable& literals, HuffmanTable& distances)
{
    const int nLiterals = static_cast<int>(in.take(5)) + 257;
    const int nDistances = static_cast<int>(in.take(5)) + 1;
    const int nCodeLengths = static_cast<int>(in.take(4)) + 4;
    if (nLiterals > 286 || nDistances > 30)
        return false;
    std::array<std::uint8_t, 19> codeLengthLengths{};
    for (int i = 0; i < nCodeLengths; ++i)
        codeLengthLengths[kCodeLengthOrder[static_cast<std::size_t>(i)]] =
            static_cast<std::uint8_t>(in.take(3));
    HuffmanTable codeLengths;
    if (!codeLengths.build(codeLengthLengths.data(), 19))
        return false;
    std::array<std::uint8_t, 286 + 30> lengths{};
    const int total = nLiterals + nDistances;
    for (int i = 0; i < total;) {
        const int s = codeLengths.decode(in);
        if (s < 0 || in.overrun())
            return false;
        if (s < 16) {
            lengths[static_cast<std::size_t>(i++)] = static_cast<std::uint8_t>(s);
            continue;
        }
        std::uint8_t value = 0;
        int repeat = 0;
        if (s == 16) {
            if (i == 0)
                return false;
            value = lengths[static_cast<std::size_t>(i) - 1];
            repeat = 3 + static_cast<int>(in.take(2));
        } else if (s == 17) {
            repeat = 3 + static_cast<int>(in.take(3));
        } else {
            repeat = 11 + static_cast<int>(in.take(7));
        }
        if (i + repeat > total)
            return false;
        for (; repeat > 0; --repeat)
            lengths[static_cast<std::size_t>(i++)] = value;
    }
    if (lengths[256] == 0)
        return false;  // a block needs its end code
    return literals.build(lengths.data(), nLiterals) &&
           distances.build(lengths.data() + nLiterals, nDistances);
}

void fixedCodes(HuffmanTable& literals, HuffmanTable& distances)
{
    std::array<std::uint8_t, 288> lengths{};
    for (int s = 0; s < 288; ++s)
        lengths[static_cast<std::size_t>(s)] = s < 144 ? 8 : s < 256 ? 9 : s < 280 ? 7 : 8;
    literals.build(lengths.data(), 288);
    std::array<std::uint8_t, 30> d{};
    d.fill(5);
    distances.build(d.data(), 30);
}

// Reads the codes of a compressed block up to its end code.
bool readCompressedBlock(BitReader& in, const HuffmanTable& literals,
                         const HuffmanTable& distances, std::uint64_t& size)
{
    for (;;) {
        const int s = literals.decode(in);
        if (s < 0 || in.overrun())
            return false;
        if (s < 256) {
            ++size;
            continue;
        }
        if (s == 256)
            return true;
        const auto l = static_cast<std::size_t>(s - 257);
        if (l >= kLengthBase.size())
            return false;
        const std::uint32_t length = kLengthBase[l] + in.take(kLengthExtra[l]);
        const int d = distances.decode(in);
        if (d < 0 || static_cast<std::size_t>(d) >= kDistanceBase.size())
            return false;
        const std::uint32_t distance =
            kDistanceBase[static_cast<std::size_t>(d)] + in.take(kDistanceExtra[static_cast<std::size_t>(d)]);
        if (distance > size || in.overrun())
            return false;  // a part refers to nothing before its own start
        size += length;
    }
}

// The zlib header libdeflate writes for a level.
std::string zlibHeader(int level)
{
    const unsigned flevel = level < 2 ? 0 : level < 6 ? 1 : level == 6 ? 2 : 3;
    unsigned header = (0x78u << 8) | (flevel << 6);
    header += 31 - header % 31;
    return {static_cast<char>(header >> 8), static_cast<char>(header & 0xFF)};
}

// The zlib stream of `bytes` (raw deflate when `raw`); empty when
// compression failed.
std::string libdeflateCompress(std::string_view bytes, int level, bool raw)
{
    std::unique_ptr<libdeflate_compressor, void (*)(libdeflate_compressor*)> c(
        libdeflate_alloc_compressor(level), &libdeflate_free_compressor);
    if (!c)
        return {};
    // Room for the worst case, left unwritten: only what the stream fills is touched.
    const std::size_t room = raw ? libdeflate_deflate_compress_bound(c.get(), bytes.size())
                                 : libdeflate_zlib_compress_bound(c.get(), bytes.size());
    const LargeBytes buffer(room);
    const std::size_t n =
        raw ? libdeflate_deflate_compress(c.get(), bytes.data(), bytes.size(), buffer.get(), room)
            : libdeflate_zlib_compress(c.get(), bytes.data(), bytes.size(), buffer.get(), room);
    return std::string(buffer.get(), n);
}

}  // namespace

DeflateWalk walkRawDeflate(std::string_view stream)
{
    DeflateWalk walk;
    BitReader in(stream);
    HuffmanTable literals;
    HuffmanTable distances;
    std::uint64_t size = 0;
    for (;;) {
        const std::uint64_t blockBit = in.pos();
        const bool last = in.take(1) != 0;
        const std::uint32_t type = in.take(2);
        if (in.overrun())
            return walk;
        if (type == 0) {
            in.toByte();
            const std::uint32_t len = in.take(16);
            const std::uint32_t nlen = in.take(16);
            if ((len ^ 0xFFFFu) != nlen)
                return walk;
            in.skip(std::uint64_t{len} * 8);
            size += len;
        } else if (type == 1 || type == 2) {
            if (type == 1)
                fixedCodes(literals, distances);
            else if (!readDynamicCodes(in, literals, distances))
                return walk;
            if (!readCompressedBlock(in, literals, distances, size))
                return walk;
        } else {
            return walk;
        }
        if (in.overrun())
            return walk;
        if (last) {
            walk.ok = true;
            walk.inflatedSize = size;
            walk.lastBlockBit = blockBit;
            walk.endBit = in.pos();
            return walk;
        }
    }
}

bool openRawDeflate(std::string& stream, std::uint64_t size)
{
    const DeflateWalk walk = walkRawDeflate(stream);
    // The stream must end in the byte of its end code: nothing may follow.
    if (!walk.ok || walk.inflatedSize != size || (walk.endBit + 7) / 8 != stream.size())
        return false;
    char& mark = stream[static_cast<std::size_t>(walk.lastBlockBit / 8)];
    mark = static_cast<char>(static_cast<unsigned char>(mark) & ~(1u << (walk.lastBlockBit % 8)));
    // An empty stored block: three header bits of zero right after the end
    // code (the rest of the last byte, cleared, or a new byte), then on the
    // next byte boundary a length of 0 and its complement.
    const unsigned used = static_cast<unsigned>(walk.endBit % 8);
    if (used != 0)
        stream.back() = static_cast<char>(static_cast<unsigned char>(stream.back()) &
                                          ((1u << used) - 1));
    if (used == 0 || used > 5)
        stream.push_back('\0');
    stream.append("\x00\x00\xFF\xFF", 4);
    return true;
}

DeflatePart deflatePart(std::string_view bytes, int level, bool last)
{
    DeflatePart part;
    part.size = bytes.size();
    part.adler = libdeflate_adler32(1, bytes.data(), bytes.size());
    part.stream = libdeflateCompress(bytes, level, true);
    part.ok = !part.stream.empty() && (last || openRawDeflate(part.stream, bytes.size()));
    return part;
}

std::string joinDeflateParts(const std::vector<DeflatePart>& parts, int level)
{
    std::size_t total = 6;
    for (const DeflatePart& p : parts) {
        if (!p.ok)
            return {};
        total += p.stream.size();
    }
    std::string out;
    out.reserve(total);
    out += zlibHeader(level);
    uLong sum = 1;
    for (const DeflatePart& p : parts) {
        out += p.stream;
        sum = adler32_combine(sum, p.adler, static_cast<z_off_t>(p.size));
    }
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<char>((sum >> shift) & 0xFF));
    return out;
}

std::string zlibStreamInParts(std::string_view bytes, int level, int parts, std::size_t minPart)
{
    // The cuts, after a line feed at or past each share where there is one.
    std::vector<std::size_t> cuts{0};
    const std::size_t share = parts > 1 ? bytes.size() / static_cast<std::size_t>(parts) : 0;
    if (share >= minPart && minPart > 0) {
        for (int i = 1; i < parts; ++i) {
            std::size_t at = std::max(cuts.back() + 1, share * static_cast<std::size_t>(i));
            const std::size_t lf = bytes.find('\n', at);
            at = lf == std::string_view::npos ? bytes.size() : lf + 1;
            if (at >= bytes.size())
                break;
            cuts.push_back(at);
        }
    }
    cuts.push_back(bytes.size());
    if (cuts.size() == 2)
        return libdeflateCompress(bytes, level, false);

    const std::size_t n = cuts.size() - 1;
    std::vector<DeflatePart> done(n);
    auto work = [&](std::size_t i) {
        done[i] = deflatePart(bytes.substr(cuts[i], cuts[i + 1] - cuts[i]), level, i + 1 == n);
    };
    std::vector<std::thread> helpers;
    for (std::size_t i = 1; i < n; ++i)
        helpers.emplace_back(work, i);
    work(0);
    for (std::thread& t : helpers)
        t.join();
    std::string out = joinDeflateParts(done, level);
    // Not expected: the sure way then.
    return out.empty() ? libdeflateCompress(bytes, level, false) : out;
}

}  // namespace korthal
