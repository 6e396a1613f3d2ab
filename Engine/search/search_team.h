#pragma once
// Several searches of one position sharing one transposition table: the main
// search, which reports and decides, and helper searches on threads of their
// own that search the same root at varied depths and fill the table the main
// search reads (the shared-table scheme). With one thread only the main
// search runs, on its caller's thread, and nothing is different.

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/worker_thread.h"
#include "search/search.h"

constexpr std::uint32_t MAX_SEARCH_THREADS = 256;

class SearchTeam {
public:
    explicit SearchTeam(Search_class& main) : main_(main) {}
    ~SearchTeam();
    SearchTeam(const SearchTeam&) = delete;
    SearchTeam& operator=(const SearchTeam&) = delete;

    // The threads the next search runs on, the main search's included (1 to
    // MAX_SEARCH_THREADS); only while no search runs.
    void setThreads(std::uint32_t threads);
    std::uint32_t threads() const { return static_cast<std::uint32_t>(helpers_.size()) + 1; }

    // Runs the main search, set up and armed, on the calling thread, with the
    // helpers searching its root beside it; when it ends they are stopped and
    // joined. A node limit is shared out among the threads.
    void run();
    // Asks the main search to stop (its helpers stop when it has); true when
    // this call stopped a running search.
    bool stop() { return main_.stop(); }
    // The nodes the helpers have searched in the running search.
    std::uint64_t helperNodes() const;

private:
    Search_class& main_;
    std::vector<std::unique_ptr<Search_class>> helpers_;
    std::vector<std::unique_ptr<WorkerThread>> threads_;
};
