#pragma once
// The moves of one position, as the generator fills them: captures and
// non-captures in two arrays, in generation order, and the record of the
// move being made from it.

#include <cstdint>

#include "board/bitboards.h"
#include "board/move_record.h"
#include "board/types.h"

// Large enough for any legal position (at most 218 moves in all).
constexpr std::uint32_t MAX_NON_CAPTURES = 256;
constexpr std::uint32_t MAX_CAPTURES = 256;

struct MoveList {
    std::uint32_t ply = 0;
    std::uint32_t mobilityIndex = 0;   // where the generator files per-piece move counts
    Colour side = WHITE;               // whose moves are generated
    Colour opponent = BLACK;
    Move nonCaptures[MAX_NON_CAPTURES] = {};
    Move captures[MAX_CAPTURES] = {};
    std::uint32_t captureCount = 0;
    std::uint32_t nonCaptureCount = 0;
    MoveRecord record;                 // make/unmake record of this list's current move

    // A generation that only counts non-captures (see Board_class::generateMoves)
    // leaves `nonCaptures` unwritten and records, per piece slot of the side,
    // the squares its non-captures go to (for the pawns, all steps and all
    // double steps together: a target square tells which pawn it belongs to);
    // membership is asked of Board_class::generatedQuietMove.
    bool nonCapturesListed = true;
    Bitboard quietTargets[16] = {};       // pieces other than pawns, by slot
    Bitboard pawnStepTargets = 0;         // promotions included
    Bitboard pawnDoubleStepTargets = 0;
    std::uint8_t castlingGenerated = 0;   // 1 king-side, 2 queen-side

    void setSide(Colour colour)
    {
        side = colour;
        opponent = otherColour(colour);
    }
    std::uint32_t moveCount() const { return captureCount + nonCaptureCount; }
};
