// Reading the table text into a table, line by line.

#include "table/TableText.h"

#include "table/Cp1253.h"
#include "table/MemTableInternal.h"
#include "table/PlainNumber.h"

#include <cstring>
#include <limits>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace korthal {

namespace {

// The first CR, LF or NUL from p on, or end.
const char* findLineBreak(const char* p, const char* end)
{
#if defined(__SSE2__)
    const __m128i cr = _mm_set1_epi8('\r'), lf = _mm_set1_epi8('\n'), nul = _mm_setzero_si128();
    for (; end - p >= 16; p += 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const __m128i hit = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(v, cr), _mm_cmpeq_epi8(v, lf)),
                                         _mm_cmpeq_epi8(v, nul));
        if (const int mask = _mm_movemask_epi8(hit))
            return p + __builtin_ctz(static_cast<unsigned>(mask));
    }
#endif
    while (p < end && !isTableLineBreak(*p))
        ++p;
    return p;
}

// One item of a record line, from `pos`. Returns false at the end of the
// line. A quoted item is returned in place, or in `scratch` when it holds
// doubled quotes.
bool nextItem(std::string_view line, std::size_t& pos, bool& null, std::string_view& item,
              std::string& scratch)
{
    while (pos < line.size() && line[pos] != '"' && line[pos] != ',')
        ++pos;
    if (pos >= line.size())
        return false;
    if (line[pos] == ',') {
        ++pos;
        null = true;
        item = {};
        return true;
    }
    null = false;
    const std::size_t start = ++pos;  // after the opening quote
    const char* q = static_cast<const char*>(
        std::memchr(line.data() + pos, '"', line.size() - pos));
    if (!q) {
        item = line.substr(start);  // a quote left open runs to the end of the line
        pos = line.size();
        return true;
    }
    std::size_t close = static_cast<std::size_t>(q - line.data());
    if (close + 1 >= line.size() || line[close + 1] != '"') {
        item = line.substr(start, close - start);
        pos = close + 2;  // the closing quote and the separator after it
        return true;
    }
    // Doubled quotes: each stands for one.
    scratch.assign(line.data() + start, close - start);
    pos = close;
    while (pos < line.size()) {
        if (line[pos] == '"') {
            if (pos + 1 < line.size() && line[pos + 1] == '"') {
                scratch += '"';
                pos += 2;
                continue;
            }
            pos += 2;
            item = scratch;
            return true;
        }
        scratch += line[pos++];
    }
    item = scratch;
    return true;
}

// Undoes the escapes: "%%" "%", "%c" CR, "%n" LF, "%0" NUL; any other "%x"
// stays as it is.
void appendUnescaped(std::string& out, std::string_view s)
{
    std::size_t from = 0;
    for (std::size_t i = 0; i + 1 < s.size(); ++i) {
        if (s[i] != '%')
            continue;
        char c;
        switch (s[i + 1]) {
        case '%': c = '%'; break;
        case 'c': c = '\r'; break;
        case 'n': c = '\n'; break;
        case '0': c = '\0'; break;
        default: continue;
        }
        out.append(s.data() + from, i - from);
        out += c;
        from = i + 2;
        ++i;
    }
    out.append(s.data() + from, s.size() - from);
}

bool hasHighBytes(std::string_view s)
{
    for (char c : s)
        if (static_cast<unsigned char>(c) >= 0x80)
            return true;
    return false;
}

}  // namespace

TableTextReader::TableTextReader(MemTable& t, TextCoding coding)
    : t_(t), coding_(coding), nf_(t.fieldCount()),
      byID_(nf_ > 0 && t.field(0).name.rfind("ID", 0) == 0), idField_(t.idField()),
      staged_(static_cast<std::size_t>(nf_))
{
    t_.disableControls();
}

TableTextReader::~TableTextReader()
{
    t_.enableControls();
}

bool TableTextReader::feed(std::string_view text)
{
    const char* p = text.data();
    const char* const end = p + text.size();
    while (!stopped() && p < end) {
        while (p < end && isTableLineBreak(*p))
            ++p;
        if (p >= end)
            break;
        const char* e = findLineBreak(p, end);
        line(std::string_view(p, static_cast<std::size_t>(e - p)));
        p = e;
    }
    return !stopped();
}

// `item` is in UTF-8.
void TableTextReader::stop(int f, std::string_view item)
{
    result.reason = "μη αποδεκτή τιμή \"" + std::string(item) + "\" για το πεδίο " + t_.field(f).name;
    result.status = LoadResult::Status::Stopped;
    result.line = lineNo_;
}

