#pragma once
// The score scale: hundredths of a pawn from the side to move's point of view.
// A side mated at ply p scores p - MATE_SCORE, so a shorter mate is better.

#include <cstdint>

constexpr std::int32_t DRAW_SCORE = 0;
constexpr std::int32_t MATE_SCORE = 99999;
constexpr std::int32_t INFINITE_SCORE = 100000;        // the root window
constexpr std::int32_t MATE_BOUND = MATE_SCORE - 255;  // 99744: at or beyond it a score is a mate

constexpr bool isMateScore(std::int32_t score)
{
    return score >= MATE_BOUND || score <= -MATE_BOUND;
}
