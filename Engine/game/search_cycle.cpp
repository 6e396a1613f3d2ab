// The search cycle: each search runs on a search thread of its own, watched
// by a timer thread that stops it when the move's time is up. The input
// thread can end it early. Exactly one party stops a running search: the one
// whose atomic exchange turns `running` from 1 to 0; that party, and only
// that one, joins the search thread. Game state is touched by the input
// thread only after the cycle has been closed (stopAll), so the search
// thread's tail (playing its move) never overlaps a command.

#include "game/game.h"
#include "game/time_control.h"
#include "platform/debug_output.h"

#include <algorithm>

void Game_class::startThinking(std::chrono::steady_clock::time_point since)
{
    if (fullMode_) {
        SearchLimits limits;
        limits.useGameClock = true;
        limits.depth = ownDepthLimit_;
        if (!startSearch(limits, SearchOutcome::PlayMove, since))
            gui_->sendError(ErrorKind::IllegalPosition, "");
        return;
    }
    stopAll();   // closes what is left of the previous cycle
    if (!board_.isLegalPosition()) {
        gui_->sendError(ErrorKind::IllegalPosition, "");
        return;
    }
    stopEvent_.reset();
    if (inlineSearchDepth_ != 0) {
        searchOnThisThread(inlineSearchDepth_);
        return;
    }
    if (!searchThread_.create([this] { searchThreadBody(); })) {
        // The interface still gets a move: a shallow search here, or the table's or first legal move.
        debugPrintf("kelp: cannot start a search thread; searching %u plies on the input thread\n",
                    FALLBACK_SEARCH_DEPTH);
        searchOnThisThread(FALLBACK_SEARCH_DEPTH);
        return;
    }
    // Armed before the thread runs, so a stop that comes at once is not lost.
    setUpSearch();
    if (clockKnown_)
        moveTimeMs_ = budgetFromClock(clockMs_, halfMovesIntoGame(), movesPerControl_, moveTimeMs_);
    searchThread_.resume();
    const auto spent = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - since);
    const auto spentMs = static_cast<std::uint64_t>(std::max<std::int64_t>(spent.count(), 0));
    timerTimeoutMs_ = moveTimeMs_ > spentMs ? moveTimeMs_ - static_cast<std::uint32_t>(spentMs) : 0;
    if (timerThread_.create([this] { timerThreadBody(); })) {
        timerThread_.resume();
    } else {
        // Without a timer the search would never be stopped: the input thread keeps the time.
        debugPrintf("kelp: cannot start a timer thread; the input thread waits for the search\n");
        timerThreadBody();
    }
}

void Game_class::searchOnThisThread(std::uint32_t depth)
{
    search_->setDepthLimit(depth);
    setUpSearch();
    searchThreadBody();
    search_->setDepthLimit(MAX_SEARCH_DEPTH);
    search_->stop();   // nothing is left running
}

void Game_class::stopSearch()
{
    if (fullMode_ && search_) {
        fullStopSearch();
        return;
    }
    if (search_ && search_->stop())
        searchThread_.join();
}

void Game_class::stopAll()
{
    stopEvent_.set();
    timerThread_.join();
    stopSearch();
}

void Game_class::setUpSearch()
{
    search_->setUpFromBoard(board_, hashTable_.get());
    search_->arm();
}

void Game_class::searchThreadBody()
{
    search_->iterativeDeepening();
    if (playMoveWhenDone)
        playEngineMove();   // prints the table statistics after the move line
    else
        hashTable_->printStatistics();
    cleanTable();
    search_->seedFromBestLine();
}

void Game_class::timerThreadBody()
{
    if (stopEvent_.waitFor(timerTimeoutMs_) == ManualResetEvent::WaitResult::TimedOut && search_->stop())
        searchThread_.join();
}

void Game_class::setTimeLeft(std::uint32_t seconds, std::uint32_t extraMs)
{
    clockMs_ = std::uint64_t{seconds} * 1000 + extraMs;
    clockKnown_ = true;
    moveTimeMs_ = budgetFromClock(clockMs_, halfMovesIntoGame(), movesPerControl_, moveTimeMs_);
}

void Game_class::countHalfMoves()
{
    // From the position's own move number, so that a game handed over at move
    // 8 (a book line, a set-up position) is at move 8 for the clock; from
    // "new" this is the number of half-moves played.
    const std::int64_t fullMovesBefore = std::int64_t{board_.fullmoveNumber} - 1;
    const std::int64_t halfMoves = std::max<std::int64_t>(fullMovesBefore, 0) * 2 + (sideToMove_ == BLACK ? 1 : 0);
    halfMovesIntoGame_ = static_cast<std::uint32_t>(std::min<std::int64_t>(halfMoves, UINT32_MAX));
}

void Game_class::setLevel(std::uint32_t moves, std::uint32_t baseMinutes, std::uint32_t increment)
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
