#pragma once
// The order moves are tried in at one node: the preferred move, then the
// captures, then the two killers, then the other moves. Within each list the
// moves generated last come first. A picked move is taken out of the lists,
// so no move is searched twice. A picker lives for one node, on the stack.

#include <cstdint>

#include "board/board.h"
#include "search/search_ply.h"

class MovePicker {
public:
    // Quiescence walks the captures only: the preferred move is still tried
    // first, a killer only by a pick that finds the captures left all taken.
    enum class Walk { AllMoves, CapturesOnly };

    // For a list just generated on `board`. The capture onto the square of
    // `lastMove` becomes the first capture tried.
    MovePicker(SearchPly& list, const Board_class& board, Move lastMove, Walk walk);

    bool hasMoreMoves() const { return capturesLeft_ > 0 || nonCapturesLeft_ > 0; }
    // Puts the next move to try into the list's record; false when none is left.
    bool nextMove();

private:
    // In the order they are walked.
    enum PickPhase { PICK_PREFERRED, PICK_CAPTURES, PICK_KILLER1, PICK_KILLER2, PICK_NON_CAPTURES };

    void promoteRecapture(Move lastMove);
    bool pick(Move move);
    bool pickFromEnd(Move* moves, std::uint32_t& left);
    bool takeMove(Move move);
    bool takeQuietMove(Move move);

    SearchPly& list_;
    const Board_class& board_;
    int pickPhase_ = PICK_PREFERRED;
    std::uint32_t capturesLeft_;
    std::uint32_t nonCapturesLeft_;
    // Non-captures taken by name (the preferred move, the killers) from a
    // list that only counted them.
    Move takenQuiet_[3] = {};
    std::uint32_t takenQuietCount_ = 0;
};
