#pragma once
// zlib streams made and read with zlib directly, independent of the code
// under test.

#include <gtest/gtest.h>
#include <zlib.h>

#include <string>

namespace korthal::test {

// The bytes as one zlib stream at level 9.
inline std::string deflated(const std::string& bytes)
{
    uLongf size = compressBound(static_cast<uLong>(bytes.size()));
    std::string out(size, '\0');
    EXPECT_EQ(compress2(reinterpret_cast<Bytef*>(out.data()), &size,
                        reinterpret_cast<const Bytef*>(bytes.data()),
                        static_cast<uLong>(bytes.size()), 9),
              Z_OK);
    out.resize(size);
    return out;
}

// The bytes of a whole zlib stream (at most `most` of them).
inline std::string inflated(const std::string& stream, std::size_t most = 1 << 20)
{
    std::string out(most, '\0');
    uLongf size = static_cast<uLongf>(out.size());
    EXPECT_EQ(uncompress(reinterpret_cast<Bytef*>(out.data()), &size,
                         reinterpret_cast<const Bytef*>(stream.data()),
                         static_cast<uLong>(stream.size())),
              Z_OK);
    out.resize(size);
    return out;
}

// A zlib stream of `head` followed by `times` copies of `chunk`, made
// without ever holding the copies: each copy is deflated after a full flush,
// which makes its compressed bytes the same every time, and the checksum is
// combined. A stream of gigabytes costs a few megabytes. Without `finished`
// the stream stops after the last copy, as a file cut short.
inline std::string repeatedStream(const std::string& head, const std::string& chunk,
                                  long long times, bool finished = true)
{
    z_stream z{};
    EXPECT_EQ(deflateInit(&z, 9), Z_OK);
    const auto deflateAll = [&z](const std::string& in) {
        std::string out;
        z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(in.data()));
        z.avail_in = static_cast<uInt>(in.size());
        char buf[1 << 14];
        do {
            z.next_out = reinterpret_cast<Bytef*>(buf);
            z.avail_out = sizeof buf;
            EXPECT_NE(deflate(&z, Z_FULL_FLUSH), Z_STREAM_ERROR);
            out.append(buf, sizeof buf - z.avail_out);
        } while (z.avail_out == 0);
        return out;
    };
    std::string out = deflateAll(head);  // with the stream's header
    const std::string block = deflateAll(chunk);
    deflateEnd(&z);
    const auto adler = [](uLong a, const std::string& s) {
        return adler32(a, reinterpret_cast<const Bytef*>(s.data()), static_cast<uInt>(s.size()));
    };
    uLong sum = adler(adler32(0, nullptr, 0), head);
    const uLong chunkSum = adler(adler32(0, nullptr, 0), chunk);
    out.reserve(out.size() + block.size() * static_cast<std::size_t>(times) + 6);
    for (long long i = 0; i < times; ++i) {
        out += block;
        sum = adler32_combine(sum, chunkSum, static_cast<z_off_t>(chunk.size()));
    }
    if (finished) {
        out += std::string("\x03\x00", 2);  // the last block: fixed codes, nothing in it
        for (int shift = 24; shift >= 0; shift -= 8)
            out += static_cast<char>((sum >> shift) & 0xFF);
    }
    return out;
}

// The bytes as one gzip member (RFC 1952) at level 9.
inline std::string gzipped(const std::string& bytes)
{
    z_stream zs{};
    EXPECT_EQ(deflateInit2(&zs, 9, Z_DEFLATED, 16 + MAX_WBITS, 8, Z_DEFAULT_STRATEGY), Z_OK);
    std::string out(deflateBound(&zs, static_cast<uLong>(bytes.size())) + 32, '\0');
    zs.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.data()));
    zs.avail_in = static_cast<uInt>(bytes.size());
    zs.next_out = reinterpret_cast<Bytef*>(out.data());
    zs.avail_out = static_cast<uInt>(out.size());
    EXPECT_EQ(deflate(&zs, Z_FINISH), Z_STREAM_END);
    out.resize(zs.total_out);
    deflateEnd(&zs);
    return out;
}

}  // namespace korthal::test
