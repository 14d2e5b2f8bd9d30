#pragma once
// The subcommands of korthal-cli. Each lives in its own file and registers
// itself with a static KORTHAL_CLI_COMMAND object; main() dispatches on the
// first argument.

#include <string>
#include <vector>

namespace korthal::cli {

struct Command {
    std::string name;
    std::string summary;  // one line for the overview
    std::string help;     // the full text of "korthal-cli NAME --help"
    // Arguments after the command name. Returns the exit status.
    int (*run)(const std::vector<std::string>& args);
};

std::vector<Command>& commands();

struct Registration {
    explicit Registration(Command c) { commands().push_back(std::move(c)); }
};

// True when args hold "--help" or "-h".
bool wantsHelp(const std::vector<std::string>& args);

}  // namespace korthal::cli
