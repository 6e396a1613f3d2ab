#pragma once
// Sets of squares as 64-bit words (bit n = square n) and the attack tables
// built on them. They speed up attack tests; the square array and the piece
// slots stay the board's primary record and decide the order of moves.

#include <bit>
#include <cstdint>

#include "board/types.h"

using Bitboard = std::uint64_t;

constexpr Bitboard squareBit(Square s) { return Bitboard{1} << s; }
inline Square lowestSquare(Bitboard b) { return static_cast<Square>(std::countr_zero(b)); }
inline Square highestSquare(Bitboard b) { return static_cast<Square>(63 - std::countl_zero(b)); }

struct AttackTables {
    Bitboard knight[64];
    Bitboard king[64];
    Bitboard pawn[2][64];   // squares a pawn of colour index c on the square attacks
    Bitboard ray[8][64];    // queen directions in ray-table order: E, NE, N, NW, W, SW, S, SE
    Bitboard rookRays[64];     // a rook's lines on an empty board
    Bitboard bishopRays[64];   // a bishop's lines on an empty board
    std::int8_t direction[64][64];   // the direction from one square to another on a line, -1 if none
};

namespace bitboard_detail {
constexpr int kDx[8] = {1, 1, 0, -1, -1, -1, 0, 1};
constexpr int kDy[8] = {0, 1, 1, 1, 0, -1, -1, -1};

constexpr bool onBoard(int file, int rank)
{
    return file >= 0 && file < 8 && rank >= 0 && rank < 8;
}

constexpr Bitboard stepTargets(Square s, const int (*steps)[2], int count)
{
    Bitboard b = 0;
    for (int i = 0; i < count; ++i) {
        const int f = fileOf(s) + steps[i][0];
        const int r = rankOf(s) + steps[i][1];
        if (onBoard(f, r))
            b |= squareBit(makeSquare(f, r));
    }
    return b;
}

constexpr AttackTables buildTables()
{
    constexpr int knightSteps[8][2] = {{1, 2}, {-1, 2}, {-2, 1}, {-2, -1}, {-1, -2}, {1, -2}, {2, -1}, {2, 1}};
    constexpr int kingSteps[8][2] = {{1, 0}, {1, 1}, {0, 1}, {-1, 1}, {-1, 0}, {-1, -1}, {0, -1}, {1, -1}};
    constexpr int whitePawn[2][2] = {{1, 1}, {-1, 1}};
    constexpr int blackPawn[2][2] = {{1, -1}, {-1, -1}};
    AttackTables t{};
    for (Square s = 0; s < 64; ++s) {
        t.knight[s] = stepTargets(s, knightSteps, 8);
        t.king[s] = stepTargets(s, kingSteps, 8);
        t.pawn[0][s] = stepTargets(s, whitePawn, 2);
        t.pawn[1][s] = stepTargets(s, blackPawn, 2);
        for (int d = 0; d < 8; ++d) {
            Bitboard ray = 0;
            for (int f = fileOf(s) + kDx[d], r = rankOf(s) + kDy[d]; onBoard(f, r); f += kDx[d], r += kDy[d])
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

// Directions 0..3 of the ray table (E, NE, N, NW) run to higher squares.
constexpr bool risingDirection(int direction) { return direction < 4; }

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
