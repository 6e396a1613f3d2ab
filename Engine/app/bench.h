#pragma once
// The bench: fixed-depth searches of built-in positions (openings, middle
// games, endgames, mates), one thread, each with a fresh table. Its total node
// count is a signature of the search, the same on every run and machine.

#include <cstdint>

#include "release/release_profile.h"

// Prints a line per position ("FEN MOVE SCORE NODES"), the move generator
// used, and last "nodes N time_ms T nps X". With `statistics` the table
// statistics go to standard error as in play. Returns 0, or 1 when a table
// cannot be allocated.
int runBench(const ReleaseProfile& release, std::uint32_t tableMib, bool statistics);
