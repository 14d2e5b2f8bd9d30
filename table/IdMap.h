#pragma once
// The records of a table by their ID: a plain array for the small positive
// IDs that a table hands out (1, 2, 3, ...), a hash table for any others.

#include "table/Field.h"

#include <cstddef>
#include <unordered_map>
#include <vector>

namespace korthal {

class IdMap {
public:
    // NoRec when no record has the ID.
    Rec find(long long id) const
    {
        if (id > 0 && static_cast<std::size_t>(id) < dense_.size())
            return dense_[static_cast<std::size_t>(id)];
        const auto it = sparse_.find(id);
        return it == sparse_.end() ? NoRec : it->second;
    }
    void set(long long id, Rec r);
    // Forgets the ID if it belongs to r.
    void erase(long long id, Rec r);
    void clear();
    std::size_t memoryUse() const;

private:
    std::vector<Rec> dense_;  // by ID; NoRec for none
    std::unordered_map<long long, Rec> sparse_;
};

}  // namespace korthal
