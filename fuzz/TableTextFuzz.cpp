// The table text inside the files (code page 1253, as inflated), which the
// target compresses into a file and reads as the network, the reference
// points or an observation table (by the size of the input).

#include "fuzz/TableCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace korthal::fuzz;
    SilentDialogs quiet;
    const std::string path = scratchFile("table");
    writeFile(path, korthal::GPSCompressSave(
                        std::string_view(reinterpret_cast<const char*>(data), size)));
    checkTableFile(tableKindOf(size), path);
    return 0;
}
