#include "game/time_control.h"

#include <algorithm>
#include <cstdint>

namespace {

std::uint32_t clampToUint32(std::uint64_t ms)
{
    return ms > UINT32_MAX ? UINT32_MAX : static_cast<std::uint32_t>(ms);
}

// The part of the clock a move gets as the game goes on: a hundredth in the
// first four moves, then a fiftieth, a thirtieth from move 10, a twentieth from move 25.
std::uint32_t clockDivisor(std::uint32_t fullMoves)
{
    if (fullMoves <= 3)
        return 100;
    if (fullMoves <= 9)
        return 50;
    if (fullMoves <= 24)
        return 30;
    return 20;
}

std::uint64_t ruleFromClock(std::uint64_t clockMs, std::uint32_t halfMovesPlayed, std::uint32_t movesPerControl,
                            std::uint32_t current)
{
    const std::uint64_t secondsLeft = clockMs / 1000;
    const std::uint32_t fullMoves = halfMovesPlayed / 2;
    if (movesPerControl != 0) {
        if (halfMovesPlayed == 0)
            return current;
        const std::uint32_t movesLeft = movesPerControl - fullMoves % movesPerControl;
        const std::uint64_t ms = secondsLeft * 1000 / movesLeft;
        return ms != 0 ? ms : clockMs / movesLeft;
    }
    if (secondsLeft < 5)
        return LOW_CLOCK_MOVE_TIME_MS;
    const std::uint64_t share = secondsLeft / clockDivisor(fullMoves);
    return share == 0 ? DEFAULT_MOVE_TIME_MS : share * 1000;
}

} // namespace

std::uint32_t budgetFromClock(std::uint64_t clockMs, std::uint32_t halfMovesPlayed, std::uint32_t movesPerControl,
                              std::uint32_t current)
{
    const std::uint64_t usable = clockMs > CLOCK_RESERVE_MS ? clockMs - CLOCK_RESERVE_MS : 0;
    return clampToUint32(std::min(ruleFromClock(clockMs, halfMovesPlayed, movesPerControl, current), usable));
}

std::uint32_t budgetFromLevel(std::uint32_t moves, std::uint32_t baseMinutes, std::uint32_t zeroMovesDivisor)
{
    const std::uint64_t baseSeconds = std::uint64_t{baseMinutes} * 60;
    const std::uint64_t share = moves == 0 ? baseSeconds / zeroMovesDivisor : baseSeconds / (std::uint64_t{moves} + 1);
    return share == 0 ? DEFAULT_MOVE_TIME_MS : clampToUint32(share * 1000);
}

std::uint32_t cushionedBudget(std::uint64_t clockMs, std::uint32_t halfMovesPlayed, std::uint32_t movesPerControl,
                              std::uint32_t movesToGo, std::uint64_t incrementMs, std::uint32_t overheadMs)
{
    const std::uint64_t cushion = std::uint64_t{CLOCK_CUSHION_MS} + overheadMs;
    const std::uint64_t spare = clockMs > cushion ? clockMs - cushion : 0;
    const std::uint32_t fullMoves = halfMovesPlayed / 2;
    // The moves the spare time is spread over: those left in the control, or
    // the share of the clock the stage of the game gives (never more than a
    // LOW_CLOCK_SHARE-th of a low clock), to the millisecond.
    std::uint64_t movesOver;
    if (movesToGo != 0)
        movesOver = movesToGo;
    else if (movesPerControl != 0)
        movesOver = movesPerControl - fullMoves % movesPerControl;
    else
        movesOver = clockMs < LOW_CLOCK_MS ? std::max(clockDivisor(fullMoves), LOW_CLOCK_SHARE) : clockDivisor(fullMoves);
    const bool lowClock = movesToGo == 0 && clockMs < LOW_CLOCK_MS && spare < LOW_CLOCK_SPARE_MS && incrementMs > 0;
    std::uint64_t rule = lowClock ? incrementMs : spare / movesOver + incrementMs;
    rule = rule > overheadMs ? rule - overheadMs : 0;
    return clampToUint32(std::min(rule, spare));
}

std::uint32_t budgetForFixedTime(std::uint64_t ms)
{
    const std::uint64_t margin = 20 + ms / 100;
    return clampToUint32(ms > margin ? ms - margin : 0);
}

void GameClock::setTimeLeft(std::uint64_t clockMs, std::uint32_t halfMovesPlayed)
{
    clockMs_ = clockMs;
    clockKnown_ = true;
    moveTimeMs_ = budgetFromClock(clockMs_, halfMovesPlayed, movesPerControl_, moveTimeMs_);
}

void GameClock::setLevel(std::uint32_t moves, std::uint32_t baseMinutes, std::uint32_t increment)
{
    // Negative numbers (read as huge unsigned ones) count as 0: a negative move
    // count means the whole game, a negative base no base time.
    if (static_cast<std::int32_t>(moves) < 0)
        moves = 0;
    if (static_cast<std::int32_t>(baseMinutes) < 0)
        baseMinutes = 0;
    clockKnown_ = false;   // the level's budget stands until the next clock
    if (rules_.storesMovesPerControl)
        movesPerControl_ = moves;
    increment_ = increment;
    moveTimeMs_ = budgetFromLevel(moves, baseMinutes, rules_.levelZeroDivisor);
}

std::uint32_t GameClock::lessOverhead(std::uint64_t budgetMs) const
{
    return clampToUint32(budgetMs > overheadMs_ ? budgetMs - overheadMs_ : 0);
}

std::uint32_t GameClock::ownMoveBudget(std::uint32_t halfMovesPlayed)
{
    if (fixedMoveMs_ != 0)
        return lessOverhead(budgetForFixedTime(fixedMoveMs_));
    if (clockKnown_)
        moveTimeMs_ = budgetFromClock(clockMs_, halfMovesPlayed, movesPerControl_, moveTimeMs_);
    const std::uint64_t incrementMs = policy_.incrementInBudget ? std::uint64_t{increment_} * 1000 : 0;
    if (clockKnown_ && policy_.clockCushion)
        return cushionedBudget(clockMs_, halfMovesPlayed, movesPerControl_, 0, incrementMs, overheadMs_);
    if (!clockKnown_)
        return lessOverhead(std::uint64_t{moveTimeMs_} + incrementMs);
    const std::uint64_t usable = clockMs_ > CLOCK_RESERVE_MS ? clockMs_ - CLOCK_RESERVE_MS : 0;
    return clampToUint32(std::min(std::uint64_t{moveTimeMs_} + incrementMs, usable));
}

std::optional<std::uint32_t> GameClock::requestBudget(const SearchRequest& request, Colour side,
                                                      std::uint32_t halfMovesPlayed) const
{
    if (request.moveTimeMs != 0)
        return lessOverhead(budgetForFixedTime(request.moveTimeMs));
    const std::size_t index = side == WHITE ? 0 : 1;
    if (!request.clockMs[index])
        return std::nullopt;
    return cushionedBudget(*request.clockMs[index], halfMovesPlayed, 0, request.movesToGo, request.incrementMs[index],
                           overheadMs_);
}
