// The observation table of a point: its fields, reading a RINEX file into it
// through the replace/append question, the table file and its settings file.

#include "views/RinexTable.h"

#include "project/Dialogs.h"
#include "project/IniFile.h"
#include "support/Files.h"
#include "support/Zlib.h"
#include "table/TableFile.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace korthal;
using namespace korthal::test;
namespace fs = std::filesystem;

namespace {

std::string dataFile(const std::string& name)
{
    return std::string(KORTHAL_SHARED_DATA) + "/rinex/" + name;
}

// The first record of the table (in storage order) with this epoch and satellite.
Rec findRecord(const MemTable& t, int epoxh, int prn)
{
    for (Rec r = t.firstStored(); r != NoRec; r = t.nextStored(r))
        if (t.getInteger(r, rnx::epoxh) == epoxh && t.getInteger(r, rnx::PRN) == prn)
            return r;
    return NoRec;
}


TEST(RinexTable, FieldsIndexesAndTexts)
{
    RinexTable rt;
    const MemTable& t = rt.table();
    std::string names;
    for (const FieldDef& f : t.fields())
        names += f.name + " ";
    EXPECT_EQ(names,
              "epoxh Date Hour min sec Health PRN C1 C1LLI C1str C2 C2LLI C2str P1 P1LLI P1str "
              "P2 P2LLI P2str L1 L1LLI L1str L1slip L1amb L2 L2LLI L2str L2slip L2amb D1 D1LLI "
              "D1str D2 D2LLI D2str slips Sxolio Time ");
    EXPECT_TRUE(t.field(rnx::Time).calculated);
    EXPECT_EQ(t.indexName(), "byEpoxh");
    EXPECT_EQ(rinexSettingsFileName("./RINEX/TEMP000001.RNX"), "./RINEX/TEMP000001.INI");
    EXPECT_EQ(lliText(1), "Lost Lock");
    EXPECT_EQ(lliText(7), "?");
    EXPECT_EQ(strengthText(0), "");
    EXPECT_EQ(healthText(6), "");
}

TEST(RinexTable, ReadsFileStoresTableAndSettings)
{
    TempDir dir("rinex_read");
    RecordingDialogs rec;
    RinexTable rt;
    rt.RinexFileName = dir.file("TEMP000007.RNX");
    int applied = 0;
    rt.ApplyObservationTypes = [&] { ++applied; };
    std::uint64_t lastProgress = 0;
    rt.progress = [&](std::uint64_t done, std::uint64_t) { lastProgress = done; };

    const RinexReadOutcome out = rt.ReadRinexObservations(dataFile("07590920.05o"));
    ASSERT_TRUE(out.ok()) << out.read.message << out.storeError;
    EXPECT_TRUE(rec.entries.empty());
    EXPECT_EQ(applied, 1);
    EXPECT_EQ(lastProgress, fs::file_size(dataFile("07590920.05o")));

    MemTable& t = rt.table();
    EXPECT_EQ(t.recordCount(), 948);
    // Epoch 92 (00:45:30.004) of G 7: phases with the AS digit 4 in the LLI column.
    const Rec r = findRecord(t, 92, 7);
    ASSERT_NE(r, NoRec);
    EXPECT_EQ(t.getDate(r, rnx::Date), (korthal::Date{2005, 4, 2}));
    EXPECT_EQ(t.getInteger(r, rnx::Hour), 0);
    EXPECT_EQ(t.getInteger(r, rnx::min), 45);
    EXPECT_NEAR(t.getFloat(r, rnx::sec), 30.004, 1e-12);
    t.setDecimalSeparator(',');
    EXPECT_EQ(std::get<std::string>(t.fetch(r, rnx::Time)), " 0 : 45 :  30,0040000");
    EXPECT_EQ(t.getInteger(r, rnx::L2LLI), 4);
    EXPECT_FALSE(t.isNull(r, rnx::L1slip));
    EXPECT_TRUE(t.isNull(r, rnx::slips));
    // In satellite order the first row is the lowest satellite number.
    ASSERT_TRUE(t.setIndex("byPRN"));
    EXPECT_EQ(t.getInteger(t.recAt(0), rnx::PRN), 1);

    // The settings file: the header's types and its approximate position.
    IniFile ini(rinexSettingsFileName(rt.RinexFileName));
    EXPECT_EQ(ini.readInteger("Types", "nTypes", 0), 4);
    for (const char* code : {"L1", "C1", "L2", "P2"})
        EXPECT_TRUE(ini.readBool("Types", code, false)) << code;
    EXPECT_FALSE(ini.readBool("Types", "C2", false));
    EXPECT_NEAR(ini.readFloat("POSITION", "Xo", 0, '.'), -3976219.5082, 1e-6);
    EXPECT_NEAR(ini.readFloat("POSITION", "Ho", 0, '.'), 3652512.9849, 1e-6);

    // The table file reads back into an empty table, values and all.
    RinexTable back;
    back.RinexFileName = rt.RinexFileName;
    ASSERT_TRUE(back.load());
    ASSERT_EQ(back.table().recordCount(), 948);
    const Rec b = findRecord(back.table(), 92, 7);
    ASSERT_NE(b, NoRec);
    for (int f = 0; f < rnx::Time; ++f)
        EXPECT_EQ(back.table().getValue(b, f), t.getValue(r, f)) << t.field(f).name;
}

TEST(RinexTable, ReplaceAppendOrCancel)
{
    TempDir dir("rinex_question");
    RecordingDialogs rec;
    RinexTable rt;
    rt.RinexFileName = dir.file("P000001.RNX");
    const std::string file = dataFile("KOSG0010.95O");
    ASSERT_TRUE(rt.ReadRinexObservations(file).ok());
    ASSERT_EQ(rt.table().recordCount(), 23);
    EXPECT_TRUE(rec.entries.empty());  // an empty table is filled without asking

    // Cancel: nothing changes, nothing is written.
    const auto stamp = fs::last_write_time(rt.RinexFileName);
    rec.answers.push_back(Answer::Cancel);
    EXPECT_TRUE(rt.ReadRinexObservations(file).cancelled);
    EXPECT_EQ(rt.table().recordCount(), 23);
    EXPECT_EQ(fs::last_write_time(rt.RinexFileName), stamp);
    ASSERT_EQ(rec.entries.size(), 1u);
    const auto& q = rec.entries[0];
    EXPECT_TRUE(q.question);
    EXPECT_EQ(q.caption, "ΠΡΟΣΟΧΗ !  παρέμβαση στα δεδομένα");
    EXPECT_EQ(q.icon, MsgIcon::Warning);
    EXPECT_EQ(q.text,
              "Τα δεδομένα του πίνακα θα ΑΝΤΙΚΑΤΑΣΤΑΘΟΥΝ με αυτά\r"
              "του αρχείου \"" + file + "\"\r\r\r"
              "Αν θέλετε να ΑΝΤΙΚΑΤΑΣΤΑΘΟΥΝ , δώστε  \"Ναί\"\r\r"
              "Αν θέλετε να ΠΡΟΣΤΕΘΟΥΝ , δώστε \"Οχι\"\r\r"
              "Αν δεν θέλετε καμμία αλλαγή, δώστε \"Ακυρο\"\r");

    // No: the new records are added, numbered from epoch 1 again.
    rec.answers.push_back(Answer::No);
    ASSERT_TRUE(rt.ReadRinexObservations(file).ok());
    EXPECT_EQ(rt.table().recordCount(), 46);
    int firstEpochRecords = 0;
    for (Rec r = rt.table().firstStored(); r != NoRec; r = rt.table().nextStored(r))
        firstEpochRecords += rt.table().getInteger(r, rnx::epoxh) == 1;
    EXPECT_EQ(firstEpochRecords, 14);  // 7 satellites, twice

    // Yes: the table holds the new file alone.
    rec.answers.push_back(Answer::Yes);
    ASSERT_TRUE(rt.ReadRinexObservations(dataFile("mixed211.05o")).ok());
    EXPECT_EQ(rt.table().recordCount(), 24);
}

TEST(RinexTable, UnusableFileLeavesTableAsItWas)
{
    TempDir dir("rinex_unusable");
    RecordingDialogs rec;
    RinexTable rt;
    rt.RinexFileName = dir.file("P000002.RNX");
    int applied = 0;
    rt.ApplyObservationTypes = [&] { ++applied; };
    ASSERT_TRUE(rt.ReadRinexObservations(dataFile("KOSG0010.95O")).ok());
    ASSERT_EQ(applied, 1);
    const auto stamp = fs::last_write_time(rt.RinexFileName);

    const std::string cut = writeBytes(
        dir.file("cut.05o"),
        "     2.11           OBSERVATION DATA    G (GPS)             RINEX VERSION / TYPE\n"
        "     2    C1    S1                                          # / TYPES OF OBSERV\n");
    for (const std::string& f :
         {dataFile("ACOR00ESP_R_20213550000_01D_30S_MO.rnx"), cut, dir.file("missing.05o")}) {
        rec.clear();
        rec.answers.push_back(Answer::Yes);
        const RinexReadOutcome out = rt.ReadRinexObservations(f);
        EXPECT_FALSE(out.ok());
        EXPECT_EQ(rt.table().recordCount(), 23) << f;
        ASSERT_EQ(rec.messages().size(), 1u) << f;
        EXPECT_NE(rec.messages()[0].find(f), std::string::npos) << rec.messages()[0];
    }
    EXPECT_EQ(applied, 1);
    EXPECT_EQ(fs::last_write_time(rt.RinexFileName), stamp);
    // The cut header's types were not written either.
    IniFile ini(rinexSettingsFileName(rt.RinexFileName));
    EXPECT_FALSE(ini.readBool("Types", "S1", false));
}

// The table's records, field by field, in storage order.
std::vector<Value> tableValues(const MemTable& t)
{
    std::vector<Value> out;
    for (Rec r = t.firstStored(); r != NoRec; r = t.nextStored(r))
        for (int f = 0; f < rnx::Time; ++f)
            out.push_back(t.getValue(r, f));
    return out;
}

// A point whose table and companion file hold one read of KOSG0010.95O, and
// what they hold, to compare after a read that must change nothing.
struct StoredPoint {
    TempDir dir{"rinex_stored"};
    RecordingDialogs rec;
    RinexTable rt;
    int applied = 0;
    std::string rnxBytes, iniBytes;
    std::vector<Value> values;

