// Sorting the whole order at once, as after a quiet section: the order that
// compareRecs defines, with the comparisons made on numbers laid out beside
// the records, since a sort makes millions of them.

#include "table/MemTable.h"
#include "table/MemTableInternal.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace korthal {

namespace {

bool isTextType(FieldType t) { return t == FieldType::String || t == FieldType::Memo; }

// How many bits x takes.
int bitWidth(std::uint64_t x)
{
    return x == 0 ? 0 : 64 - __builtin_clzll(x);
}

// Up to three numbers per record compare as its index keys do.
constexpr std::size_t kWords = 3;

struct Entry {
    std::uint64_t w[kWords];
    Rec r;
};

// The keys of the parts [first, end) of the index, side by side in a word;
// a text part is alone in its word and gives only its first seven bytes.
struct Word {
    std::size_t first = 0, end = 0;
    bool whole = false;  // whole numbers, packed
    bool text = false;
    int bits = 0;
};

// Sorts the entries by their words 0 .. last (the first mattering most),
// one byte at a time from the least significant byte of the last word (a
// byte whose value all entries share costs no pass). Entries equal in those
// words keep their order.
void sortByWords(std::vector<Entry>& entries, std::size_t last)
{
    std::vector<Entry> other(entries.size());
    for (std::size_t j = last + 1; j-- > 0;) {
        for (int shift = 0; shift < 64; shift += 8) {
            std::size_t count[257] = {};
            for (const Entry& e : entries)
                ++count[((e.w[j] >> shift) & 0xff) + 1];
            if (count[((entries.front().w[j] >> shift) & 0xff) + 1] == entries.size())
                continue;
            for (std::size_t b = 1; b < 257; ++b)
                count[b] += count[b - 1];
            for (const Entry& e : entries)
                other[count[(e.w[j] >> shift) & 0xff]++] = e;
            entries.swap(other);
        }
    }
}

}  // namespace

void MemTable::sortOrder() const
{
    // Each key as a number that compares as compareRecs compares it: null 0,
    // then the values in order. A text gives its first seven bytes.
    const std::size_t m = active_ ? active_->fields.size() : 0;
    std::vector<const Column*> cols;
    for (std::size_t i = 0; i < m; ++i)
        cols.push_back(columns_[static_cast<std::size_t>(active_->fields[i])].get());
    std::vector<std::uint64_t> keys(live_.size() * m);
    std::vector<std::uint64_t> lo(m, ~std::uint64_t{0}), hi(m, 0);
    for (Rec r : order_) {
        for (std::size_t i = 0; i < m; ++i) {
            const Column* col = cols[i];
            std::uint64_t key = 0;
            if (!col || col->null(r)) {
                key = 0;
            } else if (col->type == FieldType::Float) {
                const double x = col->floats[r] == 0 ? 0.0 : col->floats[r];  // -0 as 0
                std::uint64_t bits;
                std::memcpy(&bits, &x, sizeof bits);
                key = x != x ? ~std::uint64_t{0} : (bits >> 63) ? ~bits : bits | (std::uint64_t{1} << 63);
            } else if (isTextType(col->type)) {
                const std::string& text = pool_[static_cast<std::uint32_t>(col->ints[r])];
                key = 1;
                for (std::size_t b = 0; b < 7; ++b)
                    key = key << 8 | (b < text.size() ? static_cast<unsigned char>(text[b]) : 0u);
            } else {
                key = static_cast<std::uint64_t>(static_cast<std::int64_t>(col->ints[r]) -
                                                 std::numeric_limits<std::int32_t>::min() + 1);
            }
            keys[r * m + i] = key;
            lo[i] = std::min(lo[i], key);
            hi[i] = std::max(hi[i], key);
        }
    }

    // Whole numbers share a word as far as their ranges allow.
    std::vector<Word> words;
    std::size_t packed = 0;  // the parts that made it into the words
    for (; packed < m; ++packed) {
        const Column* col = cols[packed];
        const bool whole = col && col->type != FieldType::Float && !isTextType(col->type);
        const int bits = whole ? bitWidth(hi[packed] - lo[packed]) : 64;
        if (whole && !words.empty() && words.back().whole && words.back().bits + bits <= 64) {
            words.back().end = packed + 1;
            words.back().bits += bits;
            continue;
        }
        if (words.size() == kWords)
            break;
        words.push_back({packed, packed + 1, whole, col && isTextType(col->type), bits});
    }

    std::vector<Entry> entries;
    entries.reserve(order_.size());
    for (Rec r : order_) {
        Entry e{{0, 0, 0}, r};
        for (std::size_t j = 0; j < words.size(); ++j) {
            const Word& w = words[j];
            if (!w.whole) {
                e.w[j] = keys[r * m + w.first];
                continue;
            }
            for (std::size_t i = w.first; i < w.end; ++i)
                e.w[j] = (e.w[j] << bitWidth(hi[i] - lo[i])) | (keys[r * m + i] - lo[i]);
        }
        entries.push_back(e);
    }

    const std::string* pool = pool_.data();
    auto compareTexts = [&](std::size_t i, Rec a, Rec b) {
        const std::string_view x = pool[static_cast<std::uint32_t>(cols[i]->ints[a])];
        const std::string_view y = pool[static_cast<std::uint32_t>(cols[i]->ints[b])];
        return x.compare(y);
    };
    auto less = [&](const Entry& a, const Entry& b) {
        for (std::size_t j = 0; j < words.size(); ++j) {
            if (a.w[j] != b.w[j])
                return a.w[j] < b.w[j];
            if (words[j].text && a.w[j] != 0) {
                if (const int c = compareTexts(words[j].first, a.r, b.r); c != 0)
                    return c < 0;
            }
        }
        // The parts that found no word.
        for (std::size_t i = packed; i < m; ++i) {
            const std::uint64_t ka = keys[a.r * m + i], kb = keys[b.r * m + i];
            if (ka != kb)
                return ka < kb;
            if (ka != 0 && cols[i] && isTextType(cols[i]->type)) {
                if (const int c = compareTexts(i, a.r, b.r); c != 0)
                    return c < 0;
            }
        }
        return a.r < b.r;
    };
    // A large order is first laid out by its words in linear time, up to
    // and with the first text word (past a text's seven bytes the whole text
    // decides before any later word); only the runs equal in those words
    // need the comparisons.
    constexpr std::size_t kRadixFrom = 1024;
    if (entries.size() < kRadixFrom || words.empty()) {
        std::sort(entries.begin(), entries.end(), less);
    } else {
        std::size_t last = 0;
        while (last + 1 < words.size() && !words[last].text)
            ++last;
        sortByWords(entries, last);
        auto sameWords = [last](const Entry& a, const Entry& b) {
            for (std::size_t j = 0; j <= last; ++j)
                if (a.w[j] != b.w[j])
                    return false;
            return true;
        };
        for (auto run = entries.begin(); run != entries.end();) {
            auto next = run + 1;
            while (next != entries.end() && sameWords(*next, *run))
                ++next;
            if (next - run > 1)
                std::sort(run, next, less);
            run = next;
        }
    }
    for (std::size_t i = 0; i < entries.size(); ++i)
        order_[i] = entries[i].r;
}

}  // namespace korthal
