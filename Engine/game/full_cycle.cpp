// The full mode's search cycle. Beyond the documented cycle it knows limits
// (depth, nodes, a fixed time, the clock of a UCI "go"), searches that may
// not end by themselves (analysis, "go infinite", pondering), a best move
// announced without playing it (UCI), and pondering on the expected reply
// after the engine's own move (WinBoard "hard").
//
// Who does what: the input thread starts and ends cycles and alone joins the
// search thread; the timer only asks the search of its own phase to stop; the
// search thread plays or announces the result and may go on into a ponder
// phase. Their shared state (phase, outcome, hold, stop request) is kept
// under cycleMutex_.

#include <algorithm>

#include "board/move.h"
#include "game/game.h"
#include "game/time_control.h"
#include "platform/debug_output.h"

namespace {

std::int64_t nanosecondsOf(std::chrono::steady_clock::time_point t)
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(t.time_since_epoch()).count();
}

std::uint64_t millisecondsSince(std::chrono::steady_clock::time_point t)
{
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - t);
    return static_cast<std::uint64_t>(std::max<std::int64_t>(ms.count(), 0));
}

} // namespace

bool Game_class::startSearch(const SearchLimits& limits, SearchOutcome outcome,
                             std::chrono::steady_clock::time_point since)
{
    stopAll();   // closes what is left of the previous cycle
    board_.sideToMove = sideToMove_;
    if (!board_.isLegalPosition())
        return false;
    limits_ = limits;
    stopEvent_.reset();
    const bool inline_ = inlineSearchDepth_ != 0;
    {
        std::lock_guard<std::mutex> lock(cycleMutex_);
        phase_ = limits.ponder ? Phase::Pondering : Phase::Thinking;
        outcome_ = outcome;
        // Nobody could release a held search that runs on the input thread.
        holdResult_ = (limits.infinite || limits.ponder) && !inline_;
        stopRequested_ = false;
        expectedReply_ = NO_MOVE;
        ++generation_;
    }
    phaseStartNs_ = nanosecondsOf(since);
    ++searchCount_;
    search_->setDepthLimit(limits.depth != 0 ? std::min(limits.depth, MAX_SEARCH_DEPTH) : MAX_SEARCH_DEPTH);
    search_->setNodeLimit(limits.nodes);
    search_->restrictRootMoves(limits.rootMoves, limits.rootMoveCount);

    const bool created = !inline_ && searchThread_.create([this] { fullSearchThreadBody(); });
    if (!created) {
        if (!inline_)
            debugPrintf("kelp: cannot start a search thread; searching %u plies on the input thread\n",
                        FALLBACK_SEARCH_DEPTH);
        search_->setDepthLimit(inline_ ? inlineSearchDepth_ : FALLBACK_SEARCH_DEPTH);
        {
            std::lock_guard<std::mutex> lock(cycleMutex_);
            holdResult_ = false;
        }
        setUpSearch();
        search_->iterativeDeepening();
        finishPhase(outcome);
        std::lock_guard<std::mutex> lock(cycleMutex_);
        phase_ = Phase::Idle;
        search_->stop();   // nothing is left running
        return true;
    }
    // Armed before the thread runs, so a stop that comes at once is not lost.
    setUpSearch();
    const bool timed = limits.useGameClock || limits.clockGiven || limits.moveTimeMs != 0;
    const std::uint32_t budget = timed ? budgetFor(limits) : 0;
    ponderBudgetMs_ = budget;
    searchThread_.resume();
    if (timed && !holdResult_)
        armTimer(budget, millisecondsSince(since));
    return true;
}

std::uint32_t Game_class::budgetFor(const SearchLimits& limits) const
{
    if (limits.moveTimeMs != 0)
        return budgetForFixedTime(limits.moveTimeMs);
    if (limits.clockGiven)
        return budgetWithIncrement(limits.clockMs, halfMovesIntoGame(), 0, limits.movesToGo, limits.incrementMs,
                                   DEFAULT_MOVE_TIME_MS);
    if (const std::uint64_t fixedMs = fixedMoveMs_; fixedMs != 0)
        return budgetForFixedTime(fixedMs);
    const std::uint64_t incrementMs = std::uint64_t{increment_} * 1000;
    if (clockKnown_)
        return budgetWithIncrement(clockMs_, halfMovesIntoGame(), movesPerControl_, 0, incrementMs, moveTimeMs_);
    return static_cast<std::uint32_t>(std::min<std::uint64_t>(moveTimeMs_ + incrementMs, UINT32_MAX));
}

