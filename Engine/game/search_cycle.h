#pragma once
// The search cycle: each search runs on a search thread of its own, watched
// by a timer thread that asks it to stop when its time is up. The input
// thread starts a cycle, can end it early, and is the only one that joins the
// search thread. After its search the search thread finishes the cycle (plays
// or announces the result) and may go on into a ponder phase on the reply its
// line expects.
//
// One mutex guards the cycle's state: its phase, what becomes of its result,
// whether it may end by itself, whether the input thread is ending it, and the
// thinking lines the search writes (so that, when the policy says so, no line
// of a search comes after the command that ended it).

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <vector>

#include "game/play_policy.h"
#include "game/search_request.h"
#include "platform/manual_reset_event.h"
#include "platform/worker_thread.h"
#include "search/search_listener.h"
#include "search/search_team.h"

class SearchCycle final : public SearchListener {
public:
    // What only the game knows about a cycle.
    class Steps {
    public:
        // On the search thread once the search has ended: plays or announces the result.
        virtual void finishSearch(SearchOutcome outcome) = 0;
        // On the search thread after a played move, with the cycle's lock held:
        // sets the search up (armed) for the reply the line expects; false when there is none.
        virtual bool setUpPonderSearch() = 0;
        // With the cycle's lock held: the thinking line to show, changed in
        // place (up to `capacity` moves); its length.
        virtual std::uint32_t shownLine(Move* line, std::uint32_t length, std::uint32_t capacity) = 0;

    protected:
        ~Steps() = default;
    };
    using Clock = std::chrono::steady_clock;

    SearchCycle(SearchTeam& search, Steps& steps, SearchListener* out, const PlayPolicy& policy);
    ~SearchCycle();
    SearchCycle(const SearchCycle&) = delete;
    SearchCycle& operator=(const SearchCycle&) = delete;

    // Runs the search, set up and armed by the caller, on a thread of its
    // own. `pondering`: on the opponent's time until a ponder hit; `hold`: it
    // may not end by itself; without a budget it has no timer. The budget
    // counts from `since`. False, and nothing started, when no thread can be made.
    bool start(bool pondering, SearchOutcome outcome, bool hold, std::optional<std::uint32_t> budgetMs,
               Clock::time_point since);
    // Runs the search on the calling thread and finishes it there.
    void runHere(SearchOutcome outcome);
    // Ends the running search at once and waits for its thread; its result
    // goes where the cycle was told.
    void stop();
    // Wakes and ends the timer, then stops the search.
    void stopAll();
    // A ponder phase becomes the engine's own search when `hit` (run with the
    // lock held while the search goes on) says so; its result then goes to
    // `outcome`, and it may end by itself unless `hold`. True on a hit.
    bool ponderHit(const std::function<bool()>& hit, SearchOutcome outcome, bool hold);
    // Arms a timer for the search now running, with `budgetMs` counted from the start of its phase.
    void armTimer(std::uint32_t budgetMs);
    // Ends a ponder phase that is not the engine's own search.
    void stopPondering();
    // Runs `done` once the move being thought about has been played (at once
    // when there is none), on whichever thread gets there.
    void afterOwnMove(std::function<void()> done);

    bool searching();
    bool threadOpen() const { return searchThread_.exists(); }
    // Milliseconds since the running phase began.
    std::uint64_t elapsedMs() const;

    // The search's thinking lines come here first (on the search thread).
    void sendThinking() override;

private:
    enum class Phase : std::uint8_t { Idle, Thinking, Pondering };
    void searchThreadBody();
    void finish(SearchOutcome outcome);
    void timerFired(std::uint32_t generation);

    SearchTeam& search_;   // the search and its helpers
    Steps& steps_;
    SearchListener* out_;
    const PlayPolicy& policy_;

    std::mutex mutex_;
    std::condition_variable changed_;
    Phase phase_ = Phase::Idle;
    SearchOutcome outcome_ = SearchOutcome::Nothing;
    bool hold_ = false;            // the search may not end by itself
    bool stopRequested_ = false;   // the input thread is ending the cycle
    bool quiet_ = false;           // no more thinking lines of this search
    std::uint32_t generation_ = 0; // counts phases, so that a timer stops only its own
    std::vector<std::function<void()>> afterMove_;
    std::atomic<std::int64_t> phaseStartNs_{0};

    WorkerThread searchThread_;
    WorkerThread timerThread_;
    ManualResetEvent stopEvent_;
};
