// Large texts are compressed in parts at the same time and the parts joined
// into one zlib stream. zlib itself must read the joined stream back, byte
// for byte, whatever bit each part's last block ends on.

#include "table/DeflateParts.h"
#include "table/TableFile.h"

#include "network/PointTables.h"
#include "NetworkFileText.h"

#include <gtest/gtest.h>
#include <libdeflate.h>
#include <zlib.h>

#include <bitset>
#include <mutex>
#include <random>

using namespace korthal;
using namespace korthal::test;

namespace {

std::string rawDeflated(const std::string& bytes, int level)
{
    libdeflate_compressor* c = libdeflate_alloc_compressor(level);
    std::string out(libdeflate_deflate_compress_bound(c, bytes.size()), '\0');
    out.resize(libdeflate_deflate_compress(c, bytes.data(), bytes.size(), out.data(), out.size()));
    libdeflate_free_compressor(c);
    return out;
}

// What zlib inflates a stream to: raw deflate when `raw`, else a zlib
// stream; "<error>" when zlib does not read it to its end.
std::string zlibInflated(const std::string& stream, bool raw, std::size_t expected)
{
    z_stream z{};
    if ((raw ? inflateInit2(&z, -15) : inflateInit(&z)) != Z_OK)
        return "<error>";
    std::string out(expected + 64, '\0');
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(stream.data()));
    z.avail_in = static_cast<uInt>(stream.size());
    z.next_out = reinterpret_cast<Bytef*>(out.data());
    z.avail_out = static_cast<uInt>(out.size());
    const int rc = inflate(&z, Z_FINISH);
    const bool wholeStream = rc == Z_STREAM_END && z.avail_in == 0;
    out.resize(z.total_out);
    inflateEnd(&z);
    return wholeStream ? out : "<error>";
}

// Texts of every kind libdeflate writes blocks for: lines of a table
// (dynamic codes), random bytes (stored blocks), a few bytes (fixed codes),
// runs of one byte.
std::string sampleText(std::mt19937& rng, int kind, std::size_t size)
{
    std::string s;
    switch (kind % 4) {
    case 0:
        while (s.size() < size)
            s += "\"" + std::to_string(rng() % 100000) + "\",\"Σ" + std::to_string(rng() % 977) +
                 "\",\"4538567," + std::to_string(rng() % 1000) + "\",,,\r\n";
        break;
    case 1:
        while (s.size() < size)
            s.push_back(static_cast<char>(rng()));
        break;
    case 2:
        while (s.size() < size)
            s.push_back(static_cast<char>('a' + rng() % 3));
        break;
    default:
        s.assign(size, 'x');
        break;
    }
    s.resize(size);
    return s;
}

}  // namespace

TEST(DeflateParts, TheWalkFindsTheSizeAndEndOfEveryKindOfStream)
{
    std::mt19937 rng(1253);
    std::bitset<8> endsSeen;
    for (int i = 0; i < 160; ++i) {
        // Some texts long enough for several blocks.
        const std::size_t size = 1 + rng() % (i % 8 == 0 ? 700000 : 3000);
        const std::string text = sampleText(rng, i, size);
        for (int level : {1, 6, 12}) {
            if (level == 12 && size > 10000)
                continue;  // the slowest level only where it is quick
            const std::string stream = rawDeflated(text, level);
            const DeflateWalk walk = walkRawDeflate(stream);
            ASSERT_TRUE(walk.ok) << "text " << i << " level " << level;
            EXPECT_EQ(walk.inflatedSize, text.size());
            EXPECT_EQ((walk.endBit + 7) / 8, stream.size());
            EXPECT_LT(walk.lastBlockBit, walk.endBit);
            endsSeen.set(walk.endBit % 8);
        }
    }
    // Every bit a last block can end on came up, so every way of ending a
    // part is exercised below.
    EXPECT_TRUE(endsSeen.all()) << endsSeen;
}

TEST(DeflateParts, OpenedPartsFollowedByAnotherInflateAsOneStream)
{
    std::mt19937 rng(87);
    for (int i = 0; i < 200; ++i) {
        const std::string a = sampleText(rng, i, 1 + rng() % 5000);
        const std::string b = sampleText(rng, i / 4, 1 + rng() % 5000);
        const std::string c = sampleText(rng, i / 16, 1 + rng() % 700);
        std::string sa = rawDeflated(a, 6);
        std::string sb = rawDeflated(b, i % 2 ? 1 : 12);
        ASSERT_TRUE(openRawDeflate(sa, a.size()));
        ASSERT_TRUE(openRawDeflate(sb, b.size()));
        const std::string joined = sa + sb + rawDeflated(c, 6);
        ASSERT_EQ(zlibInflated(joined, true, a.size() + b.size() + c.size()), a + b + c)
            << "pair " << i;
    }
}

