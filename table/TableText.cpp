// Writing the table text. Reading it is in TableTextReader.cpp.

#include "table/TableText.h"

#include "table/Cp1253.h"
#include "table/LargeMemory.h"
#include "table/MemTableInternal.h"
#include "table/PlainNumber.h"

#include <charconv>
#include <cstdio>
#include <cstring>
#include <functional>
#include <thread>

namespace korthal {

namespace {

bool isAscii(std::string_view s)
{
    for (char c : s)
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    return true;
}

void appendQuoted(std::string& out, std::string_view s, TextCoding coding)
{
    std::string text;
    if (coding == TextCoding::Cp1253 && !isAscii(s)) {
        appendUtf8AsCp1253(text, s);
        s = text;
    }
    out += '"';
    for (char c : s) {
        if (c == '"')
            out += '"';
        out += c;
    }
    out += '"';
}

// dd/mm/yyyy, at `to` (room for 48 bytes).
char* writeDate(char* to, const Date& d)
{
    if (d.day < 0 || d.day > 99 || d.month < 0 || d.month > 99 || d.year < 0 || d.year > 9999)
        return to + std::snprintf(to, 48, "%02d/%02d/%04d", d.day, d.month, d.year);
    const char text[10] = {char('0' + d.day / 10),       char('0' + d.day % 10),        '/',
                           char('0' + d.month / 10),     char('0' + d.month % 10),      '/',
                           char('0' + d.year / 1000),    char('0' + d.year / 100 % 10),
                           char('0' + d.year / 10 % 10), char('0' + d.year % 10)};
    std::memcpy(to, text, sizeof text);
    return to + sizeof text;
}

}  // namespace

// Appends to a string through a buffer of its own: a record line is made of
// many small pieces.
class TableTextSink {
public:
    explicit TableTextSink(std::string& out) : out_(out) {}
    ~TableTextSink() { flush(); }
    TableTextSink(const TableTextSink&) = delete;
    TableTextSink& operator=(const TableTextSink&) = delete;

    void put(char c)
    {
        if (n_ == kSize)
            flush();
        buf_[n_++] = c;
    }
    void put(std::string_view s)
    {
        if (s.size() > kSize - n_) {
            flush();
            if (s.size() > kSize) {
                out_.append(s);
                return;
            }
        }
        std::memcpy(buf_ + n_, s.data(), s.size());
        n_ += s.size();
    }
    // Room to write up to n (at most 64) bytes; used() says where they end.
    char* room(std::size_t n)
    {
        if (kSize - n_ < n)
            flush();
        return buf_ + n_;
    }
    void used(const char* end) { n_ = static_cast<std::size_t>(end - buf_); }
    // Takes back the last byte written.
    void unput()
    {
        if (n_ > 0)
            --n_;
        else
            out_.pop_back();
    }
    void flush()
    {
        out_.append(buf_, n_);
        n_ = 0;
    }

