#include "platform/large_memory.h"

#include <cstdlib>
#include <cstring>
#include <sys/mman.h>

namespace {
constexpr std::size_t HUGE_PAGE = 2 * 1024 * 1024;
}

void LargeMemoryDeleter::operator()(void* block) const
{
    std::free(block);
}

LargeMemory allocateLargeMemory(std::size_t bytes)
{
    if (bytes == 0)
        return nullptr;
    // Aligned to a huge page and rounded up to whole huge pages.
    const std::size_t rounded = (bytes + HUGE_PAGE - 1) / HUGE_PAGE * HUGE_PAGE;
    void* block = std::aligned_alloc(HUGE_PAGE, rounded);
    if (block == nullptr)
        return nullptr;
#ifdef MADV_HUGEPAGE
    madvise(block, rounded, MADV_HUGEPAGE);
#endif
    std::memset(block, 0, rounded);
    return LargeMemory(block);
}
