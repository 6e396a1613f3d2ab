#include "board/magic_attacks.h"

#include <cstdint>
#include <cstdlib>
#include <vector>

namespace {

constexpr std::size_t ROOK_TABLE = 102400;
constexpr std::size_t BISHOP_TABLE = 5248;

// Multipliers that map every relevant occupancy of a square to a slot of
// its own (found once by trial with a fixed seed; checked when the tables are built).
constexpr Bitboard kRookMagics[64] = {
    0x0080068051e04000ULL,    0x0040001000402000ULL,
    0x0080100020008008ULL,    0x4e000a0010208440ULL,
    0x4200040802002010ULL,    0x0100010008020400ULL,
    0x9080608019000600ULL,    0x8100020080204100ULL,
    0x4103800480400020ULL,    0x8015004004802100ULL,
    0x000200108a002040ULL,    0x0801000821001000ULL,
    0x0015000500080070ULL,    0x0120800400800200ULL,
    0x0109000432001100ULL,    0x020080055b000080ULL,
    0x0080004000402002ULL,    0x5260848020004008ULL,
    0x2402020014402080ULL,    0x3000808010000802ULL,
    0x0304018004810800ULL,    0x0000808004000200ULL,
    0x0002040001500248ULL,    0x0012020000408401ULL,
    0x8440008080004020ULL,    0x0804200840100040ULL,
    0x0820008080201000ULL,    0x2080100100082100ULL,
    0x0001000500100800ULL,    0x00a1000900028400ULL,
    0x0100100400c80102ULL,    0x000001120000a044ULL,
    0x800080c004800620ULL,    0x4040081000202000ULL,
    0x0d08802008801000ULL,    0x1000800800801004ULL,
    0x1004000801010010ULL,    0x0402800400800200ULL,
    0x0004080204008110ULL,    0x0000404082000401ULL,
    0x00c0118861408000ULL,    0x1100220081020048ULL,
    0x09a0430420050010ULL,    0x0000082200420010ULL,
    0x2110080004008080ULL,    0x2004201040680104ULL,
    0x1106001451820008ULL,    0x0002224104820014ULL,
    0x00800c8044210500ULL,    0x02a0200040100040ULL,
    0x040100a0001e4100ULL,    0x00204023108a0200ULL,
    0x2400080080040080ULL,    0x1289008400020900ULL,
    0x0002088250010400ULL,    0x0001006084010200ULL,
    0x0001023480002141ULL,    0x0006400021810015ULL,
    0x8400100840200101ULL,    0x40003000a1000825ULL,
    0x1002011008200402ULL,    0x100d000400080201ULL,
    0x0020048806102904ULL,    0x8401000020804201ULL,
};
constexpr Bitboard kBishopMagics[64] = {
    0x4c40240122060016ULL,    0x8048110404004a80ULL,
    0x8004440410414020ULL,    0x021c410060405000ULL,
    0x80cd1040d0480812ULL,    0x0002021104000082ULL,
    0x08440082a8200001ULL,    0x00202a0800841002ULL,
    0x0200c40810842088ULL,    0x60c0081000c08901ULL,
    0x00a3d0040042510cULL,    0x1c00110400808541ULL,
    0x0400820211084005ULL,    0x0000008860080800ULL,
    0x002002020202c000ULL,    0x0400344e08040a81ULL,
    0x812800102098a080ULL,    0x00202010823a2040ULL,
    0x4086400800830201ULL,    0x5008012a22004000ULL,
    0x0004801c00a00000ULL,    0x0000400200505400ULL,
    0x0480408401080820ULL,    0x8000400029082824ULL,
    0x0008880804501000ULL,    0x0001600048084100ULL,
    0x0108220624040400ULL,    0x0008080000820002ULL,
    0xc804040010410041ULL,    0x01080a0040208400ULL,
    0x2018030480a88800ULL,    0x4040410020410810ULL,
    0x1108044010100210ULL,    0x084a100400029800ULL,
    0x0801080100820c00ULL,    0x8010400808108200ULL,
    0x0084008400020500ULL,    0x0002004200290481ULL,
    0x0010150200032090ULL,    0x8404042220404102ULL,
    0x0302080308004008ULL,    0x1200420820000408ULL,
    0x0802002024200800ULL,    0x4020824208000084ULL,
    0x000002020c008200ULL,    0x2c40208081000882ULL,
    0x2082223441000401ULL,    0x8804080081101020ULL,
    0x4401011002220808ULL,    0x81020c4202100000ULL,
    0x4005004404040308ULL,    0x0820400c42020001ULL,
    0x0020206421820010ULL,    0x0150401001424008ULL,
    0x02a20242020c0608ULL,    0x5020110109011200ULL,
    0x2050840108410401ULL,    0x0100090880842108ULL,
    0x220008960142187aULL,    0x1111028880208820ULL,
    0x4400200042028200ULL,    0x4400010802084206ULL,
    0x0000400242040100ULL,    0x0002201104010944ULL,
};

// The squares of a slider's lines that decide its attacks: the edge square of
// each line never blocks anything beyond it, so it is left out.
Bitboard relevantMask(Square s, const int* directions)
{
    const AttackTables& t = attackTables();
    Bitboard mask = 0;
    for (int i = 0; i < 4; ++i) {
        const int d = directions[i];
        const Bitboard ray = t.ray[d][s];
        if (ray == 0)
            continue;
        const Square edge = risingDirection(d) ? highestSquare(ray) : lowestSquare(ray);
        mask |= ray & ~squareBit(edge);
    }
    return mask;
}

Bitboard slowAttacks(Square s, Bitboard occupied, const int* directions)
{
    Bitboard attacks = 0;
    for (int i = 0; i < 4; ++i)
        attacks |= rayAttacks(directions[i], s, occupied);
    return attacks;
}

void buildFor(MagicEntry* entries, Bitboard* table, const int* directions, const Bitboard* magics)
{
    Bitboard* next = table;
    for (Square s = 0; s < 64; ++s) {
        MagicEntry& e = entries[s];
        e.mask = relevantMask(s, directions);
        e.magic = magics[s];
        const int bits = std::popcount(e.mask);
        e.shift = static_cast<unsigned>(64 - bits);
        e.attacks = next;
        next += std::size_t{1} << bits;
        // Every subset of the mask gets the attacks it gives.
        Bitboard subset = 0;
        do {
            const Bitboard attacks = slowAttacks(s, subset, directions);
            Bitboard& slot = e.attacks[(subset * e.magic) >> e.shift];
            if (slot != 0 && slot != attacks)
                std::abort();   // a multiplier that maps two occupancies together
            slot = attacks;
            subset = (subset - e.mask) & e.mask;
        } while (subset != 0);
    }
}

struct MagicStorage {
    MagicTables tables;
    std::vector<Bitboard> rookAttacks = std::vector<Bitboard>(ROOK_TABLE);
    std::vector<Bitboard> bishopAttacks = std::vector<Bitboard>(BISHOP_TABLE);