    // The escapes of string and memo texts, and the quoting's doubled quotes.
    void putEscaped(std::string_view s, TextCoding coding)
    {
        if (coding == TextCoding::Cp1253 && !isAscii(s)) {
            // The escaped characters are ASCII: converting first changes
            // nothing about them.
            converted_.clear();
            appendUtf8AsCp1253(converted_, s);
            s = converted_;
        }
        std::size_t from = 0;
        for (std::size_t i = 0; i < s.size(); ++i) {
            const char* escape = nullptr;
            switch (s[i]) {
            case '%': escape = "%%"; break;
            case '\r': escape = "%c"; break;
            case '\n': escape = "%n"; break;
            case '\0': escape = "%0"; break;
            case '"': escape = "\"\""; break;
            default: continue;
            }
            put(s.substr(from, i - from));
            put(std::string_view(escape, 2));
            from = i + 1;
        }
        put(s.substr(from));
    }

private:
    static constexpr std::size_t kSize = 1 << 14;
    std::string& out_;
    std::string converted_;
    char buf_[kSize];
    std::size_t n_ = 0;
};

// The writer reads the columns of a table without the checks of its
// getters: it visits live records and data fields only.
struct TableTextAccess {
    static void putRecordLine(TableTextSink& out, const MemTable& t, Rec r, bool last,
                              TextCoding coding);
    // The lines of the records from `first` up to (not including) `end` in
    // storage order.
    static void putRecordLines(std::string& out, const MemTable& t, Rec first, Rec end,
                               TextCoding coding);
};

void TableTextAccess::putRecordLine(TableTextSink& out, const MemTable& t, Rec r, bool last,
                                    TextCoding coding)
{
    const int nf = t.fieldCount();
    for (int f = 0; f < nf; ++f) {
        const auto* col = t.columns_[static_cast<std::size_t>(f)].get();
        if (!col || col->null(r)) {
            out.put(',');
            continue;
        }
        const FieldDef& def = t.field(f);
        out.put('"');
        switch (def.type) {
        case FieldType::AutoInc:
        case FieldType::Integer: {
            char* p = out.room(16);
            out.used(std::to_chars(p, p + 16, col->ints[r]).ptr);
            break;
        }
        case FieldType::Float:
            out.used(writeGeneral(out.room(kGeneralMax), col->floats[r], kTableDecimal));
            break;
        case FieldType::Boolean:
            out.putEscaped(col->ints[r] != 0 ? def.trueText : def.falseText, coding);
            break;
        case FieldType::Date:
            out.used(writeDate(out.room(48), Date::fromSerial(col->ints[r])));
            break;
        case FieldType::String:
        case FieldType::Memo:
            out.putEscaped(t.pool_[static_cast<std::uint32_t>(col->ints[r])], coding);
            break;
        }
        out.put('"');
        out.put(',');
    }
    if (last)
        out.unput();
    out.put('\r');
    out.put('\n');
}

void TableTextAccess::putRecordLines(std::string& out, const MemTable& t, Rec first, Rec end,
                                     TextCoding coding)
{
    TableTextSink sink(out);
    const Rec last = t.lastStored();
    for (Rec r = first; r != end; r = t.nextStored(r))
        putRecordLine(sink, t, r, r == last, coding);
}

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

void appendTableHeader(std::string& out, const MemTable& t, TextCoding coding)
{
    for (int f = 0; f < t.fieldCount(); ++f) {
        appendQuoted(out, t.field(f).displayName(), coding);
        out += ',';
    }
    out += "\r\n";
}

void appendTableRecordLine(std::string& out, const MemTable& t, Rec r, bool last,
                           TextCoding coding)
{
    TableTextSink sink(out);
    TableTextAccess::putRecordLine(sink, t, r, last, coding);
}

namespace {

// Tables of this many records are written by two threads, each taking half
// of the records.
constexpr int kHalvesFrom = 20000;

// Bytes a record line takes, from the first records written out: a guess
// at least as large as most lines, so that the text's string is sized once
// (memory reserved and not written costs nothing).
std::size_t bytesPerRecord(const MemTable& t, TextCoding coding)
{
    constexpr int kSample = 512;
    std::string sample;
    Rec r = t.firstStored();
    int n = 0;
    {
        TableTextSink sink(sample);
        for (; r != NoRec && n < kSample; r = t.nextStored(r), ++n)
            TableTextAccess::putRecordLine(sink, t, r, false, coding);
    }
    if (n == 0)
        return 0;
    return sample.size() / static_cast<std::size_t>(n) * 3 / 2 + 16;
}

// Writes the text in `parts` pieces of about as many records, `threads` at
// once, each thread taking every threads-th piece, and hands each piece to
// `use` in the thread that wrote it; a thread writes its next piece into the
// memory of the last one. Returns the pieces written: fewer than asked for a
// table of few records, one at least (the header alone for a table without
// records). With `roomForAll`, the first piece has room for the whole text,
// for the others to be added to it.
int textInParts(const MemTable& t, TextCoding coding, int parts, int threads, bool roomForAll,
                const std::function<void(int, std::string&, bool)>& use)
{
    const int records = t.recordCount();
    parts = std::max(1, std::min(parts, records));
    threads = std::max(1, std::min(threads, parts));
    // The first record of each piece, and NoRec after the last.
    std::vector<Rec> starts{t.firstStored()};
    Rec r = t.firstStored();
    for (int i = 1, at = 0; i < parts; ++i) {
        const int until = static_cast<int>(static_cast<long long>(records) * i / parts);
        for (; at < until; ++at)
            r = t.nextStored(r);
        starts.push_back(r);
    }
    starts.push_back(NoRec);

    const std::size_t perRecord = bytesPerRecord(t, coding);
    // Nothing changes the table while it is written; the threads only read it.
    auto write = [&](int first) {
        std::string piece;
        for (int i = first; i < parts; i += threads) {
            const int room = i == 0 && roomForAll ? records : records / parts + 1;
            piece.clear();
            if (piece.capacity() < static_cast<std::size_t>(room) * perRecord + 4096) {
                piece.reserve(static_cast<std::size_t>(room) * perRecord + 4096);
                adviseLargePagesFor(piece);
            }
            if (i == 0)
                appendTableHeader(piece, t, coding);
            const auto k = static_cast<std::size_t>(i);
            TableTextAccess::putRecordLines(piece, t, starts[k], starts[k + 1], coding);
            use(i, piece, i + 1 == parts);
        }
    };
    std::vector<std::thread> helpers;
    for (int i = 1; i < threads; ++i)
        helpers.emplace_back(write, i);
    write(0);
    for (std::thread& h : helpers)
        h.join();
    return parts;
}

std::string wholeText(const MemTable& t, TextCoding coding)
{
    const int parts =
        t.recordCount() >= kHalvesFrom && std::thread::hardware_concurrency() > 1 ? 2 : 1;
    std::vector<std::string> pieces(static_cast<std::size_t>(parts));
    const int n = textInParts(t, coding, parts, parts, true, [&pieces](int i, std::string& piece, bool) {
        pieces[static_cast<std::size_t>(i)].swap(piece);
    });
    std::string out = std::move(pieces[0]);
    for (int i = 1; i < n; ++i)
        out += pieces[static_cast<std::size_t>(i)];
    return out;
}

}  // namespace

std::string tableText(const MemTable& t)
{
    return wholeText(t, TextCoding::Utf8);
}

std::string tableFileText(const MemTable& t)
{
    return wholeText(t, TextCoding::Cp1253);
}

int tableFileTextInParts(const MemTable& t, int parts, int threads,
                         const std::function<void(int, std::string&, bool)>& use)
{
    return textInParts(t, TextCoding::Cp1253, parts, threads, false, use);
}

LoadResult readTableText(MemTable& t, std::string_view text)
{
    TableTextReader reader(t);
    reader.feed(text);
    return reader.result;
}

}  // namespace korthal
