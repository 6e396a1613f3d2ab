#pragma once
// The one game in progress: its position and moves, the transposition table,
// the search and the search cycle that thinks on threads of its own. Front
// ends change the game only through these operations; everything the engine
// says goes back out through the front end's announcements.
//
//   game.cpp           positions, moves, end-of-game rules, take-backs, the table
//   game_thinking.cpp  starting and ending searches, and what becomes of their results
//   game_position.cpp  the board, the moves played and the repetition marks
//   search_cycle.cpp   the search and timer threads and their one lock
//   time_control.cpp   the budgets from the clock, the level and a request

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string_view>

#include "game/game_listener.h"
#include "game/game_position.h"
#include "game/play_options.h"
#include "game/play_policy.h"
#include "game/playable_line.h"
#include "game/search_cycle.h"
#include "game/search_request.h"
#include "game/time_control.h"
#include "release/release_profile.h"
#include "search/hash_table.h"
#include "search/search.h"

constexpr std::int32_t RESIGN_BELOW = -1492;            // a best score under this resigns
// How deep the input thread searches when no search thread can be started.
constexpr std::uint32_t FALLBACK_SEARCH_DEPTH = 3;

// Answers of userMove.
constexpr int MOVE_ACCEPTED = 0;
constexpr int MOVE_REJECTED = 6;

class Game_class final : private Object_class, private SearchCycle::Steps {
public:
    using Clock = std::chrono::steady_clock;

    // tableBytes: the table size to allocate (the default size if that fails).
    Game_class(GameListener* gui, std::uint32_t tableBytes, const GameRules& rules, const PlayPolicy& policy = {});
    ~Game_class();
    Game_class(const Game_class&) = delete;
    Game_class& operator=(const Game_class&) = delete;

    // Creates the search and the table (of the size given at construction, or
    // of the default size when that cannot be allocated; when the policy says
    // so, only once it is first needed). False when not even the default size
    // could be allocated: the engine cannot play then.
    bool init();

    // --- the game --------------------------------------------------------
    void newGame();
    // Sets a FEN position; a rejected text leaves the game as it was and is
    // reported as an illegal position (false).
    bool setPosition(const char* fen);
    // Starts the game afresh from a FEN position and plays `moves` from it.
    // A rejected FEN leaves the game as it was (false); the first illegal move
    // is reported and the position stays before it.
    bool startFrom(const char* fen, std::span<const std::string_view> moves);
    // The opponent's move: MOVE_ACCEPTED or MOVE_REJECTED (reported as an illegal move).
    int userMove(const char* text);
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
    // The options the interface set (see PlayOptions), each from the next
    // search on; a ponder phase under way ends when pondering is turned off.
    const PlayOptions& options() const { return options_; }
    void setOptions(const PlayOptions& options);
    // Starts a search for the engine's own move (ending any earlier cycle
    // first). A position whose side not to move is in check (after a side
    // switch) is not searched: it is reported as an illegal position. The
    // budget runs from `since`, the moment the command that asked for the
    // move came in: the work before the search counts.
    void startThinking(Clock::time_point since = Clock::now());
    // Starts a requested search of the position (ending any earlier cycle
    // first); false, and nothing started, when the position cannot be searched.
    bool startSearch(const SearchRequest& request, SearchOutcome outcome, Clock::time_point since = Clock::now());
    // Ends a running search at once; its move is played if playMoveWhenDone.
    void stopSearch() { cycle_->stop(); }
    // Wakes and ends the timer, then stops the search.
    void stopAll() { cycle_->stopAll(); }
    // A "go ponder" search now runs on the engine's own time, with the budget
    // it was given less the time already spent.
    void ponderHit();
    // Runs `done` once the move being thought about has been sent (at once when none is).
    void afterOwnMove(std::function<void()> done) { cycle_->afterOwnMove(std::move(done)); }
    // True while a search (or its ponder phase) runs.
    bool searching() { return cycle_->searching(); }
    // Milliseconds since the running search (or its ponder phase) began.
    std::uint64_t searchElapsedMs() const { return cycle_->elapsedMs(); }

    // --- the table -------------------------------------------------------
    // Builds the table if it is still to be built; false when it cannot be had.
    bool tableReady();
    // A new, empty table of this size (the old one stays if it cannot be had,
    // or if it has that size already: false only in the first case).
    bool resizeTable(std::uint32_t bytes);
    void clearTable();
    // The size of the table, built or still to be built.
    std::uint32_t tableBytes() const { return tableBytes_; }
    // The largest table resizeTable makes (the protocol fuzzer keeps its tables small).
    void setLargestTable(std::uint32_t bytes) { largestTableBytes_ = bytes; }

