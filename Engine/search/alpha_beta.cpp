// The fixed-depth search: negamax alpha-beta with the table, null move, check
// and single-reply extensions and killers, ending in a capture-only
// quiescence search. Every move of a node is searched with the full window.
// The side to move is set from the ply's list on entering a node and before
// every move, rather than switched by make and unmake.

#include <algorithm>

#include "search/move_picker.h"
#include "search/score.h"
#include "search/search.h"

namespace {

constexpr std::uint32_t LAST_PLY = MAX_PLY - 1;

} // namespace

void Search_class::store(const SearchPly& list, std::uint32_t ply, std::int32_t score, std::uint32_t flag,
                         std::uint32_t depth)
{
    table_->store(board_.hashKey, ply, score, flag, depth, list.preferredMove(), board_.pieceCount(WHITE),
                  board_.pieceCount(BLACK));
}

void Search_class::takeChildLine(SearchPly& list, std::uint32_t ply, Move move)
{
    const SearchPly& child = plies_[ply + 1];
    const std::uint32_t length = std::min(child.pvLength, MAX_PLY - 1);
    list.pv[0] = move;
    std::copy(child.pv, child.pv + length, list.pv + 1);
    list.pvLength = length + 1;
}

void Search_class::seedLine(std::uint32_t firstPly, const Move* line, std::uint32_t length)
{
    for (std::uint32_t k = 0; k < length && firstPly + k < MAX_PLY; ++k)
        plies_[firstPly + k].pv[0] = line[k];
    if (firstPly + length < MAX_PLY)
        plies_[firstPly + length].pvLength = 0;
}

void Search_class::spreadPV(std::uint32_t ply)
{
    const SearchPly& list = plies_[ply];
    seedLine(ply + 1, list.pv + 1, std::max(list.pvLength, 1u) - 1);
}

bool Search_class::tableCutoff(SearchPly& list, std::uint32_t ply, std::int32_t depth, std::int32_t& alpha,
                               std::int32_t beta, std::int32_t& score)
{
    score = alpha;
    HashEntry entry;
    if (rootSearchedWhole(ply) || !table_->probe(board_.hashKey, static_cast<std::uint32_t>(depth), ply, score, beta, entry))
        return false;
    if (entry.flags != HASH_FIXED) {
        list.pv[0] = entry.move;
        list.pvLength = 1;
        return true;
    }
    // A position that occurred in the game is a draw below the root; at
    // the root it must still be searched.
    if (ply > 0)
        return true;
    alpha = -INFINITE_SCORE;
    return false;
}

bool Search_class::nullMoveCutoff(SearchPly& list, std::uint32_t ply, std::int32_t depth, std::int32_t alpha,
                                  std::int32_t beta, std::int32_t& score)
{
    ++nullMoveTries_;
    nullMoveActive_ = true;
    board_.makeNullMove(list.record);
    table_->prefetch(board_.hashKey);
    score = -alphaBeta(ply + 1, depth - 2, -beta, -beta + 1);
    board_.unmakeNullMove(list.record);
    nullMoveActive_ = false;
    // A stopped reply search says nothing: leave without storing it.
    if (!keepSearching()) {
        score = alpha;
        return true;
    }
    if (score < beta)
        return false;
    ++nullMoveCutoffs_;
    store(list, ply, score, HASH_LOWER, static_cast<std::uint32_t>(depth - 2));
    return true;
}

Move Search_class::makeNextMove(SearchPly& list, MovePicker& picker)
{
    setSide(list);
    if (!picker.nextMove())
        return NO_MOVE;
    board_.makeMove(list.record);
    table_->prefetch(board_.hashKey);
    countNode();
    return list.record.move;
}

