#include "search/hash_table.h"

#include <algorithm>
#include <bit>
#include <cassert>
#include <cstring>
#include <new>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "platform/debug_output.h"
#include "search/score.h"

namespace {

constexpr std::uint32_t REPLACEABLE_AGE = 3;

bool sameKey(const HashEntry& entry, std::uint32_t keyLow, std::uint32_t keyHigh)
{
    return entry.keyLow == keyLow && entry.keyHigh == keyHigh;
}

// Which of a slot's eight signatures equal `wanted`: two bits per entry, in
// slot order (the layout of SSE2's byte mask). One compare of all eight with
// SSE2; elsewhere a loop the compiler can vectorise for its own target.
std::uint32_t matchingSignatures(const std::uint16_t* slot, std::uint16_t wanted)
{
#if defined(__SSE2__)
    const __m128i stored = _mm_loadu_si128(reinterpret_cast<const __m128i*>(slot));
    return static_cast<std::uint32_t>(
        _mm_movemask_epi8(_mm_cmpeq_epi16(stored, _mm_set1_epi16(static_cast<short>(wanted)))));
#else
    std::uint32_t mask = 0;
    for (std::uint32_t i = 0; i < HASH_ENTRIES_PER_SLOT; ++i)
        mask |= static_cast<std::uint32_t>(slot[i] == wanted) * (3u << (2 * i));
    return mask;
#endif
}

void bump(std::uint32_t& counter, bool add)
{
    add ? ++counter : --counter;
}

std::size_t occupiedWords(std::uint32_t slots)
{
    return (std::size_t{slots} + 63) / 64;
}

std::uint32_t censusIndex(std::uint32_t pieces)
{
    return std::min(pieces, HASH_CENSUS_PIECES - 1);
}

unsigned percent(std::uint32_t part, std::uint32_t whole)
{
    // 64-bit intermediate: part * 100 overflows 32 bits in long searches.
    return static_cast<unsigned>(std::uint64_t{part} * 100u / whole);
}

}  // namespace

HashTable_class::HashTable_class(LargeMemory storage, LargeMemory signatures,
                                 std::unique_ptr<std::uint64_t[]> occupied, std::uint32_t bytes)
    : storage_(std::move(storage)),
      signatures_(std::move(signatures)),
      occupied_(std::move(occupied)),
      tableSize_(bytes),
      slotCount_(bytes / HASH_SLOT_SIZE),
      addressMask_(bytes / HASH_SLOT_SIZE - 1)
{
}

std::unique_ptr<HashTable_class> HashTable_class::create(std::uint32_t bytes)
{
    const std::uint32_t slots = bytes / HASH_SLOT_SIZE;
    // Fewer than 256 bytes hold no slot at all; the mask would then address
    // every slot number there is.
    if (slots == 0)
        return nullptr;
    // Zero-filled, so fields that clear() leaves alone never hold garbage.
    LargeMemory storage = allocateLargeMemory(std::size_t{slots} * HASH_SLOT_SIZE);
    LargeMemory signatures = allocateLargeMemory(std::size_t{slots} * HASH_ENTRIES_PER_SLOT * sizeof(std::uint16_t));
    std::unique_ptr<std::uint64_t[]> occupied(new (std::nothrow) std::uint64_t[occupiedWords(slots)]());
    if (!storage || !signatures || !occupied)
        return nullptr;
    std::unique_ptr<HashTable_class> table(
        new (std::nothrow) HashTable_class(std::move(storage), std::move(signatures), std::move(occupied), bytes));
    if (!table)
        return nullptr;
    table->clear();
    table->printStatistics();
    return table;
}

HashEntry* HashTable_class::findEntry(std::uint64_t key)
{
    ++queries;
    HashEntry* entry = locate(key);
    ++(entry != nullptr ? hits : misses);
    return entry;
}

