#pragma once
// The steps pieces move by, in the one order every table of the board uses.
// The eight line directions run E, NE, N, NW, W, SW, S, SE: the even ones are
// a rook's, the odd ones a bishop's, and 0..3 run to higher squares.

#include <cstdint>

struct Step {
    int file;
    int rank;
};

constexpr Step kLineSteps[8] = {{1, 0}, {1, 1}, {0, 1}, {-1, 1}, {-1, 0}, {-1, -1}, {0, -1}, {1, -1}};
constexpr int kQueenDirections[8] = {0, 1, 2, 3, 4, 5, 6, 7};
constexpr int kRookDirections[4] = {0, 2, 4, 6};
constexpr int kBishopDirections[4] = {1, 3, 5, 7};
constexpr Step kKnightSteps[8] = {{1, 2}, {-1, 2}, {-2, 1}, {-2, -1}, {-1, -2}, {1, -2}, {2, -1}, {2, 1}};
// A pawn's captures (towards the h-file first), then its step forward.
constexpr int kWhitePawnDirections[3] = {1, 3, 2};
constexpr int kBlackPawnDirections[3] = {7, 5, 6};

constexpr bool onBoard(int file, int rank)
{
    return file >= 0 && file < 8 && rank >= 0 && rank < 8;
}

// How far a step moves in square numbers (square = file + 8 * rank).
constexpr std::int32_t squareDelta(Step step) { return step.file + 8 * step.rank; }
constexpr std::int32_t directionDelta(int direction) { return squareDelta(kLineSteps[direction]); }
constexpr bool risingDirection(int direction) { return direction < 4; }
