#pragma once
// Thinking lines as a game could go on: a line read back from the table may
// end in a move stored for another position, and a line may run on past a
// position where the game would already be drawn (a third repetition, the
// fifty-move rule). The full mode shows a line only up to there. A line cut
// short by the table (a result found there, a mate among them) goes on with
// the moves the table holds for the positions after it.

#include <cstdint>
#include <memory>
#include <vector>

#include "board/board.h"
#include "game/game_position.h"
#include "search/hash_table.h"

class PlayableLine {
public:
    PlayableLine();
    // Before a search: the positions of the game that its lines could repeat
    // (those since the last capture or pawn move; with `boardToo` the one on
    // the board as well, when the search's root lies a move beyond it).
    void setEarlierPositions(const GamePosition& game, bool boardToo);
    // How many moves from the start of `line` can be played one after the
    // other from `root` with `side` to move, ending with the first one that
    // draws the game. With a table, a line that ends without a draw is
    // lengthened (in place, up to `capacity` moves) by the table's moves.
    std::uint32_t length(const Board_class& root, Colour side, Move* line, std::uint32_t length,
                         std::uint32_t capacity = 0, const HashTable_class* table = nullptr);

private:
    std::unique_ptr<Board_class> board_;
    std::unique_ptr<MoveList> moves_;
    std::vector<std::uint64_t> keys_;   // earlier positions, then the root and the line's
    std::uint32_t earlierCount_ = 0;
};