    StoredPoint()
    {
        rt.RinexFileName = dir.file("P000003.RNX");
        rt.ApplyObservationTypes = [this] { ++applied; };
        EXPECT_TRUE(rt.ReadRinexObservations(dataFile("KOSG0010.95O")).ok());
        rt.table().setIndex("byPRN");  // a state of the window the read must keep
        rnxBytes = readBytes(rt.RinexFileName);
        iniBytes = readBytes(rinexSettingsFileName(rt.RinexFileName));
        values = tableValues(rt.table());
        applied = 0;
        rec.clear();
    }
    void expectUnchanged() const
    {
        EXPECT_EQ(applied, 0);
        EXPECT_EQ(readBytes(rt.RinexFileName), rnxBytes);
        EXPECT_EQ(readBytes(rinexSettingsFileName(rt.RinexFileName)), iniBytes);
        EXPECT_EQ(rt.table().recordCount(), 23);
        EXPECT_TRUE(tableValues(rt.table()) == values);
        EXPECT_EQ(rt.table().indexName(), "byPRN");
    }
};

}  // namespace

TEST(RinexTable, ReadStoppedPartWayChangesNothing)
{
    StoredPoint p;
    const std::string f = writeBytes(
        p.dir.file("broken.05o"),
        "     2.11           OBSERVATION DATA    G (GPS)             RINEX VERSION / TYPE\n"
        "     3    L1    S1    C1                                    # / TYPES OF OBSERV\n"
        "  4000000.0000  2000000.0000  4000000.0000                  APPROX POSITION XYZ\n"
        "                                                            END OF HEADER\n"
        " 05  4  2  0  0  0.0000000  0  2G01G02\n"
        "  55923622.160 7        45.000    24767686.375 5\n"
        "  55923000.000\n"
        " 05  4  2  0  0 30.0000000  0  ?G01\n"
        "  55923622.160\n");
    for (Answer answer : {Answer::Yes, Answer::No}) {
        p.rec.clear();
        p.rec.answers.push_back(answer);
        const RinexReadOutcome out = p.rt.ReadRinexObservations(f);
        EXPECT_EQ(out.read.status, rinex::ReadStatus::StoppedAtLine);
        EXPECT_FALSE(out.stored);
        EXPECT_FALSE(out.ok());
        // The question, then one message naming the line.
        const auto messages = p.rec.messages();
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_NE(messages[0].find("γραμμή 8"), std::string::npos) << messages[0];
        EXPECT_NE(messages[0].find("δεν άλλαξαν"), std::string::npos) << messages[0];
        p.expectUnchanged();
    }
    // The stopped file's type S1 and position did not reach the settings file.
    IniFile ini(rinexSettingsFileName(p.rt.RinexFileName));
    EXPECT_FALSE(ini.readBool("Types", "S1", false));
    EXPECT_EQ(ini.readInteger("Types", "nTypes", 0), 5);
}

