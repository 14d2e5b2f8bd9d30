#include "table/TableFile.h"

#include "table/Cp1253.h"
#include "table/DeflateParts.h"
#include "table/LargeMemory.h"
#include "table/TableText.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <libdeflate.h>
#include <memory>
#include <thread>
#include <vector>
#include <zlib.h>

#include <sys/stat.h>

namespace korthal {

namespace {

// Texts up to this size are compressed both by zlib at level 9 and by
// libdeflate at its slowest level, and the smaller stream is kept: on a few
// hundred bytes libdeflate may come out a few bytes longer than zlib, and
// either costs nothing there.
constexpr std::size_t kSmallText = 64 << 10;
// libdeflate's level for the larger texts: its streams came out smaller than
// zlib's level 9 on network tables (by 6 to 10 per cent) and observation
// tables (by 1 per cent), in a tenth to a twentieth of its time.
constexpr int kLevel = 6;
// Larger texts are compressed in parts at the same time, one a core, each
// part of at least this size: a part refers to no text before it, which costs
// a few hundred bytes a part.
constexpr std::size_t kSmallestPart = std::size_t{4} << 20;
constexpr unsigned kMostParts = 8;
// Tables of this many records are written and compressed in parts, as many
// parts as cores for each this many records.
constexpr int kPartsFrom = 50000;
constexpr int kRecordsPerPart = 100000;
// A text up to this size is inflated whole; a larger one is read in pieces
// by zlib.
constexpr std::size_t kWholeLimit = std::size_t{1} << 30;
// zlib's inflater gives text in pieces of about this size to the reader.
constexpr std::size_t kPiece = 1 << 20;
// Table text shrinks in a zlib stream about three times (networks of
// thousands of points) and seldom beyond five. A stream that inflates beyond
// sixteen times its size (a file of one line repeated, or made to swallow
// memory) is read in pieces instead, whose memory does not depend on the size
// the stream inflates to.
constexpr std::size_t kWholeRatio = 16;
// No line of a table comes near this size; a longer one is not gathered.
constexpr std::size_t kMaxLine = std::size_t{16} << 20;

const char* const kDamaged = "τα συμπιεσμένα δεδομένα του αρχείου είναι κατεστραμμένα ή ελλιπή";
const char* const kLineTooLong = "η γραμμή είναι μεγαλύτερη από 16 MB: δεν είναι γραμμή πίνακα";
const char* const kTooLarge = "το κείμενο του αρχείου ξεπερνά το 1 GB";

std::string zlibLevel9(std::string_view bytes)
{
    uLongf size = compressBound(static_cast<uLong>(bytes.size()));
    std::string out(size, '\0');
    if (compress2(reinterpret_cast<Bytef*>(out.data()), &size,
                  reinterpret_cast<const Bytef*>(bytes.data()), static_cast<uLong>(bytes.size()),
                  Z_BEST_COMPRESSION) != Z_OK)
        return {};
    out.resize(size);
    return out;
}

// The threads that compress parts at the same time: one a core.
int cores()
{
    return static_cast<int>(std::clamp(std::thread::hardware_concurrency(), 1u, kMostParts));
}

// The zlib stream of `bytes`; empty when compression failed.
std::string compressText(std::string_view bytes)
{
    if (bytes.size() > kSmallText) {
        return zlibStreamInParts(bytes, kLevel, cores(), kSmallestPart);
    }
    std::string z = zlibLevel9(bytes);
    std::string d = zlibStreamInParts(bytes, 12, 1, 0);
    return !d.empty() && (z.empty() || d.size() < z.size()) ? d : z;
}

// The zlib stream of a table's file text. A large table's text is written
// and compressed in parts, a thread a core, each thread compressing the part
// it wrote and writing its next part in the same memory: the whole text is
// never held at once.
std::string compressTable(const MemTable& table)
{
    const int threads = cores();
    if (threads < 2 || table.recordCount() < kPartsFrom)
        return compressText(tableFileText(table));
    const int parts = threads * std::max(1, table.recordCount() / kRecordsPerPart);
    std::vector<DeflatePart> done(static_cast<std::size_t>(parts));
    const int n = tableFileTextInParts(table, parts, threads,
                                       [&done](int i, std::string& piece, bool last) {
                                           done[static_cast<std::size_t>(i)] =
                                               deflatePart(piece, kLevel, last);
                                       });
    done.resize(static_cast<std::size_t>(n));
    std::string stream = joinDeflateParts(done, kLevel);
    // Not expected: the whole text at once then.
    return stream.empty() ? compressText(tableFileText(table)) : stream;
}

// The whole inflated content of a zlib stream, read by libdeflate into a
// buffer that grows until it fits. Damaged or truncated streams, and
// contents beyond kWholeLimit, are left to zlib (false).
struct Inflated {
    LargeBytes bytes;
    std::size_t size = 0;
};

bool inflateWhole(std::string_view stream, Inflated& out)
{
    std::unique_ptr<libdeflate_decompressor, void (*)(libdeflate_decompressor*)> d(
        libdeflate_alloc_decompressor(), &libdeflate_free_decompressor);
    if (!d)
        return false;
    const std::size_t most = std::min(kWholeLimit, stream.size() * kWholeRatio + 4096);
    std::size_t room = std::min(most, stream.size() * 8 + 4096);
    for (;;) {
        out.bytes.reset(room);
        const libdeflate_result r = libdeflate_zlib_decompress(
            d.get(), stream.data(), stream.size(), out.bytes.get(), room, &out.size);
        if (r == LIBDEFLATE_SUCCESS)
            return true;
        if (r != LIBDEFLATE_INSUFFICIENT_SPACE || room >= most)
            return false;
        room = std::min(most, room * 4);
    }
}

// How a reading in pieces ended.
enum class PiecesEnd { Complete, Damaged, LineTooLong, Taken };

// zlib's inflater over the stream, handing the text to `take` in pieces of
// whole lines, until `take` says no more (Taken). The lines before damage or
// before a line of more than kMaxLine bytes have been handed on; the long
// line is not gathered beyond that size.
template <class Take>
PiecesEnd inflatePieces(std::string_view stream, Take take)
{
    z_stream z{};
    if (inflateInit(&z) != Z_OK)
        return PiecesEnd::Damaged;
    std::string raw;  // inflated text not yet handed on
    std::size_t unbroken = 0;  // bytes at the start of `raw` known to hold no line break
    char block[4096];
    std::size_t fed = 0;
    bool done = false, damaged = false, more = true, tooLong = false;
    // Hands on the whole lines of `raw` (all of it at the end).
    auto handOn = [&](bool all) {
        std::size_t cut = raw.size();
        if (!all) {
            while (cut > unbroken && !isTableLineBreak(raw[cut - 1]))
                --cut;
            if (cut == unbroken) {
                cut = 0;  // no line ends yet
                unbroken = raw.size();
                tooLong = raw.size() > kMaxLine;
                return;
            }
        }
        more = take(std::string_view(raw).substr(0, cut));
        raw.erase(0, cut);
        unbroken = 0;
    };
    while (!done && !damaged && more && !tooLong) {
        if (z.avail_in == 0 && fed < stream.size()) {
            const std::size_t n = std::min<std::size_t>(stream.size() - fed, 1u << 30);
            z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(stream.data() + fed));
            z.avail_in = static_cast<uInt>(n);
            fed += n;
        }
        z.next_out = reinterpret_cast<Bytef*>(block);
        z.avail_out = sizeof block;
        const int rc = inflate(&z, Z_NO_FLUSH);
        raw.append(block, sizeof block - z.avail_out);
        if (rc == Z_STREAM_END)
            done = true;
        else if (rc != Z_OK && !(rc == Z_BUF_ERROR && z.avail_in == 0 && fed < stream.size()))
            damaged = true;  // a damaged stream, or its end missing
        if (raw.size() >= unbroken + kPiece)
            handOn(false);
    }
    inflateEnd(&z);
    if (tooLong)
        return PiecesEnd::LineTooLong;
    if (more)
        handOn(done);
    if (!more)
        return PiecesEnd::Taken;
    return done ? PiecesEnd::Complete : PiecesEnd::Damaged;
}

// The bytes of a file; false (with the result saying why) when it is missing
// or cannot be read. `readError` is set when reading failed part way, and
// `bytes` then holds what was read.
bool readFile(const std::string& path, std::string& bytes, LoadResult& result, bool& readError)
{
    readError = false;
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> f(std::fopen(path.c_str(), "rb"),
                                                       &std::fclose);
    if (!f) {
        if (errno == ENOENT) {
            result.status = LoadResult::Status::Missing;
        } else {
            result.status = LoadResult::Status::CannotRead;
            result.reason = std::strerror(errno);
        }
        return false;
    }
    // A folder (or a device) opens like a file but has no size to read: its
    // end lies at an offset that no memory could hold.
    struct stat st {};
    if (fstat(fileno(f.get()), &st) != 0 || !S_ISREG(st.st_mode)) {
        result.status = LoadResult::Status::CannotRead;
        result.reason = S_ISDIR(st.st_mode) ? "είναι φάκελος, όχι αρχείο" : "δεν είναι αρχείο";
        return false;
    }
    if (std::fseek(f.get(), 0, SEEK_END) == 0) {
        const long size = std::ftell(f.get());
        if (size > 0)
            bytes.reserve(static_cast<std::size_t>(size));
        std::rewind(f.get());
    }
    char buf[1 << 16];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f.get())) > 0)
        bytes.append(buf, n);
    readError = std::ferror(f.get()) != 0;
    return true;
}

}  // namespace

