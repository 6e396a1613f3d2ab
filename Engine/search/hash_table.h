#pragma once
// The transposition table: search results by position key, in slots of eight
// 32-byte entries. Besides bounds and exact scores it holds mate entries
// (scores stored as a distance to the mate, so they stay right at any ply)
// and fixed entries (positions that already occurred in the game; they score
// as draws). Entries remember the piece counts they were stored with, so that
// after every game move the positions that can no longer arise are dropped.
//
// Several search threads may probe, prefetch and store at once; clear, clean,
// fixPosition, unfixPosition, printStatistics and zeroCounters run only while
// no search does. Nothing on the search's side locks: see hash_table.cpp.

#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>

#include "board/types.h"
#include "platform/large_memory.h"

// The table size when none (or too small a one) is asked for.
constexpr std::uint32_t DEFAULT_HASH_BYTES = 8388608;   // 8 MiB
// The sizes an interface may ask for, in MiB: from the default size up to the
// largest whose byte count fits 32 bits.
constexpr std::uint32_t MIN_TABLE_MIB = DEFAULT_HASH_BYTES >> 20;
constexpr std::uint32_t MAX_TABLE_MIB = 4095;
constexpr std::uint32_t tableMibWithinLimits(std::int64_t mib)
{
    return static_cast<std::uint32_t>(mib < MIN_TABLE_MIB ? MIN_TABLE_MIB : mib > MAX_TABLE_MIB ? MAX_TABLE_MIB : mib);
}

enum HashFlag : std::uint32_t {
    HASH_EMPTY = 1,
    HASH_FIXED = 2,
    HASH_LOWER = 4,
    HASH_UPPER = 8,
    HASH_EXACT = 16,
    HASH_MATE = 32,
};

// What a probe hands out is a copy. In the table, keyLow holds the key's low
// half XOR a check of every other field but age (a store folds it in, a
// probe takes it out and must get the key back, or the entry is ignored).
struct HashEntry {
    std::uint32_t keyLow;
    std::uint32_t keyHigh;
    std::uint32_t flags;
    std::uint32_t age;            // stores that passed over this entry since it was written
    Move move;
    std::int32_t score;
    std::uint32_t depth;          // 256 for results that hold at any depth; mate entries 256 - mateDistance
    std::uint8_t whiteCount;      // pieces on the board when stored
    std::uint8_t blackCount;
    std::uint16_t mateDistance;   // plies to the mate (mate entries only)
};
static_assert(sizeof(HashEntry) == 32, "entries are 32 bytes, eight to a 256-byte slot");

constexpr std::uint32_t HASH_ENTRY_SIZE = sizeof(HashEntry);
constexpr std::uint32_t HASH_ENTRIES_PER_SLOT = 8;
constexpr std::uint32_t HASH_SLOT_SIZE = HASH_ENTRY_SIZE * HASH_ENTRIES_PER_SLOT;
constexpr std::uint32_t HASH_ANY_DEPTH = 256;
constexpr std::uint32_t HASH_STATISTICS_DEPTHS = 20;   // depths the statistics list one by one
constexpr std::uint32_t HASH_CENSUS_PIECES = 33;       // piece counts 0..31 each, and 32 for more

class HashTable_class {
public:
    // A table with `bytes` of entry storage (slot count = bytes / 256), cleared,
    // with its statistics printed (when shown). Null when the storage cannot
    // be allocated.
    static std::unique_ptr<HashTable_class> create(std::uint32_t bytes, bool showStatistics = true);
    // Whether printStatistics and clean write to the diagnostic channel (they do by default).
    void showStatistics(bool on) { statisticsShown_ = on; }

    // A copy of the key's entry, or none.
    std::optional<HashEntry> findEntry(std::uint64_t key);
    // The same without counting a query: for lookups outside a search.
    std::optional<HashEntry> peek(std::uint64_t key) const;
    // Starts loading what a probe of the key reads first into the cache (a
    // hint only: compilers without the builtin skip it).
    void prefetch([[maybe_unused]] std::uint64_t key) const
    {
#if defined(__GNUC__) || defined(__clang__)
        __builtin_prefetch(signatures() +
                           std::size_t{static_cast<std::uint32_t>(key) & addressMask_} * SIGNATURE_WORDS_PER_SLOT);
#endif
    }
    // On a hit returns true, copies the entry into `entry` and puts the score
    // to use into alpha.
    bool probe(std::uint64_t key, std::uint32_t depth, std::uint32_t ply, std::int32_t& alpha, std::int32_t beta,
               HashEntry& entry);
    void store(std::uint64_t key, std::uint32_t ply, std::int32_t score, std::uint32_t flag,
               std::uint32_t depth, Move move, std::uint32_t whiteCount, std::uint32_t blackCount);
    // Marks a position that occurred earlier in the game: entry 0 of its slot.
    void fixPosition(std::uint64_t key);
    // Takes the mark off again (a move taken back); other entries stay.
    void unfixPosition(std::uint64_t key);
    void clear();
    // Drops every entry stored with more pieces of either colour than given.
    void clean(std::uint32_t whiteCount, std::uint32_t blackCount);
    // The statistics on the diagnostic channel, when they are shown.
    void printStatistics() const;
    void zeroCounters();
    // The owner calls this before a search in which several threads store.
    // The counters and the census are then left alone by the searches (they
    // would cost every thread its cache lines): they say nothing of the
    // search, the Debug check of the census is off, and the next clean walks
    // every occupied slot and counts anew.
    void expectSeveralWriters() { censusExact_ = false; }

