#pragma once
// Large buffers (table columns, table texts, compressed streams) in memory
// pages of 2 MB where the system offers them. A buffer of a few hundred
// megabytes in 4 KB pages costs one page fault per 4 KB the first time it is
// written, which on virtual machines takes longer than writing the buffer;
// in 2 MB pages it takes 512 times fewer. Only the speed changes: where the
// system has no such pages, or refuses them, memory is what it would be.

#include <cstddef>
#include <new>

namespace korthal {

// Buffers from this size on are worth the advice.
constexpr std::size_t kLargeBuffer = std::size_t{4} << 20;

// Asks for 2 MB pages over the whole 2 MB pages inside [p, p + bytes). Call
// it before the memory is first written; small ranges are left as they are.
void adviseLargePages(void* p, std::size_t bytes);

// The same for the memory a string or vector has reserved.
template <typename Container>
void adviseLargePagesFor(Container& c)
{
    adviseLargePages(c.data(), c.capacity() * sizeof(typename Container::value_type));
}

// The large blocks of LargeAllocator: on 2 MB boundaries, with the advice
// given; throws std::bad_alloc when there is no memory.
void* allocateLargeBlock(std::size_t bytes);
void freeLargeBlock(void* p) noexcept;

// An allocator that places large blocks on 2 MB boundaries and asks for
// 2 MB pages for them; smaller blocks come from the ordinary heap.
template <typename T>
struct LargeAllocator {
    using value_type = T;

    LargeAllocator() noexcept = default;
    template <typename U>
    LargeAllocator(const LargeAllocator<U>&) noexcept
    {
    }

    T* allocate(std::size_t n)
    {
        if (n > static_cast<std::size_t>(-1) / sizeof(T))
            throw std::bad_array_new_length();
        const std::size_t bytes = n * sizeof(T);
        if (bytes < kLargeBuffer)
            return static_cast<T*>(::operator new(bytes));
        return static_cast<T*>(allocateLargeBlock(bytes));
    }
    void deallocate(T* p, std::size_t n) noexcept
    {
        if (n * sizeof(T) < kLargeBuffer)
            ::operator delete(p);
        else
            freeLargeBlock(p);
    }

    template <typename U>
    bool operator==(const LargeAllocator<U>&) const noexcept
    {
        return true;
    }
};

// Bytes left unwritten until used, in 2 MB pages when large.
class LargeBytes {
public:
    LargeBytes() noexcept = default;
    explicit LargeBytes(std::size_t n) { reset(n); }
    LargeBytes(const LargeBytes&) = delete;
    LargeBytes& operator=(const LargeBytes&) = delete;
    ~LargeBytes() { clear(); }

    // Room for n bytes in place of the old ones.
    void reset(std::size_t n)
    {
        clear();
        bytes_ = LargeAllocator<char>().allocate(n);
        size_ = n;
    }
    char* get() const noexcept { return bytes_; }
    // Gives the memory back.
    void clear() noexcept
    {
        if (bytes_)
            LargeAllocator<char>().deallocate(bytes_, size_);
        bytes_ = nullptr;
        size_ = 0;
    }

private:
    char* bytes_ = nullptr;
    std::size_t size_ = 0;
};

}  // namespace korthal