    MagicStorage()
    {
        buildFor(tables.rook, rookAttacks.data(), kRookDirections, kRookMagics);
        buildFor(tables.bishop, bishopAttacks.data(), kBishopDirections, kBishopMagics);
    }
};

const MagicStorage& storage()
{
    static const MagicStorage built;
    return built;
}

// Subsets of a mask enumerated from the empty set upward ("carry-rippler")
// come in the order of their packed index: the n-th subset has index n. The
// attack sets are read from the magic tables.
void buildPext(PextEntry* entries, Bitboard* table, const MagicEntry* magics)
{
    Bitboard* next = table;
    for (Square s = 0; s < 64; ++s) {
        PextEntry& e = entries[s];
        e.mask = magics[s].mask;
        e.attacks = next;
        Bitboard subset = 0;
        do {
            *next++ = magicLookup(magics[s], subset);
            subset = (subset - e.mask) & e.mask;
        } while (subset != 0);
    }
}

struct PextStorage {
    PextTables tables;
    std::vector<Bitboard> rookAttacks = std::vector<Bitboard>(ROOK_TABLE);
    std::vector<Bitboard> bishopAttacks = std::vector<Bitboard>(BISHOP_TABLE);

    PextStorage()
    {
        buildPext(tables.rook, rookAttacks.data(), storage().tables.rook);
        buildPext(tables.bishop, bishopAttacks.data(), storage().tables.bishop);
    }
};

} // namespace

const MagicTables& kMagicTables = storage().tables;

const PextTables& pextTables()
{
    static const PextStorage built;
    return built.tables;
}
