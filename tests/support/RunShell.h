#pragma once
// Runs a shell command line the way a user's shell would and keeps what it
// printed.

#include "support/Files.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include <sys/wait.h>

namespace korthal::test {

struct ShellResult {
    int status = -1;  // the exit status; -1 when the command did not exit normally
    std::string out, err;
};

// Runs `command` (already quoted for the shell) with `input` on standard
// input, in the folder `dir` (the current one when empty). Standard output
// and error are caught in scratch files outside `dir`.
inline ShellResult runShell(const std::string& command, const std::string& input = {},
                            const std::filesystem::path& dir = {})
{
    const std::string base = scratchBase("sh");
    writeBytes(base + ".in", input);
    std::string cmd;
    if (!dir.empty())
        cmd = "cd \"" + dir.string() + "\" && ";
    cmd += "{ " + command + "; } < \"" + base + ".in\" > \"" + base + ".out\" 2> \"" + base +
           ".err\"";
    const int raw = std::system(cmd.c_str());
    ShellResult r;
    r.status = raw != -1 && WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    r.out = readBytes(base + ".out");
    r.err = readBytes(base + ".err");
    return r;
}

}  // namespace korthal::test
