#include "table/TableFile.h"

#include "network/PointTables.h"
#include "table/Cp1253.h"
#include "NetworkFileText.h"
#include "support/Files.h"
#include "support/Zlib.h"

#include <gtest/gtest.h>

#include <clocale>
#include <filesystem>

using namespace korthal;
using namespace korthal::test;
namespace fs = std::filesystem;

TEST(TableFile, BytesOfTheNetworkFile)
{
    TempDir dir;
    Gps g;
    const std::string path = dir.file("net.WGS84");

    // An empty table: the header alone, compressed.
    ASSERT_TRUE(SaveToFile(g.t, path));
    const std::string stream = readBytes(path);
    EXPECT_EQ(static_cast<unsigned char>(stream[0]), 0x78);  // a zlib header
    EXPECT_EQ(static_cast<unsigned char>(stream[1]), 0xDA);  // level 9
    EXPECT_EQ(inflated(stream), kGpsHeader);

    // One record: no final comma, so six commas for the seven calculated fields.
    Rec r = g.t.appendRecord();
    g.t.setString(r, gps::Name, "Α1");
    g.t.setFloat(r, gps::X, 1234.5);
    g.t.setFloat(r, gps::Y, -0.000001);
    g.t.setFloat(r, gps::Z, 123456789012345678.0);
    g.t.setFloat(r, gps::E, 0);
    g.t.setBoolean(r, gps::detailPoint, false);
    g.t.setString(r, gps::Perigrafh, "5% \"x\"\r\nB");
    g.t.setFloat(r, gps::apoxh, 0.1);
    g.t.setBoolean(r, gps::xxxxxx, true);
    ASSERT_TRUE(SaveToFile(g.t, path));
    const std::string line1 =
        "\"1\",\"\xC1\x31\",\"1234,5\",\"-1E-6\",\"1,23456789012346E17\",\"0\",,,\"\","
        "\"5%% \"\"x\"\"%c%nB\",,,,,,,\"0,1\",\"True\",,,,,,,";
    EXPECT_EQ(inflated(readBytes(path)), kGpsHeader + line1 + "\r\n");

    // Two records: every line but the last keeps its final comma.
    r = g.t.appendRecord();
    g.t.setString(r, gps::Name, "B");
    ASSERT_TRUE(SaveToFile(g.t, path));
    EXPECT_EQ(inflated(readBytes(path)),
              kGpsHeader + line1 + ",\r\n" + "\"2\",\"B\",,,,,,,\"c\",,,,,,,,,,,,,,,,\r\n");
}

TEST(TableFile, NumbersIgnoreTheProcessLocale)
{
    Gps g;
    const Rec r = g.t.appendRecord();
    g.t.setFloat(r, gps::X, 1234.5);
    const std::string before = std::setlocale(LC_ALL, nullptr);
    const bool switched = std::setlocale(LC_ALL, "de_DE.UTF-8") || std::setlocale(LC_ALL, "C.UTF-8");
    const std::string text = tableText(g.t);
    std::setlocale(LC_ALL, before.c_str());
    (void)switched;
    EXPECT_NE(text.find("\"1234,5\""), std::string::npos);
}

TEST(TableFile, RoundTripOfGreekNamesMemosAndQuotes)
{
    TempDir dir;
    Gps g;
    const Rec a = g.t.appendRecord();
    g.t.setString(a, gps::Name, "Τριγ\"ωνο");
    g.t.setString(a, gps::Perigrafh, "100% σωστό\r\nδεύτερη \"γραμμή\"\r\n%c%n%0");
    g.t.setString(a, gps::Sxolio3, std::string("nul\0byte", 8));
    g.t.setFloat(a, gps::X, 4591240.123456789);
    g.t.setFloat(a, gps::apoxh, -1e-7);
    const Rec b = g.t.appendRecord();
    g.t.setString(b, gps::Name, "ΑΒΓΔΕΖΗΘΙΚΛΜ");  // longer than 10: cut
    const std::string path = dir.file("greek.WGS84");
    ASSERT_TRUE(SaveToFile(g.t, path));

    Gps back;
    const LoadResult res = LoadFromFile(back.t, path);
    ASSERT_TRUE(res.ok()) << res.reason;
    EXPECT_EQ(res.records, 2);
    const Rec a2 = back.t.findID(1);
    ASSERT_NE(a2, NoRec);
    for (int f : {int(gps::Name), int(gps::Perigrafh), int(gps::Sxolio3)})
        EXPECT_EQ(back.t.getString(a2, f), g.t.getString(a, f));
    EXPECT_EQ(back.t.getFloat(a2, gps::X), 4591240.12345679);  // 15 significant digits
    EXPECT_EQ(back.t.getFloat(a2, gps::apoxh), -1e-7);
    EXPECT_TRUE(back.t.isNull(a2, gps::Y));
    EXPECT_TRUE(back.t.getBoolean(a2, gps::detailPoint));
    EXPECT_EQ(back.t.getString(back.t.findID(2), gps::Name), "ΑΒΓΔΕΖΗΘΙΚ");
    EXPECT_EQ(tableText(back.t), tableText(g.t));
}

