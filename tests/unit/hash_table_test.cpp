#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "search/hash_table.h"

using testing::internal::CaptureStderr;
using testing::internal::GetCapturedStderr;

namespace {

// Keys with equal low halves share a slot; the high half tells them apart.
constexpr std::uint64_t slotKey(std::uint32_t n, std::uint32_t low = 1)
{
    return (std::uint64_t{n + 1} << 32) | low;
}

std::unique_ptr<HashTable_class> quietTable(std::uint32_t bytes = 4 * HASH_SLOT_SIZE)
{
    CaptureStderr();
    auto table = HashTable_class::create(bytes);
    GetCapturedStderr();
    return table;
}

void storeKey(HashTable_class& table, std::uint64_t key, std::uint32_t depth = 1, std::int32_t score = 10,
              std::uint32_t white = 16, std::uint32_t black = 16)
{
    table.store(key, 0, score, HASH_LOWER, depth, 0, white, black);
}

} // namespace

TEST(HashTableMate, ExactMateIsStoredAsDistanceAndHoldsAtAnyPly)
{
    auto table = quietTable();
    // Node at ply 3, mate 5 plies below it (mate at ply 8); a mate bound stays a bound.
    table->store(slotKey(0), 3, 99999 - 8, HASH_EXACT, 2, 0x1234, 16, 16);
    table->store(slotKey(1), 3, 8 - 99999, HASH_EXACT, 2, 0, 16, 16);
    table->store(slotKey(2), 0, 99990, HASH_LOWER, 3, 0, 16, 16);
    const HashEntry* win = table->findEntry(slotKey(0));
    EXPECT_EQ(win->flags, HASH_MATE);
    EXPECT_EQ(win->mateDistance, 5);
    EXPECT_EQ(win->depth, 251u);
    EXPECT_EQ(table->findEntry(slotKey(2))->flags, HASH_LOWER);

    // Reached again at ply 7: any depth, any window.
    HashEntry* entry = nullptr;
    std::int32_t alpha = -100;
    EXPECT_TRUE(table->probe(slotKey(0), 1000, 7, alpha, -50, &entry));
    EXPECT_EQ(alpha, 99987);
    alpha = 0;
    EXPECT_TRUE(table->probe(slotKey(1), 1000, 7, alpha, 1, &entry));
    EXPECT_EQ(alpha, -99987);
}

TEST(HashTableProbe, BoundsHitOnlyAtEnoughDepthAndOutsideTheWindow)
{
    auto table = quietTable();
    HashEntry* entry = nullptr;
    std::int32_t alpha = 0;
    table->store(slotKey(0), 0, 50, HASH_LOWER, 4, 0, 16, 16);
    table->store(slotKey(1), 0, -50, HASH_UPPER, 4, 0, 16, 16);
    EXPECT_FALSE(table->probe(slotKey(0), 5, 0, alpha, 10, &entry));
    EXPECT_FALSE(table->probe(slotKey(0), 4, 0, alpha, 51, &entry));
    EXPECT_TRUE(table->probe(slotKey(0), 4, 0, alpha, 50, &entry));
    EXPECT_EQ(alpha, 50);
    alpha = -51;
    EXPECT_FALSE(table->probe(slotKey(1), 4, 0, alpha, 100, &entry));
    alpha = -50;
    EXPECT_TRUE(table->probe(slotKey(1), 3, 0, alpha, 100, &entry));
}

TEST(HashTableReplacement, FifthStoreReplacesTheAgedFirstEntry)
{
    auto table = quietTable();
    for (std::uint32_t n = 0; n < 5; ++n)
        storeKey(*table, slotKey(n));
    const HashEntry* slot = table->slot(1);
    EXPECT_EQ(slot[0].keyHigh, 5u);   // key 4 took entry 0 ...
    EXPECT_EQ(slot[0].age, 0u);
    EXPECT_EQ(slot[4].flags, HASH_EMPTY);   // ... not the empty entry 4
    EXPECT_EQ(slot[1].age, 2u);
    EXPECT_EQ(table->overridden, 6u);
}