TEST(RinexTable, CancelledReadChangesNothing)
{
    StoredPoint p;
    // A file of more than one progress step: 07590920.05o's observations
    // twenty times over.
    const std::string text = readBytes(dataFile("07590920.05o"));
    const std::size_t body = text.find('\n', text.find("END OF HEADER")) + 1;
    std::string big = text.substr(0, body);
    for (int k = 0; k < 20; ++k)
        big += text.substr(body);
    const std::string f = writeBytes(p.dir.file("big.05o"), big);

    // The counters outlive the loop: the table keeps the callbacks.
    int asked = 0;
    std::uint64_t progressed = 0;
    for (Answer answer : {Answer::Yes, Answer::No}) {
        p.rec.clear();
        p.rec.answers.push_back(answer);
        asked = 0;
        progressed = 0;
        p.rt.progress = [&](std::uint64_t done, std::uint64_t) { progressed = done; };
        // Stop at the second question, after a megabyte of records.
        p.rt.cancelRequested = [&] { return ++asked == 2; };
        const RinexReadOutcome out = p.rt.ReadRinexObservations(f);
        EXPECT_TRUE(out.cancelled);
        EXPECT_EQ(out.read.status, rinex::ReadStatus::Cancelled);
        EXPECT_EQ(asked, 2);
        EXPECT_GE(progressed, 1u << 20);
        EXPECT_LT(progressed, big.size());
        EXPECT_EQ(p.rec.messages().size(), 0u);  // the user stopped it: nothing to say
        p.expectUnchanged();
    }

    // Without a cancel the same file is read whole.
    p.rt.cancelRequested = [] { return false; };
    p.rec.answers.push_back(Answer::Yes);
    ASSERT_TRUE(p.rt.ReadRinexObservations(f).ok());
    EXPECT_EQ(p.rt.table().recordCount(), 948 * 20);
    EXPECT_EQ(p.applied, 1);
}

