// The static score of the search board at one node. Terms are summed from
// White's point of view and returned for the side to move. The game phase is
// the full-move number: below 20 the opening terms apply, from 20 on the
// middle and end game terms. Mobility and hit counts come from the move
// generations of the current line, so the node's moves must be generated first.

#include <algorithm>
#include <cstdlib>

#include "search/search.h"

namespace {

constexpr std::int32_t OPENING_UNTIL_MOVE = 20;
constexpr std::int32_t QUEEN_EARLY_UNTIL_MOVE = 10;

int kingDistance(Square a, Square b)
{
    const int d = std::max(std::abs(rankOf(a) - rankOf(b)), std::abs(fileOf(a) - fileOf(b)));
    return d > 0 ? d : 1;
}

int edgeDistance(Square s)
{
    const int rank = rankOf(s);
    const int file = fileOf(s);
    return std::min(std::min(rank, 7 - rank), std::min(file, 7 - file));
}

// A lone king is worse the nearer it stands to the edge and to the other king.
std::int32_t bareKingPenalty(const Piece_class& bare, const Piece_class& other)
{
    return 150 / kingDistance(bare.square, other.square) + 200 / (edgeDistance(bare.square) + 1);
}

// The square seen from the piece's own side: a black piece's square mirrored.
Square ownSideSquare(const Piece_class& piece)
{
    return piece.colour == WHITE ? piece.square : piece.square ^ 56;
}

// Opening terms of one piece, as an amount for its own side.
std::int32_t openingTerms(const Piece_class& piece, std::uint32_t mobility, std::int32_t fullmove,
                          const EvalWeights& w)
{
    const Square s = ownSideSquare(piece);
    const int rank = rankOf(s);
    const int file = fileOf(s);
    const bool corner = s == 0 || s == 7;
    const auto mob = static_cast<std::int32_t>(mobility);
    std::int32_t amount = 0;
    switch (piece.type) {
    case PAWN:
        amount += w.openingPawnSquares[s];
        break;
    case QUEEN:
        if (fullmove < QUEEN_EARLY_UNTIL_MOVE)
            amount -= w.queenEarlyMoves * static_cast<std::int32_t>(piece.moveCount);
        break;
    case KING:
        if (piece.moveCount >= 2)
            amount -= w.kingMoves * static_cast<std::int32_t>(piece.moveCount);
        break;
    case KNIGHT:
        if (file == 0 || file == 7 || rank == 0)
            amount -= w.knightRim;
        if (piece.moveCount == 0)
            amount -= w.knightUnmoved;
        amount += w.knightMobility * mob;
        if (corner)
            amount -= w.knightCorner;
        if (s == 1 || s == 6)
            amount -= w.knightBesideCorner;
        break;
    case BISHOP:
        if (piece.moveCount == 0)
            amount -= w.bishopUnmoved;
        amount += w.bishopMobility * mob;
        if (corner)
            amount -= w.bishopCorner;
        if (s == 2 || s == 5)
            amount -= w.bishopHome;
        if (piece.ownHits >= 3)
            amount -= w.bishopCrowded;
        break;
    case ROOK:
        if (piece.moveCount == 0)
            amount -= w.rookUnmoved;
        amount += w.rookMobility * mob;
        if (corner)
            amount -= w.rookCorner;
        if (s == 1 || s == 6)
            amount -= w.rookBesideCorner;
        break;
    default:
        break;
    }
    return amount;
}

// Middle and end game terms of one piece, as an amount for its own side.
std::int32_t laterTerms(const Piece_class& piece, std::uint32_t mobility, std::int32_t fullmove,
                        const EvalWeights& w)
{
    const Square s = ownSideSquare(piece);
    const auto mob = static_cast<std::int32_t>(mobility);
    std::int32_t amount = 0;
    switch (piece.type) {
    case QUEEN:
        amount += w.queenMobilityLate * mob;
        if (piece.ownHits >= 4)
            amount -= w.queenCrowdedLate;
        break;
    case ROOK:
        amount += w.rookMobilityLate * mob;
        if (piece.ownHits >= 2)
            amount -= w.rookCrowdedLate;
        break;
    case BISHOP:
        amount += w.bishopMobilityLate * mob;
        if (piece.ownHits >= 2)
            amount -= w.bishopCrowdedLate;
        break;
    case KNIGHT:
        amount += w.knightMobilityLate * mob;
        if (fileOf(s) == 0 || fileOf(s) == 7 || rankOf(s) == 0)
            amount -= w.knightRimLate;
        break;
    case PAWN: {
        const std::int32_t toGo = 7 - rankOf(s);   // ranks to the promotion rank
        if (piece.ownHits != 0)
            amount -= w.pawnBlockedByOwn;
        else if (piece.enemyHits != 0)
            amount -= w.pawnBlockedPerRank * toGo + w.pawnBlockedFlat;
        if (fullmove >= w.passedRaceFromMove && toGo > 0)
            amount += 150 / toGo;
        break;
    }
    default:
        break;
    }
    return amount;
}

} // namespace