HashEntry* HashTable_class::locate(std::uint64_t key) const
{
    const auto keyLow = static_cast<std::uint32_t>(key);
    const auto keyHigh = static_cast<std::uint32_t>(key >> 32);
    const std::size_t first = std::size_t{keyLow & addressMask_} * HASH_ENTRIES_PER_SLOT;
    // The entries whose signature matches, in slot order; only they are read.
    std::uint32_t candidates = matchingSignatures(signatures() + first, signatureOf(keyHigh));
    for (; candidates != 0; candidates &= candidates - 1) {
        HashEntry* entry = entries() + first + std::countr_zero(candidates) / 2;
        candidates &= candidates - 1;   // each entry has two bits in the mask
        if (entry->flags != HASH_EMPTY && sameKey(*entry, keyLow, keyHigh))
            return entry;
    }
    return nullptr;
}

bool HashTable_class::probe(std::uint64_t key, std::uint32_t depth, std::uint32_t ply, std::int32_t& alpha,
                            std::int32_t beta, HashEntry** entry)
{
    HashEntry* found = findEntry(key);
    if (!found)
        return false;
    *entry = found;

    const auto plyScore = static_cast<std::int32_t>(ply);
    switch (found->flags) {
    case HASH_FIXED:
        alpha = found->score;
        return true;
    case HASH_MATE:
        // Mate entries hold at any depth and in any window.
        if (found->score > 0)
            alpha = MATE_SCORE - found->mateDistance - plyScore;
        else
            alpha = found->mateDistance + plyScore - MATE_SCORE;
        return true;
    default:
        break;
    }

    if (found->depth < depth)
        return false;
    if (found->flags == HASH_EXACT || (found->flags == HASH_LOWER && found->score >= beta) ||
        (found->flags == HASH_UPPER && found->score <= alpha)) {
        alpha = found->score;
        return true;
    }
    return false;
}

void HashTable_class::store(std::uint64_t key, std::uint32_t ply, std::int32_t score, std::uint32_t flag,
                            std::uint32_t depth, Move move, std::uint32_t whiteCount, std::uint32_t blackCount)
{
    ++triedToPut;
    const std::uint16_t mateDistance = asMateEntry(ply, score, flag, depth);
    const auto keyLow = static_cast<std::uint32_t>(key);
    const auto keyHigh = static_cast<std::uint32_t>(key >> 32);
    bool write = false;
    HashEntry* entry = entryToStore(keyLow, keyHigh, depth, score, write);
    if (entry == nullptr) {
        ++collisions;
        return;
    }
    ++puts;
    if (!write)
        return;

    tally(*entry, false);
    markOccupied(keyLow & addressMask_);
    entry->keyLow = keyLow;
    entry->keyHigh = keyHigh;
    setSignature(entry, signatureOf(keyHigh));
    entry->flags = flag;
    entry->age = 0;
    entry->move = move;
    entry->score = score;
    entry->depth = depth;
    entry->whiteCount = static_cast<std::uint8_t>(whiteCount);
    entry->blackCount = static_cast<std::uint8_t>(blackCount);
    entry->mateDistance = mateDistance;
    tally(*entry, true);
}

std::uint16_t HashTable_class::asMateEntry(std::uint32_t ply, std::int32_t score, std::uint32_t& flag,
                                           std::uint32_t& depth)
{
    // An exact mate score is kept as the distance to the mate, so that it can
    // be turned back into a score at whatever ply the position is met again.
    // A mate at ply p from the root scores MATE_SCORE - p either way round;
    // the distance from this position is p - ply (kept to 16 bits).
    if (flag != HASH_EXACT || !isMateScore(score))
        return 0;
    const std::int32_t mateScore = score > 0 ? score : -score;
    const auto mateDistance = static_cast<std::uint16_t>(static_cast<std::uint32_t>(MATE_SCORE - mateScore) - ply);
    flag = HASH_MATE;
    depth = HASH_ANY_DEPTH - mateDistance;
    return mateDistance;
}

