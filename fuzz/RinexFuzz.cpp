// RINEX observation files, any version, plain or in any compression layer
// (the reader finds the layers by the first bytes). The records must be
// ones the table can show (RinexCheck.h).

#include "fuzz/RinexCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace korthal;
    fuzz::SilentDialogs quiet;
    fuzz::CheckingSink sink;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const rinex::ReadResult r = rinex::readObservationText(text, "fuzz.obs", sink);
    fuzz::checkReading(r, sink);
    return 0;
}
