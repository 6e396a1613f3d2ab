#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <random>
#include <string>
#include <thread>
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
    const auto win = table->findEntry(slotKey(0));
    EXPECT_EQ(win->flags, HASH_MATE);
    EXPECT_EQ(win->mateDistance, 5);
    EXPECT_EQ(win->depth, 251u);
    EXPECT_EQ(table->findEntry(slotKey(2))->flags, HASH_LOWER);

    // Reached again at ply 7: any depth, any window.
    HashEntry entry;
    std::int32_t alpha = -100;
    EXPECT_TRUE(table->probe(slotKey(0), 1000, 7, alpha, -50, entry));
    EXPECT_EQ(alpha, 99987);
    alpha = 0;
    EXPECT_TRUE(table->probe(slotKey(1), 1000, 7, alpha, 1, entry));
    EXPECT_EQ(alpha, -99987);
}

TEST(HashTableProbe, BoundsHitOnlyAtEnoughDepthAndOutsideTheWindow)
{
    auto table = quietTable();
    HashEntry entry;
    std::int32_t alpha = 0;
    table->store(slotKey(0), 0, 50, HASH_LOWER, 4, 0, 16, 16);
    table->store(slotKey(1), 0, -50, HASH_UPPER, 4, 0, 16, 16);
    EXPECT_FALSE(table->probe(slotKey(0), 5, 0, alpha, 10, entry));
    EXPECT_FALSE(table->probe(slotKey(0), 4, 0, alpha, 51, entry));
    EXPECT_TRUE(table->probe(slotKey(0), 4, 0, alpha, 50, entry));
    EXPECT_EQ(alpha, 50);
    alpha = -51;
    EXPECT_FALSE(table->probe(slotKey(1), 4, 0, alpha, 100, entry));
    alpha = -50;
    EXPECT_TRUE(table->probe(slotKey(1), 3, 0, alpha, 100, entry));
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
    EXPECT_FALSE(table->findEntry(slotKey(n - 1)));
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
    EXPECT_FALSE(table->findEntry(slotKey(0)));
    EXPECT_TRUE(table->findEntry(slotKey(1)));
    EXPECT_TRUE(table->findEntry(slotKey(2, 2)));
    EXPECT_FALSE(table->findEntry(slotKey(3, 3)));
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
    EXPECT_EQ(table->slot(4)[0].keyHigh, 1u);
    EXPECT_EQ(quietTable(HASH_SLOT_SIZE - 1), nullptr);   // too small for a single slot
}

TEST(HashTableSharing, AnEntryMixedFromTwoStoresIsAMiss)
{
    // One key stored twice, as two threads might store it at once. An entry
    // holding the first n fields (4-byte words) of one store and the rest of
    // the other hits only when it is one of them whole.
    struct Stored {
        std::int32_t score;
        std::uint32_t flag;
        std::uint32_t depth;
        Move move;
    };
    const std::vector<std::pair<Stored, Stored>> rows = {
        {{10, HASH_LOWER, 4, 0x111}, {11, HASH_LOWER, 5, 0x111}},   // differences a plain xor would cancel
        {{-30, HASH_LOWER, 3, 0x1234}, {200, HASH_UPPER, 9, 0x567}},
        {{99999 - 8, HASH_EXACT, 2, 0x1234}, {-15, HASH_EXACT, 2, 0x1234}},   // a mate entry and an exact one
    };
    const std::uint64_t key = slotKey(7, 2);
    for (const auto& [one, other] : rows) {
        auto table = quietTable();
        auto second = quietTable();
        table->store(key, 0, one.score, one.flag, one.depth, one.move, 16, 16);
        second->store(key, 0, other.score, other.flag, other.depth, other.move, 16, 15);
        const HashEntry first = table->slot(2)[0];
        const HashEntry last = second->slot(2)[0];
        for (std::size_t n = 0; n <= sizeof(HashEntry) / 4; ++n) {
            HashEntry mixed = last;
            std::memcpy(&mixed, &first, 4 * n);
            std::memcpy(const_cast<HashEntry*>(table->slot(2)), &mixed, sizeof mixed);
            const bool whole =
                std::memcmp(&mixed, &first, sizeof mixed) == 0 || std::memcmp(&mixed, &last, sizeof mixed) == 0;
            const auto found = table->findEntry(key);
            ASSERT_EQ(found.has_value(), whole) << one.score << " " << n;
            if (found) {
                EXPECT_EQ(found->score, mixed.score);
            }
            HashEntry entry;
            std::int32_t alpha = 100000;   // any bound hits
            EXPECT_EQ(table->probe(key, 0, 0, alpha, -100000, entry), whole) << one.score << " " << n;
        }
    }
}

TEST(HashTableSharing, ThreadsStoringAndProbingAtOnceSeeOnlyWholeEntries)
{
    // Four threads store and probe 128 keys in a table of two slots, so that
    // entries are replaced all the time. Each key is always stored with the
    // same fields: every hit must show them.
    auto table = quietTable(2 * HASH_SLOT_SIZE);
    table->expectSeveralWriters();
    auto scoreOf = [](std::uint64_t key) { return static_cast<std::int32_t>(key % 2001) - 1000; };
    auto moveOf = [](std::uint64_t key) { return static_cast<Move>(key * 2654435761u >> 40); };
    auto flagOf = [](std::uint64_t key) { return (key >> 32) % 2 == 1 ? HASH_LOWER : HASH_UPPER; };
    std::atomic<int> hits{0};
    std::atomic<int> wrong{0};
    auto work = [&](unsigned seed) {
        std::mt19937 random(seed);
        for (int i = 0; i < 20000; ++i) {
            const std::uint64_t key = slotKey(random() % 32, random() % 4);
            const auto depth = static_cast<std::uint32_t>(key % 13);
            if (random() % 2 == 0) {
                table->store(key, 0, scoreOf(key), flagOf(key), depth, moveOf(key), 16, 16);
                continue;
            }
            HashEntry entry;
            std::int32_t alpha = 100000;   // any bound hits
            if (!table->probe(key, 0, 0, alpha, -100000, entry))
                continue;
            ++hits;
            wrong += entry.keyLow != static_cast<std::uint32_t>(key) || entry.keyHigh != key >> 32 ||
                     entry.score != scoreOf(key) || entry.move != moveOf(key) || entry.flags != flagOf(key) ||
                     entry.depth != depth || entry.whiteCount != 16 || entry.blackCount != 16;
        }
    };
    std::vector<std::thread> threads;
    for (unsigned seed = 1; seed <= 4; ++seed)
        threads.emplace_back(work, seed);
    for (std::thread& thread : threads)
        thread.join();
    EXPECT_GT(hits.load(), 0);
    EXPECT_EQ(wrong.load(), 0);

    // The next clean counts the census anew (so the statistics tell what is
    // there), and no occupied slot was missed: a clean to fewer pieces empties it.
    auto stored = [&] {
        std::uint32_t count = 0;
        for (std::uint32_t i = 0; i < 2 * HASH_ENTRIES_PER_SLOT; ++i)
            count += table->slot(i / HASH_ENTRIES_PER_SLOT)[i % HASH_ENTRIES_PER_SLOT].flags != HASH_EMPTY;
        return count;
    };
    CaptureStderr();
    table->clean(16, 16);
    table->printStatistics();
    const std::string printed = GetCapturedStderr();
    EXPECT_NE(printed.find("-- " + std::to_string(stored()) + " valid entries."), std::string::npos) << printed;
    CaptureStderr();
    table->clean(16, 15);
    GetCapturedStderr();
    EXPECT_EQ(stored(), 0u);
}