TEST(TableFile, ReaderRules)
{
    const std::string header = "\"ID\",\"Name\",\"X\",\r\n";
    MemTable base;
    // LF-only, CR-only and CR LF with blank lines read the same; unquoted
    // numbers are null; items beyond the fields are ignored; garbage between
    // items is skipped; a duplicate ID updates the earlier record.
    const std::string body[] = {
        "\"7\",\"A\",\"1,5\",\"extra\"|\"3\",\"B\",2,5|\"7\",\"C\"|,\"D\",\"-2\"",
    };
    for (const char* eol : {"\r\n", "\n", "\r", "\n\n\r\0"}) {
        std::string text = header;
        std::string b = body[0];
        std::string eolText = eol[0] == '\n' && eol[1] == '\n' ? std::string("\n\n\r\0", 4) : eol;
        for (char c : b)
            text += c == '|' ? eolText : std::string(1, c);
        MemTable t;
        const int id = t.addField({"ID", FieldType::AutoInc});
        const int name = t.addField({"Name", FieldType::String, 10});
        const int x = t.addField({"X", FieldType::Float});
        const LoadResult res = readTableText(t, text);
        ASSERT_TRUE(res.ok()) << res.reason;
        EXPECT_EQ(res.records, 4);
        ASSERT_EQ(t.recordCount(), 3);
        const Rec r7 = t.findID(7);
        ASSERT_NE(r7, NoRec);
        EXPECT_EQ(t.getString(r7, name), "C");       // the later line wins
        EXPECT_EQ(t.getFloat(r7, x), 1.5);          // kept: the later line has no X item
        EXPECT_TRUE(t.isNull(t.findID(3), x));       // unquoted: null
        // The record without an ID got one above every loaded ID.
        const Rec d = t.recAt(2);
        EXPECT_EQ(t.getString(d, name), "D");
        EXPECT_EQ(t.getInteger(d, id), 8);
        EXPECT_EQ(t.getInteger(t.appendRecord(), id), 9);
    }
}

TEST(TableFile, DefinitionSectionsBeforeTheHeaderArePassedOver)
{
    MemTable t;
    t.addField({"ID", FieldType::AutoInc});
    const int name = t.addField({"Name", FieldType::String, 10});
    const LoadResult res = readTableText(
        t, "@@FILE VERSION@@ 2\r\n@@TABLEDEF START@@\r\nID=AUTOINC\r\nName=STRING,10\r\n"
           "@@TABLEDEF END@@\r\n@@INDEXDEF START@@\r\nbyEidos=Name\r\n@@INDEXDEF END@@\r\n"
           "\"ID\",\"Name\",\r\n\"1\",\"A\"\r\n");
    EXPECT_TRUE(res.ok());
    ASSERT_EQ(t.recordCount(), 1);
    EXPECT_EQ(t.getString(t.findID(1), name), "A");
}

