// RINEX 3 and 4 observation files. An input whose first byte is odd is the
// body of a file under a fixed RINEX 3.04 header (GPS, GLONASS and Galileo
// types, a scale factor), so that the epochs themselves are explored; an
// even one is a whole file. The records must be ones the table can show
// (RinexCheck.h); a whole reading names the codes it took.

#include "fuzz/RinexCheck.h"

namespace {

constexpr std::string_view kHeader =
    "     3.04           OBSERVATION DATA    M                   RINEX VERSION / TYPE\n"
    "  4362689.8809  2026647.9686  4174234.2239                  APPROX POSITION XYZ\n"
    "        0.1830        0.0000        0.0000                  ANTENNA: DELTA H/E/N\n"
    "G   10 C1C L1C D1C S1C C2W L2W D2W S2W C5Q L5Q              SYS / # / OBS TYPES\n"
    "R    4 C1C L1C C2P L2P                                      SYS / # / OBS TYPES\n"
    "E   15 C1C L1C D1C S1C C5Q L5Q D5Q S5Q C7Q L7Q D7Q S7Q C8Q  SYS / # / OBS TYPES\n"
    "       L8Q D8Q                                              SYS / # / OBS TYPES\n"
    "G   10   2 C2W L2W                                          SYS / SCALE FACTOR\n"
    "    30.000                                                  INTERVAL\n"
    "  2022     3     4     0     0    0.0000000     GPS         TIME OF FIRST OBS\n"
    "                                                            END OF HEADER\n";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace korthal;
    fuzz::SilentDialogs quiet;
    fuzz::Input input(data, size);
    const bool body = (input.byte() & 1) != 0;
    const std::string text = (body ? std::string(kHeader) : std::string()) + std::string(input.rest());

    fuzz::CheckingSink sink;
    const rinex::ReadResult r = rinex::readObservationText(text, "fuzz.rnx", sink);
    fuzz::checkReading(r, sink);
    if (body && r.status == rinex::ReadStatus::HeaderError)
        fuzz::fuzzFail("the fixed header refused: " + r.message);
    if (r.ok() && r.header.version >= 3 && !r.header.sources.empty() &&
        rinex::readSummary(r).find(r.header.sources[0].code) == std::string::npos)
        fuzz::fuzzFail("a summary that does not name the codes it took: " + rinex::readSummary(r));
    return 0;
}