HashEntry* HashTable_class::entryToStore(std::uint32_t keyLow, std::uint32_t keyHigh, std::uint32_t depth,
                                         std::int32_t score, bool& write)
{
    // The first empty entry, the entry of the same position (kept if its
    // result is deeper, or as deep and better), or the first entry old enough
    // to be replaced; every entry passed over ages by one.
    HashEntry* entry = entries() + std::size_t{keyLow & addressMask_} * HASH_ENTRIES_PER_SLOT;
    for (std::uint32_t i = 0; i < HASH_ENTRIES_PER_SLOT; ++i, ++entry) {
        if (entry->flags == HASH_EMPTY) {
            write = true;
            return entry;
        }
        if (sameKey(*entry, keyLow, keyHigh)) {
            write = depth > entry->depth || (depth == entry->depth && score > entry->score);
            return entry;
        }
        if (entry->age >= REPLACEABLE_AGE) {
            write = true;
            return entry;
        }
        ++entry->age;
        ++overridden;
    }
    return nullptr;
}

void HashTable_class::fixPosition(std::uint64_t key)
{
    const auto keyLow = static_cast<std::uint32_t>(key);
    HashEntry& entry = entries()[std::size_t{keyLow & addressMask_} * HASH_ENTRIES_PER_SLOT];
    // Age, piece counts and mate distance stay what the entry had.
    tally(entry, false);
    markOccupied(keyLow & addressMask_);
    entry.keyLow = keyLow;
    entry.keyHigh = static_cast<std::uint32_t>(key >> 32);
    setSignature(&entry, signatureOf(entry.keyHigh));
    entry.flags = HASH_FIXED;
    entry.move = NO_MOVE;
    entry.score = 0;
    entry.depth = HASH_ANY_DEPTH;
    tally(entry, true);
}

void HashTable_class::unfixPosition(std::uint64_t key)
{
    const auto keyLow = static_cast<std::uint32_t>(key);
    const std::size_t index = std::size_t{keyLow & addressMask_} * HASH_ENTRIES_PER_SLOT;
    HashEntry& entry = entries()[index];
    if (entry.flags != HASH_FIXED || !sameKey(entry, keyLow, static_cast<std::uint32_t>(key >> 32)))
        return;
    tally(entry, false);
    entry.flags = HASH_EMPTY;
    signatures()[index] = 0;
}

void HashTable_class::clear()
{
    const std::size_t count = std::size_t{slotCount_} * HASH_ENTRIES_PER_SLOT;
    for (std::size_t i = 0; i < count; ++i) {
        HashEntry& entry = entries()[i];
        entry.flags = HASH_EMPTY;
        entry.age = 0;
        entry.depth = 0;
        entry.whiteCount = 0;
        entry.blackCount = 0;
        signatures()[i] = 0;
    }
    census_ = Census{};
    std::fill_n(occupied_.get(), occupiedWords(slotCount_), 0);
    zeroCounters();
}

void HashTable_class::clean(std::uint32_t whiteCount, std::uint32_t blackCount)
{
    const std::uint32_t count = slotCount_ * HASH_ENTRIES_PER_SLOT;
    debugPrintf("Hash: Clean %d\n", count);
    // The census tells whether any entry has more pieces; usually none has
    // (no capture since the last clean), and the walk is skipped.
    std::uint32_t toDrop = 0;
    for (std::uint32_t white = 0; white < HASH_CENSUS_PIECES; ++white) {
        for (std::uint32_t black = 0; black < HASH_CENSUS_PIECES; ++black) {
            const bool more = white > whiteCount || black > blackCount || white == HASH_CENSUS_PIECES - 1 ||
                              black == HASH_CENSUS_PIECES - 1;
            if (more)
                toDrop += census_.byPieces[white][black];
        }
    }
    std::uint32_t dropped = 0;
    for (std::size_t word = 0; dropped < toDrop && word < occupiedWords(slotCount_); ++word) {
        for (std::uint64_t bits = occupied_[word]; bits != 0; bits &= bits - 1) {
            const std::size_t slot = word * 64 + static_cast<std::size_t>(std::countr_zero(bits));
            bool kept = false;
            for (std::size_t i = slot * HASH_ENTRIES_PER_SLOT; i < (slot + 1) * HASH_ENTRIES_PER_SLOT; ++i) {
                HashEntry& entry = entries()[i];
                if (entry.flags == HASH_EMPTY)
                    continue;
                if (entry.whiteCount > whiteCount || entry.blackCount > blackCount) {
                    tally(entry, false);
                    entry.flags = HASH_EMPTY;
                    signatures()[i] = 0;
                    ++dropped;
                } else {
                    kept = true;
                }
            }
            if (!kept)
                occupied_[word] &= ~(std::uint64_t{1} << (slot % 64));
        }
    }
    assert(censusMatchesTable());
    debugPrintf("Hash: Cleaned %d entries (%d:%d)\n", dropped, whiteCount, blackCount);
}

