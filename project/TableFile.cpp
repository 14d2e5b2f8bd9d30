#include "project/TableFile.h"

#include "network/NumberText.h"
#include "project/Cp1253.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

namespace korthal {

namespace {

constexpr char kFileDecimal = ',';

void appendEscaped(std::string& out, std::string_view s)
{
    for (char c : s) {
        switch (c) {
        case '%': out += "%%"; break;
        case '\r': out += "%c"; break;
        case '\n': out += "%n"; break;
        case '\0': out += "%0"; break;
        case '"': out += "\"\""; break;  // the quoting's doubling
        default: out += c; break;
        }
    }
}

void appendQuoted(std::string& out, std::string_view s)
{
    out += '"';
    for (char c : s) {
        if (c == '"')
            out += '"';
        out += c;
    }
    out += '"';
}

std::string unescape(std::string_view s)
{
    std::string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '%' && i + 1 < s.size()) {
            switch (s[i + 1]) {
            case '%': out += '%'; ++i; continue;
            case 'c': out += '\r'; ++i; continue;
            case 'n': out += '\n'; ++i; continue;
            case '0': out += '\0'; ++i; continue;
            default: break;  // any other "%x" stays as it is
            }
        }
        out += s[i];
    }
    return out;
}

bool isBreak(char c)
{
    return c == '\r' || c == '\n' || c == '\0';
}

// One item of a record line, from `pos`. Returns false at the end of the line.
bool nextItem(std::string_view line, std::size_t& pos, bool& null, std::string& text)
{
    while (pos < line.size() && line[pos] != '"' && line[pos] != ',')
        ++pos;
    if (pos >= line.size())
        return false;
    text.clear();
    if (line[pos] == ',') {
        ++pos;
        null = true;
        return true;
    }
    null = false;
    ++pos;  // the opening quote
    while (pos < line.size()) {
        if (line[pos] == '"') {
            if (pos + 1 < line.size() && line[pos + 1] == '"') {
                text += '"';
                pos += 2;
                continue;
            }
            pos += 2;  // the closing quote and the separator after it
            return true;
        }
        text += line[pos++];
    }
    return true;  // a quote left open runs to the end of the line
}

std::string systemError(const std::string& path, int err)
{
    return "Δεν είναι δυνατή η εγγραφή του αρχείου \"" + path + "\": " + std::strerror(err);
}

}  // namespace

std::string LoadResult::message(const std::string& path) const
{
    switch (status) {
    case Status::Ok:
    case Status::Missing:
        return {};
    case Status::CannotRead:
        return "Το αρχείο \"" + path + "\" δεν διαβάζεται: " + reason;
    case Status::Stopped:
        return "Το αρχείο \"" + path + "\" δεν διαβάστηκε ολόκληρο. Διαβάστηκαν " +
               std::to_string(records) + " εγγραφές· η ανάγνωση σταμάτησε στη γραμμή δεδομένων " +
               std::to_string(line) + ": " + reason;
    }
    return {};
}

namespace {

void appendHeader(std::string& out, const MemTable& t)
{
    for (int f = 0; f < t.fieldCount(); ++f) {
        appendQuoted(out, t.field(f).displayName());
        out += ',';
    }
    out += "\r\n";
}

void appendRecordLine(std::string& out, const MemTable& t, Rec r, bool last)
{
    const int nf = t.fieldCount();
    for (int f = 0; f < nf; ++f) {
        const FieldDef& def = t.field(f);
        if (def.calculated || t.isNull(r, f)) {
            out += ',';
            continue;
        }
        out += '"';
        switch (def.type) {
        case FieldType::AutoInc:
        case FieldType::Integer:
            out += std::to_string(t.getInteger(r, f));
            break;
        case FieldType::Float:
            out += generalFormat(static_cast<Extended>(t.getFloat(r, f)), kFileDecimal);
            break;
        case FieldType::Boolean:
            appendEscaped(out, t.getBoolean(r, f) ? def.trueText : def.falseText);
            break;
        case FieldType::Date: {
            const Date d = t.getDate(r, f);
            char buf[24];
            std::snprintf(buf, sizeof buf, "%02d/%02d/%04d", d.day, d.month, d.year);
            out += buf;
            break;
        }
        case FieldType::String:
        case FieldType::Memo:
            appendEscaped(out, t.getStringView(r, f));
            break;
        }
        out += "\",";
    }
    if (last)
        out.pop_back();
    out += "\r\n";
}

// Reads table text line by line into a table; the lines may come in pieces
// of whole lines.
class TextReader {
public:
    explicit TextReader(MemTable& t)
        : t_(t), nf_(t.fieldCount()),
          byID_(nf_ > 0 && t.field(0).name.rfind("ID", 0) == 0), idField_(t.idField())
    {
        t_.disableControls();
    }
    ~TextReader() { t_.enableControls(); }
    TextReader(const TextReader&) = delete;
    TextReader& operator=(const TextReader&) = delete;

    bool stopped() const { return result.status != LoadResult::Status::Ok; }

    // Reads the lines of `text`; false once reading has stopped.
    bool feed(std::string_view text)
    {
        std::size_t pos = 0;
        while (!stopped() && pos < text.size()) {
            while (pos < text.size() && isBreak(text[pos]))
                ++pos;
            if (pos >= text.size())
                break;
            std::size_t end = pos;
            while (end < text.size() && !isBreak(text[end]))
                ++end;
            line(text.substr(pos, end - pos));
            pos = end;
        }
        return !stopped();
    }

