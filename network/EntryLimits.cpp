#include "network/EntryLimits.h"

namespace korthal {

const char* const kMsgBelowMinimum = "Ελάχιστη επιτρεπόμενη τμή : ";
const char* const kMsgAboveMaximum = "Μέγιστη επιτρεπόμενη τμή : ";

std::string outOfRangeMessage(Extended v, const CoordinateLimits& limits, const NumberText& numbers,
                              int decimals)
{
    const std::string f = "%." + std::to_string(decimals) + "n";
    if (Extended(limits.min) > v)
        return kMsgBelowMinimum + numbers.FormatNumber(f, {Extended(limits.min)});
    if (v > Extended(limits.max))
        return kMsgAboveMaximum + numbers.FormatNumber(f, {Extended(limits.max)});
    return {};
}

}  // namespace korthal
