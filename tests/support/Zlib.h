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

// The bytes of a whole zlib stream (at most 1 MiB of them).
inline std::string inflated(const std::string& stream)
{
    std::string out(1 << 20, '\0');
    uLongf size = static_cast<uLongf>(out.size());
    EXPECT_EQ(uncompress(reinterpret_cast<Bytef*>(out.data()), &size,
                         reinterpret_cast<const Bytef*>(stream.data()),
                         static_cast<uLong>(stream.size())),
              Z_OK);
    out.resize(size);
    return out;
}

}  // namespace korthal::test