TEST(HashTableReplacement, CollisionAgesAllEightEntriesAndStoresNothing)
{
    auto table = quietTable();
    std::uint32_t n = 0;
    std::vector<HashEntry> before;
    // Different positions keep coming into one slot until one finds no place.
    while (table->collisions == 0 && n < 100) {
        before.assign(table->slot(1), table->slot(1) + HASH_ENTRIES_PER_SLOT);
        storeKey(*table, slotKey(n++));
    }
    ASSERT_EQ(table->collisions, 1u);
    EXPECT_EQ(table->findEntry(slotKey(n - 1)), nullptr);
    for (std::uint32_t i = 0; i < HASH_ENTRIES_PER_SLOT; ++i) {
        EXPECT_EQ(table->slot(1)[i].age, before[i].age + 1);
        EXPECT_EQ(table->slot(1)[i].keyHigh, before[i].keyHigh);
    }
}

TEST(HashTableMaintenance, CleanDropsPositionsWithMorePieces)
{
    auto table = quietTable();
    storeKey(*table, slotKey(0), 1, 10, 16, 16);
    storeKey(*table, slotKey(1), 1, 10, 16, 15);
    storeKey(*table, slotKey(2, 2), 1, 10, 15, 15);
    storeKey(*table, slotKey(3, 3), 1, 10, 14, 16);
    CaptureStderr();
    table->clean(16, 15);
    EXPECT_EQ(GetCapturedStderr(), "Hash: Clean 32\nHash: Cleaned 2 entries (16:15)\n");
    EXPECT_EQ(table->findEntry(slotKey(0)), nullptr);
    EXPECT_NE(table->findEntry(slotKey(1)), nullptr);
    EXPECT_NE(table->findEntry(slotKey(2, 2)), nullptr);
    EXPECT_EQ(table->findEntry(slotKey(3, 3)), nullptr);
    // What is left is what the statistics count; the fixed entry keeps the
    // dropped entry's piece counts, so the next clean drops it and nothing else.
    table->fixPosition(slotKey(0));
    CaptureStderr();
    table->printStatistics();
    table->clean(16, 15);
    const std::string printed = GetCapturedStderr();
    EXPECT_NE(printed.find("  9% filled -- 3 valid entries. 1 fixed entries\n"), std::string::npos) << printed;
    EXPECT_NE(printed.find(" 1: 2\n"), std::string::npos) << printed;
    EXPECT_NE(printed.find("Hash: Cleaned 1 entries (16:15)\n"), std::string::npos) << printed;
}

TEST(HashTableStatistics, FreshTableHasNoPercentageLines)
{
    auto table = quietTable();
    std::string depths;
    for (int depth = 0; depth < 20; ++depth)
        depths += (depth < 10 ? " " : "") + std::to_string(depth) + ": 0\n";
    CaptureStderr();
    table->printStatistics();
    EXPECT_EQ(GetCapturedStderr(),
              "-- HashTable Statistics: --\n"
              "- TableSize: 1024, SlotSize: 256 EntrySize: 32 AddressMask: 0x3\n"
              "  0 tried to put, 0 put, 0 queried, 0 hit, 0 missed\n"
              "  0 overridden 0 Collisions\n"
              "  0% filled -- 0 valid entries. 0 fixed entries\n"
              "  0 Mate Values\n" + depths);
}

TEST(HashTableCreate, EveryKeyLandsInsideATableOfAnySize)
{
    auto table = quietTable(8 * 1024 * 1024);
    EXPECT_EQ(table->slotCount(), 32768u);
    EXPECT_EQ(table->addressMask(), 0x7fffu);
    // Five slots: mask 4, so every key lands inside the table.
    table = quietTable(5 * HASH_SLOT_SIZE + 100);
    EXPECT_EQ(table->addressMask(), 4u);
    storeKey(*table, slotKey(0, 0xffffffffu));
    EXPECT_EQ(table->slot(4)[0].keyLow, 0xffffffffu);
    EXPECT_EQ(quietTable(HASH_SLOT_SIZE - 1), nullptr);   // too small for a single slot
}
