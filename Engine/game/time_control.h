#pragma once
// How long the engine may think about one move, from the clock and the level
// the interface sends. All budgets are in milliseconds.

#include <cstdint>

constexpr std::uint32_t DEFAULT_MOVE_TIME_MS = 500;
constexpr std::uint32_t LOW_CLOCK_MOVE_TIME_MS = 50;   // under 5 s on the clock

// The budget for `secondsLeft` on the clock after `halfMovesPlayed`. With moves
// per control the rest of the clock is spread over the moves left in the
// control; without, a share of the clock that grows as the game goes on.
// Returns `current` where the clock gives no budget (moves per control and no
// move played yet).
std::uint32_t budgetFromClock(std::uint32_t secondsLeft, std::uint32_t halfMovesPlayed,
                              std::uint32_t movesPerControl, std::uint32_t current);

// The budget for a level: `moves` in `baseMinutes` (0 moves: the whole game,
// base seconds / zeroMovesDivisor per move).
std::uint32_t budgetFromLevel(std::uint32_t moves, std::uint32_t baseMinutes, std::uint32_t zeroMovesDivisor);
