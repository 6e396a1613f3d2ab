#pragma once
// The one game in progress: the game board and its history, the transposition
// table and the search, and the search cycle that thinks on threads of its
// own. Front ends change the game only through these operations; everything
// the engine says goes back out through the front end's announcements.
//
//   game.cpp          positions, moves, end-of-game rules, take-backs
//   search_cycle.cpp  the search and timer threads, stopping, the clock

#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <vector>

#include "board/board.h"
#include "game/game_listener.h"
#include "platform/manual_reset_event.h"
#include "platform/worker_thread.h"
#include "release/release_profile.h"
#include "search/hash_table.h"
#include "search/search.h"

constexpr std::uint32_t GAME_HISTORY_RESERVE = 1024;   // half-moves kept without reallocating
constexpr std::int32_t RESIGN_BELOW = -1492;            // a best score under this resigns

// Answers of userMove and applyMoveText.
constexpr int MOVE_ACCEPTED = 0;
constexpr int MOVE_REJECTED = 6;

class Game_class final : private Object_class {
public:
    // tableBytes: the table size to allocate (the default size if that fails).
    Game_class(GameListener* gui, std::uint32_t tableBytes, const GameRules& rules);
    ~Game_class();
    Game_class(const Game_class&) = delete;
    Game_class& operator=(const Game_class&) = delete;

    // Creates the search, the table (of the size given at construction, or of
    // the default size when that cannot be allocated) and the scratch board.
    // Returns 0, or 1 when not even the default size could be allocated (the
    // engine cannot play then).
    int init();

    // --- the game --------------------------------------------------------
    void newGame();
    // Sets a FEN position; a rejected text leaves the game as it was and is
    // reported as an illegal position.
    void setPosition(const char* fen);
    // The opponent's move: MOVE_ACCEPTED or MOVE_REJECTED (reported as an illegal move).
    int userMove(const char* text);
    // Plays one move on the game board and records it.
    int applyMoveText(const char* text);
    // Announces stalemate, repetition, insufficient material or the fifty-move
    // rule for the side to move; true when the game is over.
    bool checkGameEnd();
    // On the search thread: announces and plays the search's move.
    void playEngineMove();
    void undoMove();
    void takeBackTwo();
    // Takes over a board set up in the edit mode; one without exactly one king
    // per colour, or whose side not to move is in check, is refused as an
    // illegal position.
    void adoptBoard(const Board_class& edited);
    void setSideToMove(Colour colour);

    // --- time and thinking -----------------------------------------------
    // The engine's clock: whole seconds and the milliseconds beyond them. The
    // budget is worked out again when the next search starts, so that it
    // counts the opponent's move that usually follows the clock.
    void setTimeLeft(std::uint32_t seconds, std::uint32_t extraMs = 0);
    void setLevel(std::uint32_t moves, std::uint32_t baseMinutes, std::uint32_t increment);
    // Starts a search cycle for the side to move (ending any earlier cycle
    // first). A position whose side not to move is in check (after a side
    // switch) is not searched: it is reported as an illegal position. The
    // budget runs from `since`, the moment the command that asked for the
    // move came in: the work before the search counts.
    void startThinking(std::chrono::steady_clock::time_point since = std::chrono::steady_clock::now());
    // Ends a running search at once; its move is played if playMoveWhenDone.
    void stopSearch();
    // Wakes and ends the timer, then stops the search.
    void stopAll();
    // 0 (the default): each search runs on a thread of its own under the
    // time budget. Otherwise every search runs on the calling thread to this
    // many plies, as when no search thread can be started; whole games then
    // run on one thread without waits (the protocol fuzzer plays them so).
    void setInlineSearchDepth(std::uint32_t depth) { inlineSearchDepth_ = depth; }

    // Start a search after each accepted opponent move.
    std::atomic<bool> thinkAfterUserMove{true};
    // Play the move when a search ends.
    std::atomic<bool> playMoveWhenDone{false};

    // --- inspection (tests, fuzzing) ----------------------------------------
    const Board_class& board() const { return board_; }
    Colour sideToMove() const { return sideToMove_; }
    std::uint32_t historyCount() const { return historyCount_.load(); }
    std::uint32_t moveTimeMs() const { return moveTimeMs_; }
    std::uint32_t movesPerControl() const { return movesPerControl_; }
    HashTable_class* hashTable() { return hashTable_.get(); }
    Search_class* search() { return search_.get(); }
    // True while a search cycle's thread has not been joined.
    bool cycleOpen() const { return searchThread_.exists(); }

private:
    // Sets the search up from the game board and lets it run.
    void setUpSearch();
    void searchThreadBody();
    void timerThreadBody();
    // The move to play: the search's best move if it is legal here, else the
    // table's move, else the first legal move; 0 when there is none.
    Move chooseMoveToPlay(bool& fromBestLine);
    void cleanTable();
    void resyncSearchBoard();
    void announceResult(ResultCode resultCode);
    // Runs a whole search cycle on the calling thread, to at most `depth` plies.
    void searchOnThisThread(std::uint32_t depth);

    GameListener* gui_;
    std::uint32_t tableBytes_;
    const GameRules& rules_;
    std::unique_ptr<HashTable_class> hashTable_;
    std::unique_ptr<Search_class> search_;
    std::unique_ptr<Board_class> scratchBoard_;   // checks positions before the game takes them
    std::unique_ptr<MoveList> moveList_;          // the game board's move generation
    Board_class board_;
    Colour sideToMove_ = WHITE;

    // The game history: one record per half-move since newGame. Moves before
    // historyFloor_ belong to an earlier position (setboard, edit) and cannot
    // be taken back.
    std::vector<MoveRecord> gameHistory_;
    std::atomic<std::uint32_t> historyCount_{0};
    std::uint32_t historyFloor_ = 0;
    bool resultAnnounced_ = false;   // the result of the position on the board has been sent

    // Time control.
    std::uint32_t moveTimeMs_ = 500;
    std::uint32_t movesPerControl_ = 0;
    std::uint32_t increment_ = 0;
    std::uint32_t timerTimeoutMs_ = 0;
    std::uint32_t inlineSearchDepth_ = 0;
    std::uint64_t clockMs_ = 0;
    bool clockKnown_ = false;   // a clock came after the last level

    // The search cycle.
    WorkerThread searchThread_;
    WorkerThread timerThread_;
    ManualResetEvent stopEvent_;
};
