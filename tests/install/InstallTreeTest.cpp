// The tree "cmake --install" lays out, installed once into a temporary
// prefix: every file the package must hold, the manual pages as man shows
// them, the desktop entry and the AppStream metadata as their validators see
// them, the file types as Qt's MIME database (the shared-mime-info rules)
// reads them, and the bash completion as bash runs it.

#include "support/Files.h"
#include "support/RunShell.h"

#include <QLocale>
#include <QMimeDatabase>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

using namespace korthal::test;
namespace fs = std::filesystem;

namespace {

std::string quoted(const fs::path& p) { return "'" + p.string() + "'"; }

std::vector<std::string> linesOf(const std::string& text)
{
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        if (!line.empty()) out.push_back(line);
    return out;
}

class InstallTree : public ::testing::Test {
protected:
    // Installed at the first use, once for the process.
    static fs::path prefix()
    {
        static const std::unique_ptr<TempDir> dir = [] {
            auto d = std::make_unique<TempDir>("install");
            const ShellResult r = runShell("cmake --install " + quoted(KORTHAL_BUILD_DIR) +
                                           " --prefix " + quoted(d->path));
            EXPECT_EQ(r.status, 0) << r.out << r.err;
            return d;
        }();
        return dir->path;
    }
    static fs::path cli() { return prefix() / "bin/korthal-cli"; }
};

TEST_F(InstallTree, HoldsEveryFileOfThePackage)
{
    const auto files = linesOf(readBytes(KORTHAL_INSTALLED_FILES));
    ASSERT_GE(files.size(), 19u);
    for (const auto& f : files) {
        std::error_code ec;
        EXPECT_GT(fs::file_size(prefix() / f, ec), 0u) << f;
    }
    // The programs run from there and say their version.
    const ShellResult gui = runShell(quoted(prefix() / "bin/korthal") + " --version");
    EXPECT_EQ(gui.status, 0);
    EXPECT_EQ(gui.out.rfind("korthal 1.", 0), 0u) << gui.out;
    const ShellResult tool = runShell(quoted(cli()) + " --version");
    EXPECT_EQ(tool.status, 0);
    EXPECT_EQ(tool.out.substr(tool.out.find(' ')), gui.out.substr(gui.out.find(' ')));
}

TEST_F(InstallTree, ManualPagesRenderAndNameEveryCommand)
{
    for (const char* page : {"korthal", "korthal-cli"}) {
        SCOPED_TRACE(page);
        const ShellResult r = runShell("LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l " +
                                       quoted(prefix() / "share/man/man1" / (std::string(page) + ".1.gz")));
        EXPECT_EQ(r.status, 0);
        EXPECT_EQ(r.err, "");
        for (const char* heading : {"NAME", "SYNOPSIS", "DESCRIPTION", "OPTIONS", "SEE ALSO"})
            EXPECT_NE(r.out.find(std::string("\n") + heading + "\n"), std::string::npos) << heading;
        EXPECT_NE(r.out.find("--version"), std::string::npos);
        if (std::string(page) == "korthal-cli") {
            // Every command of the overview has its subsection, with its
            // options (Greek texts kept).
            const ShellResult overview = runShell(quoted(cli()) + " --help");
            std::istringstream in(overview.out.substr(overview.out.find("Commands:")));
            std::string line;
            std::getline(in, line);
            int commands = 0;
            while (std::getline(in, line) && line.rfind("  ", 0) == 0) {
                const std::string name = line.substr(2, line.find(' ', 2) - 2);
                EXPECT_NE(r.out.find("\n   " + name + "\n       korthal-cli "), std::string::npos)
                    << name;
                ++commands;
            }
            EXPECT_GE(commands, 13);
            EXPECT_NE(r.out.find("--undulation M"), std::string::npos);
            EXPECT_NE(r.out.find("ΥΠΟΠΤΟ"), std::string::npos);
        } else {
            EXPECT_NE(r.out.find("korthal [FILE]"), std::string::npos);
        }
    }
}

TEST_F(InstallTree, DesktopEntryAndMetadataValidate)
{
    const ShellResult desktop = runShell(
        "desktop-file-validate " +
        quoted(prefix() / "share/applications" / (std::string(KORTHAL_APP_ID) + ".desktop")));
    EXPECT_EQ(desktop.status, 0) << desktop.out << desktop.err;
    EXPECT_EQ(desktop.out, "");
    const ShellResult appstream = runShell(
        "appstreamcli validate --no-net " +
        quoted(prefix() / "share/metainfo" / (std::string(KORTHAL_APP_ID) + ".metainfo.xml")));
    EXPECT_EQ(appstream.status, 0) << appstream.out << appstream.err;
}

TEST_F(InstallTree, FileTypesByNameAndContent)
{
    const fs::path share = prefix() / "share";
    const ShellResult update = runShell("update-mime-database " + quoted(share / "mime"));
    ASSERT_EQ(update.status, 0) << update.err;
    // Qt's MIME database reads the folders of XDG_DATA_DIRS once, at its
    // first use in the process: this test is that use.
    setenv("XDG_DATA_DIRS", (share.string() + ":/usr/share").c_str(), 1);

    TempDir dir("mime");
    const std::string demo = readBytes(KORTHAL_SOURCE_DIR "/examples/demo/DEMO.WGS84");
    struct Row {
        const char* name;
        std::string bytes;
        const char* type;
    };
    const Row rows[] = {
        {"ΔΙΚΤΥΟ.WGS84", demo, "application/x-korthal-network"},
        {"lower.wgs84", demo, "application/x-korthal-network"},
        {"no-extension", demo, "application/x-korthal-network"},  // by its first bytes
        {"EGSA87", readBytes(KORTHAL_SOURCE_DIR "/examples/demo/EGSA87"),
         "application/x-korthal-reference"},
        {"DEMO000001.RNX", demo, "application/x-korthal-observations"},
        {"LIST.TXT", readBytes(KORTHAL_SOURCE_DIR "/examples/demo/DEMO.TXT"),
         "application/x-korthal-point-list"},
        {"notes.txt", "a note\n", "text/plain"},
        {"obs.rnx", "     3.04           OBSERVATION DATA\n", "text/plain"},  // RINEX 3 text
    };
    QMimeDatabase db;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        writeBytes(dir.path / row.name, row.bytes);
        EXPECT_EQ(db.mimeTypeForFile(QString::fromStdString((dir.path / row.name).string()))
                      .name()
                      .toStdString(),
                  row.type);
    }
    QLocale::setDefault(QLocale(QLocale::Greek, QLocale::Greece));
    EXPECT_EQ(db.mimeTypeForName(QStringLiteral("application/x-korthal-network")).comment(),
              QStringLiteral("Αρχείο σημείων δικτύου Korthal"));
}

