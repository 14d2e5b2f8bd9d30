#include "table/TableText.h"

#include "table/PlainNumber.h"

namespace korthal {

namespace {


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

void appendTableHeader(std::string& out, const MemTable& t)
{
    for (int f = 0; f < t.fieldCount(); ++f) {
        appendQuoted(out, t.field(f).displayName());
        out += ',';
    }
    out += "\r\n";
}

void appendTableRecordLine(std::string& out, const MemTable& t, Rec r, bool last)
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
            out += generalFormat(static_cast<Extended>(t.getFloat(r, f)), kTableDecimal);
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

TableTextReader::TableTextReader(MemTable& t)
    : t_(t), nf_(t.fieldCount()),
      byID_(nf_ > 0 && t.field(0).name.rfind("ID", 0) == 0), idField_(t.idField())
{
    t_.disableControls();
}

TableTextReader::~TableTextReader()
{
    t_.enableControls();
}

bool TableTextReader::feed(std::string_view text)
{
    std::size_t pos = 0;
    while (!stopped() && pos < text.size()) {
        while (pos < text.size() && isTableLineBreak(text[pos]))
            ++pos;
        if (pos >= text.size())
            break;
        std::size_t end = pos;
        while (end < text.size() && !isTableLineBreak(text[end]))
            ++end;
        line(text.substr(pos, end - pos));
        pos = end;
    }
    return !stopped();
}

void TableTextReader::line(std::string_view line)
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
            } else if (!t_.parseText(f, item_, kTableDecimal, v)) {
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

std::string tableText(const MemTable& t)
{
    std::string out;
    out.reserve(static_cast<std::size_t>(t.recordCount()) *
                    static_cast<std::size_t>(t.fieldCount()) * 12 + 256);
    appendTableHeader(out, t);
    const Rec last = t.lastStored();
    for (Rec r = t.firstStored(); r != NoRec; r = t.nextStored(r))
        appendTableRecordLine(out, t, r, r == last);
    return out;
}

LoadResult readTableText(MemTable& t, std::string_view text)
{
    TableTextReader reader(t);
    reader.feed(text);
    return reader.result;
}

}  // namespace korthal