    std::uint32_t tableSize() const { return tableSize_; }
    std::uint32_t slotCount() const { return slotCount_; }
    std::uint32_t addressMask() const { return addressMask_; }
    // A slot's entries as stored (keyLow with the check in it), to read while
    // no search runs.
    const HashEntry* slot(std::uint32_t index) const { return entries() + index * HASH_ENTRIES_PER_SLOT; }

    // Counters since the last zeroCounters (or clear); a search bumps them
    // with relaxed loads and stores.
    std::uint32_t hits = 0;
    std::uint32_t misses = 0;
    std::uint32_t collisions = 0;
    std::uint32_t queries = 0;
    std::uint32_t puts = 0;
    std::uint32_t triedToPut = 0;
    std::uint32_t overridden = 0;

private:
    HashTable_class(LargeMemory storage, LargeMemory signatures, std::unique_ptr<std::uint64_t[]> occupied,
                    std::uint32_t bytes);
    HashEntry* entries() const { return static_cast<HashEntry*>(storage_.get()); }
    // Copies the key's entry into `found` when there is one whose check holds.
    bool locate(std::uint64_t key, HashEntry& found) const;
    // Its part for a slot's entries whose signature matches (kept out of
    // line: the common miss then costs a compare).
    [[gnu::noinline]] bool readCandidates(std::uint32_t candidates, std::size_t slot, std::uint64_t key,
                                          HashEntry& found) const;
    // The same, counted as a query.
    bool lookUp(std::uint64_t key, HashEntry& found);
    // The steps of store: an exact mate score becomes a mate entry (its flag,
    // depth and the distance returned); then the entry to write, with `write`
    // false when the entry there is better (null when the slot is full).
    static std::uint16_t asMateEntry(std::uint32_t ply, std::int32_t score, std::uint32_t& flag, std::uint32_t& depth);
    HashEntry* entryToStore(std::uint32_t keyLow, std::uint32_t keyHigh, std::uint32_t depth, std::int32_t score,
                            bool& write);
    // Four 16-bit signatures to a word, entry i of a slot in bits 16 * (i % 4)
    // of the slot's word i / 4: words, so that one relaxed load reads four.
    static constexpr std::uint32_t SIGNATURE_WORDS_PER_SLOT = HASH_ENTRIES_PER_SLOT / 4;
    std::uint64_t* signatures() const { return static_cast<std::uint64_t*>(signatures_.get()); }
    // A few bits of a key, never 0; 0 marks an empty entry in the index.
    static std::uint16_t signatureOf(std::uint32_t keyHigh) { return static_cast<std::uint16_t>((keyHigh >> 16) | 1); }
    void setSignature(std::size_t index, std::uint16_t signature);
    void setSignature(const HashEntry* entry, std::uint16_t signature)
    {
        setSignature(static_cast<std::size_t>(entry - entries()), signature);
    }
    void markOccupied(std::size_t slot);
    struct Census;
    // Adds an entry to a census, or takes it out (empty entries are not counted).
    static void tally(Census& census, const HashEntry& entry, bool add);
    void tally(const HashEntry& entry, bool add) { tally(census_, entry, add); }
    // Whether a stored entry's check gives back a key of its slot (clean drops
    // the mixed entries that several writers may leave).
    bool checkFitsSlot(const HashEntry& entry, std::size_t slot) const;
    // The census as a walk over every entry finds it (checks in Debug builds).
    bool censusMatchesTable() const;

    LargeMemory storage_;
    // One signature per entry, kept beside the entries: a probe that finds no
    // matching signature in its slot is a miss without reading the slot.
    LargeMemory signatures_;
    // One bit per slot, set when an entry is written there and cleared when a
    // clean leaves the slot empty: a clean visits only these slots.
    std::unique_ptr<std::uint64_t[]> occupied_;
    std::atomic<bool> statisticsShown_{true};   // set by the input thread while a search may print
    std::uint32_t tableSize_;
    std::uint32_t slotCount_;
    std::uint32_t addressMask_;

    // What the statistics print and what a clean would drop, kept up to date
    // by every change of an entry: neither has to walk a large table while
    // the engine's clock runs.
    struct Census {
        std::uint32_t valid = 0;
        std::uint32_t fixed = 0;
        std::uint32_t mates = 0;
        std::uint32_t byDepth[HASH_STATISTICS_DEPTHS] = {};
        std::uint32_t byPieces[HASH_CENSUS_PIECES][HASH_CENSUS_PIECES] = {};   // white, black
    };
    Census census_;
    // False from expectSeveralWriters until a clean or clear counts anew.
    bool censusExact_ = true;
};
