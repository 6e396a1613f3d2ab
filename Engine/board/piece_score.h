#pragma once
// A score for every piece from its code, its square and how often it has
// moved, which the board keeps summed over its pieces move by move. The
// evaluation fills the table with the terms that depend on nothing else, so
// it need not visit every piece at every node.

#include <cstdint>

#include "board/types.h"

struct PieceScoreTable {
    std::int32_t square[12][64] = {};         // by piece code and square
    std::int32_t unmoved[12] = {};            // while the piece has not moved
    std::uint32_t perMoveFrom[12] = {};       // move count from which perMove x move count applies
    std::int32_t perMove[12] = {};

    std::int32_t of(std::uint32_t code, Square square, std::uint32_t moveCount) const
    {
        return this->square[code][square] + (moveCount == 0 ? unmoved[code] : 0) +
               (moveCount >= perMoveFrom[code] ? perMove[code] * static_cast<std::int32_t>(moveCount) : 0);
    }
};
