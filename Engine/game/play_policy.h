#pragma once
// How the engine plays beyond its documented behaviour. The documented engine
// keeps every default; the full mode (kelp --full, kelp-full) turns on what
// its clients need. The game reads these named behaviours, never the mode.

#include <cstdint>

// The full mode's move overhead unless the interface sets one (UCI "Move Overhead").
constexpr std::uint32_t DEFAULT_MOVE_OVERHEAD_MS = 10;
constexpr std::uint32_t MAX_MOVE_OVERHEAD_MS = 5000;

struct PlayPolicy {
    // The level's increment is added to the budget of every move.
    bool incrementInBudget = false;
    // Thinking lines hold only moves that can be played one after the other.
    bool playableLinesOnly = false;
    // A search ended by a command writes no more thinking lines.
    bool quietAfterStop = false;
    // A thinking line at the end of every finished iteration, from depth 1
    // (the root searched even where the table knows it), instead of one at
    // each new best root move.
    bool iterationReports = false;
    // The table of the command line is built when first needed (a GUI's
    // readiness probe waits for it), not before the first answer.
    bool tableWhenNeeded = false;
    // The table's statistics go to standard error after every search.
    bool tableStatistics = true;
    // A clock never runs below a cushion (CLOCK_CUSHION_MS and the move
    // overhead), and once it is low a move spends the increment, not more.
    bool clockCushion = false;
    // Time lost outside the engine on every move (a network, a slow
    // interface), taken off every budget: its starting value.
    std::uint32_t moveOverheadMs = 0;

    // What the full mode does.
    static PlayPolicy full()
    {
        PlayPolicy policy;
        policy.incrementInBudget = true;
        policy.playableLinesOnly = true;
        policy.quietAfterStop = true;
        policy.iterationReports = true;
        policy.tableWhenNeeded = true;
        policy.tableStatistics = false;
        policy.clockCushion = true;
        policy.moveOverheadMs = DEFAULT_MOVE_OVERHEAD_MS;
        return policy;
    }
};
