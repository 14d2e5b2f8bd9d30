// Unix compress (.Z). Each input is used twice:
//  - as a compress stream (after the two magic bytes): unpacking must end,
//    and a fault must say why, naming the byte;
//  - as bytes to compress with the tests' own LZW writer, at a code width
//    and clearing rule taken from the first byte: unpacking must give the
//    bytes back exactly.

#include "fuzz/FuzzSupport.h"
#include "tests/support/Lzw.h"
#include "views/Lzw.h"

namespace {

using namespace korthal;

// All the bytes of a stream; false on a fault.
bool unpack(const std::string& stream, std::string& out, std::string& error)
{
    rinex::ReadState state;
    state.name = "fuzz.Z";
    rinex::MemoryBytes bytes(stream, state);
    rinex::LzwBytes lzw(bytes, state);
    char buf[4096];
    std::size_t n;
    while ((n = lzw.read(buf, sizeof buf)) > 0) {
        out.append(buf, n);
        // A stream cannot give more than its codes can say: each code at
        // most a string as long as the table.
        if (out.size() > (stream.size() * 8 / 9 + 1) * 65536)
            fuzz::fuzzFail("more bytes out than the codes can hold");
    }
    error = state.error.message;
    return !state.error;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::Input input(data, size);
    const std::uint8_t how = input.byte();
    const std::string rest(input.rest());

    std::string out, error;
    if (!unpack("\x1f\x9d" + rest, out, error) &&
        (error.empty() || error.find("byte") == std::string::npos))
        fuzz::fuzzFail("a fault whose message names no byte: " + error);

    const int maxBits = 12 + how % 5;
    const bool clearWhenFull = (how & 0x80) != 0;
    const std::string stream = test::lzwCompress(rest, maxBits, clearWhenFull);
    out.clear();
    if (!unpack(stream, out, error))
        fuzz::fuzzFail("a stream of the compressor refused: " + error, rest);
    if (out != rest)
        fuzz::fuzzFail("the bytes came back changed", rest, out);
    return 0;
}
