// Bulk work on the table: the order after a quiet section is the documented
// one for every kind of key, and the typed setters do what setValue does.

#include "table/MemTable.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>

using namespace korthal;

namespace {

// The documented order, from the getters: nulls first, then values
// (false before true, texts by their bytes), ties by storage order.
std::vector<Rec> documentedOrder(const MemTable& t, const std::vector<int>& keys)
{
    std::vector<Rec> recs = t.storageOrder();
    std::stable_sort(recs.begin(), recs.end(), [&](Rec a, Rec b) {
        for (int f : keys) {
            const bool na = t.isNull(a, f), nb = t.isNull(b, f);
            if (na != nb)
                return na;
            if (na)
                continue;
            switch (t.field(f).type) {
            case FieldType::Float:
                if (t.getFloat(a, f) != t.getFloat(b, f))
                    return t.getFloat(a, f) < t.getFloat(b, f);
                break;
            case FieldType::String:
            case FieldType::Memo:
                if (t.getString(a, f) != t.getString(b, f))
                    return t.getString(a, f) < t.getString(b, f);
                break;
            case FieldType::Date:
                if (t.getDate(a, f).serial() != t.getDate(b, f).serial())
                    return t.getDate(a, f).serial() < t.getDate(b, f).serial();
                break;
            default:
                if (t.getInteger(a, f) != t.getInteger(b, f))
                    return t.getInteger(a, f) < t.getInteger(b, f);
                break;
            }
        }
        return false;
    });
    return recs;
}

}  // namespace

TEST(MemTableBulk, SortAfterAQuietSectionKeepsTheDocumentedOrder)
{
    std::mt19937 gen(7);
    std::uniform_int_distribution<int> small(0, 5), big(-3, 3);
    // Texts share long beginnings, so that their first bytes often tie.
    const std::string texts[] = {"", "A", "ΑΒΓΔΕΖΗ", "ΑΒΓΔΕΖΗΘ", "ΑΒΓΔΕΖΗΙ", "abcdefg", "abcdefgh",
                                 "abcdefgh\x01", std::string("abc\0e", 5), "abcdefghij"};
    const double floats[] = {-0.0, 0.0, -1.5, 1e300, -1e-300, 2.5, 2.5};
    for (const char* index : {"S", "B;S", "F;I", "S;F;I", "D;I;S", "I"}) {
        MemTable t;
        t.addField({"ID", FieldType::AutoInc});
        t.addField({"S", FieldType::String, 12});
        t.addField({"B", FieldType::Boolean});
        t.addField({"F", FieldType::Float});
        t.addField({"I", FieldType::Integer});
        t.addField({"D", FieldType::Date});
        t.addIndex("k", index);
        t.disableControls();
        for (int i = 0; i < 3000; ++i) {
            const Rec r = t.appendRecord();
            if (small(gen) > 0)
                t.setString(r, 1, texts[static_cast<std::size_t>(gen() % std::size(texts))]);
            if (small(gen) > 0)
                t.setBoolean(r, 2, small(gen) > 2);
            if (small(gen) > 0)
                t.setFloat(r, 3, floats[static_cast<std::size_t>(gen() % std::size(floats))]);
            if (small(gen) > 0)
                t.setInteger(r, 4, big(gen) * 1000000000LL / 2);
            if (small(gen) > 0)
                t.setDate(r, 5, Date{2000 + small(gen), 1 + small(gen), 1 + small(gen)});
        }
        t.enableControls();
        std::vector<int> keys;
        for (const char* k = index; *k; ++k)
            if (*k != ';')
                keys.push_back(t.fieldIndex(std::string(1, *k)));
        const std::vector<Rec> want = documentedOrder(t, keys);
        ASSERT_EQ(want.size(), 3000u);
        for (int row = 0; row < 3000; ++row)
            ASSERT_EQ(t.recAt(row), want[static_cast<std::size_t>(row)]) << index << " row " << row;
    }
}

TEST(MemTableBulk, TypedSettersDoWhatSetValueDoes)
{
    MemTable typed, general;
    for (MemTable* t : {&typed, &general}) {
        t->addField({"ID", FieldType::AutoInc});
        t->addField({"Name", FieldType::String, 3});
        t->addField({"X", FieldType::Float});
        t->addField({"I", FieldType::Integer});
        t->addField({"D", FieldType::Date});
        t->addField({"M", FieldType::Memo});
        t->addField({"B", FieldType::Boolean});
        t->addIndex("byName", "Name");
    }
    // Outside a quiet section, inside one, with a record that must move.
    for (int quiet = 0; quiet < 2; ++quiet) {
        for (MemTable* t : {&typed, &general})
            if (quiet)
                t->disableControls();
        const Rec a = typed.appendRecord(), b = general.appendRecord();
        typed.setString(a, 1, "ΩΨΧΦ");  // cut to three characters
        general.setValue(b, 1, std::string("ΩΨΧΦ"));
        typed.setFloat(a, 2, -0.5);
        general.setValue(b, 2, -0.5);
        typed.setInteger(a, 3, 1LL << 40);  // refused: beyond 32 bits
        general.setValue(b, 3, 1LL << 40);
        typed.setDate(a, 4, Date{2021, 2, 29});  // refused: no such day
        general.setValue(b, 4, Date{2021, 2, 29});
        typed.setString(a, 5, "");
        general.setValue(b, 5, std::string());
        typed.setInteger(a, 0, 40);  // the ID goes through setValue
        general.setValue(b, 0, 40LL);
        typed.setFloat(a, 3, 2.0);  // a double for an integer field
        general.setValue(b, 3, 2.0);
        typed.setBoolean(a, 6, true);
        general.setValue(b, 6, true);
        typed.setNull(a, 6);
        general.setValue(b, 6, Value{});
        const Rec a2 = typed.appendRecord(), b2 = general.appendRecord();
        typed.setString(a2, 1, "A");
        general.setValue(b2, 1, std::string("A"));
        for (MemTable* t : {&typed, &general})
            if (quiet)
                t->enableControls();
    }
    ASSERT_EQ(typed.recordCount(), general.recordCount());
    for (int row = 0; row < typed.recordCount(); ++row)
        for (int f = 0; f < typed.fieldCount(); ++f)
            EXPECT_EQ(typed.getValue(typed.recAt(row), f), general.getValue(general.recAt(row), f))
                << row << ' ' << f;
    EXPECT_EQ(typed.nextID(), general.nextID());
    EXPECT_EQ(typed.getString(typed.recAt(2), 1), "ΩΨΧ");
    EXPECT_FALSE(typed.isNull(typed.recAt(2), 5));  // an empty memo is not null
}

