#pragma once
// What the interface sets about how the engine plays (UCI options, WinBoard
// commands such as st, sd, hard and cores), each from the next search on.

#include <cstdint>

struct PlayOptions {
    std::uint32_t threads = 1;          // threads a search runs on (1 to MAX_SEARCH_THREADS)
    std::uint32_t multiPv = 1;          // best lines a search shows (1 to MAX_MULTI_PV)
    bool pondering = false;             // WinBoard: think on the opponent's time about the expected reply
    std::uint64_t fixedMoveMs = 0;      // the engine's own moves: a fixed time (0: the clock and level decide)
    std::uint32_t depthLimit = 0;       // the engine's own moves: a depth (0: none)
    std::uint32_t moveOverheadMs = 0;   // time lost outside the engine on every move
    bool tableStatistics = true;        // the table statistics on standard error after each search
};
