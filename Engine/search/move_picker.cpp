#include "search/move_picker.h"

#include <iterator>
#include <utility>

#include "board/move.h"

MovePicker::MovePicker(SearchPly& list, const Board_class& board, Move lastMove, Walk walk)
    : list_(list),
      board_(board),
      capturesLeft_(list.captureCount),
      nonCapturesLeft_(walk == Walk::AllMoves ? list.nonCaptureCount : 0)
{
    promoteRecapture(lastMove);
}

// The first capture (from the end) onto the square the last move went to
// becomes the first capture tried.
void MovePicker::promoteRecapture(Move lastMove)
{
    if (list_.captureCount == 0)
        return;
    const Square target = moveTo(lastMove);
    Move& last = list_.captures[list_.captureCount - 1];
    for (std::uint32_t i = list_.captureCount; i-- > 0;) {
        if (moveTo(list_.captures[i]) == target) {
            std::swap(list_.captures[i], last);
            return;
        }
    }
}

bool MovePicker::nextMove()
{
    switch (pickPhase_) {
    case PICK_PREFERRED:
        ++pickPhase_;
        if (pick(list_.preferredMove()))
            return true;
        [[fallthrough]];
    case PICK_CAPTURES:
        if (pickFromEnd(list_.captures, capturesLeft_))
            return true;
        ++pickPhase_;
        [[fallthrough]];
    case PICK_KILLER1:
        ++pickPhase_;
        if (pick(list_.killer1))
            return true;
        [[fallthrough]];
    case PICK_KILLER2:
        ++pickPhase_;
        if (pick(list_.killer2))
            return true;
        [[fallthrough]];
    default:   // PICK_NON_CAPTURES
        return pickFromEnd(list_.nonCaptures, nonCapturesLeft_);
    }
}

// A move named in advance (preferred or killer) is tried only if it was generated here.
bool MovePicker::pick(Move move)
{
    if (move == NO_MOVE || !takeMove(move))
        return false;
    list_.record.move = move;
    return true;
}

bool MovePicker::pickFromEnd(Move* moves, std::uint32_t& left)
{
    while (left > 0) {
        Move& entry = moves[--left];
        if (entry != NO_MOVE) {
            list_.record.move = entry;
            entry = NO_MOVE;
            return true;
        }
    }
    return false;
}

// Removes a move from the lists; false if it is not there.
bool MovePicker::takeMove(Move move)
{
    for (std::uint32_t i = list_.captureCount; i-- > 0;) {
        if (list_.captures[i] == move) {
            list_.captures[i] = NO_MOVE;
            return true;
        }
    }
    if (!list_.nonCapturesListed)
        return takeQuietMove(move);
    for (std::uint32_t i = list_.nonCaptureCount; i-- > 0;) {
        if (list_.nonCaptures[i] == move) {
            list_.nonCaptures[i] = NO_MOVE;
            return true;
        }
    }
    return false;
}

// The same for a list whose non-captures were only counted: the board says
// whether the move was among them, the picker remembers what it took.
bool MovePicker::takeQuietMove(Move move)
{
    for (std::uint32_t i = 0; i < takenQuietCount_; ++i) {
        if (takenQuiet_[i] == move)
            return false;
    }
    if (!board_.generatedQuietMove(list_, move) || takenQuietCount_ == std::size(takenQuiet_))
        return false;
    takenQuiet_[takenQuietCount_++] = move;
    return true;
}
