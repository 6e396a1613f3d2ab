#pragma once
// Large zeroed memory blocks (the transposition table), backed by huge pages
// where the system offers them, so that random access into the block does
// not miss the address-translation cache at every step.

#include <cstddef>
#include <memory>

struct LargeMemoryDeleter {
    void operator()(void* block) const;
};
using LargeMemory = std::unique_ptr<void, LargeMemoryDeleter>;

// A zeroed block of `bytes`, or null when it cannot be had.
LargeMemory allocateLargeMemory(std::size_t bytes);