TEST(MemTableBulk, IdsFarApartAndNearTogetherAreFound)
{
    MemTable t;
    t.addField({"ID", FieldType::AutoInc});
    std::vector<std::pair<long long, Rec>> ids;
    // Handed out in turn, then set to values far off, negative, and back.
    for (int i = 0; i < 5000; ++i)
        ids.emplace_back(i + 1, t.appendRecord());
    for (long long id : {-7LL, 0LL, 2147483000LL, 9000LL, 4999LL + 100000LL}) {
        const Rec r = t.appendRecord();
        ASSERT_TRUE(t.setValue(r, 0, id));
        ids.emplace_back(id, r);
    }
    ASSERT_TRUE(t.setValue(ids[10].second, 0, 6000LL));  // 11 is free now
    ids[10].first = 6000;
    t.deleteRecord(ids[20].second);
    for (std::size_t i = 0; i < ids.size(); ++i)
        EXPECT_EQ(t.findID(ids[i].first), i == 20 ? NoRec : ids[i].second) << ids[i].first;
    EXPECT_EQ(t.findID(11), NoRec);
    EXPECT_EQ(t.findID(123456789), NoRec);
    EXPECT_GT(t.nextID(), 2147483000LL);
    EXPECT_FALSE(t.setValue(ids[30].second, 0, 9000LL));  // held by another record
}

TEST(MemTableBulk, FindTextGivesTheFirstStoredHolderWithAnyIndex)
{
    std::mt19937 gen(11);
    const std::string names[] = {"Σ1", "Σ2", "A", "a", "ΑΒ", "Α"};
    for (const char* index : {"", "Name", "Other", "Other;Name"}) {
        MemTable t;
        t.addField({"ID", FieldType::AutoInc});
        t.addField({"Name", FieldType::String, 10});
        t.addField({"Other", FieldType::Integer});
        if (*index)
            t.addIndex("k", index);
        t.disableControls();
        for (int i = 0; i < 400; ++i) {
            const Rec r = t.appendRecord();
            if (gen() % 7 != 0)  // some names stay null
                t.setString(r, 1, names[gen() % std::size(names)]);
            t.setInteger(r, 2, static_cast<long long>(gen() % 5));
        }
        // Deleted holders are not found; the order is stale while quiet.
        for (Rec r = t.firstStored(); r != NoRec; r = t.nextStored(r))
            if (gen() % 5 == 0)
                t.deleteRecord(r);
        for (int pass = 0; pass < 2; ++pass) {
            for (const std::string& name : {names[0], names[1], names[2], names[3], names[4],
                                            names[5], std::string("missing"), std::string()}) {
                Rec want = NoRec;
                for (Rec r = t.firstStored(); r != NoRec && want == NoRec; r = t.nextStored(r))
                    if (t.getStringView(r, 1) == name)
                        want = r;
                EXPECT_EQ(t.findText(1, name), want) << index << " '" << name << "' pass " << pass;
            }
            t.enableControls();
        }
        EXPECT_EQ(t.findText(2, "1"), NoRec);  // not a text field
    }
}

TEST(MemTableBulk, DeletesInAQuietSectionLeaveTheOrderAndCursorRight)
{
    MemTable t;
    t.addField({"ID", FieldType::AutoInc});
    t.addField({"K", FieldType::Integer});
    t.addIndex("byK", "K");
    for (int i = 0; i < 50; ++i)
        t.setInteger(t.appendRecord(), 1, (i * 37) % 50);
    t.moveToRow(10);
    const Rec current = t.current();
    t.disableControls();
    // New keys out of order make the order stale; records other than the
    // current one go without it being sorted, the current one with it.
    for (Rec r = t.firstStored(); r != NoRec; r = t.nextStored(r))
        t.setInteger(r, 1, 100 - t.getInteger(r, 1));
    int deleted = 0;
    for (Rec r = t.firstStored(); r != NoRec; r = t.nextStored(r))
        if (r != current && t.getInteger(r, 1) % 3 == 0) {
            t.deleteRecord(r);
            ++deleted;
        }
    const int rowBefore = t.rowOf(current);
    t.deleteRecord(current);
    t.enableControls();
    ASSERT_EQ(t.recordCount(), 50 - deleted - 1);
    EXPECT_EQ(t.currentRow(), rowBefore);  // the next record took its row
    for (int row = 1; row < t.recordCount(); ++row)
        EXPECT_LT(t.getInteger(t.recAt(row - 1), 1), t.getInteger(t.recAt(row), 1));
}
