#pragma once
// What the search keeps per ply: the moves generated there, the make/unmake
// record of the move being searched, and what carries over between nodes and
// between searches at that ply: its best line (element 0 is the move tried
// first) and the two killers.

#include <cstdint>

#include "board/move_list.h"
#include "board/types.h"
#include "search/score.h"

struct SearchPly : MoveList {
    Move pv[MAX_PLY] = {};
    std::uint32_t pvLength = 0;
    Move killer1 = NO_MOVE;
    Move killer2 = NO_MOVE;

    Move preferredMove() const { return pv[0]; }
};
