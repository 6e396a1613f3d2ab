#pragma once
// Move-path enumeration, the standard correctness and speed check of move
// generation and make/unmake. Moves are played exactly as the search plays
// them: generated into a per-ply list, made, the side switched by the caller.

#include <cstdint>

#include "board/board.h"

constexpr std::uint32_t PERFT_MAX_DEPTH = 32;

// Leaf nodes below the board's position (the last ply counted in bulk).
// depth 0 gives 1; depths above PERFT_MAX_DEPTH count nothing.
std::uint64_t perft(Board_class& board, std::uint32_t depth);

struct DivideEntry {
    Move move;
    std::uint64_t nodes;
};
// Leaf counts per root move: captures in array order, then non-captures.
// Returns the number of entries written (at most `capacity`).
std::uint32_t divide(Board_class& board, std::uint32_t depth, DivideEntry* entries, std::uint32_t capacity);
