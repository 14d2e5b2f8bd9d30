#include "table/MemTable.h"
#include "table/MemTableInternal.h"

#include "table/PlainNumber.h"

#include <stdexcept>

namespace korthal {

using namespace detail;

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
    // Inside a quiet section nobody is told, and the order may wait.
    if (disabled_ == 0 && !listeners_.empty()) {
        const int row = rowOf(r);
        notify([row](TableListener* l) { l->rowChanged(row); });
    }
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
    else if (isLive(cur_) && disabled_ == 0 && !listeners_.empty()) {
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

bool MemTable::set(int f, const Value& v)
{
    if (cur_ == NoRec || field(f).calculated)
        return false;
    Value conv;
    if (!convert(f, v, conv))
        return false;
    edit();
    editBuf_[static_cast<std::size_t>(f)] = std::move(conv);
    return true;
}

bool MemTable::setNull(int f)
{
    return set(f, Value{});
}

TextEntry MemTable::setText(int f, const std::string& t)
{
    if (cur_ == NoRec)
        return {};
    edit();
    const auto& h = setText_[static_cast<std::size_t>(f)];
    if (h) {
        h(*this, f, t);
        return {true, {}};
    }
    Value v;
    if (!parseText(f, t, decimalSep_, v))
        return {false, conversionError(t)};
    return {set(f, v), {}};
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

}  // namespace korthal
