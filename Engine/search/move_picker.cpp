// The order moves are tried in: the preferred move, then captures, then the
// two killers, then the other moves. Within each list the moves generated
// last come first. A picked move is taken out of the lists, so no move is
// searched twice.

#include <utility>

#include "board/move.h"
#include "search/search.h"

namespace {

enum PickPhase : std::uint32_t {
    PICK_PREFERRED = 0,
    PICK_KILLER1 = 1,
    PICK_KILLER2 = 2,
    PICK_CAPTURES = 3,
    PICK_NON_CAPTURES = 4,
};

} // namespace

bool Search_class::takeMove(SearchPly& list, Move move)
{
    for (std::uint32_t i = list.captureCount; i-- > 0;) {
        if (list.captures[i] == move) {
            list.captures[i] = NO_MOVE;
            return true;
        }
    }
    if (!list.nonCapturesListed)
        return board_.takeQuietMove(list, move);
    for (std::uint32_t i = list.nonCaptureCount; i-- > 0;) {
        if (list.nonCaptures[i] == move) {
            list.nonCaptures[i] = NO_MOVE;
            return true;
        }
    }
    return false;
}

bool Search_class::nextMove(SearchPly& list)
{
    Move& current = list.record.move;
    switch (list.pickPhase) {
    case PICK_PREFERRED:
        list.pickPhase = PICK_CAPTURES;
        if (list.pv[0] != NO_MOVE && takeMove(list, list.pv[0])) {
            current = list.pv[0];
            return true;
        }
        [[fallthrough]];
    case PICK_CAPTURES:
        while (list.capturesLeft > 0) {
            Move& entry = list.captures[--list.capturesLeft];
            if (entry != NO_MOVE) {
                current = entry;
                entry = NO_MOVE;
                return true;
            }
        }
        list.pickPhase = PICK_KILLER1;
        [[fallthrough]];
    case PICK_KILLER1:
        list.pickPhase = PICK_KILLER2;
        if (list.killer1 != NO_MOVE && takeMove(list, list.killer1)) {
            current = list.killer1;
            return true;
        }
        [[fallthrough]];
    case PICK_KILLER2:
        list.pickPhase = PICK_NON_CAPTURES;
        if (list.killer2 != NO_MOVE && takeMove(list, list.killer2)) {
            current = list.killer2;
            return true;
        }
        [[fallthrough]];
    default:
        while (list.nonCapturesLeft > 0) {
            Move& entry = list.nonCaptures[--list.nonCapturesLeft];
            if (entry != NO_MOVE) {
                current = entry;
                entry = NO_MOVE;
                return true;
            }
        }
        return false;
    }
}

void Search_class::promoteRecapture(SearchPly& list, Move lastMove)
{
    // The first capture (from the end) onto the square the last move went to
    // becomes the first capture tried.
    if (list.captureCount == 0)
        return;
    const Square target = moveTo(lastMove);
    Move& last = list.captures[list.captureCount - 1];
    for (std::uint32_t i = list.captureCount; i-- > 0;) {
        if (moveTo(list.captures[i]) == target) {
            std::swap(list.captures[i], last);
            return;
        }
    }
}

void Search_class::spreadPV(std::uint32_t ply)
{
    // Deeper plies try the moves of the current best line first.
    const SearchPly& list = plies_[ply];
    for (std::uint32_t k = 1; k < list.pvLength && ply + k < MAX_PLY; ++k)
        plies_[ply + k].pv[0] = list.pv[k];
    const std::uint32_t end = ply + (list.pvLength > 0 ? list.pvLength : 1);
    if (end < MAX_PLY)
        plies_[end].pvLength = 0;
}
