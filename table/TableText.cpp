// Writing the table text. Reading it is in TableTextReader.cpp.

#include "table/TableText.h"

#include "table/Cp1253.h"
#include "table/MemTableInternal.h"
#include "table/PlainNumber.h"

#include <charconv>

namespace korthal {

namespace {

bool isAscii(std::string_view s)
{
    for (char c : s)
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    return true;
}

// The escapes of string and memo texts, and the quoting's doubled quotes.
void appendEscapedBytes(std::string& out, std::string_view s)
{
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
        out.append(s.data() + from, i - from);
        out.append(escape, 2);
        from = i + 1;
    }
    out.append(s.data() + from, s.size() - from);
}

void appendEscaped(std::string& out, std::string_view s, TextCoding coding)
{
    if (coding == TextCoding::Utf8 || isAscii(s)) {
        appendEscapedBytes(out, s);
        return;
    }
    // The escaped characters are ASCII, so converting first changes nothing
    // about them.
    thread_local std::string converted;
    converted.clear();
    appendUtf8AsCp1253(converted, s);
    appendEscapedBytes(out, converted);
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

// dd/mm/yyyy.
void appendDate(std::string& out, const Date& d)
{
    if (d.day < 0 || d.day > 99 || d.month < 0 || d.month > 99 || d.year < 0 || d.year > 9999) {
        char buf[48];
        const int n = std::snprintf(buf, sizeof buf, "%02d/%02d/%04d", d.day, d.month, d.year);
        out.append(buf, static_cast<std::size_t>(n));
        return;
    }
    const char text[10] = {char('0' + d.day / 10),     char('0' + d.day % 10),      '/',
                           char('0' + d.month / 10),   char('0' + d.month % 10),    '/',
                           char('0' + d.year / 1000),  char('0' + d.year / 100 % 10),
                           char('0' + d.year / 10 % 10), char('0' + d.year % 10)};
    out.append(text, sizeof text);
}

}  // namespace

// The columns of a table, read without the checks of its getters: the
// writer visits live records and data fields only.
struct TableTextAccess {
    static const MemTable::Column* column(const MemTable& t, int f)
    {
        return t.columns_[static_cast<std::size_t>(f)].get();
    }
    static std::string_view text(const MemTable& t, const MemTable::Column& c, Rec r)
    {
        return t.pool_[static_cast<std::uint32_t>(c.ints[r])];
    }
};

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
    const int nf = t.fieldCount();
    for (int f = 0; f < nf; ++f) {
        const auto* col = TableTextAccess::column(t, f);
        if (!col || col->null(r)) {
            out += ',';
            continue;
        }
        const FieldDef& def = t.field(f);
        out += '"';
        switch (def.type) {
        case FieldType::AutoInc:
        case FieldType::Integer: {
            char buf[16];
            out.append(buf, std::to_chars(buf, buf + sizeof buf, col->ints[r]).ptr);
            break;
        }
        case FieldType::Float:
            appendGeneral(out, col->floats[r], kTableDecimal);
            break;
        case FieldType::Boolean:
            appendEscaped(out, col->ints[r] != 0 ? def.trueText : def.falseText, coding);
            break;
        case FieldType::Date:
            appendDate(out, Date::fromSerial(col->ints[r]));
            break;
        case FieldType::String:
        case FieldType::Memo:
            appendEscaped(out, TableTextAccess::text(t, *col, r), coding);
            break;
        }
        out += "\",";
    }
    if (last)
        out.pop_back();
    out += "\r\n";
}

namespace {

std::string wholeText(const MemTable& t, TextCoding coding)
{
    std::string out;
    out.reserve(static_cast<std::size_t>(t.recordCount()) *
                    static_cast<std::size_t>(t.fieldCount()) * 8 + 256);
    appendTableHeader(out, t, coding);
    const Rec last = t.lastStored();
    for (Rec r = t.firstStored(); r != NoRec; r = t.nextStored(r))
        appendTableRecordLine(out, t, r, r == last, coding);
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

LoadResult readTableText(MemTable& t, std::string_view text)
{
    TableTextReader reader(t);
    reader.feed(text);
    return reader.result;
}

}  // namespace korthal
