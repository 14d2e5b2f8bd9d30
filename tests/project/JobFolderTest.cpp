// The job folder (the open network's folder) and what lives in it; the
// program settings file's place; the question before unsaved changes are
// left; saving a network under another name or in another folder.

#include "DocumentTestSupport.h"

#include "project/JobFolder.h"
#include "project/Photos.h"
#include "project/PointFiles.h"
#include "project/RecentNetworks.h"
#include "project/SavePrompt.h"
#include "project/SettingsLocation.h"
#include "table/TableFile.h"

namespace korthal::testing {
namespace {

namespace fs = std::filesystem;

TEST(JobFolder, NamesOfTheJobsFiles)
{
    struct Case {
        const char* network;
        const char* reference;
        const char* images;
        const char* table;  // observation table of point 7
    } cases[] = {
        // A bare name: the working folder, with the names as short as ever.
        {"DEMO.WGS84", "EGSA87", "Images", "./RINEX/DEMO000007.RNX"},
        {"jobs/a.b.WGS84", "jobs/EGSA87", "jobs/Images", "jobs/RINEX/a.b000007.RNX"},
        {"/home/ann/Ζάκυνθος/NET.WGS84", "/home/ann/Ζάκυνθος/EGSA87", "/home/ann/Ζάκυνθος/Images",
         "/home/ann/Ζάκυνθος/RINEX/NET000007.RNX"},
        {"/NET", "/EGSA87", "/Images", "/RINEX/NET000007.RNX"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.network);
        EXPECT_EQ(referenceFileOf(c.network), c.reference);
        EXPECT_EQ(imagesFolderOf(c.network), c.images);
        EXPECT_EQ(observationTablePath(c.network, 7), c.table);
    }
}

TEST(JobFolder, ProgramSettingsPlace)
{
    test::TempDir t("settings-place");
    const fs::path exeDir = t.path / "bin", config = t.path / "config" / "korthal";
    fs::create_directories(exeDir);
    const std::string exe = (exeDir / "korthal").string();
    const std::string beside = (exeDir / "korthal.INI").string();
    const std::string own = (config / "korthal.INI").string();
    // A writable folder (build folder, portable copy): beside the executable.
    SettingsLocation l = programSettingsLocation(exe, config.string());
    EXPECT_EQ(l.readFrom, beside);
    EXPECT_EQ(l.writeTo, beside);
    // A folder the user cannot write to (here one that is not there):
    // the configuration folder, made when the file is written.
    const std::string missing = (t.path / "gone" / "korthal").string();
    l = programSettingsLocation(missing, config.string());
    EXPECT_EQ(l.readFrom, own);
    EXPECT_EQ(l.writeTo, own);
    ASSERT_TRUE(makeSettingsFolder(l.writeTo));
    EXPECT_TRUE(fs::is_directory(config));
    // (A file beside an executable in a read-only folder is read until the
    // user has a file of their own: the installed-program test runs that as
    // an unprivileged user.)
}

// Save under another name, in the same folder and in another one, by the
// save command and by the exit sequence: the points' photographs, their
// observation tables with the companion settings and (into a folder that
// has none) the reference points go along; the old files stay.
TEST_F(DocumentTest, EverythingOfThePointsGoesWithTheNetwork)
{
    struct Case {
        const char* target;  // relative to the temporary folder
        bool atExit;
    } cases[] = {{"a/K2.WGS84", false}, {"b/K3.WGS84", false}, {"c/K4.WGS84", true}};
    fs::create_directories(dir / "a");
    const std::string from = (dir / "a" / "K1.WGS84").string();
    addReference(trigPoints()[0]);
    ASSERT_TRUE(SaveToFile(doc.GYS(), (dir / "a" / "EGSA87").string()).ok);
    doc.ReferenceFileName = (dir / "a" / "EGSA87").string();
    const long long id = addMeasured("K05", 4595000, 2031000, 3800000);
    doc.CurrentFileName = from;
    createJobFolders(from);
    const std::string photo = imagesFolderOf(from) + "/K1" + photoPointNumber(id) + "2.jpg";
    test::writeBytes(photo, "jpeg bytes");
    const std::string table = observationTablePath(from, id);
    test::writeBytes(table, "observations");
    test::writeBytes(changeFileExt(table, ".INI"), "[Obs]\r\n");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.target);
        const std::string target = (dir / c.target).string();
        fs::create_directories(fs::path(target).parent_path());
        doc.CurrentFileName = from;
        doc.NetworkModified = true;
        if (c.atExit) {
            dialogs.inputs.push_back(target);
            ASSERT_TRUE(doc.ExitSequence((dir / "korthal.INI").string()).networkWritten);
        } else {
            ASSERT_TRUE(saveNetworkUnder(doc, target));
            EXPECT_EQ(doc.caption(), "   Korthal  (v1.0)    Αρχείο : " + target);
            // Into another folder the job follows, with its reference points.
            EXPECT_TRUE(sameFile(doc.ReferenceFileName, referenceFileOf(target)));
            EXPECT_TRUE(fs::exists(referenceFileOf(target)));
        }
        EXPECT_EQ(doc.CurrentFileName, target);
        const std::string base = fs::path(target).stem().string();
        EXPECT_EQ(test::readBytes(imagesFolderOf(target) + "/" + base +
                                  photoPointNumber(id) + "2.jpg"),
                  "jpeg bytes");
        EXPECT_EQ(test::readBytes(observationTablePath(target, id)), "observations");
        EXPECT_EQ(test::readBytes(changeFileExt(observationTablePath(target, id), ".INI")),
                  "[Obs]\r\n");
        EXPECT_TRUE(fs::exists(photo));
        EXPECT_TRUE(fs::exists(table));
        EXPECT_TRUE(dialogs.messages().empty()) << dialogs.messages().front();
        doc.ReferenceFileName = (dir / "a" / "EGSA87").string();
    }
}

