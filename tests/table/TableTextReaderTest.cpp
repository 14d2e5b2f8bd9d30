// The table text reader against a plain reference reader that follows the
// format's rules item by item with the table's general setters: random
// texts, well formed or not, in UTF-8 and in code page 1253, load alike.

#include "table/Cp1253.h"
#include "table/TableText.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

using namespace korthal;

namespace {

// The rules of the format, written out plainly.
LoadResult referenceRead(MemTable& t, std::string_view text)
{
    LoadResult result;
    const int nf = t.fieldCount();
    const bool byID = nf > 0 && t.field(0).name.rfind("ID", 0) == 0;
    bool header = true;
    int lineNo = 0;
    std::size_t pos = 0;
    t.disableControls();
    while (pos < text.size() && result.ok()) {
        while (pos < text.size() && isTableLineBreak(text[pos]))
            ++pos;
        std::size_t end = pos;
        while (end < text.size() && !isTableLineBreak(text[end]))
            ++end;
        if (end == pos)
            break;
        const std::string_view line = text.substr(pos, end - pos);
        pos = end;
        if (header) {
            header = false;
            continue;
        }
        ++lineNo;
        std::vector<std::pair<int, Value>> staged;
        Rec target = NoRec;
        std::size_t p = 0;
        bool stop = false;
        for (int f = 0; f < nf && !stop; ++f) {
            while (p < line.size() && line[p] != '"' && line[p] != ',')
                ++p;
            if (p >= line.size())
                break;
            Value v;
            if (line[p] == ',') {
                ++p;
            } else {
                std::string item;
                for (++p; p < line.size();) {
                    if (line[p] == '"') {
                        if (p + 1 < line.size() && line[p + 1] == '"') {
                            item += '"';
                            p += 2;
                            continue;
                        }
                        p += 2;
                        break;
                    }
                    item += line[p++];
                }
                if (t.field(f).calculated)
                    continue;
                if (t.field(f).isText()) {
                    std::string u;
                    for (std::size_t i = 0; i < item.size(); ++i) {
                        const char n = i + 1 < item.size() ? item[i + 1] : ' ';
                        if (item[i] == '%' && (n == '%' || n == 'c' || n == 'n' || n == '0')) {
                            u += n == '%' ? '%' : n == 'c' ? '\r' : n == 'n' ? '\n' : '\0';
                            ++i;
                        } else {
                            u += item[i];
                        }
                    }
                    v = u;
                } else if (!t.parseText(f, item, ',', v)) {
                    result.status = LoadResult::Status::Stopped;
                    result.line = lineNo;
                    result.reason = "μη αποδεκτή τιμή \"" + item + "\" για το πεδίο " + t.field(f).name;
                    stop = true;
                    break;
                }
            }
            if (t.field(f).calculated)
                continue;
            if (f == 0 && byID && std::holds_alternative<long long>(v))
                target = t.findID(std::get<long long>(v));
            if (f == t.idField() && isNull(v))
                continue;
            staged.emplace_back(f, v);
        }
        if (stop)
            break;
        if (target == NoRec)
            target = t.appendRecord();
        for (const auto& [f, v] : staged)
            t.setValue(target, f, v);
        ++result.records;
    }
    t.enableControls();
    return result;
}

void define(MemTable& t)
{
    t.addField({"ID", FieldType::AutoInc});
    t.addField({"Name", FieldType::String, 4});
    t.addField({"X", FieldType::Float});
    FieldDef b("B", FieldType::Boolean);
    b.trueText = "c";
    b.falseText = "";
    t.addField(b);
    t.addField({"D", FieldType::Date});
    t.addField({"I", FieldType::Integer});
    t.addField(FieldDef::calc("C"));
    t.addField({"M", FieldType::Memo});
    FieldDef h("H", FieldType::Float);
    h.defaultValue = 0.0;
    t.addField(h);
    t.addIndex("byName", "B;Name");
}

// A random item: mostly what a writer writes, sometimes what it never does.
std::string randomItem(std::mt19937& gen)
{
    static const std::vector<std::string> pieces = {
        "1",  "7",   "0",   "42", "-3", ",",  ",5",  "E",  "e-2", " ",  "%",  "%%",   "%c",
        "%n", "%0",  "%x",  "\"\"", "Σ", "ω",  "ά",   "€",  "c",   "C",  "/",  "05/04/2003",
        "3",  "12345678901234567890", "1,5", "-0,25E3", "9999999999", "True", "x"};
    std::uniform_int_distribution<int> kind(0, 9), count(0, 4);
    std::uniform_int_distribution<std::size_t> pick(0, pieces.size() - 1);
    const int k = kind(gen);
    if (k == 0)
        return "";  // null: the comma alone
    std::string s;
    for (int i = count(gen); i > 0; --i)
        s += pieces[pick(gen)];
    if (k == 1)
        return "junk" + s;  // unquoted: skipped up to the next quote or comma
    if (k == 2)
        return "\"" + s;    // a quote left open
    return "\"" + s + "\"";
}

// A value that the field of column i takes, as the writer writes it.
std::string goodItem(int i, std::mt19937& gen)
{
    static const char* const good[][4] = {
        {"1", "2", "5", "8"},
        {"Σ1", "ab\"\"c", "%%x%c%n", "πολύ μεγάλο"},
        {"4591240,123", "-1E-6", "0", "1,23456789012346E17"},
        {"c", "", "C", ""},
        {"05/04/2003", "29/02/2004", "1/1/99", "31/12/2021"},
        {"-12", "0", "2147483647", "7"},
        {"x", "1", "", "2"},
        {"memo %c%n line", "\"\"", "", "ά€"},
        {"35,25", "", "-0,5", "1e3"}};
    std::uniform_int_distribution<int> pick(0, 3);
    return "\"" + std::string(good[i % 9][pick(gen)]) + "\"";
}

std::string randomText(std::mt19937& gen)
{
    std::uniform_int_distribution<int> lines(0, 12), items(0, 11), brk(0, 5), odd(0, 29);
    std::string text = "\"ID\",\"Name\",\r\n";
    for (int l = lines(gen); l > 0; --l) {
        std::string line;
        const int n = items(gen);
        for (int i = 0; i < n; ++i) {
            line += odd(gen) == 0 ? randomItem(gen) : goodItem(i, gen);
            line += ',';
        }
        static const char* const breaks[] = {"\r\n", "\n", "\r", "\r\n\r\n", "\n\r", "\r\n"};
        text += line + breaks[brk(gen)];
        if (brk(gen) == 0)
            text += std::string(1, '\0');
    }
    return text;
}

}  // namespace