TEST(DeflateParts, DamagedOrCutStreamsAreNotOpened)
{
    std::mt19937 rng(5);
    const std::string text = sampleText(rng, 0, 20000);
    const std::string stream = rawDeflated(text, 6);
    // Cut anywhere: the walk runs out before the last block ends.
    for (std::size_t n = 0; n < stream.size(); n += 1 + n / 50) {
        std::string cut = stream.substr(0, n);
        EXPECT_FALSE(openRawDeflate(cut, text.size())) << n;
        EXPECT_EQ(cut, stream.substr(0, n));
    }
    // The wrong size, or bytes after the end.
    std::string whole = stream;
    EXPECT_FALSE(openRawDeflate(whole, text.size() - 1));
    whole += "x";
    EXPECT_FALSE(openRawDeflate(whole, text.size()));
    EXPECT_EQ(whole, stream + "x");
    EXPECT_FALSE(walkRawDeflate(std::string("\x07", 1)).ok);  // block type 3
    EXPECT_FALSE(walkRawDeflate("").ok);
}

TEST(DeflateParts, ATextInPartsIsOneZlibStream)
{
    std::mt19937 rng(1987);
    const std::string text = sampleText(rng, 0, 9u << 20);
    for (int parts : {2, 3, 7}) {
        const std::string stream = zlibStreamInParts(text, 6, parts, 1u << 20);
        ASSERT_EQ(zlibInflated(stream, false, text.size()), text) << parts << " parts";
    }
    // Parts too small to cut: one stream, as libdeflate writes it.
    const std::string small = text.substr(0, 100000);
    const std::string whole = zlibStreamInParts(small, 6, 4, 1u << 20);
    EXPECT_EQ(zlibInflated(whole, false, small.size()), small);
    // A text without line feeds is not cut.
    const std::string oneLine(3u << 20, 'q');
    EXPECT_EQ(zlibInflated(zlibStreamInParts(oneLine, 6, 2, 1000), false, oneLine.size()),
              oneLine);
    // What the table files store.
    const std::string stored = GPSCompressSave(text);
    ASSERT_EQ(zlibInflated(stored, false, text.size()), text);
    // A part refers to no text before it: that costs a few hundred bytes.
    EXPECT_LE(stored.size(), zlibStreamInParts(text, 6, 1, 0).size() + 1024);
}

// The text in pieces, a thread writing several of them one after another in
// the same memory: in order, the pieces are the text, and only the last one
// says it is.
TEST(DeflateParts, TableTextInPiecesIsTheTextInOrder)
{
    Gps g;
    for (int i = 1; i <= 1000; ++i) {
        const Rec r = g.t.appendRecord();
        g.t.setString(r, gps::Name, "Σ" + std::to_string(i));
        g.t.setFloat(r, gps::X, 4538567.695 + i * 1.237);
    }
    const std::string text = tableFileText(g.t);
    for (int threads : {1, 2, 3}) {
        std::mutex m;
        std::vector<std::string> pieces(7);
        std::vector<int> lasts;
        const int n = tableFileTextInParts(g.t, 7, threads, [&](int i, std::string& piece, bool last) {
            const std::lock_guard<std::mutex> lock(m);
            pieces[static_cast<std::size_t>(i)] = piece;
            if (last)
                lasts.push_back(i);
        });
        ASSERT_EQ(n, 7);
        std::string joined;
        for (const std::string& p : pieces)
            joined += p;
        EXPECT_EQ(joined, text) << threads << " threads";
        EXPECT_EQ(lasts, std::vector<int>{6});
    }
    // More pieces than records: a piece a record.
    Gps few;
    for (int i = 0; i < 3; ++i)
        few.t.setString(few.t.appendRecord(), gps::Name, "A" + std::to_string(i));
    std::mutex m;
    std::vector<std::string> pieces(3);
    EXPECT_EQ(tableFileTextInParts(few.t, 8, 2,
                                   [&](int i, std::string& piece, bool) {
                                       const std::lock_guard<std::mutex> lock(m);
                                       pieces.at(static_cast<std::size_t>(i)) = piece;
                                   }),
              3);
    EXPECT_EQ(pieces[0] + pieces[1] + pieces[2], tableFileText(few.t));
}