namespace {

// Two empty observation tables, and a record of epoch 2 on 1 January 2021
// with an L1 value.
struct TwoTables {
    MemTable a{"A"}, b{"B"};
    rinex::ObservationRecord o;
    TwoTables()
    {
        defineRinexTable(a);
        defineRinexTable(b);
        o.epoxh = 2;
        o.year = 2021, o.month = 1, o.day = 1;
        o.slotValues[rinex::SlotL1].value = 123.25;
    }
};

}  // namespace

TEST(RinexTable, AppendRecordsFromCopiesEveryValue)
{
    TwoTables two;
    MemTable &a = two.a, &b = two.b;
    rinex::ObservationRecord& o = two.o;
    o.prn = 7;
    appendObservation(a, o);
    a.setString(a.firstStored(), rnx::Sxolio, "σημείωση");
    o.prn = 3;
    appendObservation(a, o);
    ASSERT_TRUE(b.appendRecordsFrom(a));
    ASSERT_TRUE(b.appendRecordsFrom(a));
    EXPECT_EQ(b.recordCount(), 4);
    const std::vector<Value> once = tableValues(a);
    std::vector<Value> twice = once;
    twice.insert(twice.end(), once.begin(), once.end());
    EXPECT_TRUE(tableValues(b) == twice);
    // In epoch order the satellite decides within the epoch.
    EXPECT_EQ(b.getInteger(b.recAt(0), rnx::PRN), 3);
    EXPECT_EQ(b.getString(b.recAt(3), rnx::Sxolio), "σημείωση");
    // Tables of another definition are refused.
    MemTable other("X");
    other.addField(FieldDef("A", FieldType::Integer));
    EXPECT_FALSE(b.appendRecordsFrom(other));
    EXPECT_EQ(b.recordCount(), 4);
}

TEST(RinexTable, TakeRecordsFromHandsTheRecordsOverAndLeavesTheSourceUsable)
{
    TwoTables two;
    MemTable &a = two.a, &b = two.b;
    rinex::ObservationRecord& o = two.o;
    a.disableControls();  // as a read builds its table: never sorted
    for (int prn : {9, 3, 7}) {
        o.prn = prn;
        appendObservation(a, o);
    }
    a.setString(a.firstStored(), rnx::Sxolio, "σημείωση");
    const std::vector<Value> values = tableValues(a);

    // Into an empty table: the same values, in the table's own order.
    ASSERT_TRUE(b.takeRecordsFrom(a));
    EXPECT_EQ(b.recordCount(), 3);
    EXPECT_EQ(a.recordCount(), 0);
    EXPECT_TRUE(tableValues(b) == values);
    EXPECT_EQ(b.getInteger(b.recAt(0), rnx::PRN), 3);
    EXPECT_EQ(b.getInteger(b.recAt(2), rnx::PRN), 9);
    EXPECT_EQ(b.getString(b.recAt(2), rnx::Sxolio), "σημείωση");
    // The text of a taken record is its own: editing it changes nothing else.
    b.setString(b.recAt(2), rnx::Sxolio, "άλλη");
    EXPECT_EQ(b.getString(b.recAt(2), rnx::Sxolio), "άλλη");

    // The source takes records again; into a table with records they are
    // added to those there.
    o.prn = 5;
    appendObservation(a, o);
    a.setString(a.firstStored(), rnx::Sxolio, "νέα");
    ASSERT_TRUE(b.takeRecordsFrom(a));
    EXPECT_EQ(b.recordCount(), 4);
    EXPECT_EQ(a.recordCount(), 0);
    EXPECT_EQ(b.getInteger(b.recAt(1), rnx::PRN), 5);
    EXPECT_EQ(b.getString(b.recAt(1), rnx::Sxolio), "νέα");
    a.enableControls();

    MemTable other("X");
    other.addField(FieldDef("A", FieldType::Integer));
    other.appendRecord();
    MemTable empty("E");
    defineRinexTable(empty);
    EXPECT_FALSE(empty.takeRecordsFrom(other));
    EXPECT_EQ(other.recordCount(), 1);
}

