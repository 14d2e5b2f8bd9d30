#pragma once
// What the parts of the table engine share and nobody else needs: the storage
// of one column, an index's definition, small text helpers and the listener
// notification.

#include "table/LargeMemory.h"
#include "table/MemTable.h"
#include "table/TextUtil.h"

#include <charconv>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace korthal {

namespace detail {

// Whether `text` is, without regard to case, the start of `full`. Greek
// letters compare as they are (the display texts in use are Latin).
inline bool isPrefixNoCase(std::string_view text, std::string_view full)
{
    return text.size() <= full.size() && equalsNoCase(text, full.substr(0, text.size()));
}

inline bool parseInt(std::string_view s, long long& out)
{
    s = trimBlanks(s);
    if (!s.empty() && s.front() == '+')
        s.remove_prefix(1);
    if (s.empty())
        return false;
    const auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), out);
    return ec == std::errc() && p == s.data() + s.size();
}

// The bytes of the first `size` characters of UTF-8 text (all of it when
// size is not positive).
inline std::size_t utf8PrefixBytes(std::string_view s, int size)
{
    if (size <= 0)
        return s.size();
    int chars = 0;
    for (std::size_t i = 0; i < s.size(); ++i) {
        const auto c = static_cast<unsigned char>(s[i]);
        if ((c & 0xC0) != 0x80) {
            if (chars == size)
                return i;
            ++chars;
        }
    }
    return s.size();
}

// Cuts UTF-8 text to at most `size` characters.
inline void cutToSize(std::string& s, int size)
{
    s.resize(utf8PrefixBytes(s, size));
}

// The text of a value without a get-text handler: Boolean texts, decimal
// integers, general format with `decimal`, dd/mm/yyyy dates, strings as
// they are; null gives "".
std::string plainText(const FieldDef& def, const Value& v, char decimal);

}  // namespace detail

struct MemTable::Column {
    FieldType type;
    // Columns of large tables are large buffers (see LargeMemory.h).
    std::vector<std::int32_t, LargeAllocator<std::int32_t>> ints;  // Integer, AutoInc, Boolean,
                                                                   // Date, text pool refs
    std::vector<double, LargeAllocator<double>> floats;            // Float
    std::vector<std::uint64_t, LargeAllocator<std::uint64_t>> nulls;  // one bit per record,
                                                                      // set = null

    bool usesFloats() const { return type == FieldType::Float; }
    // Room for n records; slots beyond the records hold zeros until records
    // are appended into them.
    void grow(std::size_t n)
    {
        if (usesFloats())
            floats.resize(n, 0.0);
        else
            ints.resize(n, 0);
        nulls.resize((n + 63) / 64, 0);
    }
    // Memory for n records, not yet written: growing up to n then copies
    // nothing.
    void reserve(std::size_t n)
    {
        if (usesFloats())
            floats.reserve(n);
        else
            ints.reserve(n);
        nulls.reserve((n + 63) / 64);
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

template <typename F>
void MemTable::notify(F&& f) const
{
    if (disabled_ > 0)
        return;
    for (TableListener* l : listeners_)
        f(l);
}

}  // namespace korthal
