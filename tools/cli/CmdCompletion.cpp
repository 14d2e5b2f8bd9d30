// korthal-cli completion: the bash completion script, from the commands'
// help texts (tools/cli/BashCompletion.h).

#include "tools/cli/BashCompletion.h"
#include "tools/cli/Command.h"

#include <iostream>

namespace korthal::cli {
namespace {

int run(const std::vector<std::string>& args)
{
    if (!args.empty()) {
        std::cerr << "korthal-cli completion: no arguments expected (\"" << args[0] << "\")\n";
        return 2;
    }
    std::cout << bashCompletionScript(commands());
    return 0;
}

const Registration registration{Command{
    "completion", "print the bash completion script of korthal-cli",
    "Usage: korthal-cli completion\n"
    "\n"
    "Prints the script that completes korthal-cli's commands, options, forms and\n"
    "file names in bash. An installed Korthal has it in\n"
    "/usr/share/bash-completion/completions/korthal-cli already; elsewhere load\n"
    "it into the running shell with\n"
    "  source <(korthal-cli completion)\n",
    &run}};

}  // namespace
}  // namespace korthal::cli
