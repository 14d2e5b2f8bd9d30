#pragma once
// What the fuzz targets share: a scratch folder of their own in memory, a
// dialogs object that says nothing, and a way to take pieces of the input.
//
// A property that does not hold ends the run through fuzzFail, which prints
// what differed and aborts, so that libFuzzer keeps the input.

#include "project/Dialogs.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>

#include <unistd.h>

namespace korthal::fuzz {

// A folder made once per process, in /dev/shm when there is one (the targets
// write files on every run), removed at the end.
inline const std::filesystem::path& scratchDir()
{
    static std::filesystem::path dir;
    if (dir.empty()) {
        const char* base = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
        std::string tmpl = std::string(base) + "/korthal-fuzz-XXXXXX";
        if (!mkdtemp(tmpl.data())) {
            std::perror("mkdtemp");
            std::abort();
        }
        dir = tmpl;
        std::atexit([] {
            std::error_code ec;
            std::filesystem::remove_all(scratchDir(), ec);
        });
    }
    return dir;
}

inline std::string scratchFile(const std::string& name)
{
    return (scratchDir() / name).string();
}

inline void writeFile(const std::string& path, std::string_view bytes)
{
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f || std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size()) {
        std::perror(path.c_str());
        std::abort();
    }
    std::fclose(f);
}

[[noreturn]] inline void fuzzFail(const std::string& what, std::string_view a = {},
                                  std::string_view b = {})
{
    std::fprintf(stderr, "\nProperty failed: %s\n", what.c_str());
    if (!a.empty() || !b.empty()) {
        std::fprintf(stderr, "--- first\n%.*s\n--- second\n%.*s\n", static_cast<int>(a.size()),
                     a.data(), static_cast<int>(b.size()), b.data());
    }
    std::abort();
}

// Messages go nowhere; questions get their safe answer.
class SilentDialogs : public Dialogs {
public:
    SilentDialogs() : previous_(setDialogs(this)) {}
    ~SilentDialogs() override { setDialogs(previous_); }
    SilentDialogs(const SilentDialogs&) = delete;
    SilentDialogs& operator=(const SilentDialogs&) = delete;

    void message(const std::string&, MsgIcon, const std::string&) override { ++messages; }
    Answer ask(const std::string&, const std::string&, MsgIcon, MsgButtons buttons) override
    {
        return buttons == MsgButtons::YesNoCancel ? Answer::Cancel : Answer::No;
    }
    std::optional<std::string> input(const std::string&, const std::string&,
                                     const std::string&) override
    {
        return std::nullopt;
    }
    std::optional<std::string> chooseFile(const std::string&, const std::string&,
                                          const std::string&, const std::string&) override
    {
        return std::nullopt;
    }

    int messages = 0;

private:
    Dialogs* previous_;
};

// The input, taken from the front a piece at a time.
class Input {
public:
    Input(const std::uint8_t* data, std::size_t size)
        : rest_(reinterpret_cast<const char*>(data), size)
    {
    }

    // One byte (0 when none is left).
    std::uint8_t byte()
    {
        if (rest_.empty())
            return 0;
        const auto b = static_cast<std::uint8_t>(rest_.front());
        rest_.remove_prefix(1);
        return b;
    }
    // A number from 0 to n - 1.
    unsigned pick(unsigned n) { return byte() % n; }
    // The next n bytes (fewer at the end).
    std::string_view bytes(std::size_t n)
    {
        const std::string_view out = rest_.substr(0, n);
        rest_.remove_prefix(out.size());
        return out;
    }
    std::string_view rest() const { return rest_; }

private:
    std::string_view rest_;
};

}  // namespace korthal::fuzz
