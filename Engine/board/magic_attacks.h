#pragma once
// Sliding-piece attacks by table lookup ("magic" multiplication): the pieces
// on a rook's or bishop's lines, multiplied by a fixed number per square,
// index a precomputed table of attack sets, built once at start-up.

#include "board/bitboards.h"

struct MagicEntry {
    Bitboard mask;      // the squares whose occupancy matters
    Bitboard magic;
    Bitboard* attacks;  // this square's part of the attack table
    unsigned shift;
};

struct MagicTables {
    MagicEntry rook[64];
    MagicEntry bishop[64];
};

extern const MagicTables& kMagicTables;

inline Bitboard magicLookup(const MagicEntry& e, Bitboard occupied)
{
    return e.attacks[((occupied & e.mask) * e.magic) >> e.shift];
}

inline Bitboard rookAttacksMagic(Square square, Bitboard occupied)
{
    return magicLookup(kMagicTables.rook[square], occupied);
}

inline Bitboard bishopAttacksMagic(Square square, Bitboard occupied)
{
    return magicLookup(kMagicTables.bishop[square], occupied);
}

// The same attack sets indexed by the occupied squares under the mask packed
// into the low bits, the index the BMI2 instruction PEXT computes. Built on
// the first call; only the generation path for such processors uses them.
struct PextEntry {
    Bitboard mask;
    const Bitboard* attacks;
};

struct PextTables {
    PextEntry rook[64];
    PextEntry bishop[64];
};

const PextTables& pextTables();
