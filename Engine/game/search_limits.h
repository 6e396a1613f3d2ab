#pragma once
// What one search of the full mode may spend, and what becomes of its result.
// The documented mode thinks only under the budget of the clock and level.

#include <cstdint>

#include "board/types.h"
#include "board/move_list.h"

// What the search cycle does with the search's result.
enum class SearchOutcome : std::uint8_t {
    PlayMove,     // play and announce the move (a WinBoard game)
    ReportBest,   // announce the best move and leave the board as it is (UCI)
    Nothing,      // say nothing more than the thinking (analysis, pondering)
};

struct SearchLimits {
    std::uint32_t depth = 0;          // plies; 0: no limit
    std::uint32_t nodes = 0;          // 0: no limit
    std::uint64_t moveTimeMs = 0;     // a fixed time for this move; 0: from the clock
    bool infinite = false;            // until stopped: never ends by itself
    bool ponder = false;              // on the opponent's time until a ponder hit or a stop
    bool useGameClock = false;        // the game's clock and level set the budget (WinBoard)
    // The engine's clock for this search (UCI sends it with each "go"); without
    // one the game's own clock and level apply.
    bool clockGiven = false;
    std::uint64_t clockMs = 0;
    std::uint64_t incrementMs = 0;
    std::uint32_t movesToGo = 0;      // moves left in the control; 0: the rest of the game
    Move rootMoves[MAX_NON_CAPTURES] = {};   // searched alone when any is given
    std::uint32_t rootMoveCount = 0;
};
