#pragma once
// Recording dialogs that also keep the text an input question offered.

#include "project/Dialogs.h"

#include <optional>
#include <string>

namespace korthal::test {

struct OfferingDialogs : RecordingDialogs {
    std::string offered;  // the initial text of the last input question

    std::optional<std::string> input(const std::string& caption, const std::string& prompt,
                                     const std::string& initial) override
    {
        offered = initial;
        return RecordingDialogs::input(caption, prompt, initial);
    }
};

}  // namespace korthal::test
