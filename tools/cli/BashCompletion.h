#pragma once
// The bash completion of korthal-cli, written from the commands' own help
// texts, so that it follows every command, option and form without a list
// kept by hand:
//   - the commands, "--help" and "--version" after "korthal-cli";
//   - each command's options: every "--name" its help mentions;
//   - an option's value from the usage line or the option list: words for
//     "--method none|2d|3d", files for "--settings FILE.INI" (of that
//     extension, any case) or "--reference FILE", nothing for a number;
//   - the arguments of the usage line in order: files of the extension that
//     "NETWORK.WGS84" names, any file for "FILE", and the words listed under
//     a heading that names them ("Forms (FROM and TO):").

#include "tools/cli/Command.h"

#include <string>
#include <vector>

namespace korthal::cli {

// What a command line word can be completed with.
struct Completion {
    enum class Kind { None, Words, Files, Value };
    Kind kind = Kind::None;  // None: an option without a value
    std::vector<std::string> words;  // Words
    std::string extension;           // Files: without the dot; empty for any file
    int values = 0;                  // an option's count of values (0 for a flag)
};

struct OptionCompletion {
    std::string name;  // "--method"
    Completion value;
};

struct CommandCompletion {
    std::string name;
    // The usage line's options, the option list's, then those a text only
    // mentions, and "--help".
    std::vector<OptionCompletion> options;
    std::vector<Completion> arguments;      // the usage line's arguments, in order
};

// What the help text of one command offers for completion.
CommandCompletion completionOf(const Command& command);

// The whole completion script for bash (complete -F), for the given commands.
std::string bashCompletionScript(const std::vector<Command>& commands);

}  // namespace korthal::cli
