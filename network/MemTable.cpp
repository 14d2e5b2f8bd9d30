#include "network/MemTable.h"

#include "geodesy/Dialogs.h"
#include "network/NumberText.h"
#include "network/TextUtil.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdio>
#include <stdexcept>

namespace korthal {

// ---------------------------------------------------------------- Date

namespace {

// Days from 1970-01-01 of a civil date (proleptic Gregorian).
long long daysFromCivil(long long y, unsigned m, unsigned d)
{
    y -= m <= 2 ? 1 : 0;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const auto yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3u : 9u)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<long long>(doe) - 719468;
}

Date civilFromDays(long long z)
{
    z += 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const auto doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long long y = static_cast<long long>(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    const unsigned d = doy - (153 * mp + 2) / 5 + 1;
    const unsigned m = mp < 10 ? mp + 3 : mp - 9;
    return Date{static_cast<int>(y + (m <= 2 ? 1 : 0)), static_cast<int>(m), static_cast<int>(d)};
}

const long long kSerialEpoch = daysFromCivil(1899, 12, 30);

// Whether `text` is, without regard to case, the start of `full`. Greek
// letters compare as they are (the display texts in use are Latin).
bool isPrefixNoCase(std::string_view text, std::string_view full)
{
    return text.size() <= full.size() && equalsNoCase(text, full.substr(0, text.size()));
}


bool parseInt(std::string_view s, long long& out)
{
    s = trimBlanks(s);
    if (!s.empty() && s.front() == '+')
        s.remove_prefix(1);
    if (s.empty())
        return false;
    const auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), out);
    return ec == std::errc() && p == s.data() + s.size();
}

// Cuts UTF-8 text to at most `size` characters.
void cutToSize(std::string& s, int size)
{
    if (size <= 0)
        return;
    int chars = 0;
    for (std::size_t i = 0; i < s.size(); ++i) {
        const auto c = static_cast<unsigned char>(s[i]);
        if ((c & 0xC0) != 0x80) {
            if (chars == size) {
                s.resize(i);
                return;
            }
            ++chars;
        }
    }
}

}  // namespace

std::int32_t Date::serial() const
{
    return static_cast<std::int32_t>(
        daysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) -
        kSerialEpoch);
}

Date Date::fromSerial(std::int32_t serial)
{
    return civilFromDays(serial + kSerialEpoch);
}

bool Date::valid() const
{
    if (month < 1 || month > 12 || day < 1 || year < 1 || year > 9999)
        return false;
    return fromSerial(serial()) == *this;
}

// ---------------------------------------------------------------- storage

struct MemTable::Column {
    FieldType type;
    std::vector<std::int32_t> ints;  // Integer, AutoInc, Boolean, Date, text pool refs
    std::vector<double> floats;      // Float
    std::vector<std::uint64_t> nulls;  // one bit per record, set = null

    bool usesFloats() const { return type == FieldType::Float; }
    void grow(std::size_t n)
    {
        if (usesFloats())
            floats.resize(n, 0.0);
        else
            ints.resize(n, 0);
        nulls.resize((n + 63) / 64, 0);
    }
    bool null(Rec r) const { return (nulls[r / 64] >> (r % 64)) & 1u; }
    void setNullBit(Rec r, bool v)
    {
        const std::uint64_t bit = std::uint64_t{1} << (r % 64);
        if (v)
            nulls[r / 64] |= bit;
        else
            nulls[r / 64] &= ~bit;
    }
};

struct MemTable::Index {
    std::string name;
    std::vector<int> fields;
};

MemTable::MemTable(std::string name)
    : name_(std::move(name)), decimalSep_(localeSeparators().decimal)
{
    pool_.emplace_back();  // entry 0 stands for the empty text
}

MemTable::~MemTable() = default;

