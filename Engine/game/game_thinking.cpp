// Starting and ending the game's searches, and what becomes of their
// results: the engine's move played and announced, a best move reported, or
// nothing but the thinking (analysis, pondering).

#include <algorithm>

#include "board/move.h"
#include "game/game.h"
#include "platform/debug_output.h"

void Game_class::startThinking(Clock::time_point since)
{
    stopAll();   // closes what is left of the previous cycle
    if (!position_.isLegal() || !tableReady()) {
        gui_->sendError(ErrorKind::IllegalPosition, "");
        return;
    }
    limitSearch(ownDepthLimit_, 0);
    search_->restrictRootMoves(nullptr, 0);
    resyncSearchBoard();
    search_->arm();   // before the thread runs, so that a stop that comes at once is not lost
    launch(false, SearchOutcome::PlayMove, false, clock_.ownMoveBudget(position_.halfMovesIntoGame()), since);
}

bool Game_class::startSearch(const SearchRequest& request, SearchOutcome outcome, Clock::time_point since)
{
    stopAll();
    if (!position_.isLegal() || !tableReady())
        return false;
    // The root moves named, as far as they are legal here.
    Move rootMoves[MAX_NON_CAPTURES];
    std::uint32_t rootMoveCount = 0;
    for (const std::string& text : request.searchMoves) {
        const Move move = position_.legalMove(text.c_str());
        if (move == NO_MOVE)
            gui_->sendError(ErrorKind::IllegalMove, text.c_str());
        else if (rootMoveCount < MAX_NON_CAPTURES)
            rootMoves[rootMoveCount++] = move;
    }
    limitSearch(request.depth, request.nodes);
    search_->restrictRootMoves(rootMoves, rootMoveCount);
    resyncSearchBoard();
    search_->arm();
    const std::optional<std::uint32_t> budget =
        clock_.requestBudget(request, position_.sideToMove(), position_.halfMovesIntoGame());
    ponderBudgetMs_ = budget;
    ponderHold_ = request.infinite;
    launch(request.ponder, outcome, request.infinite || request.ponder, budget, since);
    return true;
}

void Game_class::limitSearch(std::uint32_t depth, std::uint64_t nodes)
{
    search_->setDepthLimit(depth != 0 ? std::min(depth, MAX_SEARCH_DEPTH) : MAX_SEARCH_DEPTH);
    search_->setNodeLimit(nodes);
    search_->setMultiPv(multiPv_);
}

void Game_class::launch(bool pondering, SearchOutcome outcome, bool hold, std::optional<std::uint32_t> budgetMs,
                        Clock::time_point since)
{
    playableLine_.setEarlierPositions(position_, false);
    // A search on the calling thread has no helpers either.
    const std::uint32_t threads = inlineSearchDepth_ == 0 ? options_.threads : 1;
    if (team_->threads() != threads)
        team_->setThreads(threads);
    std::uint32_t depth = inlineSearchDepth_;
    if (depth == 0) {
        if (cycle_->start(pondering, outcome, hold, budgetMs, since))
            return;
        // The interface still gets a move: a shallow search here, or the table's or first legal move.
        debugPrintf("kelp: cannot start a search thread; searching %u plies on the input thread\n",
                    FALLBACK_SEARCH_DEPTH);
        depth = FALLBACK_SEARCH_DEPTH;
    }
    search_->setDepthLimit(depth);
    cycle_->runHere(outcome);
    search_->setDepthLimit(MAX_SEARCH_DEPTH);
}

void Game_class::finishSearch(SearchOutcome outcome)
{
    movePlayedAndGameGoesOn_ = false;
    if (outcome == SearchOutcome::PlayMove && playMoveWhenDone) {
        movePlayedAndGameGoesOn_ = playEngineMove();   // prints the table statistics after the move line
    } else {
        if (outcome == SearchOutcome::ReportBest)
            announceBestMove();
        printTableStatistics();
    }
    cleanTable();
    search_->seedFromBestLine();
}

Move Game_class::chooseMoveToPlay(bool& fromBestLine)
{
    fromBestLine = search_->bestLineLength() > 0 && position_.isLegalMove(search_->bestMove());
    if (fromBestLine)
        return search_->bestMove();
    // An empty line (stopped before a result) or a move that does not fit this
    // position: the table's move, else the first legal move.
    if (const auto entry = table_->peek(position_.board().hashKey); entry && position_.isLegalMove(entry->move))
        return entry->move;
    return position_.firstLegalMove();
}

