#pragma once
// Sets of squares as 64-bit words (bit n = square n) and the attack tables
// built on them. They speed up attack tests; the square array and the piece
// slots stay the board's primary record and decide the order of moves.

#include <bit>
#include <cstdint>

#include "board/directions.h"
#include "board/types.h"

using Bitboard = std::uint64_t;

constexpr Bitboard squareBit(Square s) { return Bitboard{1} << s; }
inline Square lowestSquare(Bitboard b) { return static_cast<Square>(std::countr_zero(b)); }
inline Square highestSquare(Bitboard b) { return static_cast<Square>(63 - std::countl_zero(b)); }

struct AttackTables {
    Bitboard knight[64];
    Bitboard king[64];
    Bitboard pawn[2][64];   // squares a pawn of colour index c on the square attacks
    Bitboard ray[8][64];    // by line direction (directions.h)
    Bitboard rookRays[64];     // a rook's lines on an empty board
    Bitboard bishopRays[64];   // a bishop's lines on an empty board
    std::int8_t direction[64][64];   // the direction from one square to another on a line, -1 if none
};

namespace bitboard_detail {
constexpr Bitboard stepTarget(Square s, Step step)
{
    const int f = fileOf(s) + step.file;
    const int r = rankOf(s) + step.rank;
    return onBoard(f, r) ? squareBit(makeSquare(f, r)) : 0;
}

constexpr AttackTables buildTables()
{
    AttackTables t{};
    for (Square s = 0; s < 64; ++s) {
        for (int i = 0; i < 8; ++i) {
            t.knight[s] |= stepTarget(s, kKnightSteps[i]);
            t.king[s] |= stepTarget(s, kLineSteps[i]);
        }
        // A pawn attacks with the first two steps of its direction list.
        for (int i = 0; i < 2; ++i) {
            t.pawn[0][s] |= stepTarget(s, kLineSteps[kWhitePawnDirections[i]]);
            t.pawn[1][s] |= stepTarget(s, kLineSteps[kBlackPawnDirections[i]]);
        }
        for (int d = 0; d < 8; ++d) {
            const Step step = kLineSteps[d];
            Bitboard ray = 0;
            for (int f = fileOf(s) + step.file, r = rankOf(s) + step.rank; onBoard(f, r); f += step.file, r += step.rank)
                ray |= squareBit(makeSquare(f, r));
            t.ray[d][s] = ray;
            (d % 2 == 0 ? t.rookRays : t.bishopRays)[s] |= ray;
        }
    }
    for (Square s = 0; s < 64; ++s) {
        for (Square to = 0; to < 64; ++to)
            t.direction[s][to] = -1;
        for (int d = 0; d < 8; ++d) {
            for (Bitboard ray = t.ray[d][s]; ray != 0; ray &= ray - 1)
                t.direction[s][std::countr_zero(ray)] = static_cast<std::int8_t>(d);
        }
    }
    return t;
}

inline constexpr AttackTables kTables = buildTables();
} // namespace bitboard_detail

inline const AttackTables& attackTables()
{
    return bitboard_detail::kTables;
}

// The squares strictly between two squares on a line (none if not on a line).
inline Bitboard squaresBetween(Square from, Square to)
{
    const int d = bitboard_detail::kTables.direction[from][to];
    return d < 0 ? 0 : bitboard_detail::kTables.ray[d][from] & bitboard_detail::kTables.ray[(d + 4) & 7][to];
}

// The ray from the square in one direction, up to and including its first piece.
inline Bitboard rayAttacks(int direction, Square square, Bitboard occupied)
{
    const Bitboard ray = bitboard_detail::kTables.ray[direction][square];
    const Bitboard blockers = ray & occupied;
    if (blockers == 0)
        return ray;
    const Square first = risingDirection(direction) ? lowestSquare(blockers) : highestSquare(blockers);
    return ray ^ bitboard_detail::kTables.ray[direction][first];
}

// Squares a rook or a bishop on `square` attacks with the given occupancy.
inline Bitboard rookAttacks(Square square, Bitboard occupied)
{
    return rayAttacks(0, square, occupied) | rayAttacks(2, square, occupied) | rayAttacks(4, square, occupied) |
           rayAttacks(6, square, occupied);
}

inline Bitboard bishopAttacks(Square square, Bitboard occupied)
{
    return rayAttacks(1, square, occupied) | rayAttacks(3, square, occupied) | rayAttacks(5, square, occupied) |
           rayAttacks(7, square, occupied);
}
