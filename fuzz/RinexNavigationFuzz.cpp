// RINEX navigation files. Every ephemeris the reader keeps must be one the
// orbit can use: a GPS satellite number, an orbit of a GPS satellite's size,
// finite times; and the satellite's position from it must be finite. Every
// skipped record is named by a line of the text.

#include "fuzz/FuzzSupport.h"
#include "views/RinexNavigation.h"

#include <cmath>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace korthal;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const rinex::NavigationResult r = rinex::readNavigation(rinex::textLines(text), "fuzz.n");
    std::int64_t lines = 1;
    for (char c : text)
        lines += c == '\n' ? 1 : 0;
    for (const rinex::NavigationFinding& f : r.findings)
        if (f.line < 1 || f.line > lines || f.message.empty())
            fuzz::fuzzFail("a finding without its line: " + std::to_string(f.line));
    for (const gnss::GpsEphemeris& e : r.ephemerides) {
        if (e.prn < 1 || e.prn > 99)
            fuzz::fuzzFail("an ephemeris of satellite " + std::to_string(e.prn));
        if (!std::isfinite(e.toe) || !std::isfinite(e.toc) || e.e < 0 || e.e >= 1)
            fuzz::fuzzFail("an ephemeris with impossible times or eccentricity");
        const auto p = gnss::satellitePosition(e, e.toe + 600.0);
        if (!std::isfinite(p.X) || !std::isfinite(p.Y) || !std::isfinite(p.Z))
            fuzz::fuzzFail("a position that is not finite");
    }
    return 0;
}
