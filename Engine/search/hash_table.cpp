#include "search/hash_table.h"

// Several search threads share one table and nothing on their side locks.
// Every field that one thread may write while another reads it is read and
// written through std::atomic_ref, relaxed. The races left are intended:
// - Two stores into one entry, or a probe reading an entry while it is being
//   stored, can mix the fields of two entries. Each store folds a check of the
//   other fields (all but age) into keyLow; a probe that does not get its key
//   back takes the entry as a miss (a mixed entry passes by chance only, about
//   once in 2^32), and hands out a copy it has checked, never the entry.
// - An age bump, a word of signatures, a counter or a census count changed by
//   two threads at once keeps one of the changes: an entry ages more slowly, a
//   lost signature hides its entry (a miss) or names an entry whose key then
//   does not match, and the counts turn approximate (expectSeveralWriters).
// - Occupied bits are set with an atomic or: a clean never misses an entry.
// Relaxed order is enough: an entry is trusted only when its check holds, and
// nothing else is passed between threads through the table.

#include <algorithm>
#include <atomic>
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

template <typename T>
T loadRelaxed(const T& shared)
{
    return std::atomic_ref<T>(const_cast<T&>(shared)).load(std::memory_order_relaxed);
}

template <typename T>
void storeRelaxed(T& shared, T value)
{
    std::atomic_ref<T>(shared).store(value, std::memory_order_relaxed);
}

// Every field but keyLow and age, mixed into 32 bits: entries that differ in
// any of them, one or several, get the same check by chance only.
std::uint32_t checkOf(const HashEntry& entry)
{
    const std::uint64_t first = entry.keyHigh | std::uint64_t{entry.flags} << 32;
    const std::uint64_t second = entry.move | std::uint64_t{static_cast<std::uint32_t>(entry.score)} << 32;
    const std::uint64_t third = entry.depth | std::uint64_t{entry.whiteCount} << 32 |
                                std::uint64_t{entry.blackCount} << 40 | std::uint64_t{entry.mateDistance} << 48;
    return static_cast<std::uint32_t>(
        (first * 0x9e3779b97f4a7c15u ^ second * 0xc2b2ae3d27d4eb4fu ^ third * 0x165667b19e3779f9u) >> 32);
}

// An entry as stored, read field by field.
HashEntry loadEntry(const HashEntry& shared)
{
    HashEntry copy;
    copy.keyLow = loadRelaxed(shared.keyLow);
    copy.keyHigh = loadRelaxed(shared.keyHigh);
    copy.flags = loadRelaxed(shared.flags);
    copy.age = loadRelaxed(shared.age);
    copy.move = loadRelaxed(shared.move);
    copy.score = loadRelaxed(shared.score);
    copy.depth = loadRelaxed(shared.depth);
    copy.whiteCount = loadRelaxed(shared.whiteCount);
    copy.blackCount = loadRelaxed(shared.blackCount);
    copy.mateDistance = loadRelaxed(shared.mateDistance);
    return copy;
}

// The fields of an entry in the table that the census counts.
HashEntry countedFields(const HashEntry& shared)
{
    HashEntry copy{};
    copy.flags = loadRelaxed(shared.flags);
    copy.depth = loadRelaxed(shared.depth);
    copy.whiteCount = loadRelaxed(shared.whiteCount);
    copy.blackCount = loadRelaxed(shared.blackCount);
    return copy;
}

// Writes an entry with its check folded into keyLow.
[[gnu::always_inline]] inline void writeEntry(HashEntry& shared, const HashEntry& entry)
{
    storeRelaxed(shared.keyLow, entry.keyLow ^ checkOf(entry));
    storeRelaxed(shared.keyHigh, entry.keyHigh);
    storeRelaxed(shared.flags, entry.flags);
    storeRelaxed(shared.age, entry.age);
    storeRelaxed(shared.move, entry.move);
    storeRelaxed(shared.score, entry.score);
    storeRelaxed(shared.depth, entry.depth);
    storeRelaxed(shared.whiteCount, entry.whiteCount);
    storeRelaxed(shared.blackCount, entry.blackCount);
    storeRelaxed(shared.mateDistance, entry.mateDistance);
}

