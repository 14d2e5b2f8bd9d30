#include "table/MemTable.h"
#include "table/MemTableInternal.h"

#include "table/PlainNumber.h"

#include <algorithm>
#include <cstdio>
#include <limits>

namespace korthal {

using namespace detail;

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

std::string detail::plainText(const FieldDef& def, const Value& v, char decimal)
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
        return truncatedInteger(*d);
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
