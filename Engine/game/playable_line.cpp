#include "game/playable_line.h"

#include <algorithm>

#include "board/move.h"
#include "search/search_listener.h"

namespace {

// Earlier positions kept: more than a fifty-move stretch holds.
constexpr std::uint32_t EARLIER_KEYS = 128;

} // namespace

PlayableLine::PlayableLine() : board_(std::make_unique<Board_class>()), moves_(std::make_unique<MoveList>())
{
    keys_.resize(EARLIER_KEYS + 1 + THINKING_PV_CAPACITY);
}

void PlayableLine::setEarlierPositions(const GamePosition& game, bool boardToo)
{
    earlierCount_ = game.repeatableKeys(keys_.data(), EARLIER_KEYS - 1);
    if (boardToo)
        keys_[earlierCount_++] = game.board().repetitionKey();
}

std::uint32_t PlayableLine::length(const Board_class& root, Colour side, Move* line, std::uint32_t length,
                                   std::uint32_t capacity, const HashTable_class* table)
{
    capacity = std::min(capacity, THINKING_PV_CAPACITY);
    length = std::min(length, THINKING_PV_CAPACITY);
    // The search board's own side field need not be the root's; the key of
    // the copy is made for the side that moves first in the line.
    board_->copyFrom(root);
    board_->sideToMove = side;
    board_->computeHashKey();
    std::uint32_t known = earlierCount_;
    keys_[known++] = board_->repetitionKey();
    for (std::uint32_t i = 0;; ++i) {
        board_->sideToMove = side;
        moves_->setSide(side);
        moves_->mobilityIndex = 0;
        board_->generateMoves(*moves_);
        if (i >= length) {
            // The line's end: the table's move for this position carries it on.
            const auto entry = table != nullptr && i < capacity ? table->peek(board_->hashKey) : std::nullopt;
            if (!entry || entry->move == NO_MOVE || findMove(*moves_, entry->move) != entry->move)
                return i;
            line[i] = entry->move;
            length = i + 1;
        }
        if (line[i] == NO_MOVE || findMove(*moves_, line[i]) != line[i])
            return i;
        moves_->record.move = line[i];
        board_->makeMove(moves_->record);
        side = otherColour(side);
        board_->sideToMove = side;
        board_->computeHashKey();
        // The game is drawn here: a third time in the same position, or fifty
        // moves without a capture or pawn move (unless this move mated).
        const std::uint64_t key = board_->repetitionKey();
        const bool thirdTime = std::count(keys_.begin(), keys_.begin() + known, key) >= 2;
        keys_[known++] = key;
        if (thirdTime)
            return i + 1;
        if (board_->isFiftyMoveDraw()) {
            moves_->setSide(side);
            moves_->mobilityIndex = 0;
            board_->generateMoves(*moves_);
            if (!(board_->statusFlags & STATUS_CHECKMATED))
                return i + 1;
        }
    }
}
