#include "game/game_position.h"

#include <algorithm>

#include "board/move.h"

// History reserved up front: a game of this many half-moves never reallocates.
constexpr std::size_t GAME_HISTORY_RESERVE = 1024;

GamePosition::GamePosition() : moves_(std::make_unique<MoveList>())
{
    history_.reserve(GAME_HISTORY_RESERVE);
    seen_.reserve(GAME_HISTORY_RESERVE);
    board_.loadFen(START_FEN);
    moved();
}

void GamePosition::reset(const Board_class& board, bool keepHistory)
{
    if (keepHistory) {
        floor_ = static_cast<std::uint32_t>(history_.size());
    } else {
        if (table_ != nullptr) {
            for (const MoveRecord& record : history_)
                table_->unfixPosition(record.key);
            table_->unfixPosition(board_.hashKey);
        }
        history_.clear();
        seen_.clear();
        floor_ = 0;
        historyCount_ = 0;
    }
    board_.copyFrom(board);
    sideToMove_ = board_.sideToMove;
    moved();
}

MoveList& GamePosition::generate()
{
    board_.sideToMove = sideToMove_;
    moves_->setSide(sideToMove_);
    moves_->mobilityIndex = 0;
    board_.generateMoves(*moves_);
    return *moves_;
}

bool GamePosition::isLegal()
{
    board_.sideToMove = sideToMove_;
    return board_.isLegalPosition();
}

Move GamePosition::legalMove(const char* text)
{
    const Move pattern = parseMoveText(sideToMove_, text);
    // After a side switch the side not to move may stand in check: no move
    // is played then, or its king could be taken.
    if (!isLegal())
        return NO_MOVE;
    return findMove(generate(), pattern);
}

bool GamePosition::isLegalMove(Move move)
{
    return move != NO_MOVE && isLegal() && findMove(generate(), move) == move;
}

Move GamePosition::firstLegalMove()
{
    const MoveList& list = generate();
    if (list.captureCount > 0)
        return list.captures[0];
    if (list.nonCaptureCount > 0)
        return list.nonCaptures[0];
    return NO_MOVE;
}

std::uint32_t GamePosition::occurrences(std::uint64_t key) const
{
    const auto found = seen_.find(key);
    return found != seen_.end() ? found->second : 0;
}

bool GamePosition::play(Move move, bool markRepeats)
{
    MoveRecord record;
    record.move = move;
    board_.makeMove(record);
    const auto count = static_cast<std::uint32_t>(history_.size());
    // A return to a position of this game scores as a draw in the search.
    if (occurrences(board_.hashKey) > 0) {
        if (!markRepeats) {
            board_.unmakeMove(record);
            return false;
        }
        if (table_ != nullptr)
            table_->fixPosition(board_.hashKey);
    }
    if (sideToMove_ == BLACK)
        board_.addFullmoves(1);
    history_.push_back(record);
    ++seen_[record.key];
    historyCount_ = count + 1;
    sideToMove_ = otherColour(sideToMove_);
    board_.sideToMove = sideToMove_;
    board_.computeHashKey();
    moved();
    return true;
}

bool GamePosition::undo()
{
    if (history_.size() == floor_)
        return false;
    const MoveRecord record = history_.back();
    const std::uint64_t reachedKey = board_.hashKey;
    const auto count = static_cast<std::uint32_t>(history_.size());
    history_.pop_back();
    if (--seen_[record.key] == 0)
        seen_.erase(record.key);
    historyCount_ = count - 1;
    board_.unmakeMove(record);
    // The side that made the move is to move again; a Black move had counted a full move.
    sideToMove_ = record.side;
    board_.sideToMove = record.side;
    if (record.side == BLACK)
        board_.addFullmoves(-1);
    // The position the move reached scores as a draw only while it still
    // stands twice in what is left of the game.
    if (table_ != nullptr && occurrences(reachedKey) < 2)
        table_->unfixPosition(reachedKey);
    moved();
    return true;
}

void GamePosition::setSideToMove(Colour colour)
{
    sideToMove_ = colour;
    board_.sideToMove = colour;
    board_.computeHashKey();   // the key includes the side to move
    moved();
}

bool GamePosition::ending(ResultCode& result)
{
    generate();
    const bool mated = board_.statusFlags & STATUS_CHECKMATED;
    if (board_.statusFlags & STATUS_STALEMATED)
        result = ResultCode::Stalemate;
    else if (occurrences(board_.hashKey) >= 2)
        result = ResultCode::Repetition;
    else if (board_.isInsufficientMaterial())
        result = ResultCode::InsufficientMaterial;
    else if (board_.isFiftyMoveDraw() && !mated)   // a mate on the hundredth half-move stands
        result = ResultCode::FiftyMoves;
    else
        return false;
    return true;
}

void GamePosition::markRepetitions() const
{
    // Each position the game returned to, as play() marked it: those that
    // stand twice or more in the game, the one on the board included.
    if (table_ == nullptr)
        return;
    for (const auto& [key, times] : seen_) {
        if (times + (key == board_.hashKey) >= 2)
            table_->fixPosition(key);
    }
}

std::uint32_t GamePosition::repeatableKeys(std::uint64_t* keys, std::uint32_t capacity) const
{
    const auto count = static_cast<std::uint32_t>(history_.size());
    const std::uint32_t reach = std::min(static_cast<std::uint32_t>(std::max(board_.halfmoveClock, 0)), capacity);
    const std::uint32_t begin = count > reach ? count - reach : 0;
    for (std::uint32_t i = begin; i < count; ++i)
        keys[i - begin] = board_.repetitionKey(history_[i].key, history_[i].enPassant, history_[i].side);
    return count - begin;
}

void GamePosition::moved()
{
    // From the position's own move number, so that a game handed over at move
    // 8 (a book line, a set-up position) is at move 8 for the clock; from
    // "new" this is the number of half-moves played.
    const std::int64_t fullMovesBefore = std::int64_t{board_.fullmoveNumber} - 1;
    const std::int64_t halfMoves = std::max<std::int64_t>(fullMovesBefore, 0) * 2 + (sideToMove_ == BLACK ? 1 : 0);
    halfMovesIntoGame_ = static_cast<std::uint32_t>(std::min<std::int64_t>(halfMoves, UINT32_MAX));
}
