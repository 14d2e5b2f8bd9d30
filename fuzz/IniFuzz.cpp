// Settings files. The size of the input picks the system's separators and
// the number page shown. Properties:
//  - writing one key changes no other value the file gives, and the key reads
//    back as written;
//  - the network settings read from the file, written and read again are the
//    same settings.

#include "fuzz/FuzzSupport.h"
#include "geodesy/DatumShift.h"
#include "project/IniFile.h"
#include "project/Settings.h"

namespace {

using namespace korthal;

// Every key the program reads, with its section.
std::vector<std::pair<std::string, std::string>> knownKeys()
{
    std::vector<std::pair<std::string, std::string>> keys;
    for (const char* k : {"LastFile", "IconsPath", "method", "Kind", "maxDm", "maxDe", "maxDt",
                          "coords"})
        keys.emplace_back("General", k);
    for (const char* k : kShiftKeys)
        keys.emplace_back("General", k);
    for (const char* p : {"0", "1", "2"}) {
        keys.emplace_back("Separators", std::string("Tseparator") + p);
        keys.emplace_back("Separators", std::string("Dseparator") + p);
        for (const char* k : {"GPSdecimals", "EGSAdecimals", "Paramsdecimals", "DDmmssdecimals"})
            keys.emplace_back("Decimals", k + std::string(p));
    }
    for (const char* k : {"nTypes", "L1", "C1"})
        keys.emplace_back("Types", k);
    for (const char* k : {"Xo", "Yo", "Ho"})
        keys.emplace_back("POSITION", k);
    return keys;
}

std::vector<std::string> readAll(const std::string& path)
{
    static const auto keys = knownKeys();
    const IniFile ini(path);
    std::vector<std::string> out;
    for (const auto& [section, key] : keys)
        out.push_back(ini.valueExists(section, key) ? "=" + ini.readString(section, key, {}) : "-");
    return out;
}

// The settings page's values and the datum shifts, as one text.
std::string describe(const NetworkSettings& s)
{
    std::string out = std::to_string(s.thousandsChoice) + " " + std::to_string(s.decimalChoice) +
                      " " + std::to_string(s.gpsDecimals) + " " + std::to_string(s.egsaDecimals) +
                      " " + std::to_string(s.paramDecimals) + " " + std::to_string(s.dmsDecimals) +
                      " " + std::to_string(storedNumber(s.method)) + " " + std::to_string(s.kind) + " " +
                      std::to_string(s.maxDm) + " " + std::to_string(s.maxDe) + " " +
                      std::to_string(s.maxDt) + " " + (s.inputForm == InputForm::Geocentric ? "g" : "e");
    for (const std::string& t : s.shiftTexts)
        out += " [" + t + "]";
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::SilentDialogs quiet;
    const Separators system = size % 2 ? Separators{'.', ','} : Separators{',', '.'};
    const int page = static_cast<int>(size / 2 % 3);
    const std::string path = fuzz::scratchFile("settings.ini");
    fuzz::writeFile(path, std::string_view(reinterpret_cast<const char*>(data), size));

    (void)loadProgramSettings(path);

    // One key written: nothing else moves.
    const std::vector<std::string> before = readAll(path);
    {
        IniFile ini(path);
        if (!ini.writeString("Fuzz", "Key", "12,5 m"))
            fuzz::fuzzFail("a key could not be written: " + ini.error());
        if (IniFile(path).readString("Fuzz", "Key", {}) != "12,5 m")
            fuzz::fuzzFail("a key written does not read back");
    }
    const std::vector<std::string> after = readAll(path);
    for (std::size_t i = 0; i < before.size(); ++i)
        if (before[i] != after[i])
            fuzz::fuzzFail("writing a key changed another value", before[i], after[i]);

    // The network settings: read, written, read again.
    NetworkSettings first(system);
    first.page = page;
    DatumShiftTable shifts;
    first.LoadParams(path, shifts);
    std::string error;
    if (!first.saveParams(path, error))
        fuzz::fuzzFail("the settings could not be written: " + error);
    NetworkSettings second(system);
    second.page = page;
    DatumShiftTable shiftsAgain;
    second.LoadParams(path, shiftsAgain);
    const std::string a = describe(first), b = describe(second);
    if (a != b)
        fuzz::fuzzFail("the settings read back differ from those written", a, b);
    return 0;
}
