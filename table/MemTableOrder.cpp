#include "table/MemTable.h"
#include "table/MemTableInternal.h"

#include <algorithm>

namespace korthal {

using namespace detail;

// ---------------------------------------------------------------- order

int MemTable::compareRecs(Rec a, Rec b) const
{
    if (active_) {
        for (int f : active_->fields) {
            const Column* col = columns_[static_cast<std::size_t>(f)].get();
            if (!col)
                continue;
            const bool na = col->null(a), nb = col->null(b);
            if (na != nb)
                return na ? -1 : 1;
            if (na)
                continue;
            int c = 0;
            switch (col->type) {
            case FieldType::Float: {
                const double x = col->floats[a], y = col->floats[b];
                c = x < y ? -1 : (y < x ? 1 : 0);
                break;
            }
            case FieldType::String:
            case FieldType::Memo:
                c = pool_[static_cast<std::uint32_t>(col->ints[a])].compare(
                    pool_[static_cast<std::uint32_t>(col->ints[b])]);
                c = c < 0 ? -1 : (c > 0 ? 1 : 0);
                break;
            default: {
                const std::int32_t x = col->ints[a], y = col->ints[b];
                c = x < y ? -1 : (y < x ? 1 : 0);
                break;
            }
            }
            if (c != 0)
                return c;
        }
    }
    return a < b ? -1 : (b < a ? 1 : 0);
}

void MemTable::ensureSorted() const
{
    if (!orderStale_)
        return;
    if (order_.size() != liveCount_)
        order_ = storageOrder();
    sortOrder();
    orderStale_ = false;
}

void MemTable::indexInsert(Rec r)
{
    if (disabled_ > 0 || orderStale_) {
        if (!orderStale_ && !order_.empty() && compareRecs(order_.back(), r) > 0)
            orderStale_ = true;
        order_.push_back(r);
        return;
    }
    const auto pos = std::upper_bound(order_.begin(), order_.end(), r,
                                      [this](Rec a, Rec b) { return compareRecs(a, b) < 0; });
    const int row = static_cast<int>(pos - order_.begin());
    notify([row](TableListener* l) { l->beginInsertRow(row); });
    order_.insert(pos, r);
    notify([](TableListener* l) { l->endInsertRow(); });
}

Rec MemTable::recAt(int row) const
{
    ensureSorted();
    if (row < 0 || static_cast<std::size_t>(row) >= order_.size())
        return NoRec;
    return order_[static_cast<std::size_t>(row)];
}

int MemTable::rowOf(Rec r) const
{
    if (!isLive(r))
        return -1;
    ensureSorted();
    const auto pos = std::lower_bound(order_.begin(), order_.end(), r,
                                      [this](Rec a, Rec b) { return compareRecs(a, b) < 0; });
    if (pos != order_.end() && *pos == r)
        return static_cast<int>(pos - order_.begin());
    // Only reachable if a key was changed behind the order's back.
    const auto it = std::find(order_.begin(), order_.end(), r);
    return it == order_.end() ? -1 : static_cast<int>(it - order_.begin());
}

Rec MemTable::findText(int f, std::string_view text) const
{
    const Column* col = f >= 0 && f < fieldCount() ? columns_[static_cast<std::size_t>(f)].get() : nullptr;
    if (!col || !fields_[static_cast<std::size_t>(f)].isText())
        return NoRec;
    auto textOf = [&](Rec r) {
        return col->null(r) ? std::string_view{} : std::string_view(pool_[static_cast<std::uint32_t>(col->ints[r])]);
    };
    if (!text.empty() && active_ && active_->fields.size() == 1 && active_->fields[0] == f) {
        // Equal texts lie together in the order, in storage order.
        ensureSorted();
        const auto it = std::lower_bound(order_.begin(), order_.end(), text, [&](Rec r, std::string_view t) {
            return col->null(r) || textOf(r) < t;
        });
        return it != order_.end() && !col->null(*it) && textOf(*it) == text ? *it : NoRec;
    }
    for (Rec r = firstStored(); r != NoRec; r = nextStored(r))
        if (textOf(r) == text)
            return r;
    return NoRec;
}

Rec MemTable::findID(long long id) const
{
    return idLookup_.find(id);
}

// ---------------------------------------------------------------- calculated fields, text

}  // namespace korthal