std::int32_t Search_class::alphaBeta(std::uint32_t ply, std::int32_t depth, std::int32_t alpha, std::int32_t beta)
{
    SearchPly& list = plies_[ply];
    setSide(list);
    if (depth == 0)
        return quiesce(ply, alpha, beta);
    list.pvLength = 0;
    maxPly_ = std::max(maxPly_, ply);
    if (ply == LAST_PLY) {   // no list beyond this one: score the position as it stands
        board_.generateMoves(list);
        return evaluate(ply);
    }

    if (std::int32_t tableScore; tableCutoff(list, ply, depth, alpha, beta, tableScore))
        return tableScore;

    if (board_.isInsufficientMaterial() && !rootSearchedWhole(ply)) {
        store(list, ply, DRAW_SCORE, HASH_EXACT, HASH_ANY_DEPTH);
        return DRAW_SCORE;
    }
    if (ply > 0 && rules_.mateMaterialWindow) {
        if (!board_.hasMatingMaterial(list.side))
            beta = std::min(beta, DRAW_SCORE);
        if (!board_.hasMatingMaterial(list.opponent))
            alpha = std::max(alpha, DRAW_SCORE);
    }

    board_.generateMoves(list);
    if (rootRestricted(ply))
        keepRootMoves(list);
    const std::uint32_t status = board_.statusFlags;
    if (status & STATUS_CHECKMATED) {
        const std::int32_t mated = static_cast<std::int32_t>(ply) - MATE_SCORE;
        store(list, ply, mated, HASH_EXACT, HASH_ANY_DEPTH);
        return mated;
    }
    if (status & STATUS_STALEMATED) {
        store(list, ply, DRAW_SCORE, HASH_LOWER, HASH_ANY_DEPTH);
        return DRAW_SCORE;
    }
    // The fifty-move rule draws unless the move mated (tested just above). A
    // root handed over with the clock run out is still searched, so the engine
    // plays its best move there.
    if (ply > 0 && board_.isFiftyMoveDraw())
        return DRAW_SCORE;

    std::int32_t extension = 0;
    if (status & STATUS_IN_CHECK) {
        extension = 1;
        ++checkExtensions_;
    } else if (list.moveCount() == 1 && !(ply == 0 && placedLines_ != 0)) {
        // (not a root that has one move left only because the lines before took the others)
        extension = 1;
        ++singleReplyExtensions_;
    }

    if (!nullMoveActive_ && !(status & STATUS_IN_CHECK) && depth >= 3 &&
        list.moveCount() >= rules_.nullMoveMinMoves) {
        if (std::int32_t nullScore; nullMoveCutoff(list, ply, depth, alpha, beta, nullScore))
            return nullScore;
    }
    // Only the ply right after a null move is barred from a null move of its own.
    nullMoveActive_ = false;

    MovePicker picker(list, board_, board_.lastMove, MovePicker::Walk::AllMoves);
    if (!keepSearching())
        return alpha;

    const std::uint32_t searchDepth = static_cast<std::uint32_t>(depth + extension);
    bool found = false;
    while (picker.hasMoreMoves()) {
        const Move move = makeNextMove(list, picker);
        if (move == NO_MOVE)
            break;
        const std::int32_t score = -alphaBeta(ply + 1, depth + extension - 1, -beta, -alpha);
        board_.unmakeMove(list.record);
        if (!keepSearching())
            return alpha;
        if (score > alpha && score >= beta) {
            list.killer2 = list.killer1;
            list.killer1 = move;
            store(list, ply, score, HASH_LOWER, searchDepth);
            return rules_.betaCutoffReturnsScore ? score : beta;
        }
        if (score > alpha) {
            alpha = score;
            found = true;
            takeChildLine(list, ply, move);
            spreadPV(ply);
            if (ply == 0 && !iterationReports_)
                reportProgress(depth + extension, score, list.pv, list.pvLength);
        }
        if (!keepSearching())
            return alpha;
    }
    if (keepSearching() && !rootRestricted(ply))
        store(list, ply, alpha, found ? HASH_EXACT : HASH_UPPER, searchDepth);
    return alpha;
}

std::int32_t Search_class::quiesce(std::uint32_t ply, std::int32_t alpha, std::int32_t beta)
{
    SearchPly& list = plies_[ply];
    setSide(list);
    list.pvLength = 0;
    maxPly_ = std::max(maxPly_, ply);
    if (ply == LAST_PLY) {
        board_.generateMoves(list);
        return evaluate(ply);
    }

    if (board_.isInsufficientMaterial()) {
        store(list, ply, DRAW_SCORE, HASH_EXACT, HASH_ANY_DEPTH);
        return DRAW_SCORE;
    }
    std::int32_t tableScore = alpha;
    HashEntry entry;
    if (table_->probe(board_.hashKey, 0, ply, tableScore, beta, entry)) {
        list.pv[0] = entry.move;
        list.pvLength = 1;
        return tableScore;
    }
    if (rules_.mateMaterialWindow) {
        if (!board_.hasMatingMaterial(list.side))
            beta = std::min(beta, DRAW_SCORE);
        if (!board_.hasMatingMaterial(list.opponent))
            alpha = std::max(alpha, DRAW_SCORE);
    }

    // Quiescence never walks the non-captures: count them, don't list them.
    board_.generateMoves(list, false);
    if (board_.statusFlags & STATUS_CHECKMATED) {
        const std::int32_t mated = static_cast<std::int32_t>(ply) - MATE_SCORE;
        store(list, ply, mated, HASH_EXACT, HASH_ANY_DEPTH);
        return mated;
    }
    if (board_.statusFlags & STATUS_STALEMATED) {
        store(list, ply, DRAW_SCORE, HASH_EXACT, HASH_ANY_DEPTH);
        return DRAW_SCORE;
    }

    const std::int32_t standPat = evaluate(ply);
    if (list.captureCount == 0)
        return standPat;
    // A side with only captures must capture: its static score does not count.
    if (list.nonCaptureCount > 0) {
        if (standPat >= beta)
            return rules_.betaCutoffReturnsScore ? standPat : beta;
        alpha = std::max(alpha, standPat);
    }
    MovePicker picker(list, board_, board_.lastMove, MovePicker::Walk::CapturesOnly);
    if (!keepSearching())
        return alpha;

    while (picker.hasMoreMoves()) {
        const Move move = makeNextMove(list, picker);
        if (move == NO_MOVE)
            break;
        const std::int32_t score = -quiesce(ply + 1, -beta, -alpha);
        board_.unmakeMove(list.record);
        if (!keepSearching())
            return alpha;
        if (score >= beta && score > alpha) {
            list.killer2 = list.killer1;
            list.killer1 = move;
            return rules_.betaCutoffReturnsScore ? score : beta;
        }
        if (score > alpha) {
            alpha = score;
            takeChildLine(list, ply, move);
        }
        if (!keepSearching())
            return alpha;
    }
    return alpha;
}
