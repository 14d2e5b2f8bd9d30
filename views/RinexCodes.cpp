#include "views/RinexCodes.h"

#include <algorithm>
#include <array>

namespace korthal::rinex {

namespace {

struct Choice {
    const char* type;
    std::vector<const char*> codes;  // in the order of preference
};

const std::array<Choice, 14>& choices()
{
    static const std::array<Choice, 14> table{{
        {"C1", {"C1C"}},
        {"P1", {"C1W", "C1P", "C1Y"}},
        {"L1", {"L1C", "L1W", "L1P", "L1Y", "L1X", "L1L", "L1S"}},
        {"D1", {"D1C", "D1W", "D1P", "D1Y", "D1X", "D1L", "D1S"}},
        {"S1", {"S1C", "S1W", "S1P", "S1Y", "S1X", "S1L", "S1S"}},
        {"C2", {"C2C", "C2L", "C2S", "C2X"}},
        {"P2", {"C2W", "C2P", "C2Y", "C2D"}},
        {"L2", {"L2W", "L2P", "L2Y", "L2D", "L2C", "L2L", "L2S", "L2X"}},
        {"D2", {"D2W", "D2P", "D2Y", "D2D", "D2C", "D2L", "D2S", "D2X"}},
        {"S2", {"S2W", "S2P", "S2Y", "S2D", "S2C", "S2L", "S2S", "S2X"}},
        {"C5", {"C5Q", "C5X", "C5I"}},
        {"L5", {"L5Q", "L5X", "L5I"}},
        {"D5", {"D5Q", "D5X", "D5I"}},
        {"S5", {"S5Q", "S5X", "S5I"}},
    }};
    return table;
}

}  // namespace

std::vector<CodeSource> chooseCodeSources(const std::vector<std::string>& gpsCodes)
{
    std::vector<CodeSource> out;
    for (const Choice& c : choices())
        for (const char* code : c.codes)
            if (std::find(gpsCodes.begin(), gpsCodes.end(), code) != gpsCodes.end()) {
                out.push_back({c.type, code});
                break;
            }
    return out;
}

std::string codeSourcesText(const std::vector<CodeSource>& sources)
{
    std::string out;
    for (const CodeSource& s : sources)
        out += (out.empty() ? "" : " ") + s.type + "=" + s.code;
    return out;
}

}  // namespace korthal::rinex
