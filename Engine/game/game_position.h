#pragma once
// The position of the game in progress and how it was reached: the game
// board, the side to move and the moves played, with the marks the table
// keeps for positions the game has returned to (the search scores them as
// draws). How often each position stands in the history is counted as moves
// are played and taken back, so a position line of any length is read in
// linear time.

#include <atomic>
#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

#include "board/board.h"
#include "game/game_listener.h"
#include "search/hash_table.h"

class GamePosition {
public:
    GamePosition();
    GamePosition(const GamePosition&) = delete;
    GamePosition& operator=(const GamePosition&) = delete;

    // The table that marks repeated positions; null while there is none.
    void useTable(HashTable_class* table) { table_ = table; }

    // Takes over a position. With `keepHistory` the moves before it stay for
    // the repetition rule but cannot be taken back; otherwise the game
    // starts afresh there and the old moves' marks leave the table.
    void reset(const Board_class& board, bool keepHistory);
    // The legal move a text names for the side to move, or NO_MOVE (also in a
    // position whose side not to move stands in check after a side switch).
    Move legalMove(const char* text);
    bool isLegalMove(Move move);
    // The first legal move, captures first; NO_MOVE when there is none.
    Move firstLegalMove();
    // Plays a legal move and records it. A return to an earlier position is
    // marked in the table; with markRepeats false such a move is not played
    // (false) instead.
    bool play(Move move, bool markRepeats);
    // Takes the last move back; false when there is none to take back.
    bool undo();
    void setSideToMove(Colour colour);
    // Stalemate, repetition, insufficient material or the fifty-move rule for
    // the side to move: true with the result when the game is over. Leaves
    // the board's status flags of the side to move's moves.
    bool ending(ResultCode& result);
    // Marks every position the game has returned to (a new or emptied table).
    void markRepetitions() const;
    // One king per colour, and the side not to move is not in check.
    bool isLegal();

    const Board_class& board() const { return board_; }
    Colour sideToMove() const { return sideToMove_; }
    std::uint32_t historyCount() const { return historyCount_.load(); }
    // Half-moves from the start of the game to this position, counted from its
    // own move number, so a game handed over at move 8 is at move 8 for the clock.
    std::uint32_t halfMovesIntoGame() const { return halfMovesIntoGame_.load(); }
    // The repetition keys of the positions since the last capture or pawn
    // move, the one on the board not included (oldest first), written into
    // `keys`. No pawn has moved since, so the board's pawns tell for each
    // whether its en passant square counts.
    std::uint32_t repeatableKeys(std::uint64_t* keys, std::uint32_t capacity) const;

private:
    // The moves of the side to move, generated on the game board.
    MoveList& generate();
    // How often a position stands in the history (the one on the board not counted).
    std::uint32_t occurrences(std::uint64_t key) const;
    void moved();   // after any change of the position

    Board_class board_;
    Colour sideToMove_ = WHITE;
    std::unique_ptr<MoveList> moves_;
    HashTable_class* table_ = nullptr;
    // One record per half-move. Moves before floor_ came before a set-up
    // position: they count for repetitions but cannot be taken back.
    std::vector<MoveRecord> history_;
    std::unordered_map<std::uint64_t, std::uint32_t> seen_;   // positions left by the moves, counted
    std::uint32_t floor_ = 0;
    // Read by other threads (the clock commands) while a search plays its move.
    std::atomic<std::uint32_t> historyCount_{0};
    std::atomic<std::uint32_t> halfMovesIntoGame_{0};
};