void Game_class::armTimer(std::uint32_t budgetMs, std::uint64_t spentMs)
{
    const std::uint32_t timeout = budgetMs > spentMs ? budgetMs - static_cast<std::uint32_t>(spentMs) : 0;
    std::uint32_t generation;
    {
        std::lock_guard<std::mutex> lock(cycleMutex_);
        generation = generation_;
    }
    if (timerThread_.create([this, generation, timeout] {
            if (stopEvent_.waitFor(timeout) == ManualResetEvent::WaitResult::TimedOut)
                fullTimerThreadBody(generation);
        })) {
        timerThread_.resume();
    } else {
        debugPrintf("kelp: cannot start a timer thread; the input thread waits for the search\n");
        if (stopEvent_.waitFor(timeout) == ManualResetEvent::WaitResult::TimedOut)
            fullTimerThreadBody(generation);
    }
}

void Game_class::fullTimerThreadBody(std::uint32_t generation)
{
    // A timer stops only the phase it was armed for: not the ponder phase
    // that may follow the move it timed.
    std::lock_guard<std::mutex> lock(cycleMutex_);
    if (generation == generation_ && phase_ == Phase::Thinking)
        search_->stop();
}

void Game_class::fullStopSearch()
{
    {
        std::lock_guard<std::mutex> lock(cycleMutex_);
        stopRequested_ = true;
        search_->stop();
    }
    cycleChanged_.notify_all();
    searchThread_.join();
}

void Game_class::fullSearchThreadBody()
{
    for (;;) {
        search_->iterativeDeepening();
        SearchOutcome outcome;
        {
            std::unique_lock<std::mutex> lock(cycleMutex_);
            cycleChanged_.wait(lock, [this] { return !holdResult_ || stopRequested_; });
            outcome = outcome_;
        }
        finishPhase(outcome);
        {
            std::lock_guard<std::mutex> lock(cycleMutex_);
            phase_ = Phase::Idle;
        }
        cycleChanged_.notify_all();
        if (outcome != SearchOutcome::PlayMove || !startPonderPhase())
            return;
    }
}

void Game_class::finishPhase(SearchOutcome outcome)
{
    movePlayedAndGameGoesOn_ = false;
    if (outcome == SearchOutcome::PlayMove && playMoveWhenDone) {
        movePlayedAndGameGoesOn_ = playEngineMove();   // prints the table statistics after the move line
    } else {
        if (outcome == SearchOutcome::ReportBest)
            announceBestMove();
        hashTable_->printStatistics();
    }
    cleanTable();
    search_->seedFromBestLine();
}

void Game_class::announceBestMove()
{
    bool fromBestLine = false;
    Move move = chooseMoveToPlay(fromBestLine);
    if (!fromBestLine && limits_.rootMoveCount != 0) {
        // Stopped before any result: the first of the moves it was asked to search.
        for (std::uint32_t i = 0; i < limits_.rootMoveCount; ++i) {
            if (findMove(*moveList_, limits_.rootMoves[i]) == limits_.rootMoves[i]) {
                move = limits_.rootMoves[i];
                break;
            }
        }
    }
    Move reply = NO_MOVE;
    if (fromBestLine && search_->bestLineLength() >= 2) {
        // The reply the line expects, if it is legal after the move.
        scratchBoard_->copyFrom(board_);
        MoveRecord record;
        record.move = move;
        scratchBoard_->makeMove(record);
        scratchBoard_->sideToMove = otherColour(sideToMove_);
        moveList_->setSide(otherColour(sideToMove_));
        moveList_->mobilityIndex = 0;
        scratchBoard_->generateMoves(*moveList_);
        const Move expected = search_->bestLine()[1];
        if (findMove(*moveList_, expected) == expected)
            reply = expected;
    }
    gui_->sendBestMove(move, reply);
}

bool Game_class::startPonderPhase()
{
    if (!ponderingWanted_ || !movePlayedAndGameGoesOn_ || search_->bestLineLength() < 2)
        return false;
    // The reply the line expects, if it is legal on the board the move left.
    const Move reply = search_->bestLine()[1];
    generateGameMoves();
    if (findMove(*moveList_, reply) != reply)
        return false;
    scratchBoard_->copyFrom(board_);
    MoveRecord record;
    record.move = reply;
    scratchBoard_->makeMove(record);
    if (sideToMove_ == BLACK)
        scratchBoard_->addFullmoves(1);
    scratchBoard_->sideToMove = otherColour(sideToMove_);
    scratchBoard_->computeHashKey();

    std::lock_guard<std::mutex> lock(cycleMutex_);
    if (stopRequested_)
        return false;
    stopEvent_.set();   // the timer of the move just played has nothing left to stop
    phase_ = Phase::Pondering;
    outcome_ = SearchOutcome::Nothing;   // a ponder hit makes it the engine's move
    holdResult_ = true;
    expectedReply_ = reply;
    ++generation_;
    phaseStartNs_ = nanosecondsOf(std::chrono::steady_clock::now());
    const std::uint32_t depthLimit = ownDepthLimit_;
    search_->setDepthLimit(depthLimit != 0 ? std::min(depthLimit, MAX_SEARCH_DEPTH) : MAX_SEARCH_DEPTH);
    search_->setNodeLimit(0);
    search_->restrictRootMoves(nullptr, 0);
    search_->setUpFromBoard(*scratchBoard_, hashTable_.get());
    search_->arm();
    return true;
}

