#pragma once
// How long the engine may think about one move, from the clock and the level
// the interface sends. All budgets are in milliseconds.

#include <cstdint>
#include <optional>

#include "game/play_policy.h"
#include "game/search_request.h"
#include "release/release_profile.h"

constexpr std::uint32_t DEFAULT_MOVE_TIME_MS = 500;
constexpr std::uint32_t LOW_CLOCK_MOVE_TIME_MS = 50;   // under 5 s on the clock

// Left on the clock after every move. Stopping a search takes 1.2 ms (median)
// to 6 ms (worst); as xboard times it, on a loaded 2-core machine, a move came
// 15 ms (median), 85 ms (99th percentile) after its budget over 2,830 moves of
// real tournament games: its event loop, the scheduler, the pipe and its
// centisecond clock. 200 ms covers that with room to spare; it only ever
// shortens a move whose budget comes within 200 ms of the whole clock (the
// last move of a control, or a clock nearly gone).
constexpr std::uint32_t CLOCK_RESERVE_MS = 200;

// The budget for `clockMs` on the clock after `halfMovesPlayed`. With moves
// per control the rest of the clock is spread over the moves left in the
// control; without, a share of the clock that grows as the game goes on. The
// rules read the clock in whole seconds; where moves per control leave less
// than a second, the exact clock is spread. `current` stands where the clock
// gives no rule (moves per control and no move played yet). Whatever the rule,
// the budget leaves CLOCK_RESERVE_MS on the clock (a clock below it gives 0).
std::uint32_t budgetFromClock(std::uint64_t clockMs, std::uint32_t halfMovesPlayed, std::uint32_t movesPerControl,
                              std::uint32_t current);

// The budget for a level: `moves` in `baseMinutes` (0 moves: the whole game,
// base seconds / zeroMovesDivisor per move). Never 0: a level too short for
// whole seconds gets DEFAULT_MOVE_TIME_MS, until the clock says more.
std::uint32_t budgetFromLevel(std::uint32_t moves, std::uint32_t baseMinutes, std::uint32_t zeroMovesDivisor);

// What the full mode keeps on a clock (with the move overhead): a clock never
// runs below it, and once what is left above it falls under
// LOW_CLOCK_SPARE_MS a move spends its increment, not more.
constexpr std::uint32_t CLOCK_CUSHION_MS = 300;
constexpr std::uint32_t LOW_CLOCK_SPARE_MS = 500;
// Under LOW_CLOCK_MS a move gets at most one part in LOW_CLOCK_SHARE of
// what the clock holds above the cushion.
constexpr std::uint32_t LOW_CLOCK_MS = 5000;
constexpr std::uint32_t LOW_CLOCK_SHARE = 30;

// The full mode's budget from a clock: what the clock holds above the cushion
// (CLOCK_CUSHION_MS and the overhead), to the millisecond, spread over the
// moves left in the control (`movesToGo`, or the level's moves per control)
// or shared out as the rule above shares the clock (a hundredth early on, a
// twentieth late; at most a thirtieth of a low clock); plus the increment each
// move earns, less the move overhead. Once a low clock holds less than
// LOW_CLOCK_SPARE_MS above the cushion, the increment alone.
std::uint32_t cushionedBudget(std::uint64_t clockMs, std::uint32_t halfMovesPlayed, std::uint32_t movesPerControl,
                              std::uint32_t movesToGo, std::uint64_t incrementMs, std::uint32_t overheadMs);

// A fixed time a move (UCI movetime, WinBoard st): nearly all of it, less a
// margin for stopping the search and sending the move (20 ms and 1%).
std::uint32_t budgetForFixedTime(std::uint64_t ms);

// The engine's clock and level as the interface last set them, and the budget
// of each search worked out from them when it starts.
class GameClock {
public:
    GameClock(const GameRules& rules, const PlayPolicy& policy) : rules_(rules), policy_(policy) {}

    // The engine's clock, read when the next search starts (so that it counts
    // the opponent's move that usually follows it).
    void setTimeLeft(std::uint64_t clockMs, std::uint32_t halfMovesPlayed);
    void setLevel(std::uint32_t moves, std::uint32_t baseMinutes, std::uint32_t increment);
    // A fixed time for each of the engine's own moves (0: the clock and level decide).
    void setFixedMoveTime(std::uint64_t ms) { fixedMoveMs_ = ms; }
    // Time lost outside the engine on every move, taken off every budget.
    void setMoveOverhead(std::uint32_t ms) { overheadMs_ = ms; }

    // The budget of the engine's own move after `halfMovesPlayed`.
    std::uint32_t ownMoveBudget(std::uint32_t halfMovesPlayed);
    // The budget of a requested search for `side`; none when it has no time limit.
    std::optional<std::uint32_t> requestBudget(const SearchRequest& request, Colour side,
                                               std::uint32_t halfMovesPlayed) const;

    std::uint32_t moveTimeMs() const { return moveTimeMs_; }
    std::uint32_t movesPerControl() const { return movesPerControl_; }

private:
    const GameRules& rules_;
    const PlayPolicy& policy_;
    std::uint32_t moveTimeMs_ = DEFAULT_MOVE_TIME_MS;
    std::uint32_t movesPerControl_ = 0;
    std::uint32_t increment_ = 0;   // seconds
    std::uint64_t clockMs_ = 0;
    bool clockKnown_ = false;       // a clock came after the last level
    std::uint64_t fixedMoveMs_ = 0;
    std::uint32_t overheadMs_ = policy_.moveOverheadMs;

    std::uint32_t lessOverhead(std::uint64_t budgetMs) const;
};
