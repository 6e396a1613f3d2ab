#include "release/release_profile.h"

#include <cstring>

#include "release/version.h"

namespace {

// Opening pawn squares from White's side, a1 = index 0.
constexpr std::int32_t kCurrentPawnSquares[64] = {
    0, 0, 0, 0,   0,   0, 0, 0,   // rank 1
    0, 0, 0, -20, -20, 0, 0, 0,   // rank 2: d2, e2
    0, 0, 0, 0,   0,   0, 0, 0,   // rank 3
    0, 0, 8, 15,  20,  0, 0, 0,   // rank 4: c4, d4, e4
    0, 0, 0, 12,  12,  0, 0, 0,   // rank 5: d5, e5
    0, 0, 0, 0,   0,   0, 0, 0,
    0, 0, 0, 0,   0,   0, 0, 0,
    0, 0, 0, 0,   0,   0, 0, 0,
};

constexpr std::int32_t kEarlierPawnSquares[64] = {
    0, 0, 0,  0,  0,  0, 0, 0,
    0, 0, 0,  0,  0,  0, 0, 0,
    0, 0, 0,  0,  0,  0, 0, 0,
    0, 0, 15, 20, 20, 0, 0, 0,   // rank 4: c4, d4, e4
    0, 0, 0,  20, 20, 0, 0, 0,   // rank 5: d5, e5
    0, 0, 0,  0,  0,  0, 0, 0,
    0, 0, 0,  0,  0,  0, 0, 0,
    0, 0, 0,  0,  0,  0, 0, 0,
};

constexpr void copySquares(std::int32_t* to, const std::int32_t* from)
{
    for (int i = 0; i < 64; ++i)
        to[i] = from[i];
}

// The weights both releases give the same values.
constexpr void setSharedWeights(EvalWeights& w)
{
    w.bishopCrowdedAt = 3;
    w.queenCrowdedLateAt = 4;
    w.rookCrowdedLateAt = 2;
    w.bishopCrowdedLateAt = 2;
    w.passedRace = 150;
}

constexpr SearchRules currentRules()
{
    SearchRules rules{};
    rules.betaCutoffReturnsScore = false;
    rules.nullMoveMinMoves = 3;
    rules.mateMaterialWindow = true;
    rules.researchOutsideWindow = false;

    EvalWeights& w = rules.evaluation;
    setSharedWeights(w);
    w.bishopPair = 11;
    w.castled = 15;
    w.noCastlingRights = 25;
    copySquares(w.openingPawnSquares, kCurrentPawnSquares);
    w.queenEarlyMoves = 2;
    w.kingMoves = 3;
    w.knightRim = 15;
    w.knightUnmoved = 0;
    w.knightMobility = 1;
    w.knightCorner = 7;
    w.knightBesideCorner = 5;
    w.bishopUnmoved = 5;
    w.bishopMobility = 2;
    w.bishopCorner = 7;
    w.bishopHome = 5;
    w.bishopCrowded = 3;
    w.rookUnmoved = 3;
    w.rookMobility = 2;
    w.rookCorner = 5;
    w.rookBesideCorner = 3;
    w.queenMobilityLate = 3;
    w.queenCrowdedLate = 5;
    w.rookMobilityLate = 3;
    w.rookCrowdedLate = 5;
    w.bishopMobilityLate = 3;
    w.bishopCrowdedLate = 5;
    w.knightMobilityLate = 4;
    w.knightRimLate = 15;
    w.pawnBlockedByOwn = 5;
    w.pawnBlockedPerRank = 3;
    w.pawnBlockedFlat = 0;
    w.passedRaceFromMove = 31;
    return rules;
}

constexpr SearchRules earlierRules()
{
    SearchRules rules{};
    rules.betaCutoffReturnsScore = true;
    rules.nullMoveMinMoves = 2;
    rules.mateMaterialWindow = false;
    rules.researchOutsideWindow = true;

    EvalWeights& w = rules.evaluation;
    setSharedWeights(w);
    w.bishopPair = 0;
    w.castled = 20;
    w.noCastlingRights = 0;
    copySquares(w.openingPawnSquares, kEarlierPawnSquares);
    w.queenEarlyMoves = 5;
    w.kingMoves = 20;
    w.knightRim = 0;
    w.knightUnmoved = 17;
    w.knightMobility = 3;
    w.knightCorner = 0;
    w.knightBesideCorner = 0;
    w.bishopUnmoved = 16;
    w.bishopMobility = 2;
    w.bishopCorner = 0;
    w.bishopHome = 0;
    w.bishopCrowded = 7;
    w.rookUnmoved = 0;
    w.rookMobility = 0;
    w.rookCorner = 0;
    w.rookBesideCorner = 0;
    w.queenMobilityLate = 0;
    w.queenCrowdedLate = 0;
    w.rookMobilityLate = 2;
    w.rookCrowdedLate = 5;
    w.bishopMobilityLate = 3;
    w.bishopCrowdedLate = 5;
    w.knightMobilityLate = 4;
    w.knightRimLate = 0;
    w.pawnBlockedByOwn = 6;
    w.pawnBlockedPerRank = 0;
    w.pawnBlockedFlat = 4;
    w.passedRaceFromMove = 36;
    return rules;
}

const ReleaseProfile kCurrent = {
    KELP_CURRENT_VERSION,
    8388608,
    {currentRules(), 30, true},
    {"Kelp V" KELP_CURRENT_VERSION, true, true},
    true,
};

const ReleaseProfile kEarlier = {
    KELP_EARLIER_VERSION,
    262144,
    {earlierRules(), 111, false},
    {"Kelp V" KELP_EARLIER_VERSION, false, false},
    false,
};

} // namespace

const ReleaseProfile& currentRelease() { return kCurrent; }
const ReleaseProfile& earlierRelease() { return kEarlier; }

const ReleaseProfile* releaseByVersion(const char* version)
{
    if (std::strcmp(version, kCurrent.version) == 0)
        return &kCurrent;
    if (std::strcmp(version, kEarlier.version) == 0)
        return &kEarlier;
    return nullptr;
}