std::string GPSCompressSave(std::string_view bytes)
{
    return compressText(bytes);
}

bool GPSDecompressLoad(std::string_view stream, std::string& out)
{
    out.clear();
    Inflated whole;
    if (inflateWhole(stream, whole)) {
        out.assign(whole.bytes.get(), whole.size);
        return true;
    }
    // zlib says how far the stream inflates before the damage.
    z_stream z{};
    if (inflateInit(&z) != Z_OK)
        return false;
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(stream.data()));
    z.avail_in = static_cast<uInt>(std::min<std::size_t>(stream.size(), 0xFFFFFFFFu));
    char block[4096];
    int rc = Z_OK;
    while (rc == Z_OK) {
        z.next_out = reinterpret_cast<Bytef*>(block);
        z.avail_out = sizeof block;
        rc = inflate(&z, Z_NO_FLUSH);
        out.append(block, sizeof block - z.avail_out);
        if (rc == Z_BUF_ERROR && z.avail_in == 0)
            break;  // the input ended before the stream did
        if (out.size() >= kWholeLimit)
            break;  // no table text is that large; the stream is not believed
    }
    inflateEnd(&z);
    return rc == Z_STREAM_END;
}

SaveResult SaveToFile(const MemTable& table, const std::string& path)
{
    SaveResult result;
    const std::string stream = compressTable(table);
    if (stream.empty()) {
        result.ok = false;
        result.error = "Δεν είναι δυνατή η συμπίεση του αρχείου \"" + path + "\"";
        return result;
    }
    result.ok = writeFileAtomically(path, stream, result.error);
    return result;
}

