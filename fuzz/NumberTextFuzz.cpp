// Numbers as text. The first byte picks what is fuzzed and the separators:
//  - text read as a number: a number read is formatted and read back to the
//    same text;
//  - a double (eight bytes) formatted with 0 to 12 decimals: the text reads
//    back as a number that formats to the same text; the general format of
//    the table files reads back within its 15 digits;
//  - a format and its arguments: any format gives a text of bounded size.

#include "fuzz/FuzzSupport.h"
#include "network/NumberText.h"

#include <cmath>
#include <cstring>

namespace {

using namespace korthal;

constexpr Separators kChoices[] = {{',', '.'}, {'.', ','}, {',', ' '}, {'.', ' '},
                                   {',', '\0'}, {'.', '\0'}};

void roundTrip(const NumberText& nt, Extended v, int decimals)
{
    const std::string text = nt.formatFixed(v, decimals);
    const NumberResult back = nt.ParseNumber(text);
    if (!back)
        fuzz::fuzzFail("a formatted number does not read back: " + text);
    const std::string again = nt.formatFixed(back.value, decimals);
    if (again != text)
        fuzz::fuzzFail("a number read back formats differently", text, again);
}

void generalRoundTrip(Extended v, char decimal)
{
    const std::string text = generalFormat(v, decimal);
    const NumberResult back = parseDecimal(text, decimal);
    if (!back)
        fuzz::fuzzFail("a general format does not read back: " + text);
    const std::string again = generalFormat(back.value, decimal);
    if (again != text)
        fuzz::fuzzFail("a general format read back formats differently", text, again);
    if (std::isfinite(v) && v != 0 && std::fabs(back.value - v) > std::fabs(v) * 1e-14L)
        fuzz::fuzzFail("a general format reads back too far from its number: " + text);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::Input in(data, size);
    const std::uint8_t choice = in.byte();
    const Separators system = kChoices[in.pick(2)];
    const Separators display = kChoices[in.pick(6)];
    NumberText nt(system);
    nt.setDisplay(display);
    const int decimals = static_cast<int>(in.pick(13));

    switch (choice % 3) {
    case 0: {
        const NumberResult r = nt.ParseNumber(in.rest());
        if (r && std::isfinite(r.value) && std::fabs(r.value) < 1e308L)
            roundTrip(nt, r.value, decimals);
        (void)parseDecimal(in.rest(), display.decimal);
        break;
    }
    case 1: {
        double v = 0;
        const std::string_view bytes = in.bytes(sizeof v);
        std::memcpy(&v, bytes.data(), bytes.size());
        if (std::isfinite(v)) {
            roundTrip(nt, v, decimals);
            generalRoundTrip(v, display.decimal);
        }
        break;
    }
    default: {
        const std::string_view fmt = in.bytes(in.pick(64));
        std::vector<FormatArg> args;
        while (!in.rest().empty() && args.size() < 8) {
            switch (in.pick(3)) {
            case 0: {
                double v = 0;
                const std::string_view bytes = in.bytes(sizeof v);
                std::memcpy(&v, bytes.data(), bytes.size());
                args.emplace_back(Extended(v));
                break;
            }
            case 1: args.emplace_back(static_cast<long long>(in.byte()) - 128); break;
            default: args.emplace_back(std::string(in.bytes(in.pick(16))));
            }
        }
        const std::string out = nt.FormatNumber(fmt, args);
        if (out.size() > 4096)
            fuzz::fuzzFail("a format of " + std::to_string(fmt.size()) + " characters gave " +
                           std::to_string(out.size()));
        break;
    }
    }
    return 0;
}
