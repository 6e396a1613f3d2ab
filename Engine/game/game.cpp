#include "game/game.h"

#include "board/move.h"
#include "platform/debug_output.h"

Game_class::Game_class(GameListener* gui, std::uint32_t tableBytes, const GameRules& rules)
    : gui_(gui), tableBytes_(tableBytes), rules_(rules)
{
    gameHistory_.reserve(GAME_HISTORY_RESERVE);
}

Game_class::~Game_class()
{
    // A search still running ends without its move: the front end may be gone.
    playMoveWhenDone = false;
    stopAll();
}

int Game_class::init()
{
    search_ = std::make_unique<Search_class>(rules_.search);
    // Walking the table for its statistics takes time that grows with the
    // table: it is done after the move line, so it is not on the engine's clock.
    search_->leaveStatisticsToCaller();
    search_->setListener(gui_);
    scratchBoard_ = std::make_unique<Board_class>();
    moveList_ = std::make_unique<MoveList>();
    stopEvent_.reset();

    const std::uint32_t bytes = tableBytes_;
    hashTable_ = HashTable_class::create(bytes);
    if (!hashTable_ && bytes != DEFAULT_HASH_BYTES) {
        debugPrintf("kelp: cannot allocate a %u-byte transposition table; using %u bytes\n", bytes,
                    DEFAULT_HASH_BYTES);
        hashTable_ = HashTable_class::create(DEFAULT_HASH_BYTES);
    }
    if (!hashTable_) {
        debugPrintf("kelp: cannot allocate the transposition table; the engine cannot play\n");
        return 1;
    }
    return 0;
}

void Game_class::newGame()
{
    stopAll();
    sideToMove_ = WHITE;
    board_.clear();
    board_.loadFen(START_FEN);
    gameHistory_.clear();
    historyCount_ = 0;
    historyFloor_ = 0;
    resultAnnounced_ = false;
    hashTable_->clear();
    resyncSearchBoard();
    countHalfMoves();
}

void Game_class::setPosition(const char* fen)
{
    stopAll();
    // Checked on a scratch board first, so a rejected text leaves the game as it was.
    if (scratchBoard_->loadFen(fen) != CE_SUCCESS || !scratchBoard_->isLegalPosition()) {
        gui_->sendError(ErrorKind::IllegalPosition, "");
        return;
    }
    board_.clear();
    board_.loadFen(fen);
    sideToMove_ = board_.sideToMove;
    historyFloor_ = historyCount_;
    resultAnnounced_ = false;
    resyncSearchBoard();
    countHalfMoves();
}

int Game_class::userMove(const char* text)
{
    // The engine's clock runs from here: finishing the last cycle and cleaning
    // the table come out of the move's budget.
    const auto received = std::chrono::steady_clock::now();
    if (fullMode_ && ponderHitWith(text))
        return MOVE_ACCEPTED;
    stopAll();
    if (applyMoveText(text) == MOVE_REJECTED) {
        gui_->sendError(ErrorKind::IllegalMove, text);
        return MOVE_REJECTED;
    }
    cleanTable();
    if (checkGameEnd())
        return MOVE_ACCEPTED;
    if (thinkAfterUserMove)
        startThinking(received);
    return MOVE_ACCEPTED;
}

Move Game_class::legalMove(const char* text)
{
    const Move pattern = parseMoveText(sideToMove_, text);
    board_.sideToMove = sideToMove_;
    // After a side switch the side not to move may stand in check: no move
    // is played then, or its king could be taken.
    if (!board_.isLegalPosition())
        return NO_MOVE;
    generateGameMoves();
    return findMove(*moveList_, pattern);
}

int Game_class::applyMoveText(const char* text)
{
    const Move move = legalMove(text);
    if (move == NO_MOVE)
        return MOVE_REJECTED;
    recordMove(move, true);
    return MOVE_ACCEPTED;
}

bool Game_class::recordMove(Move move, bool markRepeats)
{
    MoveRecord record;
    record.move = move;
    board_.makeMove(record);
    // A return to a position of this game scores as a draw in the search.
    if (countKeyInHistory(board_.hashKey, gameHistory_.data(), historyCount_) > 0) {
        if (!markRepeats) {
            board_.unmakeMove(record);
            return false;
        }
        hashTable_->fixPosition(board_.hashKey);
    }
    if (sideToMove_ == BLACK)
        board_.addFullmoves(1);
    gameHistory_.push_back(record);
    historyCount_ = static_cast<std::uint32_t>(gameHistory_.size());
    sideToMove_ = otherColour(sideToMove_);
    board_.sideToMove = sideToMove_;
    board_.computeHashKey();
    resultAnnounced_ = false;
    countHalfMoves();
    return true;
}

