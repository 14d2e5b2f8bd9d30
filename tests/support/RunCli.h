#pragma once
// Runs the built korthal-cli the way a user's shell would and keeps what it
// printed.

#include "support/Files.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include <sys/wait.h>

namespace korthal::test {

struct CliResult {
    int status = -1;  // the exit status; -1 when the tool did not exit normally
    std::string out, err;
};

// Runs korthal-cli with `args` (already quoted for the shell) in the C locale,
// with `input` on standard input, in the folder `dir` (the current one when
// empty). Standard output and error are caught in scratch files outside `dir`.
inline CliResult runCli(const std::string& args, const std::string& input = {},
                        const std::filesystem::path& dir = {})
{
    const std::string base = scratchBase("cli");
    writeBytes(base + ".in", input);
    std::string cmd;
    if (!dir.empty())
        cmd = "cd \"" + dir.string() + "\" && ";
    cmd += std::string("LC_ALL=C \"") + KORTHAL_CLI + "\" " + args + " < \"" + base +
           ".in\" > \"" + base + ".out\" 2> \"" + base + ".err\"";
    const int raw = std::system(cmd.c_str());
    CliResult r;
    r.status = raw != -1 && WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    r.out = readBytes(base + ".out");
    r.err = readBytes(base + ".err");
    return r;
}

}  // namespace korthal::test
