#include "game/time_control.h"

#include <cstdint>

namespace {

std::uint32_t toMilliseconds(std::uint64_t seconds)
{
    const std::uint64_t ms = seconds * 1000;
    return ms > UINT32_MAX ? UINT32_MAX : static_cast<std::uint32_t>(ms);
}

} // namespace

std::uint32_t budgetFromClock(std::uint32_t secondsLeft, std::uint32_t halfMovesPlayed,
                              std::uint32_t movesPerControl, std::uint32_t current)
{
    const std::uint32_t fullMoves = halfMovesPlayed / 2;
    if (movesPerControl != 0) {
        if (halfMovesPlayed == 0)
            return current;
        const std::uint32_t movesLeft = movesPerControl - fullMoves % movesPerControl;
        const std::uint64_t ms = std::uint64_t{secondsLeft} * 1000 / movesLeft;
        return ms > UINT32_MAX ? UINT32_MAX : static_cast<std::uint32_t>(ms);
    }
    std::uint32_t divisor = 20;
    if (fullMoves <= 3)
        divisor = 100;
    else if (fullMoves <= 9)
        divisor = 50;
    else if (fullMoves <= 24)
        divisor = 30;
    const std::uint32_t share = secondsLeft / divisor;
    if (secondsLeft < 5)
        return LOW_CLOCK_MOVE_TIME_MS;
    return share == 0 ? DEFAULT_MOVE_TIME_MS : toMilliseconds(share);
}

std::uint32_t budgetFromLevel(std::uint32_t moves, std::uint32_t baseMinutes, std::uint32_t zeroMovesDivisor)
{
    const std::uint64_t baseSeconds = std::uint64_t{baseMinutes} * 60;
    if (moves == 0) {
        const std::uint64_t share = baseSeconds / zeroMovesDivisor;
        return share == 0 ? DEFAULT_MOVE_TIME_MS : toMilliseconds(share);
    }
    return toMilliseconds(baseSeconds / (std::uint64_t{moves} + 1));
}