bool readFileText(const std::string& path, std::string& text, LoadResult& result)
{
    text.clear();
    result = LoadResult{};
    std::string bytes;
    bool readError = false;
    if (!readFile(path, bytes, result, readError))
        return false;
    if (readError) {
        result.status = LoadResult::Status::CannotRead;
        result.reason = "σφάλμα ανάγνωσης";
        return false;
    }
    std::string raw;
    if (GPSDecompressLoad(bytes, raw)) {
        text = cp1253ToUtf8(raw);
        return true;
    }
    const bool tooLarge = raw.size() >= kWholeLimit;
    // Keep the lines that inflated completely.
    std::size_t keep = raw.size();
    while (keep > 0 && !isTableLineBreak(raw[keep - 1]))
        --keep;
    raw.resize(keep);
    text = cp1253ToUtf8(raw);
    result.status = LoadResult::Status::Stopped;
    result.reason = tooLarge ? kTooLarge : kDamaged;
    return false;
}

LoadResult LoadFromFile(MemTable& table, const std::string& path)
{
    LoadResult result;
    std::string bytes;
    bool readError = false;
    if (!readFile(path, bytes, result, readError))
        return result;
    TableTextReader reader(table, TextCoding::Cp1253);
    Inflated whole;
    if (!readError && inflateWhole(bytes, whole)) {
        // A record a line: memory for all of them is reserved at once. A
        // line written for a record holds at least a comma per field, which
        // bounds the count for a text of empty lines.
        std::size_t lines = 0;
        for (const char *p = whole.bytes.get(), *end = p + whole.size;
             (p = static_cast<const char*>(std::memchr(p, '\n', static_cast<std::size_t>(end - p))));
             ++p)
            ++lines;
        const std::size_t shortest = static_cast<std::size_t>(table.fieldCount()) + 2;
        table.reserveRecords(std::min(lines, whole.size / shortest + 1));
        reader.feed(std::string_view(whole.bytes.get(), whole.size));
        return reader.result;
    }
    whole.bytes.clear();
    // Damaged, cut short or very large: zlib reads as far as it can, and
    // the lines that inflated completely are kept.
    const PiecesEnd end =
        inflatePieces(bytes, [&reader](std::string_view lines) { return reader.feed(lines); });
    if (!reader.stopped() && end != PiecesEnd::Complete) {
        reader.result.status = LoadResult::Status::Stopped;
        reader.result.line = reader.lines() + 1;
        reader.result.reason = end == PiecesEnd::LineTooLong ? std::string(kLineTooLong)
                               : readError                    ? std::string("σφάλμα ανάγνωσης")
                                                              : std::string(kDamaged);
    }
    return reader.result;
}

}  // namespace korthal
