#pragma once
// The parts of search and evaluation that differ between releases. Each
// release profile (release/release_profile.cpp) fills one; the search and the
// evaluation read it instead of carrying a copy per release.

#include <cstdint>

// Evaluation weights. A weight of 0 switches its term off. "Unmoved" terms
// apply while the piece's move count is 0; squares are seen from the piece's
// own side (a black piece uses the mirrored square).
struct EvalWeights {
    std::int32_t bishopPair;            // exactly two bishops
    std::int32_t castled;               // full-move below 20, side has castled
    std::int32_t noCastlingRights;      // full-move below 20, not castled and both rights gone
    std::int32_t openingPawnSquares[64];

    // Opening terms (full-move below 20).
    std::int32_t queenEarlyMoves;       // per move of the queen, below full-move 10
    std::int32_t kingMoves;             // per king move once it has moved twice
    std::int32_t knightRim;             // on the a- or h-file or its own back rank
    std::int32_t knightUnmoved;
    std::int32_t knightMobility;
    std::int32_t knightCorner;          // a1 / h1
    std::int32_t knightBesideCorner;    // b1 / g1
    std::int32_t bishopUnmoved;
    std::int32_t bishopMobility;
    std::int32_t bishopCorner;          // a1 / h1
    std::int32_t bishopHome;            // c1 / f1
    std::int32_t bishopCrowded;         // ownHits bishopCrowdedAt or more
    std::uint32_t bishopCrowdedAt;
    std::int32_t rookUnmoved;
    std::int32_t rookMobility;
    std::int32_t rookCorner;            // a1 / h1
    std::int32_t rookBesideCorner;      // b1 / g1

    // Middle and end game terms (full-move 20 on).
    std::int32_t queenMobilityLate;
    std::int32_t queenCrowdedLate;      // ownHits queenCrowdedLateAt or more
    std::uint32_t queenCrowdedLateAt;
    std::int32_t rookMobilityLate;
    std::int32_t rookCrowdedLate;       // ownHits rookCrowdedLateAt or more
    std::uint32_t rookCrowdedLateAt;
    std::int32_t bishopMobilityLate;
    std::int32_t bishopCrowdedLate;     // ownHits bishopCrowdedLateAt or more
    std::uint32_t bishopCrowdedLateAt;
    std::int32_t knightMobilityLate;
    std::int32_t knightRimLate;
    std::int32_t pawnBlockedByOwn;      // push stopped by an own piece
    std::int32_t pawnBlockedPerRank;    // push stopped by an enemy: per rank still to go
    std::int32_t pawnBlockedFlat;       // push stopped by an enemy: flat amount
    std::int32_t passedRaceFromMove;    // full-move from which passedRace / ranks to go is paid
    std::int32_t passedRace;
};

struct SearchRules {
    bool betaCutoffReturnsScore;     // fail-soft cut-offs and stand pat
    std::uint32_t nullMoveMinMoves;  // generated moves needed to try a null move
    bool mateMaterialWindow;         // a side that cannot mate cannot score above 0
    bool researchOutsideWindow;      // repeat an iteration whose score fell outside the window
    EvalWeights evaluation;
};
