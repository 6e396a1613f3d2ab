#pragma once
// The one game in progress: the game board and its history, the transposition
// table and the search, and the search cycle that thinks on threads of its
// own. Front ends change the game only through these operations; everything
// the engine says goes back out through the front end's announcements.
//
//   game.cpp          positions, moves, end-of-game rules, take-backs
//   search_cycle.cpp  the search and timer threads, stopping, the clock
//   full_cycle.cpp    the full mode's searches: limits, pondering, analysis

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "board/board.h"
#include "game/game_listener.h"
#include "game/search_limits.h"
#include "platform/manual_reset_event.h"
#include "platform/worker_thread.h"
#include "release/release_profile.h"
#include "search/hash_table.h"
#include "search/search.h"

constexpr std::uint32_t GAME_HISTORY_RESERVE = 1024;   // half-moves kept without reallocating
constexpr std::int32_t RESIGN_BELOW = -1492;            // a best score under this resigns
// How deep the input thread searches when no search thread can be started.
constexpr std::uint32_t FALLBACK_SEARCH_DEPTH = 3;

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
    // On the search thread: announces and plays the search's move; true when
    // a move was played and the game goes on.
    bool playEngineMove();
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
    // The largest table resizeTable makes (the protocol fuzzer keeps its tables small).
    void setLargestTable(std::uint32_t bytes) { largestTableBytes_ = bytes; }

    // --- the full mode ---------------------------------------------------------
    // Turns the full mode on (before the first search): searches under limits,
    // the increment in every budget, pondering and analysis. Its timer only
    // asks the search to stop; the input thread alone joins the search thread.
    void enableFullMode() { fullMode_ = true; }
    bool fullMode() const { return fullMode_; }
    // Starts a search of the position on the board (ending any earlier cycle
    // first); false, and nothing started, when the position cannot be searched.
    bool startSearch(const SearchLimits& limits, SearchOutcome outcome,
                     std::chrono::steady_clock::time_point since = std::chrono::steady_clock::now());
    // A "go ponder" search now runs on the engine's own time, with the budget
    // it was given less the time already spent.
    void ponderHit();
    // WinBoard: think on the opponent's time about the expected reply.
    void setPondering(bool on) { ponderingWanted_ = on; }
    // WinBoard limits of the engine's own moves: a fixed time a move (0: the
    // clock and level decide) and a depth (0: none).
    void setFixedMoveTime(std::uint64_t ms) { fixedMoveMs_ = ms; }
    void setSearchDepthLimit(std::uint32_t depth) { ownDepthLimit_ = depth; }
    // Waits until a search that is to play the engine's move has played it.
    void waitForOwnMove();
    // True while a search of the full mode (or its ponder phase) runs.
    bool searching();
    // Ends a ponder phase (WinBoard "easy"); a search for the engine's own move goes on.
    void stopPondering();
    // Counts the searches startSearch has started.
    std::uint32_t searchCount() const { return searchCount_.load(); }
    // Milliseconds since the running search (or its ponder phase) began.
    std::uint64_t searchElapsedMs() const;
    // A new, empty table of this size (the old one stays if it cannot be had,
    // or if it has that size already).
    bool resizeTable(std::uint32_t bytes);
    void clearTable();
    // The legal move a text names in the game's position, or NO_MOVE.
    Move legalMove(const char* text);
    // Starts the game afresh from a position: no history before it.
    bool resetToPosition(const char* fen);

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
    // Generates the moves of the side to move on the game board into moveList_.
    void generateGameMoves();
    // Half-moves from the start of the game to the position on the board, for
    // the clock; countHalfMoves works it out again after the position changed.
    std::uint32_t halfMovesIntoGame() const { return halfMovesIntoGame_; }
    void countHalfMoves();
    void resyncSearchBoard();
    void announceResult(ResultCode resultCode);
    // Runs a whole search cycle on the calling thread, to at most `depth` plies.
    void searchOnThisThread(std::uint32_t depth);
    // Plays a legal move on the game board and records it; with markRepeats
    // false a return to an earlier position is left unmarked (false when it is one).
    bool recordMove(Move move, bool markRepeats);

    // The full mode's cycle (full_cycle.cpp).
    enum class Phase : std::uint8_t { Idle, Thinking, Pondering };
    void fullSearchThreadBody();
    void fullTimerThreadBody(std::uint32_t generation);
    void fullStopSearch();
    // Arms the timer for the phase now running, `spent` of its budget gone.
    void armTimer(std::uint32_t budgetMs, std::uint64_t spentMs);
    std::uint32_t budgetFor(const SearchLimits& limits) const;
    void finishPhase(SearchOutcome outcome);
    // After the engine's move: a ponder search of the expected reply, on this thread.
    bool startPonderPhase();
    // WinBoard: the opponent played the reply the ponder phase expected; the
    // ponder search goes on as the engine's own. False when it is no hit.
    bool ponderHitWith(const char* text);
    void announceBestMove();
    // Marks every position the game has returned to (a new or emptied table).
    void markRepetitions();

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
    // Read by the clock commands while the search thread may be playing its move.
    std::atomic<std::uint32_t> halfMovesIntoGame_{0};
    std::uint32_t historyFloor_ = 0;
    bool resultAnnounced_ = false;   // the result of the position on the board has been sent

    // Time control.
    std::uint32_t moveTimeMs_ = 500;
    std::uint32_t movesPerControl_ = 0;
    std::uint32_t increment_ = 0;
    std::uint32_t timerTimeoutMs_ = 0;
    std::uint32_t inlineSearchDepth_ = 0;
    std::uint32_t largestTableBytes_ = UINT32_MAX;
    std::uint64_t clockMs_ = 0;
    bool clockKnown_ = false;   // a clock came after the last level

    // The full mode. The cycle's state is shared by the input, search and
    // timer threads under cycleMutex_.
    bool fullMode_ = false;
    std::atomic<bool> ponderingWanted_{false};
    std::atomic<std::uint64_t> fixedMoveMs_{0};
    std::atomic<std::uint32_t> ownDepthLimit_{0};
    SearchLimits limits_;
    std::uint32_t ponderBudgetMs_ = 0;    // a "go ponder" search's budget after the hit
    std::mutex cycleMutex_;
    std::condition_variable cycleChanged_;
    Phase phase_ = Phase::Idle;
    SearchOutcome outcome_ = SearchOutcome::Nothing;
    bool holdResult_ = false;             // the search may not end by itself
    bool stopRequested_ = false;          // the input thread is ending the cycle
    std::uint32_t generation_ = 0;        // counts phases, so a timer stops only its own
    Move expectedReply_ = NO_MOVE;        // what the ponder phase assumes the opponent plays
    bool movePlayedAndGameGoesOn_ = false;   // the search thread's last phase, for pondering
    std::atomic<std::int64_t> phaseStartNs_{0};
    std::atomic<std::uint32_t> searchCount_{0};

    // The search cycle.
    WorkerThread searchThread_;
    WorkerThread timerThread_;
    ManualResetEvent stopEvent_;
};
