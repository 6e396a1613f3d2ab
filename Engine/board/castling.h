#pragma once
// The squares of castling, by colour (index colour - 1): where the king and
// the rooks stand, and the squares of the back rank they cross.

#include "board/types.h"

struct CastlingSquares {
    Square king, kingSideRook, queenSideRook;
    Square f, g, b, c, d;
};

constexpr CastlingSquares kCastlingSquares[2] = {
    {4, 7, 0, 5, 6, 1, 2, 3},
    {60, 63, 56, 61, 62, 57, 58, 59},
};

// What a castling move moves: king side, the king to g and the rook to f;
// queen side, the king to c and the rook to d.
struct CastlingMove {
    Square kingFrom, kingTo, rookFrom, rookTo;
};

constexpr CastlingMove castlingMove(Colour side, bool kingSide)
{
    const CastlingSquares& s = kCastlingSquares[side - 1];
    return kingSide ? CastlingMove{s.king, s.g, s.kingSideRook, s.f} : CastlingMove{s.king, s.c, s.queenSideRook, s.d};
}