// The question before the network is closed or replaced: Cancel at either
// question leaves everything as it was.
TEST_F(DocumentTest, UnsavedChangesAreNeverDroppedWithoutAnAnswer)
{
    const std::string file = (dir / "NET.WGS84").string();
    addMeasured("K05", 4595000, 2031000, 3800000);
    ASSERT_TRUE(SaveToFile(doc.GPS(), file).ok);
    const std::string saved = test::readBytes(file);
    doc.CurrentFileName = file;
    struct Case {
        const char* what;
        bool modified;
        std::vector<Answer> answers;
        std::vector<std::optional<std::string>> names;
        SaveAnswer expected;
        int questions;
        bool written;
    } cases[] = {
        {"unchanged", false, {}, {}, SaveAnswer::NothingToSave, 0, false},
        {"Άκυρο", true, {Answer::Cancel}, {}, SaveAnswer::Cancelled, 1, false},
        {"Ναι, then Άκυρο at the name", true, {Answer::Yes}, {std::nullopt},
         SaveAnswer::Cancelled, 2, false},
        {"Όχι", true, {Answer::No}, {}, SaveAnswer::Discarded, 1, false},
        {"Ναι", true, {Answer::Yes}, {file}, SaveAnswer::Saved, 2, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        dialogs.clear();
        dialogs.answers.assign(c.answers.begin(), c.answers.end());
        dialogs.inputs.assign(c.names.begin(), c.names.end());
        doc.GPS().first();
        doc.GPS().edit();
        doc.GPS().set(gps::Z, 3800001.0);
        doc.GPS().post();
        doc.NetworkModified = c.modified;
        EXPECT_EQ(offerToSaveNetwork(doc), c.expected);
        EXPECT_EQ(static_cast<int>(dialogs.entries.size()), c.questions);
        if (c.questions > 0) {
            EXPECT_EQ(dialogs.entries[0].text, unsavedChangesQuestion(file));
            EXPECT_NE(dialogs.entries[0].text.find("NET.WGS84"), std::string::npos);
        }
        EXPECT_EQ(test::readBytes(file) != saved, c.written);
        EXPECT_EQ(doc.NetworkModified, c.modified && !c.written);
    }
    // An untouched new network asks nothing.
    dialogs.clear();
    doc.NewNetwork();
    EXPECT_TRUE(doc.NetworkModified);
    EXPECT_EQ(offerToSaveNetwork(doc), SaveAnswer::NothingToSave);
    EXPECT_TRUE(dialogs.entries.empty());
}

// Opening a network in another folder takes that folder's reference points;
// those changed in the old folder are written there first.
TEST_F(DocumentTest, AnotherJobFolderBringsItsReferencePoints)
{
    fs::create_directories(dir / "one");
    fs::create_directories(dir / "two");
    const auto trig = trigPoints();
    addReference(trig[0]);
    ASSERT_TRUE(SaveToFile(doc.GYS(), (dir / "two" / "EGSA87").string()).ok);
    doc.GYS().clear();
    addReference(trig[1]);
    addReference(trig[2]);
    doc.ReferenceFileName = (dir / "one" / "EGSA87").string();
    doc.ReferenceModified = true;
    std::string problem;
    ASSERT_TRUE(takeReferenceOfJob(doc, (dir / "two" / "N.WGS84").string(), problem));
    EXPECT_EQ(problem, "");
    EXPECT_EQ(doc.GYS().recordCount(), 1);
    EXPECT_FALSE(doc.ReferenceModified);
    MemTable back;
    defineGYS(back);
    ASSERT_TRUE(LoadFromFile(back, (dir / "one" / "EGSA87").string()).ok());
    EXPECT_EQ(back.recordCount(), 2);
    // The same folder named another way changes nothing.
    doc.GYS().clear();
    ASSERT_TRUE(takeReferenceOfJob(doc, (dir / "one" / ".." / "two" / "M.WGS84").string(), problem));
    EXPECT_EQ(doc.GYS().recordCount(), 0);
}

TEST(RecentNetworks, NewestFirstOnceEachAndKeptInTheSettingsFile)
{
    test::TempDir t("recent");
    RecentNetworks r;
    for (int k = 0; k < 10; ++k) r.add(t.file("N" + std::to_string(k) + ".WGS84"));
    r.add(t.file("N5.WGS84"));
    r.add((t.path / "x" / ".." / "N7.WGS84").string());
    ASSERT_EQ(r.files.size(), kRecentNetworks);
    EXPECT_EQ(r.files[0], t.file("N7.WGS84"));
    EXPECT_EQ(r.files[1], t.file("N5.WGS84"));
    EXPECT_EQ(r.files[2], t.file("N9.WGS84"));
    EXPECT_EQ(r.folder, t.path.string());
    const std::string ini = t.file("korthal.INI");
    test::writeBytes(ini, "[General]\r\nLastFile=N7.WGS84\r\n");
    std::string error;
    ASSERT_TRUE(saveRecentNetworks(ini, r, error)) << error;
    const RecentNetworks back = loadRecentNetworks(ini);
    EXPECT_EQ(back.files, r.files);
    EXPECT_EQ(back.folder, r.folder);
    EXPECT_EQ(loadProgramSettings(ini).LastFile, "N7.WGS84");
}

}  // namespace
}  // namespace korthal::testing
