#include "table/MemTable.h"

#include "table/PlainNumber.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace korthal;

namespace {

struct SmallTable {
    MemTable t{"T"};
    int id, name, x, flag, memo, calc;
    SmallTable()
    {
        id = t.addField({"ID", FieldType::AutoInc});
        name = t.addField({"Name", FieldType::String, 4});
        x = t.addField({"X", FieldType::Float});
        FieldDef f{"flag", FieldType::Boolean};
        f.defaultValue = true;
        f.trueText = "c";
        f.falseText = "";
        flag = t.addField(f);
        memo = t.addField({"Memo", FieldType::Memo});
        calc = t.addField(FieldDef::calc("twice"));
        t.onCalcFields = [this](const RecordView& r, CalcValues& out) {
            ++calcRuns;
            out.setFloat(calc, 2 * r.asFloat(x));
        };
        t.addIndex("byName", "FLAG;name");
    }
    Rec add(const std::string& n, double xv, bool fl)
    {
        const Rec r = t.appendRecord();
        t.setString(r, name, n);
        t.setFloat(r, x, xv);
        t.setBoolean(r, flag, fl);
        return r;
    }
    std::vector<std::string> names() const
    {
        std::vector<std::string> out;
        for (int row = 0; row < t.recordCount(); ++row)
            out.push_back(t.getString(t.recAt(row), name));
        return out;
    }
    int calcRuns = 0;
};

struct Log : TableListener {
    std::vector<std::string> events;
    void beginReset() override { events.push_back("beginReset"); }
    void endReset() override { events.push_back("endReset"); }
    void beginInsertRow(int row) override { events.push_back("insert " + std::to_string(row)); }
    void beginRemoveRow(int row) override { events.push_back("remove " + std::to_string(row)); }
    void beginMoveRow(int a, int b) override
    {
        events.push_back("move " + std::to_string(a) + "->" + std::to_string(b));
    }
    void rowChanged(int row) override
    {
        if (withChanges)
            events.push_back("changed " + std::to_string(row));
    }
    bool withChanges = false;
};

}  // namespace

TEST(MemTable, DefaultsNullsAndTypedValues)
{
    SmallTable s;
    const Rec r = s.t.appendRecord();
    EXPECT_EQ(s.t.getInteger(r, s.id), 1);
    EXPECT_TRUE(s.t.getBoolean(r, s.flag));  // default
    EXPECT_TRUE(s.t.isNull(r, s.name));
    EXPECT_TRUE(s.t.isNull(r, s.x));
    s.t.setString(r, s.memo, "");
    EXPECT_FALSE(s.t.isNull(r, s.memo));  // empty text is not null
    s.t.setString(r, s.name, "ΑΒΓΔΕΖ");
    EXPECT_EQ(s.t.getString(r, s.name), "ΑΒΓΔ");  // cut to 4 characters, not bytes
    EXPECT_FALSE(s.t.setValue(r, s.x, std::string("text")));
    s.t.setInteger(r, s.x, 3);
    EXPECT_DOUBLE_EQ(s.t.getFloat(r, s.x), 3.0);
    EXPECT_DOUBLE_EQ(std::get<double>(s.t.fetch(r, s.calc)), 6.0);
    s.t.setNull(r, s.x);
    EXPECT_TRUE(s.t.isNull(r, s.x));
    EXPECT_EQ(s.t.text(r, s.flag), "c");
}

TEST(MemTable, IndexOrderStorageOrderAndIDs)
{
    SmallTable s;
    s.add("D", 1, true);
    const Rec b = s.add("B", 2, true);
    s.add("Z", 3, false);
    s.add("A", 4, true);
    EXPECT_EQ(s.names(), (std::vector<std::string>{"Z", "A", "B", "D"}));
    std::vector<std::string> stored;
    for (Rec r = s.t.firstStored(); r != NoRec; r = s.t.nextStored(r))
        stored.push_back(s.t.getString(r, s.name));
    EXPECT_EQ(stored, (std::vector<std::string>{"D", "B", "Z", "A"}));

    // IDs set from outside (a load) push the next ID above them.
    s.t.setInteger(b, s.id, 41);
    EXPECT_EQ(s.t.findID(41), b);
    EXPECT_FALSE(s.t.setValue(s.t.findID(1), s.id, 41LL));  // IDs stay unique
    EXPECT_EQ(s.t.findID(2), NoRec);
    const Rec n = s.t.appendRecord();
    EXPECT_EQ(s.t.getInteger(n, s.id), 42);
    s.t.deleteRecord(n);
    EXPECT_EQ(s.t.getInteger(s.t.appendRecord(), s.id), 43);

    ASSERT_TRUE(s.t.setIndex(""));
    EXPECT_EQ(s.t.getString(s.t.recAt(0), s.name), "D");
}

