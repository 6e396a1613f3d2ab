#pragma once
// The full mode shows only lines that can be played: a line read back from
// the table may end in a move stored for another position.

#include <cstdint>
#include <memory>

#include "board/board.h"

class LegalLine {
public:
    LegalLine();
    // How many moves from the start of `line` are legal one after the other
    // from `root` with `side` to move.
    std::uint32_t legalLength(const Board_class& root, Colour side, const Move* line, std::uint32_t length);

private:
    std::unique_ptr<Board_class> board_;
    std::unique_ptr<MoveList> moves_;
};
