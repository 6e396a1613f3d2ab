// Hot paths allocate nothing: generation, make/unmake and a whole search run
// on preallocated records. Counts every allocation made by this test binary.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "board/perft.h"
#include "support/board_helpers.h"
#include "support/search_harness.h"

namespace {
std::atomic<long> gAllocations{0};
}

// Every form is replaced, so that each allocation is paired with its own
// release even where a sanitizer supplies the forms left out. None is inlined:
// the compiler would take malloc() or free() inside a new or delete for a mismatch.
[[gnu::noinline]] void* operator new(std::size_t size)
{
    ++gAllocations;
    if (void* p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}
[[gnu::noinline]] void* operator new[](std::size_t size) { return operator new(size); }
[[gnu::noinline]] void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    ++gAllocations;
    return std::malloc(size ? size : 1);
}
[[gnu::noinline]] void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept { return operator new(size, tag); }
[[gnu::noinline]] void operator delete(void* p) noexcept { std::free(p); }
[[gnu::noinline]] void operator delete(void* p, std::size_t) noexcept { std::free(p); }
[[gnu::noinline]] void operator delete[](void* p) noexcept { std::free(p); }
[[gnu::noinline]] void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
[[gnu::noinline]] void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
[[gnu::noinline]] void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }

TEST(Allocation, GenerationAndMakeUnmakeAllocateNothing)
{
    auto board = boardFrom("r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1");
    auto list = std::make_unique<MoveList>();
    list->setSide(WHITE);
    const long before = gAllocations.load();
    for (int i = 0; i < 100; ++i) {
        board->generateMoves(*list);
        for (std::uint32_t m = 0; m < list->nonCaptureCount; ++m) {
            list->record.move = list->nonCaptures[m];
            board->makeMove(list->record);
            board->unmakeMove(list->record);
        }
    }
    EXPECT_EQ(gAllocations.load(), before);
}

TEST(Allocation, ASearchAllocatesNothingAfterSetUp)
{
    auto table = HashTable_class::create(8u << 20);
    auto search = std::make_unique<Search_class>(currentRelease().game.search);
    ASSERT_EQ(search->setUpFromFen(nullptr, "r1b1k2r/ppppqppp/2n2n2/2b1p3/2B1P3/2NP1N2/PPP2PPP/R1BQK2R w KQkq - 1 6",
                                   table.get()),
              CE_SUCCESS);
    search->setDepthLimit(4);
    // One line, then four a depth (the full mode's MultiPV: its lines are made room for when it is set).
    for (const std::uint32_t lines : {1u, 4u}) {
        SCOPED_TRACE(lines);
        search->setIterationReports(lines > 1);
        search->setMultiPv(lines);
        search->arm();
        const long before = gAllocations.load();
        search->iterativeDeepening();
        search->seedFromBestLine();
        EXPECT_EQ(gAllocations.load(), before);
        EXPECT_GT(search->nodeCount(), 1000u);
    }
}
