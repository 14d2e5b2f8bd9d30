// Point list import, loading and the writes at exit.

#include "DocumentTestSupport.h"
#include "support/OfferingDialogs.h"

#include "project/IniFile.h"
#include "table/TableFile.h"
#include "project/TextOutput.h"

#include <fstream>

namespace korthal::testing {
namespace {

namespace fs = std::filesystem;

class ImportTest : public DocumentTest {
protected:
    std::string writeList(const std::string& name, const std::string& utf8)
    {
        const fs::path p = dir / name;
        std::ofstream(p, std::ios::binary) << toCodePage1253(utf8);
        return p.string();
    }
};

TEST_F(ImportTest, TabsWinOverCommasAndBadLinesAreReportedTogether)
{
    std::mt19937_64 gen(11);
    const auto trig = trigPoints(&gen);
    addReference(trig[0]);
    auto line = [&](const demo::SurveyPoint& p, char sep) {
        return p.name + sep + doc.numbers().floatToText(p.X) + sep +
               doc.numbers().floatToText(p.Y) + sep + doc.numbers().floatToText(p.Z);
    };
    const auto d = demo::surveyPoint("Κ7", 392500.0, 4386500.0, 210.0);
    // The first line with a separator holds a tab (and a comma in the name):
    // the whole file is read with tabs.
    std::string text = "\r\n" + line(trig[0], '\t') + "\r\n" +
                       "Α,Β\t4100000\t1900000\t4000000\r\n" +  // X below its limit
                       line(d, '\t') + "\r\n" +
                       "Κ8\t4400000.5\t1900000\r\n" +         // a coordinate missing
                       "Κ9\t44x\t1900000\t4000000\r\n";       // not a number
    doc.settings().numbers.DecimalSeparators[NumberDestination::InputFile] = '.';
    doc.settings().numbers.ThousandSeparators[NumberDestination::InputFile] = '\0';
    const ImportResult r = doc.ImportPointList(writeList("list.txt", text));
    EXPECT_EQ(r.separator, '\t');
    EXPECT_EQ(r.imported, 2);
    ASSERT_EQ(r.rejected.size(), 3u);
    EXPECT_EQ(r.rejected[0].first, 3);
    EXPECT_EQ(r.rejected[0].second, "Ελάχιστη επιτρεπόμενη τμή : 4.151.000,0000");
    EXPECT_EQ(r.rejected[1].first, 5);
    EXPECT_EQ(r.rejected[2].first, 6);
    ASSERT_EQ(dialogs.messages().size(), 1u);  // one message for all
    EXPECT_NE(dialogs.messages()[0].find("γραμμή 6"), std::string::npos);
    EXPECT_EQ(doc.GPS().recordCount(), 2);  // nothing partial

    // The reference point was recognised, the detail point derived.
    MemTable& g = doc.GPS();
    g.first();
    EXPECT_FALSE(g.asBoolean(gps::detailPoint));
    g.next();
    EXPECT_EQ(g.asString(gps::Name), "Κ7");
    EXPECT_NEAR(g.asFloat(gps::apoxh), d.apoxh, 0.051);
    EXPECT_NE(g.asFloat(gps::E), 0.0);
}

TEST_F(ImportTest, CommaListsReadWithTheInputFileSeparatorsAndLoadFileRecomputes)
{
    std::mt19937_64 gen(12);
    const auto trig = trigPoints(&gen);
    std::string text;
    NumberText input(Separators{'.', ','});
    input.setDisplay(Separators{'.', '\0'});
    for (const auto& p : trig) {
        addReference(p);
        text += p.name + "," + input.formatFixed(p.X, 3) + "," + input.formatFixed(p.Y, 3) + "," +
                input.formatFixed(p.Z, 3) + "\r\n";
    }
    text += "Κ1,4400000\r\n";
    const std::string path = writeList("DEMO.TXT", text);
    // The list's settings: input numbers with a point and no grouping, 3-D.
    {
        std::ofstream ini(dir / "DEMO.INI");
        ini << "[Separators]\r\nDseparator1=0\r\nTseparator1=3\r\n[General]\r\nmethod=2\r\n";
    }
    doc.openNetwork(path);
    EXPECT_EQ(doc.CurrentFileName, path);
    EXPECT_EQ(doc.LastImport.separator, ',');
    EXPECT_EQ(doc.LastImport.imported, 6);
    EXPECT_EQ(doc.LastImport.rejected.size(), 1u);
    EXPECT_EQ(doc.RefPointCount, 6);
    EXPECT_TRUE(doc.Use3D);
    EXPECT_LT(doc.RmsTotal, 0.05);
    EXPECT_FALSE(doc.NetworkModified);
    EXPECT_NE(doc.caption().find("DEMO.TXT"), std::string::npos);
}

TEST_F(ImportTest, MissingListAndListWithoutSeparator)
{
    const ImportResult r = doc.ImportPointList((dir / "none.TXT").string());
    EXPECT_FALSE(r.opened);
    ASSERT_EQ(dialogs.messages().size(), 1u);
    EXPECT_EQ(dialogs.messages()[0].rfind("Δεν μπορεί να ανοίξει το αρχείο ", 0), 0u);
    const ImportResult r2 = doc.ImportPointList(writeList("plain.TXT", "Α 1 2 3\r\n"));
    EXPECT_TRUE(r2.opened);
    EXPECT_EQ(r2.separator, '\0');
    EXPECT_EQ(doc.GPS().recordCount(), 0);
}

TEST_F(ImportTest, ExitSequenceWritesOnlyWhatChanged)
{
    const std::string ini = (dir / "korthal.INI").string();
    doc.ReferenceFileName = (dir / "EGSA87").string();
    doc.CurrentFileName = (dir / "NET.WGS84").string();
    ExitResult r = doc.ExitSequence(ini);
    EXPECT_FALSE(r.referenceWritten || r.networkWritten || r.settingsWritten);
    EXPECT_TRUE(r.programSettingsWritten);
    EXPECT_FALSE(fs::exists(dir / "NET.WGS84"));
    EXPECT_TRUE(dialogs.entries.empty());

    // A changed network asks for the name; cancelling writes nothing more.
    addMeasured("Α", 4400000, 1900000, 4000000);
    doc.setSettingsModified(true);
    dialogs.inputs.push_back(std::nullopt);
    r = doc.ExitSequence(ini);
    EXPECT_TRUE(r.cancelled);
    EXPECT_FALSE(r.settingsWritten);
    EXPECT_FALSE(fs::exists(dir / "NET.INI"));

    // Confirming writes the network under the name given, then its settings.
    dialogs.inputs.push_back((dir / "OTHER.WGS84").string());
    r = doc.ExitSequence(ini);
    EXPECT_TRUE(r.networkWritten);
    EXPECT_TRUE(r.settingsWritten);
    EXPECT_TRUE(fs::exists(dir / "OTHER.WGS84"));
    EXPECT_TRUE(fs::exists(dir / "OTHER.INI"));
    EXPECT_EQ(doc.CurrentFileName, (dir / "OTHER.WGS84").string());

    // The network comes back from its file.
    Document again;
    again.openNetwork((dir / "OTHER.WGS84").string());
    EXPECT_EQ(again.GPS().recordCount(), 1);

    // A point list's name is offered as a network file, never overwritten.
    {
        test::OfferingDialogs capture;
        doc.CurrentFileName = (dir / "LIST.TXT").string();
        doc.NetworkModified = true;
        doc.ExitSequence(ini);
        EXPECT_EQ(capture.offered, (dir / "LIST.WGS84").string());
        ASSERT_FALSE(capture.entries.empty());
        EXPECT_EQ(capture.entries.back().caption, "Αποθήκευση των σημείων");
        EXPECT_EQ(capture.entries.back().text, "Σε ποιό αρχείο θα γίνει η αποθήκευση");
    }

    // A write that fails shows the save error message and goes on.
    dialogs.clear();
    doc.ReferenceModified = true;
    doc.ReferenceFileName = (dir / "no-such-folder" / "EGSA87").string();
    doc.NetworkModified = false;
    r = doc.ExitSequence(ini);
    ASSERT_EQ(dialogs.messages().size(), 1u);
    EXPECT_EQ(dialogs.messages()[0], Document::saveErrorMessage("EGSA87"));
    EXPECT_TRUE(r.programSettingsWritten);

    // A network write that fails asks again, so the points can go elsewhere;
    // the name only changes once a write succeeded.
    dialogs.clear();
    doc.ReferenceModified = false;
    doc.NetworkModified = true;
    doc.CurrentFileName = (dir / "OTHER.WGS84").string();
    const std::string bad = (dir / "no-such-folder" / "NET.WGS84").string();
    dialogs.inputs.push_back(bad);
    dialogs.inputs.push_back((dir / "SAVED.WGS84").string());
    r = doc.ExitSequence(ini);
    EXPECT_TRUE(r.networkWritten);
    EXPECT_EQ(r.failed, std::vector<std::string>{bad});
    EXPECT_TRUE(fs::exists(dir / "SAVED.WGS84"));
    EXPECT_EQ(doc.CurrentFileName, (dir / "SAVED.WGS84").string());
    ASSERT_EQ(dialogs.messages().size(), 1u);
    EXPECT_EQ(dialogs.messages()[0], Document::saveErrorMessage(bad));

    // Giving up after a failure goes on with the rest, under the old name.
    dialogs.clear();
    doc.NetworkModified = true;
    dialogs.inputs.push_back(bad);
    dialogs.inputs.push_back(std::nullopt);
    r = doc.ExitSequence(ini);
    EXPECT_FALSE(r.cancelled);
    EXPECT_FALSE(r.networkWritten);
    EXPECT_TRUE(r.programSettingsWritten);
    EXPECT_EQ(doc.CurrentFileName, (dir / "SAVED.WGS84").string());

    // Saved under a new name, the network takes its settings along, so that
    // its ellipsoidal coordinates are not read back as geocentric ones.
    dialogs.clear();
    ASSERT_TRUE(doc.SwitchInputForm(InputForm::Ellipsoidal));
    doc.setSettingsModified(false);  // as if written before, under the old name
    doc.NetworkModified = true;
    dialogs.inputs.push_back((dir / "RENAMED.WGS84").string());
    r = doc.ExitSequence(ini);
    EXPECT_TRUE(r.networkWritten);
    EXPECT_TRUE(r.settingsWritten);
    Document reread;
    reread.openNetwork((dir / "RENAMED.WGS84").string());
    EXPECT_FALSE(reread.InputIsGeocentric());
}


// A network saved under a new name keeps every page of its number settings
// (not only the page shown) and whatever else its settings file holds.
TEST_F(ImportTest, SavedUnderANewNameTheSettingsGoAlongWhole)
{
    const std::string ini = (dir / "korthal.INI").string();
    const std::string oldIni = (dir / "DEMO.INI").string();
    {
        IniFile f(oldIni);
        f.writeInteger("Separators", "Tseparator0", 0);
        f.writeInteger("Separators", "Dseparator0", 1);
        f.writeInteger("Separators", "Tseparator1", 3);
        f.writeInteger("Separators", "Dseparator1", 0);
        f.writeInteger("Separators", "Tseparator2", 2);
        f.writeInteger("Separators", "Dseparator2", 0);
        f.writeInteger("Decimals", "GPSdecimals2", 6);
        f.writeInteger("Decimals", "DDmmssdecimals1", 11);
        f.writeString("Other", "Kept", "ναι");
    }
    doc.CurrentFileName = (dir / "DEMO.WGS84").string();
    doc.LoadParams();
    addMeasured("Α", 4400000, 1900000, 4000000);
    dialogs.inputs.push_back((dir / "DEMO2.WGS84").string());
    const ExitResult r = doc.ExitSequence(ini);
    ASSERT_TRUE(r.settingsWritten);

    const IniFile a(oldIni), b((dir / "DEMO2.INI").string());
    for (const char* key : {"Tseparator0", "Dseparator0", "Tseparator1", "Dseparator1",
                            "Tseparator2", "Dseparator2"})
        EXPECT_EQ(b.readInteger("Separators", key, -1), a.readInteger("Separators", key, -2)) << key;
    // (The old file leaves some keys to their defaults: 3, 3, 8 and 9.)
    const std::pair<const char*, int> decimals[] = {
        {"GPSdecimals", 3}, {"EGSAdecimals", 3}, {"Paramsdecimals", 8}, {"DDmmssdecimals", 9}};
    for (int k = 0; k < 3; ++k)
        for (const auto& [key, def] : decimals) {
            const std::string name = key + std::to_string(k);
            EXPECT_EQ(b.readInteger("Decimals", name, -1), a.readInteger("Decimals", name, def)) << name;
        }
    EXPECT_EQ(b.readString("Other", "Kept", ""), "ναι");

    Document reread(Separators{'.', ','});
    reread.openNetwork((dir / "DEMO2.WGS84").string());
    EXPECT_EQ(reread.numberSettings().ThousandSeparators[NumberDestination::OutputFile], ' ');
    EXPECT_EQ(reread.numberSettings().DecimalSeparators[NumberDestination::OutputFile], '.');
    EXPECT_EQ(reread.numberSettings().GPSDecimals[NumberDestination::OutputFile], 6);
    EXPECT_EQ(reread.numberSettings().DMSDecimals[NumberDestination::InputFile], 11);
}

// Another existing file is written over only when the user agrees; a point
// list the network was read from is never its own file.
TEST_F(ImportTest, SavingOverAnotherFileAsksFirst)
{
    const std::string ini = (dir / "korthal.INI").string();
    const std::string other = (dir / "OTHER.WGS84").string();
    test::writeBytes(other, "not this network");
    const std::string list = writeList("LIST.TXT", "Α,4400000,1900000,4000000\r\n");
    doc.CurrentFileName = (dir / "NET.WGS84").string();
    addMeasured("Α", 4400000, 1900000, 4000000);

    // No, then cancel: nothing is written, as when the question is cancelled.
    dialogs.inputs = {other, std::nullopt};
    ExitResult r = doc.ExitSequence(ini);
    EXPECT_TRUE(r.cancelled);
    EXPECT_EQ(test::readBytes(other), "not this network");
    ASSERT_EQ(dialogs.entries.size(), 3u);
    EXPECT_EQ(dialogs.entries[1].text, replaceQuestion(other));

    // The point list the network came from asks too.
    dialogs.clear();
    doc.CurrentFileName = list;
    doc.NetworkModified = true;
    const std::string listBytes = test::readBytes(list);
    dialogs.inputs = {list, std::nullopt};
    r = doc.ExitSequence(ini);
    EXPECT_TRUE(r.cancelled);
    EXPECT_EQ(test::readBytes(list), listBytes);

    // Yes writes it; the network's own file is written without a question.
    dialogs.clear();
    doc.CurrentFileName = (dir / "NET.WGS84").string();
    doc.NetworkModified = true;
    dialogs.inputs = {other};
    dialogs.answers = {Answer::Yes};
    r = doc.ExitSequence(ini);
    EXPECT_TRUE(r.networkWritten);
    EXPECT_NE(test::readBytes(other), "not this network");
    dialogs.clear();
    doc.NetworkModified = true;
    dialogs.inputs = {other};
    r = doc.ExitSequence(ini);
    EXPECT_TRUE(r.networkWritten);
    EXPECT_EQ(dialogs.entries.size(), 1u);
}

TEST_F(ImportTest, CaptionsNewNetworkAndSelfTestReport)
{
    doc.openNetwork((dir / "TEMP.WGS84").string());  // missing: an empty network
    EXPECT_EQ(doc.caption(), "   Korthal  (v1.0)    Αρχείο : " + (dir / "TEMP.WGS84").string());
    EXPECT_EQ(doc.GPS().recordCount(), 0);
    EXPECT_FALSE(doc.NetworkModified);
    // A name the system cannot even look up (too long) is a missing file too.
    const std::string tooLong = (dir / (std::string(300, 'N') + ".WGS84")).string();
    EXPECT_NO_THROW(doc.openNetwork(tooLong));
    EXPECT_EQ(doc.GPS().recordCount(), 0);
    EXPECT_EQ(doc.CurrentFileName, tooLong);
    addMeasured("Α", 4400000, 1900000, 4000000);
    doc.NewNetwork();
    EXPECT_EQ(doc.GPS().recordCount(), 0);
    EXPECT_EQ(doc.caption(), "   Korthal      Αρχείο : Νέο αρχείο σημείων.WGS84");
    EXPECT_TRUE(doc.NetworkModified);

    // The report of the self-test goes to its file, in code page 1253.
    SelfTest test(doc.transformation(), doc.numbers());
    test.setSeed(5);
    SelfTestSettings s;
    s.Pmin = s.Pmax = 3;
    s.SErepetitions = 2;
    const std::string report = (dir / "TEST.TXT").string();
    const SelfTestResult r = doc.RunSelfTest(test, s, report);
    EXPECT_EQ(r.runs, 2);
    EXPECT_EQ(doc.LastTextFile, report);
    const auto lines = readTextLines(report);
    ASSERT_TRUE(lines);
    EXPECT_EQ(lines->size(), 1u + 2 * (3 + 6));
    EXPECT_EQ((*lines)[5].rfind("μ = ", 0), 0u);
}


TEST_F(ImportTest, StartUpLoadsTheReferencePointsAndTheLastNetwork)
{
    std::mt19937_64 gen(21);
    const auto trig = trigPoints(&gen);
    for (const auto& p : trig) {
        addReference(p);
        addMeasured(p.name, p.X, p.Y, p.Z);
    }
    doc.ReferenceFileName = (dir / "EGSA87").string();
    doc.CurrentFileName = (dir / "JOB.WGS84").string();
    doc.settings().setMethod(EstimationMethod::Similarity3D);
    dialogs.inputs.push_back(doc.CurrentFileName);
    const std::string ini = (dir / "korthal.INI").string();
    const ExitResult written = doc.ExitSequence(ini);
    ASSERT_TRUE(written.referenceWritten && written.networkWritten && written.settingsWritten);

    Document next(Separators{'.', ','});
    next.ReferenceFileName = (dir / "EGSA87").string();
    next.startUp(ini);
    EXPECT_EQ(next.CurrentFileName, (dir / "JOB.WGS84").string());
    EXPECT_EQ(next.GYS().recordCount(), 6);
    EXPECT_EQ(next.GPS().recordCount(), 6);
    EXPECT_EQ(next.RefPointCount, 6);
    EXPECT_TRUE(next.Use3D);
    EXPECT_EQ(next.ReferenceNames().front(), trig[0].name);
    EXPECT_FALSE(next.ReferenceModified || next.NetworkModified || next.settingsModified());
    EXPECT_FALSE(next.LoadingData);
}

}  // namespace
}  // namespace korthal::testing