bool Game_class::checkGameEnd()
{
    generateGameMoves();
    const bool mated = board_.statusFlags & STATUS_CHECKMATED;
    ResultCode result;
    if (board_.statusFlags & STATUS_STALEMATED)
        result = ResultCode::Stalemate;
    else if (isThreefoldRepetition(board_.hashKey, gameHistory_.data(), historyCount_))
        result = ResultCode::Repetition;
    else if (board_.isInsufficientMaterial())
        result = ResultCode::InsufficientMaterial;
    else if (board_.isFiftyMoveDraw() && !mated)   // a mate on the hundredth half-move stands
        result = ResultCode::FiftyMoves;
    else
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

Move Game_class::chooseMoveToPlay(bool& fromBestLine)
{
    generateGameMoves();
    auto legal = [this](Move move) {
        return move != NO_MOVE && findMove(*moveList_, move) == move;
    };
    fromBestLine = search_->bestLineLength() > 0 && legal(search_->bestMove());
    if (fromBestLine)
        return search_->bestMove();
    // An empty line (stopped before a result) or a move that does not fit this
    // position: the table's move, else the first legal move.
    if (const auto entry = hashTable_->peek(board_.hashKey); entry && legal(entry->move))
        return entry->move;
    if (moveList_->captureCount > 0)
        return moveList_->captures[0];
    if (moveList_->nonCaptureCount > 0)
        return moveList_->nonCaptures[0];
    return NO_MOVE;
}

bool Game_class::playEngineMove()
{
    bool fromBestLine = false;
    const Move move = chooseMoveToPlay(fromBestLine);
    if (move == NO_MOVE) {
        hashTable_->printStatistics();
        // The engine has no move: the opponent's last move mated or stalemated it.
        if (board_.statusFlags & STATUS_CHECKMATED)
            announceResult(sideToMove_ == WHITE ? ResultCode::BlackMates : ResultCode::WhiteMates);
        else if (board_.statusFlags & STATUS_STALEMATED)
            announceResult(ResultCode::Stalemate);
        return false;
    }
    char text[MOVE_TEXT_SIZE];
    moveToText(move, text);
    gui_->sendMove(text);
    hashTable_->printStatistics();   // the table as the search left it
    applyMoveText(text);
    if (checkGameEnd())
        return false;
    // checkGameEnd generated the reply moves: none while in check is our mate.
    if (board_.statusFlags & STATUS_CHECKMATED) {
        announceResult(sideToMove_ == WHITE ? ResultCode::BlackMates : ResultCode::WhiteMates);
        return false;
    }
    if (fromBestLine && search_->bestScore() < RESIGN_BELOW) {
        gui_->resign();
        return false;
    }
    return true;
}

void Game_class::resyncSearchBoard()
{
    search_->setUpFromBoard(board_, hashTable_.get());
}

void Game_class::undoMove()
{
    stopAll();   // a running search would be reading the board taken back
    if (historyCount_ == historyFloor_)
        return;
    const MoveRecord record = gameHistory_.back();
    const std::uint64_t reachedKey = board_.hashKey;
    gameHistory_.pop_back();
    historyCount_ = static_cast<std::uint32_t>(gameHistory_.size());
    board_.unmakeMove(record);
    // The side that made the move is to move again; a Black move had counted a full move.
    sideToMove_ = record.side;
    board_.sideToMove = record.side;
    if (record.side == BLACK)
        board_.addFullmoves(-1);
    // The position the move reached scores as a draw only while it still
    // stands twice in what is left of the game.
    if (countKeyInHistory(reachedKey, gameHistory_.data(), historyCount_) < 2)
        hashTable_->unfixPosition(reachedKey);
    resultAnnounced_ = false;
    countHalfMoves();
    // The search board never played the game's moves: copy the game board again.
    resyncSearchBoard();
}

void Game_class::takeBackTwo()
{
    undoMove();
    undoMove();
}

void Game_class::adoptBoard(const Board_class& edited)
{
    if (!edited.isLegalPosition()) {
        gui_->sendError(ErrorKind::IllegalPosition, "");
        return;
    }
    stopAll();
    board_.copyFrom(edited);
    sideToMove_ = board_.sideToMove;
    historyFloor_ = historyCount_;
    resultAnnounced_ = false;
    countHalfMoves();
    resyncSearchBoard();
}

void Game_class::setSideToMove(Colour colour)
{
    stopAll();
    sideToMove_ = colour;
    board_.sideToMove = colour;
    board_.computeHashKey();   // the key includes the side to move
    countHalfMoves();
}

void Game_class::generateGameMoves()
{
    board_.sideToMove = sideToMove_;
    moveList_->setSide(sideToMove_);
    moveList_->mobilityIndex = 0;
    board_.generateMoves(*moveList_);
}

void Game_class::cleanTable()
{
    hashTable_->clean(board_.pieceCount(WHITE), board_.pieceCount(BLACK));
}
