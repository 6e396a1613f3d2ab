#include "game/search_cycle.h"

#include <algorithm>

#include "platform/debug_output.h"

namespace {

std::int64_t nanosecondsOf(SearchCycle::Clock::time_point t)
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(t.time_since_epoch()).count();
}

} // namespace

SearchCycle::SearchCycle(SearchTeam& search, Steps& steps, SearchListener* out, const PlayPolicy& policy)
    : search_(search), steps_(steps), out_(out), policy_(policy)
{
}

SearchCycle::~SearchCycle()
{
    stopAll();
}

bool SearchCycle::start(bool pondering, SearchOutcome outcome, bool hold, std::optional<std::uint32_t> budgetMs,
                        Clock::time_point since)
{
    stopEvent_.reset();
    {
        std::lock_guard<std::mutex> lock(mutex_);
        phase_ = pondering ? Phase::Pondering : Phase::Thinking;
        outcome_ = outcome;
        hold_ = hold;
        stopRequested_ = false;
        quiet_ = false;
        ++generation_;
    }
    phaseStartNs_ = nanosecondsOf(since);
    if (!searchThread_.create([this] { searchThreadBody(); })) {
        std::lock_guard<std::mutex> lock(mutex_);
        phase_ = Phase::Idle;
        return false;
    }
    searchThread_.resume();
    if (budgetMs && !hold)
        armTimer(*budgetMs);
    return true;
}

void SearchCycle::runHere(SearchOutcome outcome)
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        phase_ = Phase::Thinking;
        outcome_ = outcome;
        hold_ = false;   // nobody could release it
        stopRequested_ = false;
        quiet_ = false;
        ++generation_;
    }
    phaseStartNs_ = nanosecondsOf(Clock::now());
    search_.run();
    finish(outcome);
    search_.stop();   // nothing is left running
}

void SearchCycle::searchThreadBody()
{
    for (;;) {
        search_.run();
        SearchOutcome outcome;
        {
            std::unique_lock<std::mutex> lock(mutex_);
            changed_.wait(lock, [this] { return !hold_ || stopRequested_; });
            outcome = outcome_;
        }
        finish(outcome);
        if (outcome != SearchOutcome::PlayMove)
            return;
        std::lock_guard<std::mutex> lock(mutex_);
        if (stopRequested_ || !steps_.setUpPonderSearch())
            return;
        stopEvent_.set();   // the timer of the move just played has nothing left to stop
        phase_ = Phase::Pondering;
        outcome_ = SearchOutcome::Nothing;   // a ponder hit makes it the engine's own search
        hold_ = true;
        quiet_ = false;
        ++generation_;
        phaseStartNs_ = nanosecondsOf(Clock::now());
    }
}

void SearchCycle::finish(SearchOutcome outcome)
{
    steps_.finishSearch(outcome);
    std::vector<std::function<void()>> done;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        phase_ = Phase::Idle;
        done.swap(afterMove_);
    }
    changed_.notify_all();
    for (const auto& callback : done)
        callback();
}

void SearchCycle::stop()
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopRequested_ = true;
        quiet_ = policy_.quietAfterStop;
        search_.stop();
    }
    changed_.notify_all();
    searchThread_.join();
}

void SearchCycle::stopAll()
{
    stopEvent_.set();
    timerThread_.join();
    stop();
}

void SearchCycle::armTimer(std::uint32_t budgetMs)
{
    const std::uint64_t spent = elapsedMs();
    const std::uint32_t timeout = budgetMs > spent ? budgetMs - static_cast<std::uint32_t>(spent) : 0;
    timerThread_.join();   // a timer of an earlier phase, already woken
    stopEvent_.reset();
    std::uint32_t generation;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        generation = generation_;
    }
    auto body = [this, generation, timeout] {
        if (stopEvent_.waitFor(timeout) == ManualResetEvent::WaitResult::TimedOut)
            timerFired(generation);
    };
    if (timerThread_.create(body)) {
        timerThread_.resume();
    } else {
        // Without a timer the search would never be stopped: the input thread keeps the time.
        debugPrintf("kelp: cannot start a timer thread; the input thread waits for the search\n");
        body();
    }
}

void SearchCycle::timerFired(std::uint32_t generation)
{
    // A timer stops only the phase it was armed for: not a ponder phase that
    // may follow the move it timed.
    std::lock_guard<std::mutex> lock(mutex_);
    if (generation == generation_ && phase_ == Phase::Thinking)
        search_.stop();
}

bool SearchCycle::ponderHit(const std::function<bool()>& hit, SearchOutcome outcome, bool hold)
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (phase_ != Phase::Pondering || stopRequested_ || !hit())
            return false;
        phase_ = Phase::Thinking;
        outcome_ = outcome;
        hold_ = hold;
        ++generation_;
    }
    changed_.notify_all();
    return true;
}

void SearchCycle::stopPondering()
{
    bool pondering;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        pondering = phase_ == Phase::Pondering && outcome_ == SearchOutcome::Nothing;
    }
    if (pondering)
        stopAll();
}

void SearchCycle::afterOwnMove(std::function<void()> done)
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (phase_ == Phase::Thinking && outcome_ == SearchOutcome::PlayMove && !stopRequested_) {
            afterMove_.push_back(std::move(done));
            return;
        }
    }
    done();
}

bool SearchCycle::searching()
{
    std::lock_guard<std::mutex> lock(mutex_);
    return phase_ != Phase::Idle;
}

std::uint64_t SearchCycle::elapsedMs() const
{
    const std::int64_t elapsed = nanosecondsOf(Clock::now()) - phaseStartNs_.load();
    return elapsed > 0 ? static_cast<std::uint64_t>(elapsed) / 1000000 : 0;
}

void SearchCycle::sendThinking()
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (quiet_ || out_ == nullptr)
        return;
    out_->thinkingLine = thinkingLine;
    out_->thinkingMultiPv = thinkingMultiPv;
    out_->thinkingDepth = thinkingDepth;
    out_->thinkingNodes = thinkingNodes;
    out_->thinkingScore = thinkingScore;
    const std::uint32_t shown = steps_.shownLine(pv, pvLength, THINKING_PV_CAPACITY);
    out_->setThinkingPV(pv, shown);
    out_->sendThinking();
}