// A file of megabytes read onto records the table holds: memory for its
// records is reserved at the rate of the file's first megabyte, which here
// says almost nothing (one epoch, then events with a megabyte of comments),
// so the table must still grow past what was reserved. Every record comes in,
// and the table file, large enough to be compressed in parts, reads back the
// same.
TEST(RinexTable, LargeFileReadOntoRecordsAndStoredInParts)
{
    TempDir dir("rinex_large");
    const std::string text = readBytes(dataFile("delf0010.21o"));
    const std::size_t bodyAt = text.find('\n', text.find("END OF HEADER")) + 1;
    const std::string header = text.substr(0, bodyAt);
    const std::string body = text.substr(bodyAt);
    const std::size_t secondEpoch = body.find("\n 21  1  1  0  0 30.0000000") + 1;
    ASSERT_GT(secondEpoch, 1u);

    std::string big = header + body.substr(0, secondEpoch);
    const std::string comment = std::string(60, ' ') + "COMMENT\n";
    for (int event = 0; event < 14; ++event) {
        big += " 21  1  1  0  0 15.0000000  4999\n";
        for (int i = 0; i < 999; ++i)
            big += comment;
    }
    constexpr int kCopies = 44;
    for (int copy = 0; copy < kCopies; ++copy)
        big += body;
    const std::string bigFile = writeBytes(dir.file("big.21o"), big);

    RecordingDialogs rec;
    RinexTable alone;
    alone.RinexFileName = dir.file("P000001.RNX");
    ASSERT_TRUE(alone.readObservations(dataFile("delf0010.21o"), true).ok());
    const int perCopy = alone.table().recordCount();
    RinexTable first;
    first.RinexFileName = dir.file("P000002.RNX");
    ASSERT_TRUE(first.readObservations(writeBytes(dir.file("first.21o"),
                                                  header + body.substr(0, secondEpoch)),
                                       true)
                    .ok());
    const int firstEpoch = first.table().recordCount();

    RinexTable rt;
    rt.RinexFileName = dir.file("P000003.RNX");
    ASSERT_TRUE(rt.ReadRinexObservations(dataFile("KOSG0010.95O")).ok());
    rec.answers.push_back(Answer::No);
    const RinexReadOutcome out = rt.ReadRinexObservations(bigFile);
    ASSERT_TRUE(out.ok());
    ASSERT_EQ(rt.table().recordCount(), 23 + firstEpoch + kCopies * perCopy);
    ASSERT_GE(rt.table().recordCount(), 50000);

    // Every copy of the body holds the records the body read alone gives,
    // but for the epoch numbers, which go on through the file.
    const std::vector<Value> all = tableValues(rt.table());
    const std::vector<Value> one = tableValues(alone.table());
    const std::size_t perRecord = one.size() / static_cast<std::size_t>(perCopy);
    for (int copy = 0; copy < kCopies; copy += 11) {
        const auto from = static_cast<std::size_t>(23 + firstEpoch + copy * perCopy) * perRecord;
        int differ = 0;
        for (std::size_t i = 0; i < one.size(); ++i)
            differ += i % perRecord != rnx::epoxh && !(all[from + i] == one[i]);
        EXPECT_EQ(differ, 0) << "copy " << copy;
    }

    RinexTable back;
    back.RinexFileName = rt.RinexFileName;
    ASSERT_TRUE(back.load());
    EXPECT_TRUE(tableValues(back.table()) == all);
    // zlib itself reads the file, written in parts, as one stream.
    const std::string tableText = tableFileText(rt.table());
    EXPECT_TRUE(inflated(readBytes(rt.RinexFileName), tableText.size() + 1) == tableText);
}
