#include "protocol/legal_line.h"

#include "board/move.h"

LegalLine::LegalLine() : board_(std::make_unique<Board_class>()), moves_(std::make_unique<MoveList>()) {}

std::uint32_t LegalLine::legalLength(const Board_class& root, Colour side, const Move* line, std::uint32_t length)
{
    // The search board's own side field need not be the root's; the key of
    // the copy is made for the side that moves first in the line.
    board_->copyFrom(root);
    board_->sideToMove = side;
    board_->computeHashKey();
    for (std::uint32_t i = 0; i < length; ++i) {
        board_->sideToMove = side;
        moves_->setSide(side);
        moves_->mobilityIndex = 0;
        board_->generateMoves(*moves_);
        if (line[i] == NO_MOVE || findMove(*moves_, line[i]) != line[i])
            return i;
        moves_->record.move = line[i];
        board_->makeMove(moves_->record);
        side = otherColour(side);
    }
    return length;
}