TEST(TableFile, LoadStopsAtABadValueAndSaysWhere)
{
    TempDir dir;
    const std::string text = kGpsHeader + "\"1\",\"A\",\"1,5\",\r\n" + "\"2\",\"B\",\"2\",\r\n" +
                             "\"3\",\"C\",\"1.5\",\r\n" + "\"4\",\"D\",\"4\"\r\n";
    const std::string path = dir.file("bad.WGS84");
    writeBytes(path, deflated(text));
    Gps g;
    const LoadResult res = LoadFromFile(g.t, path);
    EXPECT_EQ(res.status, LoadResult::Status::Stopped);
    EXPECT_EQ(res.records, 2);
    EXPECT_EQ(res.line, 3);
    EXPECT_EQ(g.t.recordCount(), 2);
    EXPECT_NE(res.reason.find("1.5"), std::string::npos);
    EXPECT_NE(res.message(path).find("γραμμή δεδομένων 3"), std::string::npos);

    // A Boolean text that matches neither display text.
    MemTable t;
    t.addField({"ID", FieldType::AutoInc});
    t.addField({"B", FieldType::Boolean});
    const LoadResult b = readTableText(t, "h\r\n\"1\",\"t\"\r\n\"2\",\"yes\"\r\n");
    EXPECT_EQ(b.line, 2);
    EXPECT_EQ(t.recordCount(), 1);
}

TEST(TableFile, DamagedAndMissingFiles)
{
    TempDir dir;
    std::string text = kGpsHeader;
    for (int i = 1; i <= 2000; ++i)
        text += "\"" + std::to_string(i) + "\",\"P" + std::to_string(i) + "\",\"" +
                std::to_string(i * 7919 % 100000) + ",25\",,,,,,,\"memo " +
                std::to_string(i * 31) + "\",\r\n";
    const std::string stream = deflated(text);
    const std::string path = dir.file("cut.WGS84");
    writeBytes(path, stream.substr(0, stream.size() / 2));
    Gps g;
    const LoadResult res = LoadFromFile(g.t, path);
    EXPECT_EQ(res.status, LoadResult::Status::Stopped);
    EXPECT_GT(res.records, 0);
    EXPECT_LT(res.records, 2000);
    EXPECT_EQ(res.line, res.records + 1);
    EXPECT_EQ(g.t.recordCount(), res.records);
    // The last record kept is whole.
    const Rec last = g.t.findID(res.records);
    ASSERT_NE(last, NoRec);
    EXPECT_EQ(g.t.getString(last, gps::Perigrafh), "memo " + std::to_string(res.records * 31));

    // Plain text, not a zlib stream.
    writeBytes(path, "1;2;3\r\n");
    Gps plain;
    EXPECT_EQ(LoadFromFile(plain.t, path).status, LoadResult::Status::Stopped);
    EXPECT_EQ(plain.t.recordCount(), 0);

    Gps missing;
    EXPECT_EQ(LoadFromFile(missing.t, dir.file("none.WGS84")).status, LoadResult::Status::Missing);

    // A folder by a network's name (its end lies at an offset no memory
    // holds; reading it once ended the program).
    fs::create_directory(dir.path / "folder.WGS84");
    Gps folder;
    const LoadResult f = LoadFromFile(folder.t, dir.file("folder.WGS84"));
    EXPECT_EQ(f.status, LoadResult::Status::CannotRead);
    EXPECT_EQ(f.reason, "είναι φάκελος, όχι αρχείο");
    EXPECT_EQ(folder.t.recordCount(), 0);
}

TEST(TableFile, SaveReplacesAtomically)
{
    TempDir dir;
    Gps g;
    g.t.setString(g.t.appendRecord(), gps::Name, "A");
    const std::string path = dir.file("net.WGS84");
    ASSERT_TRUE(SaveToFile(g.t, path));
    const std::string first = readBytes(path);
    g.t.setString(g.t.appendRecord(), gps::Name, "B");
    ASSERT_TRUE(SaveToFile(g.t, path));
    EXPECT_NE(readBytes(path), first);

    // A save that cannot complete leaves what was there and says why.
    const std::string blocked = dir.file("blocked");
    fs::create_directories(fs::path(blocked) / "inside");
    const SaveResult bad = SaveToFile(g.t, blocked);
    EXPECT_FALSE(bad.ok);
    EXPECT_NE(bad.error.find("blocked"), std::string::npos);
    EXPECT_TRUE(fs::is_directory(fs::path(blocked) / "inside"));
    EXPECT_FALSE(SaveToFile(g.t, dir.file("no/such/folder/x.WGS84")).ok);
    // No temporary files are left behind.
    int files = 0;
    for (const auto& e : fs::directory_iterator(dir.path))
        files += e.is_regular_file() ? 1 : 0;
    EXPECT_EQ(files, 1);
}