    // 0 (the default): each search runs on a thread of its own under the
    // time budget. Otherwise every search runs on the calling thread to this
    // many plies, as when no search thread can be started; whole games then
    // run on one thread without waits (the protocol fuzzer plays them so).
    void setInlineSearchDepth(std::uint32_t depth) { inlineSearchDepth_ = depth; }

    // Start a search after each accepted opponent move.
    std::atomic<bool> thinkAfterUserMove{true};
    // Play the move when a search ends.
    std::atomic<bool> playMoveWhenDone{false};

    // --- inspection (tests, tools, fuzzing) ---------------------------------
    const Board_class& board() const { return position_.board(); }
    Colour sideToMove() const { return position_.sideToMove(); }
    std::uint32_t historyCount() const { return position_.historyCount(); }
    std::uint32_t moveTimeMs() const { return clock_.moveTimeMs(); }
    std::uint32_t movesPerControl() const { return clock_.movesPerControl(); }
    HashTable_class* hashTable() { return table_.get(); }
    Search_class* search() { return search_.get(); }
    // True while a search cycle's thread has not been joined.
    bool cycleOpen() const { return cycle_->threadOpen(); }

private:
    // The cycle's steps (game_thinking.cpp).
    void finishSearch(SearchOutcome outcome) override;
    bool setUpPonderSearch() override;
    std::uint32_t shownLine(Move* line, std::uint32_t length, std::uint32_t capacity) override;

    // Takes over a position (see GamePosition::reset) and makes it the search's.
    void takePosition(const Board_class& board, bool keepHistory);
    // Applies the end-of-game rules to the side to move; true when the game is over.
    bool checkGameEnd();
    void announceResult(ResultCode resultCode);
    // On the search thread: announces and plays the search's move; true when
    // a move was played and the game goes on.
    bool playEngineMove();
    // The move to play: the search's best move if it is legal here, else the
    // table's move, else the first legal move; NO_MOVE when there is none.
    Move chooseMoveToPlay(bool& fromBestLine);
    // The reply the search's line expects once `move` is played on the game
    // board (NO_MOVE: the move is on the board already), if it is legal then.
    // The scratch board is left on the position the reply is played in.
    Move expectedReply(Move move);
    void announceBestMove();
    // Starts the search, set up and armed, on the cycle's thread (or here).
    void launch(bool pondering, SearchOutcome outcome, bool hold, std::optional<std::uint32_t> budgetMs,
                Clock::time_point since);
    // The search's limits, and how many lines it shows, for the next search.
    void limitSearch(std::uint32_t depth, std::uint64_t nodes);
    // WinBoard: the opponent played the reply the ponder phase expected; the
    // ponder search goes on as the engine's own. False when it is no hit.
    bool ponderHitWith(const char* text);
    void resyncSearchBoard();
    void cleanTable();
    void printTableStatistics();

    GameListener* gui_;
    std::uint32_t tableBytes_;
    const GameRules& rules_;
    const PlayPolicy policy_;
    GamePosition position_;
    GameClock clock_;
    std::unique_ptr<HashTable_class> table_;
    std::unique_ptr<Search_class> search_;
    std::unique_ptr<SearchTeam> team_;            // the search and its helper threads
    PlayOptions options_;
    std::unique_ptr<Board_class> scratchBoard_;   // positions checked or derived before the game takes them
    std::unique_ptr<MoveList> scratchMoves_;      // the moves of the scratch board
    PlayableLine playableLine_;                   // the full mode's check of thinking lines
    bool resultAnnounced_ = false;                // the result of the position on the board has been sent

    std::uint32_t inlineSearchDepth_ = 0;
    std::uint32_t largestTableBytes_ = UINT32_MAX;
    // The options the search thread reads when it sets up a ponder phase.
    std::atomic<bool> ponderingWanted_{false};
    std::atomic<std::uint32_t> ownDepthLimit_{0};
    std::atomic<std::uint32_t> multiPv_{1};
    std::optional<std::uint32_t> ponderBudgetMs_; // a "go ponder" search's budget after the hit
    bool ponderHold_ = false;                     // a "go ponder infinite" goes on after the hit
    Move expectedReply_ = NO_MOVE;                // what the ponder phase assumes the opponent plays
    bool movePlayedAndGameGoesOn_ = false;        // the search thread's last result, for pondering

    std::unique_ptr<SearchCycle> cycle_;          // last: it stops the search before the rest goes
};