TEST_F(InstallTree, BashCompletesCommandsOptionsFormsAndFiles)
{
    TempDir dir("completion");
    for (const char* f : {"A.WGS84", "b.wgs84", "C.png"})
        writeBytes(dir.path / f, "x");
    fs::create_directory(dir.path / "sub");
    const std::string script =
        quoted(prefix() / "share/bash-completion/completions/korthal-cli");

    struct Row {
        std::string words;                  // after "korthal-cli"; the last is completed
        std::vector<std::string> expected;  // sorted
        bool exact;                         // else: these among the offers
    };
    const Row rows[] = {
        {"con", {"convert"}, true},
        {"''", {"--version", "convert", "network", "selftest"}, false},
        {"convert wgs84-x", {"wgs84-xyz"}, true},
        {"convert wgs84-xyz t", {"tm87"}, false},
        {"network --me", {"--method"}, true},
        {"network --method ''", {"2d", "3d", "hepos", "none"}, true},
        {"network A.WGS84 --exclude ''", {}, true},  // a name: nothing to offer
        {"sketch ''", {"A.WGS84", "b.wgs84", "sub"}, true},
        {"sketch A.WGS84 --out x.png --mode ''", {"0", "1", "2"}, true},
        {"geoid-map --out ''", {"C.png", "sub"}, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.words);
        const ShellResult r = runShell(
            "bash -c 'source \"$0\"; COMP_WORDS=(korthal-cli \"$@\"); "
            "COMP_CWORD=$((${#COMP_WORDS[@]} - 1)); _korthal_cli; printf \"%s\\n\" \"${COMPREPLY[@]}\"' " +
                script + " " + row.words,
            {}, dir.path);
        EXPECT_EQ(r.err, "");
        auto offered = linesOf(r.out);
        std::sort(offered.begin(), offered.end());
        if (row.exact) {
            EXPECT_EQ(offered, row.expected);
        } else {
            for (const auto& e : row.expected)
                EXPECT_TRUE(std::binary_search(offered.begin(), offered.end(), e)) << e;
        }
    }
}

}  // namespace
