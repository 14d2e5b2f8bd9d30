#include "table/MemTable.h"
#include "table/MemTableInternal.h"

#include <algorithm>
#include <new>
#include <stdexcept>

namespace korthal {

using namespace detail;

// ---------------------------------------------------------------- records

void MemTable::checkRec(Rec r) const
{
    if (!isLive(r))
        throw std::out_of_range("MemTable " + name_ + ": no such record");
}

bool MemTable::isLive(Rec r) const
{
    return r < live_.size() && live_[r] != 0;
}

Rec MemTable::appendRecord()
{
    const auto r = static_cast<Rec>(live_.size());
    live_.push_back(1);
    if (live_.size() > columnRoom_) {
        // The columns grow together, doubling, so that appending costs no
        // reallocation per record; not past the memory reserved for a load
        // (the record flags are reserved with the columns).
        columnRoom_ = std::max<std::size_t>(
            {live_.size(), std::min(2 * columnRoom_, live_.capacity()), 64});
        for (auto& col : columns_)
            if (col)
                col->grow(columnRoom_);
    }
    for (std::size_t f = 0; f < columns_.size(); ++f) {
        Column* col = columns_[f].get();
        if (!col)
            continue;
        col->setNullBit(r, true);
        if (!korthal::isNull(fields_[f].defaultValue))
            storeValue(r, static_cast<int>(f), fields_[f].defaultValue);
    }
    ++liveCount_;
    if (idField_ >= 0) {
        const long long id = nextId_++;
        Column& col = *columns_[static_cast<std::size_t>(idField_)];
        col.ints[r] = static_cast<std::int32_t>(id);
        col.setNullBit(r, false);
        idLookup_.set(id, r);
    }
    indexInsert(r);
    return r;
}

void MemTable::reserveRecords(std::size_t more)
{
    const std::size_t want = live_.size() + more;
    try {
        live_.reserve(want);
        for (auto& col : columns_)
            if (col)
                col->reserve(want);
    } catch (const std::bad_alloc&) {
        // Only a saving: without the memory the columns grow as they go.
    }
}

void MemTable::clear()
{
    notify([](TableListener* l) { l->beginReset(); });
    live_.clear();
    liveCount_ = 0;
    columnRoom_ = 0;
    for (auto& col : columns_) {
        if (col) {
            col->ints.clear();
            col->floats.clear();
            col->nulls.clear();
        }
    }
    pool_.assign(1, std::string{});
    freePool_.clear();
    idLookup_.clear();
    nextId_ = 1;
    order_.clear();
    orderStale_ = false;
    state_ = State::Browse;
    cur_ = NoRec;
    bof_ = eof_ = true;
    calcRec_ = NoRec;
    notify([](TableListener* l) { l->endReset(); });
    notifyCurrent();
}

void MemTable::deleteRecord(Rec r)
{
    checkRec(r);
    // The row is needed only to tell the views and to find the next current
    // record; a stale order is not sorted for a record that goes anyway.
    int row = -1;
    if (!orderStale_ || cur_ == r || (disabled_ == 0 && !listeners_.empty())) {
        row = rowOf(r);
        notify([row](TableListener* l) { l->beginRemoveRow(row); });
        order_.erase(order_.begin() + row);
    } else if (const auto it = std::find(order_.begin(), order_.end(), r); it != order_.end()) {
        order_.erase(it);
    }
    for (std::size_t f = 0; f < columns_.size(); ++f) {
        Column* col = columns_[f].get();
        if (col && fields_[f].isText() && col->ints[r] != 0) {
            const auto ref = static_cast<std::uint32_t>(col->ints[r]);
            releasePoolSlot(ref);
            col->ints[r] = 0;
        }
    }
    if (idField_ >= 0 && !columns_[static_cast<std::size_t>(idField_)]->null(r)) {
        const long long id = columns_[static_cast<std::size_t>(idField_)]->ints[r];
        idLookup_.erase(id, r);
    }
    live_[r] = 0;
    --liveCount_;
    if (calcRec_ == r)
        calcRec_ = NoRec;
    if (cur_ == r) {
        state_ = State::Browse;
        const int n = recordCount();
        cur_ = n == 0 ? NoRec : recAt(std::min(row, n - 1));
        bof_ = eof_ = (n == 0);
    }
    if (row >= 0)
        notify([](TableListener* l) { l->endRemoveRow(); });
}

bool MemTable::isNull(Rec r, int f) const
{
    checkRec(r);
    const Column* col = columns_[static_cast<std::size_t>(f)].get();
    return col ? col->null(r) : korthal::isNull(fetch(r, f));
}

Value MemTable::storedValue(Rec r, int f) const
{
    const Column& col = *columns_[static_cast<std::size_t>(f)];
    if (col.null(r))
        return {};
    switch (col.type) {
    case FieldType::Float:
        return col.floats[r];
    case FieldType::AutoInc:
    case FieldType::Integer:
        return static_cast<long long>(col.ints[r]);
    case FieldType::Boolean:
        return col.ints[r] != 0;
    case FieldType::Date:
        return Date::fromSerial(col.ints[r]);
    case FieldType::String:
    case FieldType::Memo:
        return pool_[static_cast<std::uint32_t>(col.ints[r])];
    }
    return {};
}

double MemTable::getFloat(Rec r, int f) const
{
    checkRec(r);
    const Column* col = columns_[static_cast<std::size_t>(f)].get();
    if (col && col->type == FieldType::Float)
        return col->null(r) ? 0.0 : col->floats[r];
    const Value v = getValue(r, f);
    if (auto d = std::get_if<double>(&v))
        return *d;
    if (auto i = std::get_if<long long>(&v))
        return static_cast<double>(*i);
    if (auto b = std::get_if<bool>(&v))
        return *b ? 1.0 : 0.0;
    return 0.0;
}

long long MemTable::getInteger(Rec r, int f) const
{
    checkRec(r);
    const Column* col = columns_[static_cast<std::size_t>(f)].get();
    if (col && (col->type == FieldType::Integer || col->type == FieldType::AutoInc ||
                col->type == FieldType::Boolean))
        return col->null(r) ? 0 : col->ints[r];
    const Value v = getValue(r, f);
    if (auto i = std::get_if<long long>(&v))
        return *i;
    if (auto d = std::get_if<double>(&v))
        return truncatedInteger(*d);
    if (auto b = std::get_if<bool>(&v))
        return *b ? 1 : 0;
    return 0;
}

bool MemTable::getBoolean(Rec r, int f) const
{
    return getInteger(r, f) != 0;
}

std::string_view MemTable::getStringView(Rec r, int f) const
{
    checkRec(r);
    const Column* col = columns_[static_cast<std::size_t>(f)].get();
    if (col && fields_[static_cast<std::size_t>(f)].isText())
        return col->null(r) ? std::string_view{} : pool_[static_cast<std::uint32_t>(col->ints[r])];
    return {};
}

std::string MemTable::getString(Rec r, int f) const
{
    const Column* col = columns_[static_cast<std::size_t>(f)].get();
    if (col && fields_[static_cast<std::size_t>(f)].isText())
        return std::string(getStringView(r, f));
    const Value v = getValue(r, f);
    if (auto s = std::get_if<std::string>(&v))
        return *s;
    return korthal::isNull(v) ? std::string{} : text(r, f);
}

Date MemTable::getDate(Rec r, int f) const
{
    const Value v = getValue(r, f);
    if (auto d = std::get_if<Date>(&v))
        return *d;
    return {};
}

Value MemTable::getValue(Rec r, int f) const
{
    checkRec(r);
    if (!columns_[static_cast<std::size_t>(f)])
        return fetch(r, f);
    return storedValue(r, f);
}

bool MemTable::convert(int f, const Value& in, Value& out) const
{
    const FieldDef& def = field(f);
    if (korthal::isNull(in)) {
        out = {};
        return true;
    }
    switch (def.type) {
    case FieldType::Float:
        if (auto d = std::get_if<double>(&in))
            out = *d;
        else if (auto i = std::get_if<long long>(&in))
            out = static_cast<double>(*i);
        else
            return false;
        return true;
    case FieldType::AutoInc:
    case FieldType::Integer:
        if (auto i = std::get_if<long long>(&in)) {
            if (*i < std::numeric_limits<std::int32_t>::min() ||
                *i > std::numeric_limits<std::int32_t>::max())
                return false;
            out = *i;
        } else if (auto b = std::get_if<bool>(&in)) {
            out = static_cast<long long>(*b);
        } else {
            return false;
        }
        return true;
    case FieldType::Boolean:
        if (auto b = std::get_if<bool>(&in))
            out = *b;
        else if (auto i = std::get_if<long long>(&in))
            out = *i != 0;
        else
            return false;
        return true;
    case FieldType::Date:
        if (auto d = std::get_if<Date>(&in)) {
            if (!d->valid())
                return false;
            out = *d;
            return true;
        }
        return false;
    case FieldType::String:
    case FieldType::Memo:
        if (auto s = std::get_if<std::string>(&in)) {
            std::string t = *s;
            if (def.type == FieldType::String)
                cutToSize(t, def.size);
            out = std::move(t);
            return true;
        }
        return false;
    }
    return false;
}

std::uint32_t MemTable::takePoolSlot()
{
    if (!freePool_.empty()) {
        const std::uint32_t ref = freePool_.back();
        freePool_.pop_back();
        return ref;
    }
    pool_.emplace_back();
    return static_cast<std::uint32_t>(pool_.size() - 1);
}

void MemTable::releasePoolSlot(std::uint32_t ref)
{
    pool_[ref].clear();
    pool_[ref].shrink_to_fit();
    freePool_.push_back(ref);
}

void MemTable::storeValue(Rec r, int f, const Value& v)
{
    Column& col = *columns_[static_cast<std::size_t>(f)];
    if (calcRec_ == r)
        calcRec_ = NoRec;
    if (col.type == FieldType::String || col.type == FieldType::Memo) {
        auto ref = static_cast<std::uint32_t>(col.ints[r]);
        const std::string* s = std::get_if<std::string>(&v);
        if (!s || s->empty()) {
            if (ref != 0) {
                releasePoolSlot(ref);
                col.ints[r] = 0;
            }
        } else {
            if (ref == 0) {
                ref = takePoolSlot();
                col.ints[r] = static_cast<std::int32_t>(ref);
            }
            pool_[ref] = *s;
        }
        col.setNullBit(r, korthal::isNull(v));
        return;
    }
    if (korthal::isNull(v)) {
        if (col.usesFloats())
            col.floats[r] = 0;
        else
            col.ints[r] = 0;
        col.setNullBit(r, true);
        return;
    }
    switch (col.type) {
    case FieldType::Float:
        col.floats[r] = std::get<double>(v);
        break;
    case FieldType::AutoInc:
    case FieldType::Integer:
        col.ints[r] = static_cast<std::int32_t>(std::get<long long>(v));
        break;
    case FieldType::Boolean:
        col.ints[r] = std::get<bool>(v) ? 1 : 0;
        break;
    case FieldType::Date:
        col.ints[r] = std::get<Date>(v).serial();
        break;
    default:
        break;
    }
    col.setNullBit(r, false);
}

bool MemTable::setValue(Rec r, int f, const Value& v)
{
    checkRec(r);
    if (!columns_[static_cast<std::size_t>(f)])
        return false;  // calculated fields are not stored
    Value conv;
    if (!convert(f, v, conv))
        return false;
    if (f == idField_) {
        // IDs stay unique.
        if (const long long* id = std::get_if<long long>(&conv)) {
            const Rec holder = findID(*id);
            if (holder != NoRec && holder != r)
                return false;
        }
    }

    const bool isKey =
        active_ && std::find(active_->fields.begin(), active_->fields.end(), f) != active_->fields.end();
    int oldRow = -1;
    if (isKey && disabled_ == 0)
        oldRow = rowOf(r);

    if (f == idField_) {
        Column& col = *columns_[static_cast<std::size_t>(f)];
        if (!col.null(r)) {
            idLookup_.erase(col.ints[r], r);
            // The ID just handed out to this record is free again.
            if (col.ints[r] == nextId_ - 1)
                nextId_ = col.ints[r];
        }
        if (auto id = std::get_if<long long>(&conv)) {
            idLookup_.set(*id, r);
            nextId_ = std::max(nextId_, *id + 1);
        }
    }
    storeValue(r, f, conv);

    if (isKey) {
        if (disabled_ > 0 || orderStale_) {
            // Stays sorted when the record is the last one and still sorts last.
            const std::size_t n = order_.size();
            if (!(n > 0 && order_[n - 1] == r && (n == 1 || compareRecs(order_[n - 2], r) < 0)))
                orderStale_ = true;
        } else {
            order_.erase(order_.begin() + oldRow);
            const auto pos = std::upper_bound(order_.begin(), order_.end(), r,
                                              [this](Rec a, Rec b) { return compareRecs(a, b) < 0; });
            const int newRow = static_cast<int>(pos - order_.begin());
            if (newRow != oldRow)
                notify([oldRow, newRow](TableListener* l) { l->beginMoveRow(oldRow, newRow); });
            order_.insert(pos, r);
            if (newRow != oldRow)
                notify([](TableListener* l) { l->endMoveRow(); });
        }
    }
    if (disabled_ == 0 && !listeners_.empty()) {
        const int row = rowOf(r);
        notify([row](TableListener* l) { l->rowChanged(row); });
    }
    return true;
}

bool MemTable::takesRecordsOf(const MemTable& source) const
{
    if (&source == this || idField_ >= 0 || source.fields_.size() != fields_.size())
        return false;
    for (std::size_t f = 0; f < fields_.size(); ++f)
        if (source.fields_[f].type != fields_[f].type ||
            source.fields_[f].calculated != fields_[f].calculated)
            return false;
    return true;
}

bool MemTable::appendRecordsFrom(const MemTable& source)
{
    if (!takesRecordsOf(source))
        return false;
    if (source.isEmpty())
        return true;

    disableControls();
    const std::vector<Rec> from = source.storageOrder();
    const std::size_t base = live_.size();
    live_.resize(base + from.size(), 1);
    liveCount_ += from.size();
    // The columns grow together, never below the room they already have.
    columnRoom_ = std::max(columnRoom_, live_.size());
    for (std::size_t f = 0; f < columns_.size(); ++f) {
        Column* col = columns_[f].get();
        if (!col)
            continue;
        const Column& src = *source.columns_[f];
        col->grow(columnRoom_);
        for (std::size_t i = 0; i < from.size(); ++i) {
            const Rec s = from[i];
            const auto r = static_cast<Rec>(base + i);
            col->setNullBit(r, src.null(s));
            if (src.null(s))
                continue;
            if (col->usesFloats()) {
                col->floats[r] = src.floats[s];
            } else if (fields_[f].isText()) {
                // Texts live in each table's own pool.
                const auto ref = static_cast<std::uint32_t>(src.ints[s]);
                if (ref != 0)
                    storeValue(r, static_cast<int>(f), Value(source.pool_[ref]));
            } else {
                col->ints[r] = src.ints[s];
            }
        }
    }
    for (std::size_t i = 0; i < from.size(); ++i)
        indexInsert(static_cast<Rec>(base + i));
    enableControls();
    return true;
}

bool MemTable::takeRecordsFrom(MemTable& source)
{
    if (!live_.empty() || source.isEmpty()) {
        // Records here already (they stay, and the new ones are copied),
        // or none to take.
        if (!appendRecordsFrom(source))
            return false;
        source.clear();
        return true;
    }
    if (!takesRecordsOf(source))
        return false;
    disableControls();
    for (std::size_t f = 0; f < columns_.size(); ++f)
        columns_[f].swap(source.columns_[f]);
    live_.swap(source.live_);
    std::swap(liveCount_, source.liveCount_);
    std::swap(columnRoom_, source.columnRoom_);
    pool_.swap(source.pool_);
    freePool_.swap(source.freePool_);
    calcRec_ = NoRec;
    order_.clear();
    for (Rec r = firstStored(); r != NoRec; r = nextStored(r))
        indexInsert(r);
    // `source` now holds this table's empty columns.
    source.clear();
    enableControls();
    return true;
}

Rec MemTable::firstStored() const
{
    return nextStored(NoRec);
}

Rec MemTable::nextStored(Rec r) const
{
    std::size_t i = r == NoRec ? 0 : static_cast<std::size_t>(r) + 1;
    while (i < live_.size() && !live_[i])
        ++i;
    return i < live_.size() ? static_cast<Rec>(i) : NoRec;
}

Rec MemTable::lastStored() const
{
    std::size_t i = live_.size();
    while (i > 0 && !live_[i - 1])
        --i;
    return i > 0 ? static_cast<Rec>(i - 1) : NoRec;
}

std::vector<Rec> MemTable::storageOrder() const
{
    std::vector<Rec> out;
    out.reserve(liveCount_);
    for (std::size_t i = 0; i < live_.size(); ++i) {
        if (live_[i])
            out.push_back(static_cast<Rec>(i));
    }
    return out;
}

}  // namespace korthal