// Whether an entry read from the table is the key's, whole: then its keyLow
// is made the plain key half.
bool holdsKey(HashEntry& copy, std::uint32_t keyLow, std::uint32_t keyHigh)
{
    if (copy.keyHigh != keyHigh || (copy.keyLow ^ checkOf(copy)) != keyLow)
        return false;
    copy.keyLow = keyLow;
    return true;
}

// Copies an entry of the table and tells whether the copy is the key's,
// whole (its keyLow is then the plain key half). Out of line: most probes and
// stores never come here.
[[gnu::noinline]] bool readEntry(const HashEntry& shared, std::uint32_t keyLow, std::uint32_t keyHigh, HashEntry& copy)
{
    copy = loadEntry(shared);
    return holdsKey(copy, keyLow, keyHigh);
}

// Which of a slot's eight signatures equal `wanted`: two bits per entry, in
// slot order (the layout of SSE2's byte mask). One compare of all eight with
// SSE2; elsewhere a loop the compiler can vectorise for its own target.
std::uint32_t matchingSignatures(const std::uint64_t* slot, std::uint16_t wanted)
{
    static_assert(HASH_ENTRIES_PER_SLOT == 8, "two words of four signatures");
    const std::uint64_t low = loadRelaxed(slot[0]);
    const std::uint64_t high = loadRelaxed(slot[1]);
#if defined(__SSE2__)
    const __m128i stored = _mm_set_epi64x(static_cast<long long>(high), static_cast<long long>(low));
    return static_cast<std::uint32_t>(
        _mm_movemask_epi8(_mm_cmpeq_epi16(stored, _mm_set1_epi16(static_cast<short>(wanted)))));
#else
    std::uint32_t mask = 0;
    for (std::uint32_t i = 0; i < HASH_ENTRIES_PER_SLOT; ++i) {
        const auto signature = static_cast<std::uint16_t>((i < 4 ? low : high) >> (16 * (i % 4)));
        mask |= static_cast<std::uint32_t>(signature == wanted) * (3u << (2 * i));
    }
    return mask;
#endif
}

// A bump that meets another thread's may be lost, never waits.
void countOne(std::uint32_t& counter)
{
    storeRelaxed(counter, loadRelaxed(counter) + 1);
}

