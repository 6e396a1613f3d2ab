#pragma once
// A fixed stream of game commands whose searches have a fixed depth: new game,
// a few opponent moves, searches whose moves are played, a take-back, a set
// position. The node count of every search is its fingerprint: the same
// stream must give the same counts every time, in one process or in two.

#include <cstdint>
#include <vector>

std::vector<std::uint64_t> runReproStream();
