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

std::string tableText(const MemTable& t)
{
    const int nf = t.fieldCount();
    std::string out;
    out.reserve(static_cast<std::size_t>(t.recordCount()) * static_cast<std::size_t>(nf) * 12 + 256);
    for (int f = 0; f < nf; ++f) {
        appendQuoted(out, t.field(f).displayName());
        out += ',';
    }
    out += "\r\n";
    const Rec last = t.lastStored();
    for (Rec r = t.firstStored(); r != NoRec; r = t.nextStored(r)) {
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
        if (r == last)
            out.pop_back();
        out += "\r\n";
    }
    return out;
}

LoadResult readTableText(MemTable& t, std::string_view text)
{
    LoadResult result;
    const int nf = t.fieldCount();
    const bool byID = nf > 0 && t.field(0).name.rfind("ID", 0) == 0;
    const int idField = t.idField();

    struct Assignment {
        int field;
        Value value;
    };
    std::vector<Assignment> staged;
    std::string item;

    t.disableControls();
    std::size_t pos = 0;
    bool header = true;
    int lineNo = 0;
    while (pos < text.size()) {
        while (pos < text.size() && isBreak(text[pos]))
            ++pos;
        if (pos >= text.size())
            break;
        std::size_t end = pos;
        while (end < text.size() && !isBreak(text[end]))
            ++end;
        const std::string_view line = text.substr(pos, end - pos);
        pos = end;
        if (header) {
            header = false;
            continue;
        }
        ++lineNo;

        staged.clear();
        std::size_t p = 0;
        bool null = false;
        bool failed = false;
        Rec target = NoRec;
        for (int f = 0; f < nf && nextItem(line, p, null, item); ++f) {
            const FieldDef& def = t.field(f);
            if (def.calculated)
                continue;
            Value v;
            if (!null) {
                if (def.isText()) {
                    v = unescape(item);
                } else if (!t.parseText(f, item, kFileDecimal, v)) {
                    result.reason = "μη αποδεκτή τιμή \"" + item + "\" για το πεδίο " + def.name;
                    failed = true;
                    break;
                }
            }
            if (f == 0 && byID && !isNull(v)) {
                if (const long long* id = std::get_if<long long>(&v))
                    target = t.findID(*id);
            }
            // A record keeps its own ID when the line gives none.
            if (f == idField && isNull(v))
                continue;
            staged.push_back({f, std::move(v)});
        }
        if (failed) {
            result.status = LoadResult::Status::Stopped;
            result.line = lineNo;
            break;
        }
        if (target == NoRec)
            target = t.appendRecord();
        for (const Assignment& a : staged)
            t.setValue(target, a.field, a.value);
        ++result.records;
    }
    t.enableControls();
    return result;
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
    std::string tmp = path + ".XXXXXX";
    const int fd = mkstemp(tmp.data());
    if (fd < 0) {
        error = systemError(path, errno);
        return false;
    }
    // The new file gets the old one's permissions, or the usual ones.
    struct stat st {};
    if (stat(path.c_str(), &st) == 0) {
        fchmod(fd, st.st_mode & 07777);
    } else {
        const mode_t mask = umask(0);
        umask(mask);
        fchmod(fd, 0666 & ~mask);
    }
    const char* p = data.data();
    std::size_t left = data.size();
    int err = 0;
    while (left > 0) {
        const ssize_t n = write(fd, p, left);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            err = errno;
            break;
        }
        p += n;
        left -= static_cast<std::size_t>(n);
    }
    if (!err && fsync(fd) != 0)
        err = errno;
    if (close(fd) != 0 && !err)
        err = errno;
    if (!err && std::rename(tmp.c_str(), path.c_str()) != 0)
        err = errno;
    if (err) {
        unlink(tmp.c_str());
        error = systemError(path, err);
        return false;
    }
    return true;
}

SaveResult SaveToFile(const MemTable& table, const std::string& path)
{
    SaveResult result;
    const std::string data = GPSCompressSave(utf8ToCp1253(tableText(table)));
    if (data.empty()) {
        result.ok = false;
        result.error = "Δεν είναι δυνατή η συμπίεση του αρχείου \"" + path + "\"";
        return result;
    }
    result.ok = writeFileAtomically(path, data, result.error);
    return result;
}

bool readFileText(const std::string& path, std::string& text, LoadResult& result)
{
    text.clear();
    result = LoadResult{};
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) {
        if (errno == ENOENT) {
            result.status = LoadResult::Status::Missing;
        } else {
            result.status = LoadResult::Status::CannotRead;
            result.reason = std::strerror(errno);
        }
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
    std::string text;
    LoadResult pre;
    const bool complete = readFileText(path, text, pre);
    if (pre.status == LoadResult::Status::Missing || pre.status == LoadResult::Status::CannotRead)
        return pre;
    LoadResult result = readTableText(table, text);
    if (!complete && result.ok()) {
        result.status = LoadResult::Status::Stopped;
        result.line = result.records + 1;
        result.reason = pre.reason;
    }
    return result;
}

}  // namespace korthal
