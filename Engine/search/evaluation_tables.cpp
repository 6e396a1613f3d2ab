#include "search/evaluation_tables.h"

#include "board/types.h"

namespace {

constexpr std::int32_t OPENING_UNTIL_MOVE = 20;
constexpr std::int32_t QUEEN_EARLY_UNTIL_MOVE = 10;

// Placement terms of a white piece of this type, by square (seen from
// White's side); for pawns also the term of a push stopped by an enemy.
void whiteSquareTerms(const EvalWeights& w, std::int32_t fullmove, PieceType type, std::int32_t* squareTerms,
                      std::int32_t* blockedTerms)
{
    const bool opening = fullmove < OPENING_UNTIL_MOVE;
    for (Square s = 0; s < 64; ++s) {
        const int rank = rankOf(s);
        const int file = fileOf(s);
        const bool rim = file == 0 || file == 7 || rank == 0;
        const bool corner = s == 0 || s == 7;
        const bool besideCorner = s == 1 || s == 6;
        const std::int32_t toGo = 7 - rank;
        std::int32_t& square = squareTerms[s];
        square = blockedTerms[s] = 0;
        if (opening) {
            switch (type) {
            case PAWN: square = w.openingPawnSquares[s]; break;
            case KNIGHT:
                square = -(rim ? w.knightRim : 0) - (corner ? w.knightCorner : 0) -
                         (besideCorner ? w.knightBesideCorner : 0);
                break;
            case BISHOP:
                square = -(corner ? w.bishopCorner : 0) - (s == 2 || s == 5 ? w.bishopHome : 0);
                break;
            case ROOK:
                square = -(corner ? w.rookCorner : 0) - (besideCorner ? w.rookBesideCorner : 0);
                break;
            default: break;
            }
        } else if (type == KNIGHT) {
            square = rim ? -w.knightRimLate : 0;
        } else if (type == PAWN) {
            square = fullmove >= w.passedRaceFromMove && toGo > 0 ? w.passedRace / toGo : 0;
            blockedTerms[s] = -(w.pawnBlockedPerRank * toGo + w.pawnBlockedFlat);
        }
    }
}

// The terms of a white piece of this type that depend on its moves, hits and
// move count.
PieceTerms whitePieceTerms(const EvalWeights& w, std::int32_t fullmove, PieceType type)
{
    PieceTerms t{};
    t.crowdedAt = NEVER;
    t.perMoveFrom = NEVER;
    if (fullmove < OPENING_UNTIL_MOVE) {
        switch (type) {
        case QUEEN:
            if (fullmove < QUEEN_EARLY_UNTIL_MOVE) {
                t.perMoveFrom = 0;
                t.perMove = -w.queenEarlyMoves;
            }
            break;
        case KING:
            t.perMoveFrom = 2;
            t.perMove = -w.kingMoves;
            break;
        case KNIGHT:
            t.unmoved = -w.knightUnmoved;
            t.mobility = w.knightMobility;
            break;
        case BISHOP:
            t.unmoved = -w.bishopUnmoved;
            t.mobility = w.bishopMobility;
            t.crowdedAt = w.bishopCrowdedAt;
            t.crowded = -w.bishopCrowded;
            break;
        case ROOK:
            t.unmoved = -w.rookUnmoved;
            t.mobility = w.rookMobility;
            break;
        default: break;
        }
        return t;
    }
    switch (type) {
    case QUEEN:
        t.mobility = w.queenMobilityLate;
        t.crowdedAt = w.queenCrowdedLateAt;
        t.crowded = -w.queenCrowdedLate;
        break;
    case ROOK:
        t.mobility = w.rookMobilityLate;
        t.crowdedAt = w.rookCrowdedLateAt;
        t.crowded = -w.rookCrowdedLate;
        break;
    case BISHOP:
        t.mobility = w.bishopMobilityLate;
        t.crowdedAt = w.bishopCrowdedLateAt;
        t.crowded = -w.bishopCrowdedLate;
        break;
    case KNIGHT:
        t.mobility = w.knightMobilityLate;
        break;
    case PAWN:
        t.blockedByOwn = -w.pawnBlockedByOwn;
        break;
    default: break;
    }
    return t;
}

// The same terms for a black piece: mirrored squares, negated amounts.
void mirrorForBlack(EvalTables& tables, std::uint32_t whiteCode, std::uint32_t blackCode)
{
    const PieceTerms& white = tables.piece[whiteCode];
    PieceTerms& black = tables.piece[blackCode];
    black = white;
    for (Square s = 0; s < 64; ++s) {
        tables.square[blackCode][s] = -tables.square[whiteCode][s ^ 56];
        tables.blockedByEnemy[blackCode][s] = -tables.blockedByEnemy[whiteCode][s ^ 56];
    }
    black.mobility = -white.mobility;
    black.unmoved = -white.unmoved;
    black.crowded = -white.crowded;
    black.perMove = -white.perMove;
    black.blockedByOwn = -white.blockedByOwn;
}

} // namespace

void buildEvalTables(const EvalWeights& weights, std::int32_t fullmove, EvalTables& tables)
{
    tables.fullmove = fullmove;
    tables.opening = fullmove < OPENING_UNTIL_MOVE;
    for (PieceType type = QUEEN; type <= PAWN; ++type) {
        const std::uint32_t white = makePieceCode(WHITE, type);
        tables.piece[white] = whitePieceTerms(weights, fullmove, type);
        whiteSquareTerms(weights, fullmove, type, tables.square[white], tables.blockedByEnemy[white]);
        mirrorForBlack(tables, white, makePieceCode(BLACK, type));
    }
    tables.mobilityOnlyTypes = tables.mobilityCrowdedTypes = tables.blockedOnlyTypes = tables.otherDynamicTypes = 0;
    bool hasMobility[6] = {}, hasCrowded[6] = {}, hasBlocked[6] = {};
    for (std::uint32_t code = 0; code < 12; ++code) {
        const PieceTerms& t = tables.piece[code];
        PieceScoreTable& scores = tables.pieceScores;
        for (Square s = 0; s < 64; ++s)
            scores.square[code][s] = tables.square[code][s];
        scores.unmoved[code] = t.unmoved;
        scores.perMoveFrom[code] = t.perMoveFrom;
        scores.perMove[code] = t.perMove;
        const std::uint32_t type = code % 6;
        hasMobility[type] |= t.mobility != 0;
        hasCrowded[type] |= t.crowdedAt != NEVER;
        hasBlocked[type] |= t.blockedByOwn != 0;
        for (Square s = 0; s < 64; ++s)
            hasBlocked[type] |= tables.blockedByEnemy[code][s] != 0;
    }
    for (PieceType type = QUEEN; type <= PAWN; ++type) {
        const std::uint32_t bit = 1u << type;
        if (!hasMobility[type] && !hasCrowded[type] && !hasBlocked[type])
            continue;
        if (hasMobility[type] && !hasCrowded[type] && !hasBlocked[type])
            tables.mobilityOnlyTypes |= bit;
        else if (hasMobility[type] && hasCrowded[type] && !hasBlocked[type])
            tables.mobilityCrowdedTypes |= bit;
        else if (!hasMobility[type] && !hasCrowded[type] && hasBlocked[type])
            tables.blockedOnlyTypes |= bit;
        else
            tables.otherDynamicTypes |= bit;
    }
}
