#pragma once
// Runs the built korthal-cli the way a user's shell would and keeps what it
// printed.

#include "support/RunShell.h"

#include <filesystem>
#include <string>

namespace korthal::test {

using CliResult = ShellResult;

// Runs korthal-cli with `args` (already quoted for the shell) in the C locale,
// with `input` on standard input, in the folder `dir` (the current one when
// empty). Standard output and error are caught in scratch files outside `dir`.
inline CliResult runCli(const std::string& args, const std::string& input = {},
                        const std::filesystem::path& dir = {})
{
    return runShell(std::string("LC_ALL=C \"") + KORTHAL_CLI + "\" " + args, input, dir);
}

}  // namespace korthal::test
