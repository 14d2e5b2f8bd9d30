// The code page 1253 conversion. Any bytes read from a file are written back
// the same; UTF-8 text whose conversion reports no loss reads back the same;
// every byte of plain ASCII comes through, and every '?' that was no '?' is
// reported.

#include "fuzz/FuzzSupport.h"
#include "table/Cp1253.h"

#include <algorithm>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace korthal;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    const std::string text = cp1253ToUtf8(bytes);
    bool lossy = false;
    const std::string back = utf8ToCp1253(text, &lossy);
    if (lossy || back != bytes)
        fuzz::fuzzFail("code page 1253 bytes do not come back through UTF-8", bytes, back);

    std::vector<UnconvertedCharacter> lost;
    const std::string converted = utf8ToCp1253(bytes, lost);
    if (lost.empty() && cp1253ToUtf8(converted) != bytes)
        fuzz::fuzzFail("UTF-8 converted without a loss reported reads back differently", bytes,
                       cp1253ToUtf8(converted));

    // Plain ASCII apart from '?' comes through in order; each '?' added is
    // a reported character.
    const auto asciiBut = [](std::string_view s) {
        std::string kept;
        for (const char c : s)
            if (static_cast<unsigned char>(c) < 0x80 && c != '?')
                kept += c;
        return kept;
    };
    const auto marks = [](std::string_view s) {
        return static_cast<std::size_t>(std::count(s.begin(), s.end(), '?'));
    };
    if (asciiBut(converted) != asciiBut(bytes))
        fuzz::fuzzFail("plain ASCII lost in the conversion", asciiBut(bytes), asciiBut(converted));
    if (marks(converted) != marks(bytes) + lost.size())
        fuzz::fuzzFail("a character became '?' without being reported", bytes, converted);
    for (std::size_t i = 1; i < lost.size(); ++i)
        if (lost[i].offset < lost[i - 1].offset + lost[i - 1].bytes.size())
            fuzz::fuzzFail("unconverted characters reported out of order or overlapping", bytes);
    return 0;
}
