#include "table/IdMap.h"

#include <algorithm>

namespace korthal {

void IdMap::set(long long id, Rec r)
{
    // The array grows for IDs near those it holds, so that one large ID
    // does not cost an array of its size.
    const auto limit = static_cast<long long>(std::max<std::size_t>(4096, 2 * dense_.size()));
    if (id > 0 && id < limit) {
        const auto i = static_cast<std::size_t>(id);
        if (i >= dense_.size()) {
            dense_.resize(std::max(i + 1, 2 * dense_.size()), NoRec);
            // IDs that now fall inside the array move into it.
            for (auto it = sparse_.begin(); it != sparse_.end();) {
                if (it->first > 0 && static_cast<std::size_t>(it->first) < dense_.size()) {
                    dense_[static_cast<std::size_t>(it->first)] = it->second;
                    it = sparse_.erase(it);
                } else {
                    ++it;
                }
            }
        }
        dense_[i] = r;
    } else {
        sparse_[id] = r;
    }
}

void IdMap::erase(long long id, Rec r)
{
    if (id > 0 && static_cast<std::size_t>(id) < dense_.size()) {
        if (dense_[static_cast<std::size_t>(id)] == r)
            dense_[static_cast<std::size_t>(id)] = NoRec;
        return;
    }
    const auto it = sparse_.find(id);
    if (it != sparse_.end() && it->second == r)
        sparse_.erase(it);
}

void IdMap::clear()
{
    dense_.clear();
    sparse_.clear();
}

std::size_t IdMap::memoryUse() const
{
    return dense_.capacity() * sizeof(Rec) +
           sparse_.size() * (sizeof(long long) + sizeof(Rec) + 2 * sizeof(void*));
}

}  // namespace korthal