    // The number of record lines seen.
    int lines() const { return lineNo_; }

    LoadResult result;

private:
    void line(std::string_view line)
    {
        if (header_) {
            // Definition sections that other writers of this format put
            // before the header are passed over.
            if (line.rfind("@@FILE VERSION@@", 0) == 0)
                return;
            if (inDefinition_ ||
                (line.rfind("@@", 0) == 0 && line.find("START@@") != std::string_view::npos)) {
                inDefinition_ = line.find("END@@") == std::string_view::npos;
                return;
            }
            header_ = false;
            return;
        }
        ++lineNo_;

        staged_.clear();
        std::size_t p = 0;
        bool null = false;
        Rec target = NoRec;
        for (int f = 0; f < nf_ && nextItem(line, p, null, item_); ++f) {
            const FieldDef& def = t_.field(f);
            if (def.calculated)
                continue;
            Value v;
            if (!null) {
                if (def.isText()) {
                    v = unescape(item_);
                } else if (!t_.parseText(f, item_, kFileDecimal, v)) {
                    result.reason = "μη αποδεκτή τιμή \"" + item_ + "\" για το πεδίο " + def.name;
                    result.status = LoadResult::Status::Stopped;
                    result.line = lineNo_;
                    return;
                }
            }
            if (f == 0 && byID_ && !isNull(v)) {
                if (const long long* id = std::get_if<long long>(&v))
                    target = t_.findID(*id);
            }
            // A record keeps its own ID when the line gives none.
            if (f == idField_ && isNull(v))
                continue;
            staged_.push_back({f, std::move(v)});
        }
        if (target == NoRec)
            target = t_.appendRecord();
        for (const Assignment& a : staged_)
            t_.setValue(target, a.field, a.value);
        ++result.records;
    }

    struct Assignment {
        int field;
        Value value;
    };

    MemTable& t_;
    const int nf_;
    const bool byID_;
    const int idField_;
    bool header_ = true;
    bool inDefinition_ = false;
    int lineNo_ = 0;
    std::vector<Assignment> staged_;
    std::string item_;
};

// A new file beside `path` that replaces it on commit().
class AtomicFile {
public:
    explicit AtomicFile(const std::string& path) : path_(path), tmp_(path + ".XXXXXX")
    {
        fd_ = mkstemp(tmp_.data());
        if (fd_ < 0) {
            err_ = errno;
            return;
        }
        // The new file gets the old one's permissions, or the usual ones.
        struct stat st {};
        if (stat(path.c_str(), &st) == 0) {
            fchmod(fd_, st.st_mode & 07777);
        } else {
            const mode_t mask = umask(0);
            umask(mask);
            fchmod(fd_, 0666 & ~mask);
        }
    }
    ~AtomicFile()
    {
        if (fd_ >= 0) {
            close(fd_);
            unlink(tmp_.c_str());
        }
    }
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    bool write(std::string_view data)
    {
        while (!err_ && !data.empty()) {
            const ssize_t n = ::write(fd_, data.data(), data.size());
            if (n < 0) {
                if (errno != EINTR)
                    err_ = errno;
                continue;
            }
            data.remove_prefix(static_cast<std::size_t>(n));
        }
        return !err_;
    }

    // Flushes, closes and renames over the target; false (and the target
    // untouched) on any failure.
    bool commit(std::string& error)
    {
        if (!err_ && fsync(fd_) != 0)
            err_ = errno;
        if (fd_ >= 0 && close(fd_) != 0 && !err_)
            err_ = errno;
        fd_ = -1;
        if (!err_ && std::rename(tmp_.c_str(), path_.c_str()) != 0)
            err_ = errno;
        if (err_) {
            unlink(tmp_.c_str());
            error = systemError(path_, err_);
            return false;
        }
        return true;
    }

private:
    std::string path_;
    std::string tmp_;
    int fd_ = -1;
    int err_ = 0;
};

// Text is converted and compressed in pieces of about this size.
constexpr std::size_t kPiece = 1 << 20;

}  // namespace

std::string tableText(const MemTable& t)
{
    std::string out;
    out.reserve(static_cast<std::size_t>(t.recordCount()) *
                    static_cast<std::size_t>(t.fieldCount()) * 12 + 256);
    appendHeader(out, t);
    const Rec last = t.lastStored();
    for (Rec r = t.firstStored(); r != NoRec; r = t.nextStored(r))
        appendRecordLine(out, t, r, r == last);
    return out;
}

LoadResult readTableText(MemTable& t, std::string_view text)
{
    TextReader reader(t);
    reader.feed(text);
    return reader.result;
}

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

bool writeFileAtomically(const std::string& path, std::string_view data, std::string& error)
{
    AtomicFile file(path);
    file.write(data);
    return file.commit(error);
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
    appendHeader(text, table);
    const Rec last = table.lastStored();
    bool ok = true;
    for (Rec r = table.firstStored(); ok && r != NoRec; r = table.nextStored(r)) {
        appendRecordLine(text, table, r, r == last);
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
    while (keep > 0 && !isBreak(raw[keep - 1]))
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
    TextReader reader(table);
    std::string in(1 << 16, '\0');
    char block[4096];
    std::string raw;  // inflated code page 1253 text not yet read
    bool atEnd = false, streamEnd = false, damaged = false, readError = false;
    // Reads the whole lines of `raw` (all of it at the end).
    auto readLines = [&](bool all) {
        std::size_t cut = raw.size();
        if (!all) {
            while (cut > 0 && !isBreak(raw[cut - 1]))
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