TEST(MemTable, CursorEditPostCancelDeleteAndEvents)
{
    SmallTable s;
    int posts = 0, inserts = 0, deletes = 0, scrolls = 0;
    s.t.afterPost = [&](MemTable&) { ++posts; };
    s.t.afterInsert = [&](MemTable&) { ++inserts; };
    s.t.afterDelete = [&](MemTable&) { ++deletes; };
    s.t.afterScroll = [&](MemTable&) { ++scrolls; };
    bool allow = false;
    s.t.beforeDelete = [&](MemTable&) { return allow; };

    s.t.setDecimalSeparator(',');
    const Rec r = s.t.append();
    EXPECT_EQ(s.t.state(), MemTable::State::Insert);
    s.t.set(s.name, std::string("K"));
    s.t.set(s.x, 5.0);
    EXPECT_DOUBLE_EQ(std::get<double>(s.t.value(s.calc)), 10.0);  // from the edit buffer
    EXPECT_TRUE(s.t.isNull(r, s.name));                            // not yet posted
    s.t.post();
    EXPECT_EQ(s.t.getString(r, s.name), "K");
    EXPECT_EQ(inserts, 1);
    EXPECT_EQ(posts, 1);

    s.t.append();
    s.t.cancel();
    EXPECT_EQ(s.t.recordCount(), 1);

    s.add("A", 1, true);
    ASSERT_TRUE(s.t.locateID(1));
    s.t.edit();
    s.t.set(s.x, 9.0);
    s.t.first();  // moving off posts the pending edit
    EXPECT_DOUBLE_EQ(s.t.getFloat(r, s.x), 9.0);
    EXPECT_EQ(posts, 2);

    EXPECT_TRUE(s.t.setText(s.x, "1,5"));
    const TextEntry refused = s.t.setText(s.x, "abc");
    EXPECT_FALSE(refused);
    EXPECT_EQ(refused.error, conversionError("abc"));
    s.t.post();
    EXPECT_DOUBLE_EQ(s.t.asFloat(s.x), 1.5);

    ASSERT_TRUE(s.t.locateID(1));
    EXPECT_FALSE(s.t.remove());  // the question said no
    allow = true;
    EXPECT_TRUE(s.t.remove());
    EXPECT_EQ(deletes, 1);
    EXPECT_EQ(s.t.recordCount(), 1);
    EXPECT_EQ(s.t.getString(s.t.current(), s.name), "A");
    EXPECT_GT(scrolls, 0);

    int customSets = 0;
    s.t.setSetTextHandler(s.name, [&](MemTable& t, int f, const std::string& text) {
        ++customSets;
        t.set(f, "<" + text + ">");
    });
    s.t.setText(s.name, "Q");
    s.t.post();
    EXPECT_EQ(customSets, 1);
    EXPECT_EQ(s.t.asString(s.name), "<Q>");
}