void HashTable_class::tally(const HashEntry& entry, bool add)
{
    if (entry.flags == HASH_EMPTY)
        return;
    bump(census_.valid, add);
    if (entry.flags == HASH_FIXED)
        bump(census_.fixed, add);
    if (entry.flags == HASH_MATE)
        bump(census_.mates, add);
    if (entry.depth < HASH_STATISTICS_DEPTHS)
        bump(census_.byDepth[entry.depth], add);
    bump(census_.byPieces[censusIndex(entry.whiteCount)][censusIndex(entry.blackCount)], add);
}

bool HashTable_class::censusMatchesTable() const
{
    Census walked;
    const std::size_t count = std::size_t{slotCount_} * HASH_ENTRIES_PER_SLOT;
    for (std::size_t i = 0; i < count; ++i) {
        const HashEntry& entry = entries()[i];
        if (entry.flags == HASH_EMPTY)
            continue;
        const std::size_t slot = i / HASH_ENTRIES_PER_SLOT;
        if ((occupied_[slot / 64] >> (slot % 64) & 1) == 0)
            return false;   // a clean would miss this entry
        ++walked.valid;
        walked.fixed += entry.flags == HASH_FIXED;
        walked.mates += entry.flags == HASH_MATE;
        if (entry.depth < HASH_STATISTICS_DEPTHS)
            ++walked.byDepth[entry.depth];
        ++walked.byPieces[censusIndex(entry.whiteCount)][censusIndex(entry.blackCount)];
    }
    return std::memcmp(&walked, &census_, sizeof walked) == 0;
}

void HashTable_class::printStatistics() const
{
    assert(censusMatchesTable());
    const std::uint32_t count = slotCount_ * HASH_ENTRIES_PER_SLOT;
    const std::uint32_t valid = census_.valid;
    const std::uint32_t mates = census_.mates;
    const std::uint32_t fixed = census_.fixed;
    const std::uint32_t* byDepth = census_.byDepth;

    debugPrintf("-- HashTable Statistics: --\n");
    debugPrintf("- TableSize: %u, SlotSize: %u EntrySize: %u AddressMask: 0x%x\n", tableSize_, HASH_SLOT_SIZE,
                HASH_ENTRY_SIZE, addressMask_);
    debugPrintf("  %u tried to put, %u put, %u queried, %u hit, %u missed\n", triedToPut, puts, queries, hits,
                misses);
    debugPrintf("  %u overridden %u Collisions\n", overridden, collisions);
    debugPrintf("  %u%% filled -- %u valid entries. %u fixed entries\n", percent(valid, count), valid, fixed);
    debugPrintf("  %u Mate Values\n", mates);
    if (queries != 0 && triedToPut != 0) {
        debugPrintf("        Hit: %u%%\n", percent(hits, queries));
        debugPrintf("     Missed: %u%%\n", percent(misses, queries));
        debugPrintf(" Collisions: %u%%\n", percent(collisions, triedToPut));
    }
    for (std::uint32_t depth = 0; depth < HASH_STATISTICS_DEPTHS; ++depth)
        debugPrintf("%2u: %u\n", depth, byDepth[depth]);
}

void HashTable_class::zeroCounters()
{
    hits = 0;
    misses = 0;
    collisions = 0;
    queries = 0;
    puts = 0;
    triedToPut = 0;
    overridden = 0;
}