int MemTable::addField(FieldDef def)
{
    if (!live_.empty())
        throw std::logic_error("MemTable: fields are defined before the first record");
    if (def.type == FieldType::AutoInc) {
        if (idField_ >= 0)
            throw std::logic_error("MemTable: one auto-increment field per table");
        idField_ = fieldCount();
    }
    if (!def.calculated) {
        auto col = std::make_unique<Column>();
        col->type = def.type;
        columns_.push_back(std::move(col));
    } else {
        columns_.push_back(nullptr);
    }
    fields_.push_back(std::move(def));
    setText_.emplace_back();
    getText_.emplace_back();
    calcValues_.resize(fields_.size());
    return fieldCount() - 1;
}

int MemTable::fieldIndex(std::string_view n) const
{
    for (int i = 0; i < fieldCount(); ++i) {
        if (equalsNoCase(field(i).name, n))
            return i;
    }
    return -1;
}

int MemTable::requireField(std::string_view n) const
{
    const int i = fieldIndex(n);
    if (i < 0)
        throw std::logic_error("MemTable " + name_ + ": no field " + std::string(n));
    return i;
}

void MemTable::addIndex(const std::string& indexName, const std::string& fieldList)
{
    auto idx = std::make_unique<Index>();
    idx->name = indexName;
    std::string_view rest = fieldList;
    while (!rest.empty()) {
        const auto semi = rest.find(';');
        const std::string_view part = trimBlanks(rest.substr(0, semi));
        if (!part.empty())
            idx->fields.push_back(requireField(part));
        rest = semi == std::string_view::npos ? std::string_view{} : rest.substr(semi + 1);
    }
    indexes_.push_back(std::move(idx));
    if (!active_)
        setIndex(indexName);
}

bool MemTable::setIndex(const std::string& indexName)
{
    Index* found = nullptr;
    if (!indexName.empty()) {
        for (auto& idx : indexes_) {
            if (equalsNoCase(idx->name, indexName))
                found = idx.get();
        }
        if (!found)
            return false;
    }
    notify([](TableListener* l) { l->beginReset(); });
    active_ = found;
    activeIndexName_ = found ? found->name : std::string{};
    orderStale_ = true;
    ensureSorted();
    notify([](TableListener* l) { l->endReset(); });
    notifyCurrent();
    return true;
}

std::vector<std::string> MemTable::indexNames() const
{
    std::vector<std::string> out;
    for (const auto& idx : indexes_)
        out.push_back(idx->name);
    return out;
}

void MemTable::setSetTextHandler(int f, SetTextHandler h)
{
    setText_[static_cast<std::size_t>(f)] = std::move(h);
}

void MemTable::setGetTextHandler(int f, GetTextHandler h)
{
    getText_[static_cast<std::size_t>(f)] = std::move(h);
}

void MemTable::addListener(TableListener* l)
{
    listeners_.push_back(l);
}

void MemTable::removeListener(TableListener* l)
{
    listeners_.erase(std::remove(listeners_.begin(), listeners_.end(), l), listeners_.end());
}

template <typename F>
void MemTable::notify(F&& f) const
{
    if (disabled_ > 0)
        return;
    for (TableListener* l : listeners_)
        f(l);
}

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
    for (std::size_t f = 0; f < columns_.size(); ++f) {
        Column* col = columns_[f].get();
        if (!col)
            continue;
        col->grow(live_.size());
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
        idLookup_[id] = r;
    }
    indexInsert(r);
    return r;
}

