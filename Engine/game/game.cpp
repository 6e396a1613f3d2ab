#include "game/game.h"

#include "board/move.h"
#include "platform/debug_output.h"

Game_class::Game_class(GameListener* gui, std::uint32_t tableBytes, const GameRules& rules, const PlayPolicy& policy)
    : gui_(gui), tableBytes_(tableBytes), rules_(rules), policy_(policy), clock_(rules_, policy_)
{
    options_.moveOverheadMs = policy.moveOverheadMs;
    options_.tableStatistics = policy.tableStatistics;
}

Game_class::~Game_class()
{
    // A search still running ends without its move: the front end may be gone.
    playMoveWhenDone = false;
    if (cycle_)
        cycle_->stopAll();
}

bool Game_class::init()
{
    search_ = std::make_unique<Search_class>(rules_.search);
    // Walking the table for its statistics takes time that grows with the
    // table: it is done after the move line, so it is not on the engine's clock.
    search_->leaveStatisticsToCaller();
    search_->setIterationReports(policy_.iterationReports);
    scratchBoard_ = std::make_unique<Board_class>();
    scratchMoves_ = std::make_unique<MoveList>();
    team_ = std::make_unique<SearchTeam>(*search_);
    SearchCycle::Steps& steps = *this;
    cycle_ = std::make_unique<SearchCycle>(*team_, steps, gui_, policy_);
    search_->setListener(cycle_.get());
    return policy_.tableWhenNeeded || tableReady();
}

bool Game_class::tableReady()
{
    if (table_)
        return true;
    table_ = HashTable_class::create(tableBytes_, options_.tableStatistics);
    if (!table_ && tableBytes_ != DEFAULT_HASH_BYTES) {
        debugPrintf("kelp: cannot allocate a %u-byte transposition table; using %u bytes\n", tableBytes_,
                    DEFAULT_HASH_BYTES);
        tableBytes_ = DEFAULT_HASH_BYTES;
        table_ = HashTable_class::create(tableBytes_, options_.tableStatistics);
    }
    if (!table_) {
        debugPrintf("kelp: cannot allocate the transposition table; the engine cannot play\n");
        return false;
    }
    position_.useTable(table_.get());
    position_.markRepetitions();
    resyncSearchBoard();
    return true;
}

bool Game_class::resizeTable(std::uint32_t bytes)
{
    bytes = std::min(bytes, largestTableBytes_);
    if (bytes == tableBytes_)
        return true;   // the same size again (GUIs send it at every start): the table stays
    stopAll();
    std::unique_ptr<HashTable_class> table = HashTable_class::create(bytes, options_.tableStatistics);
    if (!table)
        return false;
    position_.useTable(nullptr);   // the old table goes; nothing to take off it
    table_ = std::move(table);
    tableBytes_ = bytes;
    position_.useTable(table_.get());
    position_.markRepetitions();
    resyncSearchBoard();
    return true;
}

void Game_class::setOptions(const PlayOptions& options)
{
    options_ = options;
    options_.threads = std::clamp(options.threads, 1u, MAX_SEARCH_THREADS);
    options_.multiPv = std::clamp(options.multiPv, 1u, MAX_MULTI_PV);
    options_.moveOverheadMs = std::min(options.moveOverheadMs, MAX_MOVE_OVERHEAD_MS);
    clock_.setFixedMoveTime(options_.fixedMoveMs);
    clock_.setMoveOverhead(options_.moveOverheadMs);
    ownDepthLimit_ = options_.depthLimit;
    multiPv_ = options_.multiPv;
    if (table_)
        table_->showStatistics(options_.tableStatistics);
    ponderingWanted_ = options_.pondering;
    if (!options_.pondering)
        cycle_->stopPondering();   // a ponder phase under way ends; the engine's own search goes on
}

void Game_class::clearTable()
{
    stopAll();
    if (!table_)
        return;
    table_->clear();
    position_.markRepetitions();
}

