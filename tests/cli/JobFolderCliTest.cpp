// korthal-cli given files in another folder works with that folder's
// reference points and observation tables, exactly as it does when run in
// the folder itself, and writes nothing where it was started.

#include "network/PointTables.h"
#include "support/Files.h"
#include "support/RunCli.h"
#include "table/MemTable.h"
#include "table/TableFile.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

namespace fs = std::filesystem;
using namespace korthal;
using namespace korthal::test;

TEST(CliJobFolder, FilesInAnotherFolderUseThatFoldersReferenceAndRinex)
{
    TempDir t("cli-job");
    const fs::path job = t.path / "job", here = t.path / "here";
    fs::create_directories(job);
    fs::create_directories(here);
    for (const auto& e : fs::directory_iterator(fs::path(KORTHAL_SOURCE_DIR) / "examples" / "demo"))
        fs::copy_file(e.path(), job / e.path().filename());
    // Another job's reference file where the tool is started: no point of
    // it may be taken for the network's.
    MemTable empty;
    defineGYS(empty);
    ASSERT_TRUE(SaveToFile(empty, (here / "EGSA87").string()).ok);
    MemTable gps;
    DatumShiftTable shifts;
    defineGPS(gps, shifts);
    ASSERT_TRUE(LoadFromFile(gps, (job / "DEMO.WGS84").string()).ok());
    const Rec first = gps.firstStored();
    const std::string point = gps.getString(first, gps::Name);
    char table[32];
    std::snprintf(table, sizeof table, "RINEX/DEMO%06lld.RNX", gps.getInteger(first, gps::ID));
    const std::string obs = std::string(KORTHAL_SHARED_DATA) + "/rinex/07590920.05o";

    struct Case {
        const char* command;
        std::string inJob;   // the arguments as given in the job folder
        std::string far;     // the same, given from the other folder
        std::string output;  // a file both write (compared byte for byte), or empty
    } cases[] = {
        {"network", "network DEMO.WGS84", "network \"" + (job / "DEMO.WGS84").string() + "\"", ""},
        {"import", "import DEMO.TXT --out A.WGS84",
         "import \"" + (job / "DEMO.TXT").string() + "\" --out \"" + (job / "B.WGS84").string() + "\"",
         ""},
        {"export", "export DEMO.WGS84 --out A.csv",
         "export \"" + (job / "DEMO.WGS84").string() + "\" --out \"" + (job / "B.csv").string() + "\"",
         "csv"},
        {"rinex", "rinex \"" + obs + "\" --network DEMO.WGS84 --point \"" + point + "\"",
         "rinex \"" + obs + "\" --network \"" + (job / "DEMO.WGS84").string() + "\" --point \"" +
             point + "\"",
         ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.command);
        const CliResult near = runCli(c.inJob, {}, job);
        ASSERT_EQ(near.status, 0) << near.err;
        std::string nearTable = readBytes(job / table);
        const CliResult away = runCli(c.far, {}, here);
        ASSERT_EQ(away.status, 0) << away.err;
        // The same result (the first line says how many reference points
        // the network has, or what was imported or written), apart from the
        // names of the files given.
        auto firstLine = [&](std::string s) {
            s = s.substr(0, s.find('\n'));
            for (const auto& [from, to] : {std::pair{(job / "B.WGS84").string(), "A.WGS84"},
                                           std::pair{(job / "B.csv").string(), "A.csv"}})
                for (std::size_t p; (p = s.find(from)) != std::string::npos;)
                    s.replace(p, from.size(), to);
            return s;
        };
        EXPECT_EQ(firstLine(away.out), firstLine(near.out));
        if (std::string(c.command) == "network")
            EXPECT_EQ(firstLine(near.out), "Σημεία αναφοράς του δικτύου: 6");
        if (c.output == "csv")
            EXPECT_EQ(readBytes(job / "B.csv"), readBytes(job / "A.csv"));
        if (std::string(c.command) == "rinex") {
            EXPECT_FALSE(nearTable.empty());
            EXPECT_EQ(readBytes(job / table), nearTable);
        }
    }
    // Nothing but the other job's reference file where the tool was started.
    std::vector<std::string> left;
    for (const auto& e : fs::directory_iterator(here)) left.push_back(e.path().filename().string());
    EXPECT_EQ(left, std::vector<std::string>{"EGSA87"});
}

}  // namespace