bool Game_class::ponderHitWith(const char* text)
{
    bool gameOver = false;
    {
        std::lock_guard<std::mutex> lock(cycleMutex_);
        if (phase_ != Phase::Pondering || stopRequested_ || expectedReply_ == NO_MOVE || !playMoveWhenDone)
            return false;
        // Not the expected reply, or one that returns to an earlier position
        // (the table cannot be marked while the search runs): a new search.
        if (legalMove(text) != expectedReply_ || !recordMove(expectedReply_, false))
            return false;
        gameOver = checkGameEnd();
        if (!gameOver) {
            phase_ = Phase::Thinking;
            outcome_ = SearchOutcome::PlayMove;
            holdResult_ = false;
            expectedReply_ = NO_MOVE;
            ++generation_;
        }
    }
    if (gameOver) {
        stopAll();
        return true;
    }
    cycleChanged_.notify_all();
    // The move's timer, with the time already spent pondering counted.
    timerThread_.join();
    stopEvent_.reset();
    SearchLimits clock;
    clock.useGameClock = true;
    armTimer(budgetFor(clock), searchElapsedMs());
    return true;
}

void Game_class::ponderHit()
{
    {
        std::lock_guard<std::mutex> lock(cycleMutex_);
        if (phase_ != Phase::Pondering || stopRequested_)
            return;
        phase_ = Phase::Thinking;
        holdResult_ = limits_.infinite;
        ++generation_;
    }
    cycleChanged_.notify_all();
    timerThread_.join();
    stopEvent_.reset();
    if (!limits_.infinite && (limits_.clockGiven || limits_.moveTimeMs != 0))
        armTimer(ponderBudgetMs_, searchElapsedMs());
}

void Game_class::waitForOwnMove()
{
    std::unique_lock<std::mutex> lock(cycleMutex_);
    cycleChanged_.wait(lock, [this] {
        return phase_ != Phase::Thinking || outcome_ != SearchOutcome::PlayMove || stopRequested_;
    });
}

bool Game_class::searching()
{
    std::lock_guard<std::mutex> lock(cycleMutex_);
    return phase_ != Phase::Idle;
}

void Game_class::stopPondering()
{
    bool pondering;
    {
        std::lock_guard<std::mutex> lock(cycleMutex_);
        pondering = phase_ == Phase::Pondering && outcome_ == SearchOutcome::Nothing;
    }
    if (pondering)
        stopAll();
}

std::uint64_t Game_class::searchElapsedMs() const
{
    const std::int64_t elapsed = nanosecondsOf(std::chrono::steady_clock::now()) - phaseStartNs_.load();
    return elapsed > 0 ? static_cast<std::uint64_t>(elapsed) / 1000000 : 0;
}

bool Game_class::resizeTable(std::uint32_t bytes)
{
    stopAll();
    bytes = std::min(bytes, largestTableBytes_);
    if (bytes == hashTable_->tableSize())
        return true;   // the same size again (GUIs send it at every start): the table stays
    std::unique_ptr<HashTable_class> table = HashTable_class::create(bytes);
    if (!table)
        return false;
    hashTable_ = std::move(table);
    markRepetitions();
    resyncSearchBoard();
    return true;
}

void Game_class::clearTable()
{
    stopAll();
    hashTable_->clear();
    markRepetitions();
}

void Game_class::markRepetitions()
{
    // Each position the game returned to, as applyMoveText marked it.
    for (std::uint32_t i = 1; i <= historyCount_; ++i) {
        const std::uint64_t reached = i < historyCount_ ? gameHistory_[i].key : board_.hashKey;
        if (countKeyInHistory(reached, gameHistory_.data(), i) > 0)
            hashTable_->fixPosition(reached);
    }
}

bool Game_class::resetToPosition(const char* fen)
{
    stopAll();
    if (scratchBoard_->loadFen(fen) != CE_SUCCESS || !scratchBoard_->isLegalPosition())
        return false;
    // Taking the moves back takes their repetition marks off the table.
    while (historyCount_ > historyFloor_)
        undoMove();
    gameHistory_.clear();
    historyCount_ = 0;
    historyFloor_ = 0;
    board_.clear();
    board_.loadFen(fen);
    sideToMove_ = board_.sideToMove;
    resultAnnounced_ = false;
    resyncSearchBoard();
    countHalfMoves();
    return true;
}