bool Game_class::playEngineMove()
{
    bool fromBestLine = false;
    const Move move = chooseMoveToPlay(fromBestLine);
    const bool engineIsMated = position_.board().statusFlags & STATUS_CHECKMATED;
    if (move == NO_MOVE) {
        printTableStatistics();
        // The engine has no move: the opponent's last move mated or stalemated it.
        if (engineIsMated)
            announceResult(position_.sideToMove() == WHITE ? ResultCode::BlackMates : ResultCode::WhiteMates);
        else if (position_.board().statusFlags & STATUS_STALEMATED)
            announceResult(ResultCode::Stalemate);
        return false;
    }
    char text[MOVE_TEXT_SIZE];
    moveToText(move, text);
    gui_->sendMove(text);
    printTableStatistics();   // the table as the search left it
    position_.play(move, true);
    resultAnnounced_ = false;
    if (checkGameEnd())
        return false;
    // checkGameEnd generated the reply moves: none while in check is our mate.
    if (position_.board().statusFlags & STATUS_CHECKMATED) {
        announceResult(position_.sideToMove() == WHITE ? ResultCode::BlackMates : ResultCode::WhiteMates);
        return false;
    }
    if (fromBestLine && search_->bestScore() < RESIGN_BELOW) {
        gui_->resign();
        return false;
    }
    return true;
}

Move Game_class::expectedReply(Move move)
{
    if (search_->bestLineLength() < 2)
        return NO_MOVE;
    Board_class& board = *scratchBoard_;
    board.copyFrom(position_.board());
    Colour side = position_.sideToMove();
    if (move != NO_MOVE) {
        MoveRecord record;
        record.move = move;
        board.sideToMove = side;
        board.makeMove(record);
        if (side == BLACK)
            board.addFullmoves(1);
        side = otherColour(side);
        board.sideToMove = side;
        board.computeHashKey();
    }
    MoveList& list = *scratchMoves_;
    list.setSide(side);
    list.mobilityIndex = 0;
    board.sideToMove = side;
    board.generateMoves(list);
    const Move reply = search_->bestLine()[1];
    return findMove(list, reply) == reply ? reply : NO_MOVE;
}

void Game_class::announceBestMove()
{
    bool fromBestLine = false;
    Move move = chooseMoveToPlay(fromBestLine);
    if (!fromBestLine && search_->rootMoveCount() != 0) {
        // Stopped before any result: the first of the moves it was asked to search.
        move = search_->rootMove(0);
    }
    gui_->sendBestMove(move, fromBestLine ? expectedReply(move) : NO_MOVE);
}

bool Game_class::setUpPonderSearch()
{
    if (!ponderingWanted_ || !movePlayedAndGameGoesOn_)
        return false;
    // The reply the line expects, if it is legal on the board the move left.
    const Move reply = expectedReply(NO_MOVE);
    if (reply == NO_MOVE)
        return false;
    MoveRecord record;
    record.move = reply;
    Board_class& board = *scratchBoard_;
    board.makeMove(record);
    if (board.sideToMove == BLACK)
        board.addFullmoves(1);
    board.sideToMove = otherColour(board.sideToMove);
    board.computeHashKey();
    expectedReply_ = reply;
    limitSearch(ownDepthLimit_, 0);
    search_->restrictRootMoves(nullptr, 0);
    playableLine_.setEarlierPositions(position_, true);
    search_->setUpFromBoard(board, table_.get());
    search_->arm();
    return true;
}

bool Game_class::ponderHitWith(const char* text)
{
    bool gameOver = false;
    const bool hit = cycle_->ponderHit(
        [&] {
            // Not the expected reply, or one that returns to an earlier position
            // (the table cannot be marked while the search runs): a new search.
            if (!playMoveWhenDone || expectedReply_ == NO_MOVE || position_.legalMove(text) != expectedReply_ ||
                !position_.play(expectedReply_, false))
                return false;
            expectedReply_ = NO_MOVE;
            resultAnnounced_ = false;
            gameOver = checkGameEnd();
            return !gameOver;
        },
        SearchOutcome::PlayMove, false);
    if (gameOver) {
        stopAll();
        return true;
    }
    if (!hit)
        return false;
    // The move's timer, with the time already spent pondering counted.
    cycle_->armTimer(clock_.ownMoveBudget(position_.halfMovesIntoGame()));
    return true;
}

void Game_class::ponderHit()
{
    const bool infinite = ponderHold_;
    if (!cycle_->ponderHit([] { return true; }, SearchOutcome::ReportBest, infinite))
        return;
    if (!infinite && ponderBudgetMs_)
        cycle_->armTimer(*ponderBudgetMs_);
}

std::uint32_t Game_class::shownLine(Move* line, std::uint32_t length, std::uint32_t capacity)
{
    if (!policy_.playableLinesOnly)
        return length;
    return playableLine_.length(search_->board(), search_->rootSide(), line, length, capacity, table_.get());
}
