// The typed setters: straight into the column when nothing but the value
// changes, through setValue otherwise.

#include "table/MemTable.h"
#include "table/MemTableInternal.h"

#include <algorithm>
#include <limits>

namespace korthal {

using namespace detail;

MemTable::Column* MemTable::plainColumn(Rec r, int f, FieldType type)
{
    const auto i = static_cast<std::size_t>(f);
    if (r >= live_.size() || !live_[r] || i >= columns_.size() || f == idField_)
        return nullptr;
    Column* col = columns_[i].get();
    if (!col || col->type != type)
        return nullptr;
    // Views that are told row by row, and an exact order of a key, need
    // setValue's care.
    if (disabled_ == 0 && (!listeners_.empty() || (isKey(f) && !orderStale_)))
        return nullptr;
    if (calcRec_ == r)
        calcRec_ = NoRec;
    return col;
}

bool MemTable::isKey(int f) const
{
    const auto i = static_cast<std::size_t>(f);
    return i < activeKey_.size() && activeKey_[i] != 0;
}

// After a key of r was stored directly: as setValue does in a quiet section.
void MemTable::storedKey(Rec r, int f)
{
    if (orderStale_ || !isKey(f))
        return;  // a stale order is sorted whole anyway
    const std::size_t n = order_.size();
    if (!(n > 0 && order_[n - 1] == r && (n == 1 || compareRecs(order_[n - 2], r) < 0)))
        orderStale_ = true;
}

void MemTable::setFloat(Rec r, int f, double v)
{
    Column* col = plainColumn(r, f, FieldType::Float);
    if (!col) {
        setValue(r, f, v);
        return;
    }
    col->floats[r] = v;
    col->setNullBit(r, false);
    storedKey(r, f);
}

void MemTable::setInteger(Rec r, int f, long long v)
{
    Column* col = plainColumn(r, f, FieldType::Integer);
    if (!col) {
        setValue(r, f, v);
        return;
    }
    if (v < std::numeric_limits<std::int32_t>::min() || v > std::numeric_limits<std::int32_t>::max())
        return;  // as setValue refuses it
    col->ints[r] = static_cast<std::int32_t>(v);
    col->setNullBit(r, false);
    storedKey(r, f);
}

void MemTable::setBoolean(Rec r, int f, bool v)
{
    Column* col = plainColumn(r, f, FieldType::Boolean);
    if (!col) {
        setValue(r, f, v);
        return;
    }
    col->ints[r] = v ? 1 : 0;
    col->setNullBit(r, false);
    storedKey(r, f);
}

void MemTable::setDate(Rec r, int f, Date v)
{
    Column* col = plainColumn(r, f, FieldType::Date);
    if (!col) {
        setValue(r, f, v);
        return;
    }
    if (!v.valid())
        return;  // as setValue refuses it
    col->ints[r] = v.serial();
    col->setNullBit(r, false);
    storedKey(r, f);
}

void MemTable::setString(Rec r, int f, std::string_view v)
{
    const FieldType type = isLive(r) && f >= 0 && f < fieldCount() &&
                                   field(f).type == FieldType::Memo
                               ? FieldType::Memo
                               : FieldType::String;
    Column* col = plainColumn(r, f, type);
    if (!col) {
        setValue(r, f, Value(std::string(v)));
        return;
    }
    if (type == FieldType::String)
        v = v.substr(0, utf8PrefixBytes(v, field(f).size));
    auto ref = static_cast<std::uint32_t>(col->ints[r]);
    if (v.empty()) {
        if (ref != 0) {
            releasePoolSlot(ref);
            col->ints[r] = 0;
        }
    } else {
        if (ref == 0) {
            ref = takePoolSlot();
            col->ints[r] = static_cast<std::int32_t>(ref);
        }
        pool_[ref].assign(v);
    }
    col->setNullBit(r, false);
    storedKey(r, f);
}

void MemTable::setNull(Rec r, int f)
{
    Column* col = isLive(r) && f >= 0 && f < fieldCount() ? plainColumn(r, f, field(f).type) : nullptr;
    if (!col) {
        setValue(r, f, Value{});
        return;
    }
    if (field(f).isText()) {
        if (const auto ref = static_cast<std::uint32_t>(col->ints[r]); ref != 0) {
            releasePoolSlot(ref);
        }
        col->ints[r] = 0;
    } else if (col->usesFloats()) {
        col->floats[r] = 0;
    } else {
        col->ints[r] = 0;
    }
    col->setNullBit(r, true);
    storedKey(r, f);
}

}  // namespace korthal