// The same for census counts, which stay at 0 rather than wrap when
// several writers took one entry out twice.
void bump(std::uint32_t& counter, bool add)
{
    const std::uint32_t value = loadRelaxed(counter);
    storeRelaxed(counter, add ? value + 1 : value - static_cast<std::uint32_t>(value != 0));
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

std::unique_ptr<HashTable_class> HashTable_class::create(std::uint32_t bytes, bool showStatistics)
{
    const std::uint32_t slots = bytes / HASH_SLOT_SIZE;
    // Fewer than 256 bytes hold no slot at all; the mask would then address
    // every slot number there is.
    if (slots == 0)
        return nullptr;
    // Zero-filled, so fields that clear() leaves alone never hold garbage.
    LargeMemory storage = allocateLargeMemory(std::size_t{slots} * HASH_SLOT_SIZE);
    LargeMemory signatures = allocateLargeMemory(std::size_t{slots} * SIGNATURE_WORDS_PER_SLOT * sizeof(std::uint64_t));
    std::unique_ptr<std::uint64_t[]> occupied(new (std::nothrow) std::uint64_t[occupiedWords(slots)]());
    if (!storage || !signatures || !occupied)
        return nullptr;
    std::unique_ptr<HashTable_class> table(
        new (std::nothrow) HashTable_class(std::move(storage), std::move(signatures), std::move(occupied), bytes));
    if (!table)
        return nullptr;
    table->clear();
    table->showStatistics(showStatistics);
    table->printStatistics();
    return table;
}

std::optional<HashEntry> HashTable_class::findEntry(std::uint64_t key)
{
    HashEntry entry;
    if (!lookUp(key, entry))
        return std::nullopt;
    return entry;
}

std::optional<HashEntry> HashTable_class::peek(std::uint64_t key) const
{
    HashEntry entry;
    if (!locate(key, entry))
        return std::nullopt;
    return entry;
}

bool HashTable_class::lookUp(std::uint64_t key, HashEntry& found)
{
    const bool hit = locate(key, found);
    if (censusExact_) {
        countOne(queries);
        countOne(hit ? hits : misses);
    }
    return hit;
}

bool HashTable_class::locate(std::uint64_t key, HashEntry& found) const
{
    const std::size_t slot = static_cast<std::uint32_t>(key) & addressMask_;
    // The entries whose signature matches, in slot order; only they are read
    // (most probes find none).
    const std::uint32_t candidates = matchingSignatures(signatures() + slot * SIGNATURE_WORDS_PER_SLOT,
                                                        signatureOf(static_cast<std::uint32_t>(key >> 32)));
    return candidates != 0 && readCandidates(candidates, slot, key, found);
}

bool HashTable_class::readCandidates(std::uint32_t candidates, std::size_t slot, std::uint64_t key,
                                     HashEntry& found) const
{
    const auto keyLow = static_cast<std::uint32_t>(key);
    const auto keyHigh = static_cast<std::uint32_t>(key >> 32);
    const std::size_t first = slot * HASH_ENTRIES_PER_SLOT;
    for (; candidates != 0; candidates &= candidates - 1) {
        const HashEntry& entry = entries()[first + std::countr_zero(candidates) / 2];
        candidates &= candidates - 1;   // each entry has two bits in the mask
        // The high half, stored as it is, turns most other positions away
        // before the whole entry is read.
        if (loadRelaxed(entry.keyHigh) != keyHigh)
            continue;
        if (readEntry(entry, keyLow, keyHigh, found) && found.flags != HASH_EMPTY)
            return true;
    }
    return false;
}

bool HashTable_class::probe(std::uint64_t key, std::uint32_t depth, std::uint32_t ply, std::int32_t& alpha,
                            std::int32_t beta, HashEntry& found)
{
    if (!lookUp(key, found))
        return false;

    const auto plyScore = static_cast<std::int32_t>(ply);
    switch (found.flags) {
    case HASH_FIXED:
        alpha = found.score;
        return true;
    case HASH_MATE:
        // Mate entries hold at any depth and in any window.
        if (found.score > 0)
            alpha = MATE_SCORE - found.mateDistance - plyScore;
        else
            alpha = found.mateDistance + plyScore - MATE_SCORE;
        return true;
    default:
        break;
    }

    if (found.depth < depth)
        return false;
    if (found.flags == HASH_EXACT || (found.flags == HASH_LOWER && found.score >= beta) ||
        (found.flags == HASH_UPPER && found.score <= alpha)) {
        alpha = found.score;
        return true;
    }
    return false;
}

void HashTable_class::store(std::uint64_t key, std::uint32_t ply, std::int32_t score, std::uint32_t flag,
                            std::uint32_t depth, Move move, std::uint32_t whiteCount, std::uint32_t blackCount)
{
    // Several writers leave the counters and the census alone: each would
    // bounce their cache lines between the threads on every store.
    const bool counting = censusExact_;
    if (counting)
        countOne(triedToPut);
    const std::uint16_t mateDistance = asMateEntry(ply, score, flag, depth);
    const auto keyLow = static_cast<std::uint32_t>(key);
    const auto keyHigh = static_cast<std::uint32_t>(key >> 32);
    bool write = false;
    HashEntry* entry = entryToStore(keyLow, keyHigh, depth, score, write);
    if (entry == nullptr) {
        if (counting)
            countOne(collisions);
        return;
    }
    if (counting)
        countOne(puts);
    if (!write)
        return;

    const auto white = static_cast<std::uint8_t>(whiteCount);
    const auto black = static_cast<std::uint8_t>(blackCount);
    const HashEntry stored{keyLow, keyHigh, flag, 0, move, score, depth, white, black, mateDistance};
    if (counting)
        tally(countedFields(*entry), false);
    markOccupied(keyLow & addressMask_);
    writeEntry(*entry, stored);
    setSignature(entry, signatureOf(keyHigh));
    if (counting)
        tally(stored, true);
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
    // to be replaced; every entry passed over ages by one. An entry mixed by
    // several writers counts as some other position's.
    HashEntry* entry = entries() + std::size_t{keyLow & addressMask_} * HASH_ENTRIES_PER_SLOT;
    for (std::uint32_t i = 0; i < HASH_ENTRIES_PER_SLOT; ++i, ++entry) {
        if (loadRelaxed(entry->flags) == HASH_EMPTY) {
            write = true;
            return entry;
        }
        if (loadRelaxed(entry->keyHigh) == keyHigh) {
            if (HashEntry stored; readEntry(*entry, keyLow, keyHigh, stored)) {
                write = depth > stored.depth || (depth == stored.depth && score > stored.score);
                return entry;
            }
        }
        const std::uint32_t age = loadRelaxed(entry->age);
        if (age >= REPLACEABLE_AGE) {
            write = true;
            return entry;
        }
        storeRelaxed(entry->age, age + 1);
        if (censusExact_)
            countOne(overridden);
    }
    return nullptr;
}

void HashTable_class::fixPosition(std::uint64_t key)
{
    const auto keyLow = static_cast<std::uint32_t>(key);
    HashEntry& shared = entries()[std::size_t{keyLow & addressMask_} * HASH_ENTRIES_PER_SLOT];
    // Age, piece counts and mate distance stay what the entry had.
    HashEntry entry = shared;
    tally(entry, false);
    markOccupied(keyLow & addressMask_);
    entry.keyLow = keyLow;
    entry.keyHigh = static_cast<std::uint32_t>(key >> 32);
    entry.flags = HASH_FIXED;
    entry.move = NO_MOVE;
    entry.score = 0;
    entry.depth = HASH_ANY_DEPTH;
    writeEntry(shared, entry);
    setSignature(&shared, signatureOf(entry.keyHigh));
    tally(entry, true);
}

void HashTable_class::unfixPosition(std::uint64_t key)
{
    const auto keyLow = static_cast<std::uint32_t>(key);
    const std::size_t index = std::size_t{keyLow & addressMask_} * HASH_ENTRIES_PER_SLOT;
    HashEntry entry = entries()[index];
    if (entry.flags != HASH_FIXED || !holdsKey(entry, keyLow, static_cast<std::uint32_t>(key >> 32)))
        return;
    tally(entry, false);
    entries()[index].flags = HASH_EMPTY;
    setSignature(index, 0);
}

void HashTable_class::setSignature(std::size_t index, std::uint16_t signature)
{
    // Several writers may each change another signature of one word: one of
    // the changes can be lost (see the top of this file).
    std::uint64_t& word = signatures()[index / 4];
    const std::uint32_t shift = 16 * static_cast<std::uint32_t>(index % 4);
    const std::uint64_t others = loadRelaxed(word) & ~(std::uint64_t{0xffff} << shift);
    storeRelaxed(word, others | std::uint64_t{signature} << shift);
}

void HashTable_class::markOccupied(std::size_t slot)
{
    // Once set, a bit stays set until a clean: the atomic or is rarely needed.
    std::uint64_t& word = occupied_[slot / 64];
    const std::uint64_t bit = std::uint64_t{1} << (slot % 64);
    if ((loadRelaxed(word) & bit) == 0)
        std::atomic_ref<std::uint64_t>(word).fetch_or(bit, std::memory_order_relaxed);
}

void HashTable_class::clear()
{
    for (std::size_t slot = 0; slot < slotCount_; ++slot) {
        for (HashEntry* entry = entries() + slot * HASH_ENTRIES_PER_SLOT;
             entry != entries() + (slot + 1) * HASH_ENTRIES_PER_SLOT; ++entry) {
            entry->flags = HASH_EMPTY;
            entry->age = 0;
            entry->depth = 0;
            entry->whiteCount = 0;
            entry->blackCount = 0;
        }
        for (std::size_t word = 0; word < SIGNATURE_WORDS_PER_SLOT; ++word)
            signatures()[slot * SIGNATURE_WORDS_PER_SLOT + word] = 0;
    }
    census_ = Census{};
    censusExact_ = true;
    std::fill_n(occupied_.get(), occupiedWords(slotCount_), 0);
    zeroCounters();
}

void HashTable_class::clean(std::uint32_t whiteCount, std::uint32_t blackCount)
{
    const std::uint32_t count = slotCount_ * HASH_ENTRIES_PER_SLOT;
    if (statisticsShown_)
        debugPrintf("Hash: Clean %d\n", count);
    // The census tells whether any entry has more pieces; usually none has
    // (no capture since the last clean), and the walk is skipped. After
    // several writers it may be off: then every occupied slot is walked, the
    // mixed entries go too, and the census is counted anew.
    const bool recount = !censusExact_;
    std::uint32_t toDrop = 0;
    for (std::uint32_t white = 0; white < HASH_CENSUS_PIECES; ++white) {
        for (std::uint32_t black = 0; black < HASH_CENSUS_PIECES; ++black) {
            const bool more = white > whiteCount || black > blackCount || white == HASH_CENSUS_PIECES - 1 ||
                              black == HASH_CENSUS_PIECES - 1;
            if (more)
                toDrop += census_.byPieces[white][black];
        }
    }
    if (recount)
        census_ = Census{};
    std::uint32_t dropped = 0;
    for (std::size_t word = 0; (recount || dropped < toDrop) && word < occupiedWords(slotCount_); ++word) {
        for (std::uint64_t bits = occupied_[word]; bits != 0; bits &= bits - 1) {
            const std::size_t slot = word * 64 + static_cast<std::size_t>(std::countr_zero(bits));
            bool kept = false;
            for (std::size_t i = slot * HASH_ENTRIES_PER_SLOT; i < (slot + 1) * HASH_ENTRIES_PER_SLOT; ++i) {
                HashEntry& entry = entries()[i];
                if (entry.flags == HASH_EMPTY)
                    continue;
                if (entry.whiteCount > whiteCount || entry.blackCount > blackCount ||
                    (recount && !checkFitsSlot(entry, slot))) {
                    if (!recount)
                        tally(entry, false);
                    entry.flags = HASH_EMPTY;
                    setSignature(i, 0);
                    ++dropped;
                } else {
                    kept = true;
                    if (recount)
                        tally(entry, true);
                }
            }
            if (!kept)
                occupied_[word] &= ~(std::uint64_t{1} << (slot % 64));
        }
    }
    censusExact_ = true;
    assert(censusMatchesTable());
    if (statisticsShown_)
        debugPrintf("Hash: Cleaned %d entries (%d:%d)\n", dropped, whiteCount, blackCount);
}

bool HashTable_class::checkFitsSlot(const HashEntry& entry, std::size_t slot) const
{
    return ((entry.keyLow ^ checkOf(entry)) & addressMask_) == slot;
}

void HashTable_class::tally(Census& census, const HashEntry& entry, bool add)
{
    if (entry.flags == HASH_EMPTY)
        return;
    bump(census.valid, add);
    if (entry.flags == HASH_FIXED)
        bump(census.fixed, add);
    if (entry.flags == HASH_MATE)
        bump(census.mates, add);
    if (entry.depth < HASH_STATISTICS_DEPTHS)
        bump(census.byDepth[entry.depth], add);
    bump(census.byPieces[censusIndex(entry.whiteCount)][censusIndex(entry.blackCount)], add);
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
        tally(walked, entry, true);
    }
    return std::memcmp(&walked, &census_, sizeof walked) == 0;
}

void HashTable_class::printStatistics() const
{
    assert(!censusExact_ || censusMatchesTable());
    if (!statisticsShown_)
        return;
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
