#include "table/MemTable.h"
#include "table/MemTableInternal.h"

#include "table/PlainNumber.h"

#include <algorithm>
#include <memory>
#include <stdexcept>

namespace korthal {

using namespace detail;

// ---------------------------------------------------------------- definition

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
    activeKey_.assign(fields_.size(), 0);
    if (found)
        for (int f : found->fields)
            activeKey_[static_cast<std::size_t>(f)] = 1;
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
    bytes += idLookup_.memoryUse();
    return bytes;
}

}  // namespace korthal
