#include "table/LargeMemory.h"

#include <cstdint>
#include <cstdlib>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace korthal {

namespace {

constexpr std::uintptr_t kLargePage = std::uintptr_t{2} << 20;

}  // namespace

void adviseLargePages(void* p, std::size_t bytes)
{
#if defined(MADV_HUGEPAGE)
    if (!p || bytes < kLargeBuffer)
        return;
    const auto begin = reinterpret_cast<std::uintptr_t>(p);
    const std::uintptr_t first = (begin + kLargePage - 1) & ~(kLargePage - 1);
    const std::uintptr_t last = (begin + bytes) & ~(kLargePage - 1);
    // Only advice: a refusal leaves the memory as it was.
    if (last > first)
        (void)madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
#else
    (void)p;
    (void)bytes;
#endif
}

void* allocateLargeBlock(std::size_t bytes)
{
    // aligned_alloc wants a size that is a multiple of the alignment.
    const std::size_t rounded = (bytes + kLargePage - 1) & ~static_cast<std::size_t>(kLargePage - 1);
    if (rounded < bytes)
        throw std::bad_alloc();
    void* p = std::aligned_alloc(kLargePage, rounded);
    if (!p)
        throw std::bad_alloc();
    adviseLargePages(p, rounded);
    return p;
}

void freeLargeBlock(void* p) noexcept
{
    std::free(p);
}

}  // namespace korthal
