#pragma once
// What one search may spend and what becomes of its result. The front ends
// fill a request from a command before anything touches the game; the game
// reads it against its position once no other search runs.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "board/types.h"

// What the search cycle does with the search's result.
enum class SearchOutcome : std::uint8_t {
    PlayMove,     // play and announce the move (a WinBoard game)
    ReportBest,   // announce the best move and leave the board as it is (UCI)
    Nothing,      // say nothing more than the thinking (analysis, pondering)
};

struct SearchRequest {
    std::uint32_t depth = 0;          // plies; 0: no limit
    std::uint64_t nodes = 0;          // 0: no limit
    std::uint64_t moveTimeMs = 0;     // a fixed time for this move; 0: none
    bool infinite = false;            // until stopped: never ends by itself
    bool ponder = false;              // on the opponent's time until a ponder hit or a stop
    // Each side's clock and increment (UCI sends both with every "go"); the
    // side to move's decides the budget. Without a clock or a fixed time the
    // search has no time limit.
    std::optional<std::uint64_t> clockMs[2];   // white, black
    std::uint64_t incrementMs[2] = {0, 0};
    std::uint32_t movesToGo = 0;      // moves left in the control; 0: the rest of the game
    // The root moves to search alone, as the interface wrote them; a text
    // that is no legal move in the position searched is reported and left out.
    std::vector<std::string> searchMoves;
};