TEST(TableFile, IntegersAndDatesRoundTrip)
{
    MemTable t("R");
    const int e = t.addField({"epoxh", FieldType::Integer});
    const int d = t.addField({"Date", FieldType::Date});
    const int s = t.addField({"sec", FieldType::Float});
    t.addField(FieldDef::calc("Time", FieldType::String));
    Rec r = t.appendRecord();
    t.setInteger(r, e, -12);
    t.setDate(r, d, Date{2003, 4, 5});
    t.setFloat(r, s, 59.9999999);
    const std::string text = tableText(t);
    EXPECT_EQ(text, "\"epoxh\",\"Date\",\"sec\",\"Time\",\r\n\"-12\",\"05/04/2003\",\"59,9999999\",\r\n");
    MemTable back("R");
    back.addField({"epoxh", FieldType::Integer});
    back.addField({"Date", FieldType::Date});
    back.addField({"sec", FieldType::Float});
    back.addField(FieldDef::calc("Time", FieldType::String));
    // Without an ID field every line is a new record.
    ASSERT_TRUE(readTableText(back, text + "\"-12\",\"05/04/2003\",\"1\"\r\n").ok());
    EXPECT_EQ(back.recordCount(), 2);
    EXPECT_EQ(back.getDate(back.firstStored(), d), (Date{2003, 4, 5}));
}

TEST(Cp1253, ConvertsBothWays)
{
    EXPECT_EQ(utf8ToCp1253("Σημείο €"), "\xD3\xE7\xEC\xE5\xDF\xEF \x80");
    EXPECT_EQ(cp1253ToUtf8("\xD3\xE7\xEC\xE5\xDF\xEF"), "Σημείο");
    bool lossy = false;
    EXPECT_EQ(utf8ToCp1253("a☃b", &lossy), "a?b");
    EXPECT_TRUE(lossy);
    // Undefined bytes survive a round trip.
    const std::string odd = "\x81\xAA\xD2\xFF";
    EXPECT_EQ(utf8ToCp1253(cp1253ToUtf8(odd)), odd);
}

// A network far larger than the texts compressed both ways: zlib's own
// uncompress reads the stored file, which is no larger than zlib's level 9
// would make it, and the same text written by zlib loads the same.
TEST(TableFile, LargeFilesReadByZlibAndWrittenByZlib)
{
    TempDir dir;
    Gps g;
    for (int i = 1; i <= 6000; ++i) {
        const Rec r = g.t.appendRecord();
        g.t.setString(r, gps::Name, "Σ" + std::to_string(i));
        g.t.setFloat(r, gps::X, 4538567.695 + i * 1.237);
        g.t.setFloat(r, gps::Y, 1901291.101 - i * 0.731);
        g.t.setFloat(r, gps::Z, 4044813.091 + (i % 97) * 3.3);
        g.t.setBoolean(r, gps::detailPoint, i % 5 != 0);
        if (i % 7 == 0)
            g.t.setString(r, gps::Perigrafh, "πάσσαλος " + std::to_string(i));
    }
    const std::string path = dir.file("large.WGS84");
    ASSERT_TRUE(SaveToFile(g.t, path));
    const std::string text = tableFileText(g.t);
    ASSERT_GT(text.size(), std::size_t{64 << 10});
    ASSERT_LT(text.size(), std::size_t{1 << 20});
    const std::string stored = readBytes(path);
    EXPECT_EQ(inflated(stored), text);
    EXPECT_LE(stored.size(), deflated(text).size());

    const std::string byZlib = dir.file("zlib.WGS84");
    writeBytes(byZlib, deflated(text));
    Gps back;
    const LoadResult res = LoadFromFile(back.t, byZlib);
    ASSERT_TRUE(res.ok()) << res.reason;
    EXPECT_EQ(res.records, 6000);
    EXPECT_EQ(tableText(back.t), tableText(g.t));
}