// Reads one non-null item for field f into staged_; false (and the reading
// stopped) when the field cannot take it.
bool TableTextReader::stage(int f, std::string_view item)
{
    const FieldDef& def = t_.field(f);
    Staged s;
    s.field = f;
    switch (def.type) {
    case FieldType::String:
    case FieldType::Memo: {
        s.kind = Staged::Text;
        s.at = texts_.size();
        if (coding_ == TextCoding::Cp1253 && hasHighBytes(item)) {
            // Escapes are ASCII: undoing them before converting is the same.
            unescaped_.clear();
            appendUnescaped(unescaped_, item);
            appendCp1253AsUtf8(texts_, unescaped_);
        } else {
            appendUnescaped(texts_, item);
        }
        s.size = texts_.size() - s.at;
        push(s);
        return true;
    }
    case FieldType::Float: {
        // Most numbers are exact in one operation; the others take the full way.
        DecimalDigits d;
        Extended v = 0;
        if (splitDecimal(trimBlanks(item), kTableDecimal, d) && exactExtended(d, v)) {
            const double x = static_cast<double>(v);
            if (x - x == 0.0) {
                s.kind = Staged::Float;
                s.number = x;
                push(s);
                return true;
            }
        }
        break;
    }
    case FieldType::AutoInc:
    case FieldType::Integer: {
        long long i = 0;
        if (detail::parseInt(item, i) && i >= std::numeric_limits<std::int32_t>::min() &&
            i <= std::numeric_limits<std::int32_t>::max()) {
            s.kind = Staged::Integer;
            s.integer = i;
            push(s);
            return true;
        }
        break;
    }
    default:
        break;
    }
    // Booleans, dates and whatever the quick ways left: the table's own reading.
    Value v;
    std::string converted;
    if (coding_ == TextCoding::Cp1253 && hasHighBytes(item)) {
        appendCp1253AsUtf8(converted, item);
        item = converted;
    }
    if (!t_.parseText(f, item, kTableDecimal, v)) {
        stop(f, item);
        return false;
    }
    if (const double* x = std::get_if<double>(&v)) {
        s.kind = Staged::Float;
        s.number = *x;
    } else if (const long long* i = std::get_if<long long>(&v)) {
        s.kind = Staged::Integer;
        s.integer = *i;
    } else if (const bool* b = std::get_if<bool>(&v)) {
        s.kind = Staged::Boolean;
        s.integer = *b ? 1 : 0;
    } else if (const Date* dt = std::get_if<Date>(&v)) {
        s.kind = Staged::Date;
        s.integer = dt->serial();
    }
    push(s);
    return true;
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

    stagedCount_ = 0;
    texts_.clear();
    std::size_t p = 0;
    bool null = false;
    std::string_view item;
    Rec target = NoRec;
    for (int f = 0; f < nf_ && nextItem(line, p, null, item, scratch_); ++f) {
        if (t_.field(f).calculated)
            continue;
        if (null)
            push(Staged{Staged::Null, f});
        else if (!stage(f, item))
            return;
        if (staged_[stagedCount_ - 1].kind == Staged::Null) {
            // A record keeps its own ID when the line gives none.
            if (f == idField_)
                --stagedCount_;
            continue;
        }
        if (f == 0 && byID_ && staged_[stagedCount_ - 1].kind == Staged::Integer)
            target = t_.findID(staged_[stagedCount_ - 1].integer);
    }
    const bool fresh = target == NoRec;
    if (fresh)
        target = t_.appendRecord();
    for (std::size_t k = 0; k < stagedCount_; ++k) {
        const Staged& s = staged_[k];
        switch (s.kind) {
        case Staged::Null:
            // A new record is null already where its field has no default.
            if (!fresh || !isNull(t_.field(s.field).defaultValue))
                t_.setNull(target, s.field);
            break;
        case Staged::Float: t_.setFloat(target, s.field, s.number); break;
        case Staged::Integer:
            // A new record whose ID the file repeats keeps it as it is.
            if (!(fresh && s.field == idField_ && t_.getInteger(target, s.field) == s.integer))
                t_.setInteger(target, s.field, s.integer);
            break;
        case Staged::Boolean: t_.setBoolean(target, s.field, s.integer != 0); break;
        case Staged::Date:
            t_.setDate(target, s.field, Date::fromSerial(static_cast<std::int32_t>(s.integer)));
            break;
        case Staged::Text:
            t_.setString(target, s.field, std::string_view(texts_).substr(s.at, s.size));
            break;
        }
    }
    ++result.records;
}

}  // namespace korthal
