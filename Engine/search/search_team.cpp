#include "search/search_team.h"

#include <algorithm>

SearchTeam::~SearchTeam()
{
    for (auto& helper : helpers_)
        helper->stop();
    for (auto& thread : threads_)
        thread->join();
}

void SearchTeam::setThreads(std::uint32_t threads)
{
    threads = std::clamp(threads, 1u, MAX_SEARCH_THREADS);
    helpers_.resize(threads - 1);
    for (auto& helper : helpers_) {
        if (!helper)
            helper = std::make_unique<Search_class>(main_.rules());
    }
    threads_.resize(threads - 1);
    for (auto& thread : threads_) {
        if (!thread)
            thread = std::make_unique<WorkerThread>();
    }
    main_.setTeam(helpers_.empty() ? nullptr : this);
}

void SearchTeam::run()
{
    if (helpers_.empty()) {
        main_.iterativeDeepening();
        return;
    }
    main_.table()->expectSeveralWriters();
    const std::uint64_t nodeLimit = main_.nodeLimit();
    main_.setNodeLimit(nodeLimit != 0 ? std::max<std::uint64_t>(nodeLimit / threads(), 1) : 0);
    for (std::size_t i = 0; i < helpers_.size(); ++i) {
        Search_class& helper = *helpers_[i];
        helper.setUpAsHelper(main_, static_cast<std::uint32_t>(i + 1));
        helper.arm();
        // A helper that cannot be started leaves the search to the others.
        if (threads_[i]->create([&helper] { helper.iterativeDeepening(); }))
            threads_[i]->resume();
    }
    main_.iterativeDeepening();
    for (auto& helper : helpers_)
        helper->stop();
    for (auto& thread : threads_)
        thread->join();
    main_.setNodeLimit(nodeLimit);   // a search run again shares out the whole limit again
}

std::uint64_t SearchTeam::helperNodes() const
{
    std::uint64_t nodes = 0;
    for (const auto& helper : helpers_)
        nodes += helper->nodeCount();
    return nodes;
}