std::int32_t Search_class::evaluate(std::uint32_t ply) const
{
    const EvalWeights& w = rules_.evaluation;
    const Board_class& b = board_;
    const ColourBlock& white = b.block(WHITE);
    const ColourBlock& black = b.block(BLACK);
    const std::int32_t fullmove = b.fullmoveNumber;

    std::int32_t score = b.materialBalance;
    if (white.pieceCount == 1)
        score -= bareKingPenalty(*white.king, *black.king);
    if (black.pieceCount == 1)
        score += bareKingPenalty(*black.king, *white.king);
    if (white.typeCount[BISHOP] == 2)
        score += w.bishopPair;
    if (black.typeCount[BISHOP] == 2)
        score -= w.bishopPair;
    if (fullmove < OPENING_UNTIL_MOVE) {
        if (b.hasCastled[0])
            score += w.castled;
        else if (!(b.castlingRights & (CASTLE_WK | CASTLE_WQ)))
            score -= w.noCastlingRights;
        if (b.hasCastled[1])
            score -= w.castled;
        else if (!(b.castlingRights & (CASTLE_BK | CASTLE_BQ)))
            score += w.noCastlingRights;
    }

    // Each side's latest generation on this line: the side to move generated
    // at this ply, the other side one ply earlier.
    const Colour toMove = plies_[ply].side;
    const std::uint32_t ownIndex = ply / 2;
    const std::uint32_t otherIndex = ply >= 1 ? (ply - 1) / 2 : 0;
    const bool opening = fullmove < OPENING_UNTIL_MOVE;
    for (std::uint32_t slot = 0; slot < 32; ++slot) {
        const Piece_class* piece = b.pieceSlot(slot);
        if (piece == nullptr || piece->captured)
            continue;
        const std::uint32_t mobility = piece->mobility[piece->colour == toMove ? ownIndex : otherIndex];
        const std::int32_t amount = opening ? openingTerms(*piece, mobility, fullmove, w)
                                            : laterTerms(*piece, mobility, fullmove, w);
        score += piece->colour == WHITE ? amount : -amount;
    }
    if (toMove == BLACK)
        score = -score;

    if (ply < 3)
        return score;
    // How much the root side's number of moves grew since the root, less how
    // much the opponent's grew since ply 1.
    const std::uint32_t evenPly = ply & ~1u;
    const std::uint32_t oddPly = (ply & 1u) ? ply : ply - 1;
    const auto moves = [this](std::uint32_t p) { return static_cast<std::int32_t>(plies_[p].moveCount()); };
    const std::int32_t trend = (moves(evenPly) - moves(0)) - (moves(oddPly) - moves(1));
    return toMove == plies_[0].side ? score + trend / 2 : score - trend / 2;
}
