// Table files whose zlib stream says nothing true about their size: streams
// of gigabytes in a few megabytes, lines without end, streams cut short or
// followed by bytes that belong to none. Reading them ends with a message or
// with what was read, and memory grows with the records only.

#include "table/TableFile.h"

#include "network/PointTables.h"
#include "NetworkFileText.h"
#include "support/Files.h"
#include "support/Memory.h"
#include "support/Zlib.h"

#include <gtest/gtest.h>

using namespace korthal;
using namespace korthal::test;

namespace {

std::string record(int id, const std::string& memo = "memo")
{
    return "\"" + std::to_string(id) + "\",\"P" + std::to_string(id) +
           "\",\"4538567,695\",,,,,,,\"" + memo + "\",\r\n";
}

// `lines` repeated to about 1 MB.
std::string megabyteOf(const std::string& lines)
{
    std::string chunk;
    while (chunk.size() < (1u << 20))
        chunk += lines;
    return chunk;
}

void expectSmallGrowth(long long growth, long long inflated)
{
    if (kSanitizedAllocator || growth < 0)
        return;
    EXPECT_LT(growth, 96ll << 20) << "resident memory grew by " << growth << " bytes for "
                                  << inflated << " bytes of text";
}

}  // namespace

TEST(TableStream, TheHelperStreamInflatesToItsCopies)
{
    const std::string s = repeatedStream("head\r\n", "line\r\n", 3);
    EXPECT_EQ(inflated(s), "head\r\nline\r\nline\r\nline\r\n");
}

TEST(TableStream, HundredsOfMegabytesOfOneRecordRepeatedAreOneRecordInLittleMemory)
{
    // The same line again and again: the ID makes every copy the same record.
    TempDir dir("table-stream");
    const std::string chunk = megabyteOf(record(1));
    const long long copies = 256;
    const std::string path = writeBytes(dir.file("same.WGS84"),
                                        repeatedStream(kGpsHeader + record(2), chunk, copies));
    Gps g;
    LoadResult r;
    const long long growth = peakGrowth([&] { r = LoadFromFile(g.t, path); });
    EXPECT_TRUE(r.ok()) << r.reason;
    EXPECT_EQ(g.t.recordCount(), 2);
    expectSmallGrowth(growth, copies * static_cast<long long>(chunk.size()));
}

TEST(TableStream, ALineWithoutEndStopsTheReadingAndKeepsTheRecordsBefore)
{
    // Two records, then a line that goes on for a gigabyte and never ends.
    TempDir dir("table-stream");
    const std::string path =
        writeBytes(dir.file("endless.WGS84"),
                   repeatedStream(kGpsHeader + record(1) + record(2) + "\"3\",\"P3\",\"",
                                  std::string(1 << 20, '7'), 1024, false));
    Gps g;
    LoadResult r;
    const long long growth = peakGrowth([&] { r = LoadFromFile(g.t, path); });
    EXPECT_EQ(r.status, LoadResult::Status::Stopped);
    EXPECT_FALSE(r.reason.empty());
    EXPECT_EQ(r.line, 3);  // record lines count from 1 after the header
    EXPECT_EQ(g.t.recordCount(), 2);
    expectSmallGrowth(growth, 1ll << 30);

    // Whole, with its end, the same.
    const std::string whole =
        writeBytes(dir.file("long.WGS84"),
                   repeatedStream(kGpsHeader + record(1) + "\"3\",\"P3\",\"",
                                  std::string(1 << 20, '7'), 1024, true));
    Gps h;
    r = LoadFromFile(h.t, whole);
    EXPECT_EQ(r.status, LoadResult::Status::Stopped);
    EXPECT_EQ(r.line, 2);
    EXPECT_EQ(h.t.recordCount(), 1);
}

TEST(TableStream, AMillionCharacterMemoIsContentAndComesBack)
{
    TempDir dir("table-stream");
    std::string memo;
    for (int i = 0; memo.size() < 1000000; ++i)
        memo += "Σημείωση " + std::to_string(i) + " ";
    Gps g;
    g.t.append();
    g.t.set(gps::Name, Value(std::string("Κ1")));
    g.t.set(gps::Perigrafh, Value(memo));
    g.t.post();
    const std::string path = dir.file("memo.WGS84");
    ASSERT_TRUE(SaveToFile(g.t, path).ok);
    Gps back;
    const LoadResult r = LoadFromFile(back.t, path);
    ASSERT_TRUE(r.ok()) << r.reason;
    ASSERT_EQ(back.t.recordCount(), 1);
    EXPECT_EQ(back.t.getString(back.t.firstStored(), gps::Perigrafh), memo);
}

TEST(TableStream, StreamsCutShortOrFollowedByOtherBytes)
{
    TempDir dir("table-stream");
    std::string text = kGpsHeader;
    for (int i = 1; i <= 300; ++i)
        text += record(i, "memo " + std::to_string(i));
    const std::string stream = deflated(text);

    // Bytes after a whole stream belong to no record: every record is read.
    for (const std::string& after : {std::string("\0\0\0\0", 4), std::string(100000, 'x'), stream}) {
        Gps g;
        const LoadResult r = LoadFromFile(g.t, writeBytes(dir.file("after.WGS84"), stream + after));
        EXPECT_EQ(g.t.recordCount(), 300) << after.size();
        EXPECT_TRUE(r.ok() || r.status == LoadResult::Status::Stopped);
    }

    // Cut anywhere: the whole lines before the cut, never a record cut short.
    for (std::size_t cut : {std::size_t{0}, std::size_t{1}, std::size_t{2}, stream.size() / 3,
                            stream.size() - 5, stream.size() - 1}) {
        Gps g;
        const LoadResult r =
            LoadFromFile(g.t, writeBytes(dir.file("cut.WGS84"), stream.substr(0, cut)));
        EXPECT_EQ(r.status, LoadResult::Status::Stopped) << cut;
        EXPECT_FALSE(r.reason.empty());
        for (Rec rec = g.t.firstStored(); rec != NoRec; rec = g.t.nextStored(rec)) {
            const long long id = g.t.getInteger(rec, gps::ID);
            EXPECT_EQ(g.t.getString(rec, gps::Perigrafh), "memo " + std::to_string(id));
        }
        if (cut >= stream.size() - 5) {
            // Only the checksum is missing: every line inflated.
            EXPECT_EQ(g.t.recordCount(), 300) << cut;
        }
    }
}
