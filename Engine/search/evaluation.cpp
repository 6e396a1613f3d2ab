// The static score of the search board at one node. Terms are summed from
// White's point of view and returned for the side to move. The game phase is
// the full-move number: below 20 the opening terms apply, from 20 on the
// middle and end game terms (see evaluation_tables.cpp for the per-piece
// terms). Mobility and hit counts come from the move generations of the
// current line, so the node's moves must be generated first.

#include <algorithm>
#include <bit>
#include <cstdlib>

#include "search/search.h"

namespace {

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

} // namespace

// The per-piece terms of the pieces in `slots` (all of one colour), scored
// with their move counts filed under `mobilityIndex`: the terms that depend on
// moves and hits; the rest is the board's piece score. Pieces are visited in
// groups by the terms their type has, each loop reading only what its terms need.
std::int32_t Search_class::pieceTerms(const DynamicSlots& slots, std::uint32_t mobilityIndex) const
{
    const Board_class& b = board_;
    std::int32_t sum = 0;
    for (std::uint32_t s = slots.mobilityOnly; s != 0; s &= s - 1) {
        const Piece_class& piece = *b.pieceSlot(static_cast<std::uint32_t>(std::countr_zero(s)));
        sum += evalTables_.piece[piece.code].mobility * static_cast<std::int32_t>(piece.mobility[mobilityIndex]);
    }
    for (std::uint32_t s = slots.mobilityCrowded; s != 0; s &= s - 1) {
        const Piece_class& piece = *b.pieceSlot(static_cast<std::uint32_t>(std::countr_zero(s)));
        const PieceTerms& t = evalTables_.piece[piece.code];
        sum += t.mobility * static_cast<std::int32_t>(piece.mobility[mobilityIndex]) +
               (piece.ownHits >= t.crowdedAt ? t.crowded : 0);
    }
    for (std::uint32_t s = slots.blockedOnly; s != 0; s &= s - 1) {
        const Piece_class& piece = *b.pieceSlot(static_cast<std::uint32_t>(std::countr_zero(s)));
        if (piece.ownHits != 0)
            sum += evalTables_.piece[piece.code].blockedByOwn;
        else if (piece.enemyHits != 0)
            sum += evalTables_.blockedByEnemy[piece.code][piece.square];
    }
    // Written as selects rather than branches: which terms apply changes from
    // piece to piece and would defeat branch prediction.
    for (std::uint32_t s = slots.other; s != 0; s &= s - 1) {
        const Piece_class& piece = *b.pieceSlot(static_cast<std::uint32_t>(std::countr_zero(s)));
        const std::uint32_t code = piece.code;
        const PieceTerms& t = evalTables_.piece[code];
        const std::uint32_t ownHits = piece.ownHits;
        const std::int32_t blocked = ownHits != 0 ? t.blockedByOwn
                                     : piece.enemyHits != 0 ? evalTables_.blockedByEnemy[code][piece.square]
                                                            : 0;
        sum += t.mobility * static_cast<std::int32_t>(piece.mobility[mobilityIndex]) +
               (ownHits >= t.crowdedAt ? t.crowded : 0) + blocked;
    }
    return sum;
}

std::int32_t Search_class::evaluate(std::uint32_t ply)
{
    const EvalWeights& w = rules_.evaluation;
    const Board_class& b = board_;
    if (evalTables_.fullmove != b.fullmoveNumber) {
        buildEvalTables(w, b.fullmoveNumber, evalTables_);
        board_.setPieceScoreTable(&evalTables_.pieceScores);
        groupsOfTypes_ = {b.typeChanges() - 1, {}};   // regrouped below
    }
    const ColourBlock& white = b.block(WHITE);
    const ColourBlock& black = b.block(BLACK);

    std::int32_t score = b.materialBalance;
    if (white.pieceCount == 1)
        score -= bareKingPenalty(*white.king, *black.king);
    if (black.pieceCount == 1)
        score += bareKingPenalty(*black.king, *white.king);
    if (white.typeCount[BISHOP] == 2)
        score += w.bishopPair;
    if (black.typeCount[BISHOP] == 2)
        score -= w.bishopPair;
    if (evalTables_.opening) {
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
    score += b.pieceScore();
    // The slots of each group change only with a promotion: worked out again then.
    if (groupsOfTypes_.typeChanges != b.typeChanges()) {
        auto slotsOf = [&b](std::uint32_t types) {
            std::uint32_t slots = 0;
            for (; types != 0; types &= types - 1)
                slots |= b.slotsOfType(static_cast<PieceType>(std::countr_zero(types)));
            return slots;
        };
        groupsOfTypes_ = {b.typeChanges(),
                          {slotsOf(evalTables_.mobilityOnlyTypes), slotsOf(evalTables_.mobilityCrowdedTypes),
                           slotsOf(evalTables_.blockedOnlyTypes), slotsOf(evalTables_.otherDynamicTypes)}};
    }
    const DynamicSlots groups = groupsOfTypes_.slots.of(b.liveSlots());
    score += pieceTerms(groups.of(0xffffu), toMove == WHITE ? ownIndex : otherIndex);
    score += pieceTerms(groups.of(0xffff0000u), toMove == BLACK ? ownIndex : otherIndex);
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