void MemTable::clear()
{
    notify([](TableListener* l) { l->beginReset(); });
    live_.clear();
    liveCount_ = 0;
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
    const int row = rowOf(r);
    notify([row](TableListener* l) { l->beginRemoveRow(row); });
    order_.erase(order_.begin() + row);
    for (std::size_t f = 0; f < columns_.size(); ++f) {
        Column* col = columns_[f].get();
        if (col && fields_[f].isText() && col->ints[r] != 0) {
            const auto ref = static_cast<std::uint32_t>(col->ints[r]);
            pool_[ref].clear();
            pool_[ref].shrink_to_fit();
            freePool_.push_back(ref);
            col->ints[r] = 0;
        }
    }
    if (idField_ >= 0 && !columns_[static_cast<std::size_t>(idField_)]->null(r)) {
        const long long id = columns_[static_cast<std::size_t>(idField_)]->ints[r];
        auto it = idLookup_.find(id);
        if (it != idLookup_.end() && it->second == r)
            idLookup_.erase(it);
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
        return static_cast<long long>(*d);
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
                pool_[ref].clear();
                pool_[ref].shrink_to_fit();
                freePool_.push_back(ref);
                col.ints[r] = 0;
            }
        } else {
            if (ref == 0) {
                if (!freePool_.empty()) {
                    ref = freePool_.back();
                    freePool_.pop_back();
                } else {
                    ref = static_cast<std::uint32_t>(pool_.size());
                    pool_.emplace_back();
                }
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
            auto it = idLookup_.find(col.ints[r]);
            if (it != idLookup_.end() && it->second == r)
                idLookup_.erase(it);
            // The ID just handed out to this record is free again.
            if (col.ints[r] == nextId_ - 1)
                nextId_ = col.ints[r];
        }
        if (auto id = std::get_if<long long>(&conv)) {
            idLookup_[*id] = r;
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

void MemTable::setNull(Rec r, int f)
{
    setValue(r, f, Value{});
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
    std::sort(order_.begin(), order_.end(),
              [this](Rec a, Rec b) { return compareRecs(a, b) < 0; });
    orderStale_ = false;
}

void MemTable::indexInsert(Rec r)
{
    if (disabled_ > 0 || orderStale_) {
        if (!order_.empty() && compareRecs(order_.back(), r) > 0)
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

Rec MemTable::findID(long long id) const
{
    const auto it = idLookup_.find(id);
    return it == idLookup_.end() ? NoRec : it->second;
}

// ---------------------------------------------------------------- calculated fields, text

void MemTable::computeCalc(Rec r, const std::vector<Value>* buf) const
{
    for (std::size_t f = 0; f < fields_.size(); ++f) {
        if (fields_[f].calculated)
            calcValues_[f] = Value{};
    }
    if (onCalcFields) {
        CalcValues out;
        out.values_ = &calcValues_;
        out.fields_ = &fields_;
        onCalcFields(RecordView(*this, r, buf), out);
    }
    calcRec_ = buf ? NoRec : r;
}

void CalcValues::set(int f, Value v)
{
    const auto i = static_cast<std::size_t>(f);
    if (i < values_->size() && (*fields_)[i].calculated)
        (*values_)[i] = std::move(v);
}

Value MemTable::fetch(Rec r, int f) const
{
    if (!fields_[static_cast<std::size_t>(f)].calculated)
        return getValue(r, f);
    checkRec(r);
    if (calcRec_ != r)
        computeCalc(r, nullptr);
    return calcValues_[static_cast<std::size_t>(f)];
}

namespace {

std::string plainText(const FieldDef& def, const Value& v, char decimal)
{
    if (isNull(v))
        return {};
    if (auto s = std::get_if<std::string>(&v))
        return *s;
    if (auto b = std::get_if<bool>(&v))
        return *b ? def.trueText : def.falseText;
    if (auto i = std::get_if<long long>(&v))
        return std::to_string(*i);
    if (auto d = std::get_if<double>(&v))
        return generalFormat(static_cast<Extended>(*d), decimal);
    if (auto dt = std::get_if<Date>(&v)) {
        char buf[16];
        std::snprintf(buf, sizeof buf, "%02d/%02d/%04d", dt->day, dt->month, dt->year);
        return buf;
    }
    return {};
}

}  // namespace

std::string MemTable::text(Rec r, int f) const
{
    const auto& h = getText_[static_cast<std::size_t>(f)];
    if (h)
        return h(RecordView(*this, r), f);
    return plainText(field(f), fetch(r, f), decimalSep_);
}

bool MemTable::parseText(int f, std::string_view t, char decimal, Value& out) const
{
    const FieldDef& def = field(f);
    switch (def.type) {
    case FieldType::String:
    case FieldType::Memo: {
        std::string s(t);
        if (def.type == FieldType::String)
            cutToSize(s, def.size);
        out = std::move(s);
        return true;
    }
    case FieldType::Boolean:
        if (t.empty()) {
            if (def.falseText.empty())
                out = false;
            else if (def.trueText.empty())
                out = true;
            else
                out = Value{};
            return true;
        }
        if (isPrefixNoCase(t, def.falseText)) {
            out = false;
            return true;
        }
        if (isPrefixNoCase(t, def.trueText)) {
            out = true;
            return true;
        }
        return false;
    default:
        break;
    }
    if (trimBlanks(t).empty()) {
        out = Value{};
        return true;
    }
    switch (def.type) {
    case FieldType::AutoInc:
    case FieldType::Integer: {
        long long i = 0;
        if (!parseInt(t, i) || i < std::numeric_limits<std::int32_t>::min() ||
            i > std::numeric_limits<std::int32_t>::max())
            return false;
        out = i;
        return true;
    }
    case FieldType::Float: {
        const NumberResult n = parseDecimal(t, decimal);
        if (!n.ok)
            return false;
        const double d = static_cast<double>(n.value);
        if (!(d - d == 0.0))  // infinite or not a number
            return false;
        out = d;
        return true;
    }
    case FieldType::Date: {
        std::string_view s = trimBlanks(t);
        long long parts[3] = {0, 0, 0};
        int yearDigits = 0;
        for (int i = 0; i < 3; ++i) {
            const auto slash = i < 2 ? s.find('/') : std::string_view::npos;
            if (i < 2 && slash == std::string_view::npos)
                return false;
            const std::string_view piece = s.substr(0, slash);
            if (piece.empty() || piece.size() > 4 ||
                !std::all_of(piece.begin(), piece.end(),
                             [](char c) { return c >= '0' && c <= '9'; }) ||
                !parseInt(piece, parts[i]))
                return false;
            if (i == 2)
                yearDigits = static_cast<int>(piece.size());
            s = slash == std::string_view::npos ? std::string_view{} : s.substr(slash + 1);
        }
        long long year = parts[2];
        if (yearDigits <= 2)
            year += year < 50 ? 2000 : 1900;
        const Date d{static_cast<int>(year), static_cast<int>(parts[1]), static_cast<int>(parts[0])};
        if (!d.valid())
            return false;
        out = d;
        return true;
    }
    default:
        return false;
    }
}

// ---------------------------------------------------------------- cursor

int MemTable::currentRow() const
{
    return cur_ == NoRec ? -1 : rowOf(cur_);
}

void MemTable::notifyCurrent()
{
    if (disabled_ > 0 || listeners_.empty())
        return;
    const int row = currentRow();
    notify([row](TableListener* l) { l->currentChanged(row); });
}

void MemTable::fireScroll()
{
    notifyCurrent();
    if (afterScroll)
        afterScroll(*this);
}

void MemTable::first()
{
    if (state_ != State::Browse)
        post();
    cur_ = recAt(0);
    bof_ = true;
    eof_ = cur_ == NoRec;
    fireScroll();
}

void MemTable::last()
{
    if (state_ != State::Browse)
        post();
    cur_ = recAt(recordCount() - 1);
    eof_ = true;
    bof_ = cur_ == NoRec;
    fireScroll();
}

void MemTable::next()
{
    if (state_ != State::Browse)
        post();
    const int row = currentRow();
    if (row >= 0 && row + 1 < recordCount()) {
        cur_ = recAt(row + 1);
        bof_ = eof_ = false;
        fireScroll();
    } else {
        eof_ = true;
    }
}

void MemTable::prior()
{
    if (state_ != State::Browse)
        post();
    const int row = currentRow();
    if (row > 0) {
        cur_ = recAt(row - 1);
        bof_ = eof_ = false;
        fireScroll();
    } else {
        bof_ = true;
    }
}

bool MemTable::moveToRow(int row)
{
    const Rec r = recAt(row);
    return r != NoRec && moveTo(r);
}

bool MemTable::moveTo(Rec r)
{
    if (!isLive(r))
        return false;
    if (state_ != State::Browse)
        post();
    if (!isLive(r))
        return false;
    cur_ = r;
    bof_ = eof_ = false;
    fireScroll();
    return true;
}

bool MemTable::locateID(long long id)
{
    const Rec r = findID(id);
    return r != NoRec && moveTo(r);
}

bool MemTable::locate(int f, const Value& v)
{
    Value want;
    if (!convert(f, v, want))
        return false;
    const int n = recordCount();
    for (int row = 0; row < n; ++row) {
        const Rec r = recAt(row);
        if (fetch(r, f) == want)
            return moveTo(r);
    }
    return false;
}

void MemTable::loadBuffer()
{
    editBuf_.assign(fields_.size(), Value{});
    for (int f = 0; f < fieldCount(); ++f) {
        if (columns_[static_cast<std::size_t>(f)])
            editBuf_[static_cast<std::size_t>(f)] = storedValue(cur_, f);
    }
}

void MemTable::edit()
{
    if (state_ != State::Browse || cur_ == NoRec)
        return;
    loadBuffer();
    state_ = State::Edit;
}

Rec MemTable::append()
{
    if (state_ != State::Browse)
        post();
    const Rec r = appendRecord();
    cur_ = r;
    bof_ = eof_ = false;
    loadBuffer();
    state_ = State::Insert;
    notifyCurrent();
    if (afterInsert)
        afterInsert(*this);
    return r;
}

void MemTable::post()
{
    if (state_ == State::Browse)
        return;
    const Rec r = cur_;
    state_ = State::Browse;
    if (!isLive(r))
        return;
    for (int f = 0; f < fieldCount(); ++f) {
        if (!columns_[static_cast<std::size_t>(f)])
            continue;
        const Value& v = editBuf_[static_cast<std::size_t>(f)];
        if (storedValue(r, f) != v)
            setValue(r, f, v);
    }
    editBuf_.clear();
    calcRec_ = NoRec;
    const int row = rowOf(r);
    notify([row](TableListener* l) { l->rowChanged(row); });
    notifyCurrent();
    if (afterPost)
        afterPost(*this);
}

void MemTable::cancel()
{
    if (state_ == State::Browse)
        return;
    const State was = state_;
    state_ = State::Browse;
    editBuf_.clear();
    if (was == State::Insert && isLive(cur_))
        deleteRecord(cur_);
    else if (isLive(cur_)) {
        const int row = rowOf(cur_);
        notify([row](TableListener* l) { l->rowChanged(row); });
    }
    notifyCurrent();
    if (afterCancel)
        afterCancel(*this);
}

bool MemTable::remove()
{
    if (cur_ == NoRec)
        return false;
    if (beforeDelete && !beforeDelete(*this))
        return false;
    if (state_ == State::Insert) {
        cancel();
        return true;
    }
    state_ = State::Browse;
    editBuf_.clear();
    deleteRecord(cur_);
    notifyCurrent();
    if (afterDelete)
        afterDelete(*this);
    if (afterScroll)
        afterScroll(*this);
    return true;
}

RecordView MemTable::currentView() const
{
    return RecordView(*this, cur_, state_ != State::Browse ? &editBuf_ : nullptr);
}

Value MemTable::value(int f) const
{
    if (cur_ == NoRec)
        return {};
    if (state_ == State::Browse)
        return fetch(cur_, f);
    if (field(f).calculated) {
        computeCalc(cur_, &editBuf_);
        return calcValues_[static_cast<std::size_t>(f)];
    }
    return editBuf_[static_cast<std::size_t>(f)];
}

bool MemTable::isNull(int f) const { return korthal::isNull(value(f)); }
double MemTable::asFloat(int f) const { return currentView().asFloat(f); }
long long MemTable::asInteger(int f) const { return currentView().asInteger(f); }
bool MemTable::asBoolean(int f) const { return currentView().asBoolean(f); }
std::string MemTable::asString(int f) const { return currentView().asString(f); }
Date MemTable::asDate(int f) const { return currentView().asDate(f); }

std::vector<Value>& MemTable::buffer()
{
    if (state_ == State::Browse) {
        if (cur_ == NoRec)
            append();
        else
            edit();
    }
    return editBuf_;
}

void MemTable::set(int f, const Value& v)
{
    if (field(f).calculated)
        return;
    Value conv;
    if (!convert(f, v, conv))
        return;
    buffer()[static_cast<std::size_t>(f)] = std::move(conv);
}

void MemTable::setNull(int f)
{
    set(f, Value{});
}

bool MemTable::setText(int f, const std::string& t)
{
    buffer();
    const auto& h = setText_[static_cast<std::size_t>(f)];
    if (h) {
        h(*this, f, t);
        return true;
    }
    Value v;
    if (!parseText(f, t, decimalSep_, v)) {
        showMessage(conversionError(t), MsgIcon::Exclamation);
        return false;
    }
    set(f, v);
    return true;
}

std::string MemTable::text(int f) const
{
    if (cur_ == NoRec)
        return {};
    if (state_ == State::Browse)
        return text(cur_, f);
    const auto& h = getText_[static_cast<std::size_t>(f)];
    if (h)
        return h(currentView(), f);
    return plainText(field(f), value(f), decimalSep_);
}

// ---------------------------------------------------------------- quiet sections

void MemTable::disableControls()
{
    if (disabled_ == 0) {
        for (TableListener* l : listeners_)
            l->beginReset();
    }
    ++disabled_;
}

void MemTable::enableControls()
{
    if (disabled_ == 0)
        return;
    if (--disabled_ == 0) {
        ensureSorted();
        for (TableListener* l : listeners_)
            l->endReset();
        notifyCurrent();
    }
}

std::size_t MemTable::memoryUse() const
{
    std::size_t bytes = live_.capacity() + order_.capacity() * sizeof(Rec);
    for (const auto& col : columns_) {
        if (col) {
            bytes += col->ints.capacity() * sizeof(std::int32_t) +
                     col->floats.capacity() * sizeof(double) +
                     col->nulls.capacity() * sizeof(std::uint64_t);
        }
    }
    bytes += pool_.capacity() * sizeof(std::string);
    for (const auto& s : pool_)
        bytes += s.capacity() > 15 ? s.capacity() : 0;
    bytes += idLookup_.size() * (sizeof(long long) + sizeof(Rec) + 2 * sizeof(void*));
    return bytes;
}

// ---------------------------------------------------------------- RecordView

Value RecordView::value(int f) const
{
    if (buffer_) {
        if (table_->field(f).calculated)
            return {};
        return (*buffer_)[static_cast<std::size_t>(f)];
    }
    return table_->fetch(rec_, f);
}

bool RecordView::isNull(int f) const
{
    if (!buffer_ && !table_->field(f).calculated)
        return table_->isNull(rec_, f);
    return korthal::isNull(value(f));
}

double RecordView::asFloat(int f) const
{
    if (!buffer_ && !table_->field(f).calculated)
        return table_->getFloat(rec_, f);
    const Value v = value(f);
    if (auto d = std::get_if<double>(&v))
        return *d;
    if (auto i = std::get_if<long long>(&v))
        return static_cast<double>(*i);
    return 0.0;
}

long long RecordView::asInteger(int f) const
{
    if (!buffer_ && !table_->field(f).calculated)
        return table_->getInteger(rec_, f);
    const Value v = value(f);
    if (auto i = std::get_if<long long>(&v))
        return *i;
    if (auto b = std::get_if<bool>(&v))
        return *b;
    if (auto d = std::get_if<double>(&v))
        return static_cast<long long>(*d);
    return 0;
}

bool RecordView::asBoolean(int f) const
{
    return asInteger(f) != 0;
}

std::string RecordView::asString(int f) const
{
    if (!buffer_ && !table_->field(f).calculated)
        return table_->getString(rec_, f);
    const Value v = value(f);
    if (auto s = std::get_if<std::string>(&v))
        return *s;
    return plainText(table_->field(f), v, table_->decimalSeparator());
}

Date RecordView::asDate(int f) const
{
    const Value v = value(f);
    if (auto d = std::get_if<Date>(&v))
        return *d;
    return {};
}

}  // namespace korthal