void Game_class::newGame()
{
    stopAll();
    scratchBoard_->loadFen(START_FEN);
    takePosition(*scratchBoard_, false);
    if (table_)
        table_->clear();
}

bool Game_class::setPosition(const char* fen)
{
    stopAll();
    // Checked on a scratch board first, so a rejected text leaves the game as it was.
    if (scratchBoard_->loadFen(fen) != CE_SUCCESS || !scratchBoard_->isLegalPosition()) {
        gui_->sendError(ErrorKind::IllegalPosition, "");
        return false;
    }
    takePosition(*scratchBoard_, true);
    return true;
}

bool Game_class::startFrom(const char* fen, std::span<const std::string_view> moves)
{
    stopAll();
    if (scratchBoard_->loadFen(fen) != CE_SUCCESS || !scratchBoard_->isLegalPosition())
        return false;
    takePosition(*scratchBoard_, false);
    std::string text;
    for (const std::string_view word : moves) {
        text.assign(word);
        const Move move = position_.legalMove(text.c_str());
        if (move == NO_MOVE) {
            gui_->sendError(ErrorKind::IllegalMove, text.c_str());
            break;
        }
        position_.play(move, true);
    }
    resyncSearchBoard();
    return true;
}

void Game_class::adoptBoard(const Board_class& edited)
{
    if (!edited.isLegalPosition()) {
        gui_->sendError(ErrorKind::IllegalPosition, "");
        return;
    }
    stopAll();
    takePosition(edited, true);
}

void Game_class::takePosition(const Board_class& board, bool keepHistory)
{
    position_.reset(board, keepHistory);
    resultAnnounced_ = false;
    resyncSearchBoard();
}

int Game_class::userMove(const char* text)
{
    // The engine's clock runs from here: finishing the last cycle and cleaning
    // the table come out of the move's budget.
    const auto received = Clock::now();
    if (ponderHitWith(text))
        return MOVE_ACCEPTED;
    stopAll();
    const Move move = position_.legalMove(text);
    if (move == NO_MOVE) {
        gui_->sendError(ErrorKind::IllegalMove, text);
        return MOVE_REJECTED;
    }
    position_.play(move, true);
    resultAnnounced_ = false;
    cleanTable();
    if (checkGameEnd())
        return MOVE_ACCEPTED;
    if (thinkAfterUserMove)
        startThinking(received);
    return MOVE_ACCEPTED;
}

bool Game_class::checkGameEnd()
{
    ResultCode result;
    if (!position_.ending(result))
        return false;
    announceResult(result);
    return true;
}

void Game_class::announceResult(ResultCode resultCode)
{
    // One result line per end of a game, however often the engine is asked to move.
    if (resultAnnounced_)
        return;
    resultAnnounced_ = true;
    gui_->sendResult(resultCode);
}

void Game_class::undoMove()
{
    stopAll();   // a running search would be reading the board taken back
    if (!position_.undo())
        return;
    resultAnnounced_ = false;
    // The search board never played the game's moves: copy the game board again.
    resyncSearchBoard();
}

void Game_class::takeBackTwo()
{
    undoMove();
    undoMove();
}

void Game_class::setSideToMove(Colour colour)
{
    stopAll();
    position_.setSideToMove(colour);
}

void Game_class::setTimeLeft(std::uint32_t seconds, std::uint32_t extraMs)
{
    clock_.setTimeLeft(std::uint64_t{seconds} * 1000 + extraMs, position_.halfMovesIntoGame());
}

void Game_class::setLevel(std::uint32_t moves, std::uint32_t baseMinutes, std::uint32_t increment)
{
    clock_.setLevel(moves, baseMinutes, increment);
}

void Game_class::resyncSearchBoard()
{
    search_->setUpFromBoard(position_.board(), table_.get());
}

void Game_class::cleanTable()
{
    if (table_)
        table_->clean(position_.board().pieceCount(WHITE), position_.board().pieceCount(BLACK));
}

void Game_class::printTableStatistics()
{
    if (table_)
        table_->printStatistics();
}