TEST(TableTextReader, ReadsAsTheRulesSayInBothCodings)
{
    std::mt19937 gen(31);
    int stopped = 0, records = 0;
    for (int round = 0; round < 3000; ++round) {
        const std::string text = randomText(gen);
        MemTable want, got, got1253;
        define(want);
        define(got);
        define(got1253);
        const LoadResult w = referenceRead(want, text);
        const LoadResult g = readTableText(got, text);
        LoadResult g1253;
        {
            TableTextReader reader(got1253, TextCoding::Cp1253);
            reader.feed(utf8ToCp1253(text));
            g1253 = reader.result;
        }
        for (const LoadResult* r : {&g, static_cast<const LoadResult*>(&g1253)}) {
            ASSERT_EQ(r->status, w.status) << text;
            ASSERT_EQ(r->records, w.records) << text;
            ASSERT_EQ(r->line, w.line) << text;
            ASSERT_EQ(r->reason, w.reason) << text;
        }
        ASSERT_EQ(tableText(got), tableText(want)) << text;
        ASSERT_EQ(tableText(got1253), tableText(want)) << text;
        ASSERT_EQ(got.nextID(), want.nextID()) << text;
        for (int row = 0; row < want.recordCount(); ++row)
            ASSERT_EQ(got.recAt(row), want.recAt(row)) << text;
        stopped += w.ok() ? 0 : 1;
        records += w.records;
    }
    // Both kinds of outcome were met often.
    EXPECT_GT(stopped, 300);
    EXPECT_GT(records, 3000);
}

TEST(TableTextReader, LargeTablesAreWrittenLineByLineAlike)
{
    // Large enough to be written by two threads.
    MemTable t;
    define(t);
    std::mt19937 gen(5);
    t.disableControls();
    for (int i = 0; i < 25000; ++i) {
        const Rec r = t.appendRecord();
        t.setString(r, 1, i % 3 ? "Σ" + std::to_string(i) : "\"x\"%");
        t.setFloat(r, 2, static_cast<double>(gen()) / 7.0);
        t.setBoolean(r, 3, i % 2 == 0);
        if (i % 5)
            t.setDate(r, 4, Date{2000 + i % 30, 1 + i % 12, 1 + i % 28});
        t.setString(r, 7, i % 7 ? "" : "α\r\nβ");
    }
    t.deleteRecord(t.lastStored());
    t.enableControls();
    std::string want;
    appendTableHeader(want, t);
    const Rec last = t.lastStored();
    for (Rec r = t.firstStored(); r != NoRec; r = t.nextStored(r))
        appendTableRecordLine(want, t, r, r == last);
    EXPECT_EQ(tableText(t), want);
    EXPECT_EQ(tableFileText(t), utf8ToCp1253(want));
}
