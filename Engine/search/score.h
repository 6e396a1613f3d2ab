#pragma once
// The score scale: hundredths of a pawn from the side to move's point of view.
// A side mated at ply p scores p - MATE_SCORE, so a shorter mate is better.

#include <cstdint>

// Plies a search line can reach (one per-ply record each).
constexpr std::uint32_t MAX_PLY = 256;

constexpr std::int32_t DRAW_SCORE = 0;
constexpr std::int32_t MATE_SCORE = 99999;
constexpr std::int32_t INFINITE_SCORE = MATE_SCORE + 1;   // the root window
// 99744: the farthest mate a line can reach; at or beyond it a score is a mate.
constexpr std::int32_t MATE_BOUND = MATE_SCORE - static_cast<std::int32_t>(MAX_PLY - 1);

constexpr bool isMateScore(std::int32_t score)
{
    return score >= MATE_BOUND || score <= -MATE_BOUND;
}
