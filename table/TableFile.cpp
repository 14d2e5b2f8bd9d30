#include "table/TableFile.h"

#include "table/Cp1253.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <zlib.h>

namespace korthal {

namespace {

// Text is converted and compressed in pieces of about this size.
constexpr std::size_t kPiece = 1 << 20;

}  // namespace

std::string GPSCompressSave(std::string_view bytes)
{
    uLongf size = compressBound(static_cast<uLong>(bytes.size()));
    std::string out(size, '\0');
    const int rc = compress2(reinterpret_cast<Bytef*>(out.data()), &size,
                             reinterpret_cast<const Bytef*>(bytes.data()),
                             static_cast<uLong>(bytes.size()), Z_BEST_COMPRESSION);
    if (rc != Z_OK)
        return {};
    out.resize(size);
    return out;
}

bool GPSDecompressLoad(std::string_view stream, std::string& out)
{
    out.clear();
    z_stream z{};
    if (inflateInit(&z) != Z_OK)
        return false;
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(stream.data()));
    z.avail_in = static_cast<uInt>(stream.size());
    char block[4096];
    int rc = Z_OK;
    while (rc == Z_OK) {
        z.next_out = reinterpret_cast<Bytef*>(block);
        z.avail_out = sizeof block;
        rc = inflate(&z, Z_NO_FLUSH);
        out.append(block, sizeof block - z.avail_out);
        if (rc == Z_BUF_ERROR && z.avail_in == 0)
            break;  // the input ended before the stream did
    }
    inflateEnd(&z);
    return rc == Z_STREAM_END;
}

SaveResult SaveToFile(const MemTable& table, const std::string& path, Search search)
{
    SaveResult result;
    AtomicFile file(path);
    z_stream z{};
    if (deflateInit(&z, Z_BEST_COMPRESSION) != Z_OK ||
        (search == Search::Quick && deflateTune(&z, 32, 258, 258, 256) != Z_OK)) {
        result.ok = false;
        result.error = "Δεν είναι δυνατή η συμπίεση του αρχείου \"" + path + "\"";
        return result;
    }
    std::string out(1 << 18, '\0');
    // Compresses one piece of code page 1253 text and writes what comes out.
    auto push = [&](const std::string& bytes, int flush) {
        z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.data()));
        z.avail_in = static_cast<uInt>(bytes.size());
        int rc = Z_OK;
        do {
            z.next_out = reinterpret_cast<Bytef*>(out.data());
            z.avail_out = static_cast<uInt>(out.size());
            rc = deflate(&z, flush);
            file.write(std::string_view(out.data(), out.size() - z.avail_out));
        } while (rc == Z_OK && (z.avail_out == 0 || z.avail_in > 0 || flush == Z_FINISH));
        return flush == Z_FINISH ? rc == Z_STREAM_END : rc == Z_OK || rc == Z_BUF_ERROR;
    };
    std::string text;
    appendTableHeader(text, table);
    const Rec last = table.lastStored();
    bool ok = true;
    for (Rec r = table.firstStored(); ok && r != NoRec; r = table.nextStored(r)) {
        appendTableRecordLine(text, table, r, r == last);
        if (text.size() >= kPiece) {
            ok = push(utf8ToCp1253(text), Z_NO_FLUSH);
            text.clear();
        }
    }
    ok = ok && push(utf8ToCp1253(text), Z_FINISH);
    deflateEnd(&z);
    if (!ok) {
        result.ok = false;
        result.error = "Δεν είναι δυνατή η συμπίεση του αρχείου \"" + path + "\"";
        return result;
    }
    result.ok = file.commit(result.error);
    return result;
}

// Opens a table file for reading; on failure `result` says whether it is
// missing (silent for the callers) or cannot be read, and why.
static std::FILE* openTableFile(const std::string& path, LoadResult& result)
{
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) {
        if (errno == ENOENT) {
            result.status = LoadResult::Status::Missing;
        } else {
            result.status = LoadResult::Status::CannotRead;
            result.reason = std::strerror(errno);
        }
    }
    return f;
}

bool readFileText(const std::string& path, std::string& text, LoadResult& result)
{
    text.clear();
    result = LoadResult{};
    std::FILE* f = openTableFile(path, result);
    if (!f) {
        return false;
    }
    std::string bytes;
    char buf[65536];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0)
        bytes.append(buf, n);
    const bool readError = std::ferror(f) != 0;
    std::fclose(f);
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
    // Keep the lines that inflated completely.
    std::size_t keep = raw.size();
    while (keep > 0 && !isTableLineBreak(raw[keep - 1]))
        --keep;
    raw.resize(keep);
    text = cp1253ToUtf8(raw);
    result.status = LoadResult::Status::Stopped;
    result.reason = "τα συμπιεσμένα δεδομένα του αρχείου είναι κατεστραμμένα ή ελλιπή";
    return false;
}

LoadResult LoadFromFile(MemTable& table, const std::string& path)
{
    LoadResult result;
    std::FILE* f = openTableFile(path, result);
    if (!f) {
        return result;
    }
    z_stream z{};
    if (inflateInit(&z) != Z_OK) {
        std::fclose(f);
        result.status = LoadResult::Status::CannotRead;
        result.reason = "σφάλμα αποσυμπίεσης";
        return result;
    }
    TableTextReader reader(table);
    std::string in(1 << 16, '\0');
    char block[4096];
    std::string raw;  // inflated code page 1253 text not yet read
    bool atEnd = false, streamEnd = false, damaged = false, readError = false;
    // Reads the whole lines of `raw` (all of it at the end).
    auto readLines = [&](bool all) {
        std::size_t cut = raw.size();
        if (!all) {
            while (cut > 0 && !isTableLineBreak(raw[cut - 1]))
                --cut;
        }
        reader.feed(cp1253ToUtf8(std::string_view(raw).substr(0, cut)));
        raw.erase(0, cut);
    };
    while (!streamEnd && !damaged && !reader.stopped()) {
        if (z.avail_in == 0 && !atEnd) {
            const std::size_t n = std::fread(in.data(), 1, in.size(), f);
            if (n < in.size()) {
                atEnd = true;
                readError = std::ferror(f) != 0;
            }
            z.next_in = reinterpret_cast<Bytef*>(in.data());
            z.avail_in = static_cast<uInt>(n);
        }
        z.next_out = reinterpret_cast<Bytef*>(block);
        z.avail_out = sizeof block;
        const int rc = inflate(&z, Z_NO_FLUSH);
        raw.append(block, sizeof block - z.avail_out);
        if (rc == Z_STREAM_END)
            streamEnd = true;
        else if (rc != Z_OK && !(rc == Z_BUF_ERROR && z.avail_in == 0 && !atEnd))
            damaged = true;
        if (raw.size() >= kPiece)
            readLines(false);
    }
    inflateEnd(&z);
    std::fclose(f);
    if (!reader.stopped()) {
        readLines(streamEnd);
        if (!streamEnd && !reader.stopped()) {
            reader.result.status = LoadResult::Status::Stopped;
            reader.result.line = reader.lines() + 1;
            reader.result.reason =
                readError ? std::string("σφάλμα ανάγνωσης")
                          : "τα συμπιεσμένα δεδομένα του αρχείου είναι κατεστραμμένα ή ελλιπή";
        }
    }
    return reader.result;
}

}  // namespace korthal