#pragma once
// The evaluation's per-piece terms, worked out once for a release and a
// full-move number (which fixes the game phase for a whole search): for each
// piece code, what its square, its moves, its move count and its hits are
// worth from White's point of view (black pieces carry negated, mirrored terms).

#include <cstdint>

#include "board/piece_score.h"
#include "release/search_rules.h"

constexpr std::uint32_t NEVER = UINT32_MAX;

struct PieceTerms {
    std::int32_t mobility;            // per generated move
    std::int32_t unmoved;             // while the piece has not moved
    std::uint32_t crowdedAt;          // ownHits from which `crowded` applies
    std::int32_t crowded;
    std::uint32_t perMoveFrom;        // move count from which `perMove` x move count applies
    std::int32_t perMove;
    std::int32_t blockedByOwn;        // pawns: push stopped by an own piece
    std::int32_t padding;             // read by nothing: keeps a record at 32 bytes
};
static_assert(sizeof(PieceTerms) == 32, "the terms of one piece code index by a shift");

struct EvalTables {
    std::int32_t fullmove = INT32_MIN;   // the full-move number the tables were built for
    bool opening = false;
    PieceTerms piece[12];
    std::int32_t square[12][64];          // placement terms by piece code and square
    std::int32_t blockedByEnemy[12][64];  // pawns: push stopped by an enemy piece

    // The terms that depend only on code, square and move count, for the
    // board to keep summed (see Board_class::setPieceScoreTable).
    PieceScoreTable pieceScores;
    // Piece types with terms that depend on moves or hits, by which of those
    // terms they have (bit per type): the evaluation visits each group with
    // only its own terms.
    std::uint32_t mobilityOnlyTypes = 0;      // per move only
    std::uint32_t mobilityCrowdedTypes = 0;   // per move and crowded
    std::uint32_t blockedOnlyTypes = 0;       // blocked push only
    std::uint32_t otherDynamicTypes = 0;      // any other mix
};

void buildEvalTables(const EvalWeights& weights, std::int32_t fullmove, EvalTables& tables);
