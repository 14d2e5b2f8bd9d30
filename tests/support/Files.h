#pragma once
// Files for tests: a folder of their own, and whole files read and written as
// bytes (no newline or code page conversion).

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include <unistd.h>

namespace korthal::test {

// A fresh folder, removed with all it holds at the end. Made with mkdtemp, so
// that other checkouts running the same tests at once never share it.
struct TempDir {
    std::filesystem::path path;

    explicit TempDir(const std::string& label = "test")
    {
        std::string tmpl =
            (std::filesystem::temp_directory_path() / ("korthal-" + label + "-XXXXXX")).string();
        if (mkdtemp(tmpl.data()))
            path = tmpl;
        EXPECT_FALSE(path.empty()) << "no temporary folder for " << label;
    }
    ~TempDir()
    {
        if (!path.empty()) {
            std::error_code ec;
            std::filesystem::remove_all(path, ec);
        }
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    std::string file(const std::string& name) const { return (path / name).string(); }
};

// The whole file; empty when it cannot be read.
inline std::string readBytes(const std::filesystem::path& p)
{
    std::string out;
    if (std::FILE* f = std::fopen(p.c_str(), "rb")) {
        char buf[65536];
        std::size_t n;
        while ((n = std::fread(buf, 1, sizeof buf, f)) > 0)
            out.append(buf, n);
        std::fclose(f);
    }
    return out;
}

// Replaces the file with exactly these bytes; returns the path.
inline std::string writeBytes(const std::filesystem::path& p, const std::string& bytes)
{
    std::FILE* f = std::fopen(p.c_str(), "wb");
    EXPECT_NE(f, nullptr) << "cannot write " << p;
    if (f) {
        EXPECT_EQ(std::fwrite(bytes.data(), 1, bytes.size(), f), bytes.size());
        std::fclose(f);
    }
    return p.string();
}

// A name for scratch files of the running test, unique to this process.
inline std::string scratchBase(const std::string& label)
{
    return ::testing::TempDir() + "korthal_" + label + "_" + std::to_string(getpid()) + "_" +
           ::testing::UnitTest::GetInstance()->current_test_info()->name();
}

}  // namespace korthal::test
