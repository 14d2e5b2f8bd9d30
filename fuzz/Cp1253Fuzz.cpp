// The code page 1253 conversion. Any bytes read from a file are written back
// the same; UTF-8 text whose conversion reports no loss reads back the same.

#include "fuzz/FuzzSupport.h"
#include "table/Cp1253.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace korthal;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    const std::string text = cp1253ToUtf8(bytes);
    bool lossy = false;
    const std::string back = utf8ToCp1253(text, &lossy);
    if (lossy || back != bytes)
        fuzz::fuzzFail("code page 1253 bytes do not come back through UTF-8", bytes, back);

    const std::string converted = utf8ToCp1253(bytes, &lossy);
    if (!lossy && cp1253ToUtf8(converted) != bytes)
        fuzz::fuzzFail("UTF-8 converted without a loss reported reads back differently", bytes,
                       cp1253ToUtf8(converted));
    return 0;
}