TEST(MemTable, SettingWithoutARecordOrAValueItCannotTakeIsRefused)
{
    SmallTable s;
    // No current record: nothing is appended behind the caller's back.
    EXPECT_FALSE(s.t.set(s.x, 1.0));
    EXPECT_FALSE(s.t.setText(s.x, "1"));
    EXPECT_EQ(s.t.recordCount(), 0);
    EXPECT_EQ(s.t.state(), MemTable::State::Browse);

    s.t.append();
    struct Case {
        const char* what;
        int field;
        Value value;
        bool stored;
    };
    const Case cases[] = {
        {"a number", s.x, 2.5, true},
        {"an integer into a number", s.x, 3LL, true},
        {"text into a number", s.x, std::string("abc"), false},
        {"a number into a Boolean", s.flag, 2.5, false},
        {"a calculated field", s.calc, 1.0, false},
        {"null", s.memo, Value{}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Value before = s.t.value(c.field);
        EXPECT_EQ(s.t.set(c.field, c.value), c.stored);
        if (!c.stored)
            EXPECT_EQ(s.t.value(c.field), before);
    }
    EXPECT_DOUBLE_EQ(s.t.asFloat(s.x), 3.0);
}

TEST(MemTable, ListenersSeeRowsInIndexOrder)
{
    SmallTable s;
    Log log;
    s.t.addListener(&log);
    s.add("M", 0, true);          // insert 0, then key changes move it
    log.events.clear();
    s.add("B", 0, true);
    // appended with a null name (row 0), then stays at row 0 when named B
    EXPECT_EQ(log.events, (std::vector<std::string>{"insert 0"}));
    log.events.clear();
    s.t.setString(s.t.recAt(0), s.name, "Z");
    EXPECT_EQ(log.events, (std::vector<std::string>{"move 0->1"}));
    log.events.clear();
    log.withChanges = true;
    s.t.setFloat(s.t.recAt(1), s.x, 7);
    EXPECT_EQ(log.events, (std::vector<std::string>{"changed 1"}));
    log.withChanges = false;
    log.events.clear();
    s.t.deleteRecord(s.t.recAt(0));
    EXPECT_EQ(log.events, (std::vector<std::string>{"remove 0"}));
    log.events.clear();

    s.t.disableControls();
    for (int i = 0; i < 5; ++i)
        s.add(std::string(1, static_cast<char>('E' - i)), 0, true);
    s.t.enableControls();
    EXPECT_EQ(log.events, (std::vector<std::string>{"beginReset", "endReset"}));
    EXPECT_EQ(s.names(), (std::vector<std::string>{"A", "B", "C", "D", "E", "Z"}));
    s.t.removeListener(&log);
}

TEST(MemTable, ParseTextRules)
{
    SmallTable s;
    Value v;
    EXPECT_TRUE(s.t.parseText(s.flag, "", ',', v));
    EXPECT_EQ(v, Value(false));  // the empty display text
    EXPECT_TRUE(s.t.parseText(s.flag, "C", ',', v));
    EXPECT_EQ(v, Value(true));
    EXPECT_FALSE(s.t.parseText(s.flag, "cc", ',', v));
    EXPECT_TRUE(s.t.parseText(s.x, "1234,5", ',', v));
    EXPECT_EQ(v, Value(1234.5));
    EXPECT_FALSE(s.t.parseText(s.x, "1234.5", ',', v));
    EXPECT_TRUE(s.t.parseText(s.x, "", ',', v));
    EXPECT_TRUE(isNull(v));
    EXPECT_FALSE(s.t.parseText(s.id, "12x", ',', v));
    EXPECT_FALSE(s.t.parseText(s.id, "99999999999", ',', v));
}

TEST(MemTable, BulkAppendOfManyRecordsIsCompact)
{
    MemTable t("R");
    std::vector<int> f;
    for (int i = 0; i < 38; ++i)
        f.push_back(t.addField({"f" + std::to_string(i), i % 2 ? FieldType::Integer : FieldType::Float}));
    t.addIndex("byKey", "f1;f0");
    const int n = 200000;
    t.disableControls();
    for (int i = 0; i < n; ++i) {
        const Rec r = t.appendRecord();
        t.setInteger(r, f[1], (n - i) % 1000);  // out of order: forces one sort at the end
        for (int k = 0; k < 38; k += 2)
            t.setFloat(r, f[static_cast<std::size_t>(k)], i);
    }
    t.enableControls();
    EXPECT_EQ(t.recordCount(), n);
    EXPECT_EQ(t.getInteger(t.recAt(0), f[1]), 0);
    EXPECT_LE(t.getInteger(t.recAt(1), f[1]), t.getInteger(t.recAt(n - 1), f[1]));
    // 19 doubles, 19 ints, null bits and the order: about 240 bytes a record,
    // plus the slack of growing vectors
    EXPECT_LT(t.memoryUse(), static_cast<std::size_t>(n) * 400);
}

TEST(MemTable, Dates)
{
    EXPECT_EQ(Date::fromSerial(Date{2000, 1, 1}.serial()), (Date{2000, 1, 1}));
    EXPECT_EQ((Date{1899, 12, 30}).serial(), 0);
    EXPECT_FALSE((Date{2023, 2, 29}).valid());
    MemTable t;
    const int d = t.addField({"Date", FieldType::Date});
    Value v;
    ASSERT_TRUE(t.parseText(d, "07/03/2024", ',', v));
    EXPECT_EQ(v, Value(Date{2024, 3, 7}));
    EXPECT_FALSE(t.parseText(d, "31/02/2024", ',', v));
    const Rec r = t.appendRecord();
    t.setValue(r, d, v);
    EXPECT_EQ(t.text(r, d), "07/03/2024");
}
