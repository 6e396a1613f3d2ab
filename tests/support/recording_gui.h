#pragma once
// A front end that records what the engine announces, for tests that drive
// the search or the game controller directly.

#include <mutex>
#include <string>
#include <vector>

#include "protocol/gui_interface.h"
#include "release/release_profile.h"
#include "support/memory_streams.h"

struct ThinkingReport {
    std::int32_t depth;
    std::vector<Move> pv;
    std::uint64_t nodes;
};

class RecordingGui : public GuiInterface_class {
public:
    RecordingGui() : GuiInterface_class(streams_.input(), streams_.output(), currentRelease().protocol) {}

    void sendMove(const char* moveText) override { record("move " + std::string(moveText)); }
    void sendResult(ResultCode code) override { record("result " + std::to_string(static_cast<std::uint32_t>(code))); }
    void sendError(ErrorKind kind, const char* text) override
    {
        record("error " + std::to_string(static_cast<std::uint32_t>(kind)) + " " + text);
    }
    void resign() override { record("resign"); }
    void sendThinking() override
    {
        std::lock_guard<std::mutex> lock(mutex_);
        reports_.push_back({thinkingDepth, std::vector<Move>(pv, pv + pvLength), thinkingNodes});
    }

    std::vector<std::string> events()
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return events_;
    }
    std::vector<ThinkingReport> reports()
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return reports_;
    }
    void clear()
    {
        std::lock_guard<std::mutex> lock(mutex_);
        events_.clear();
        reports_.clear();
    }

private:
    void record(const std::string& event)
    {
        std::lock_guard<std::mutex> lock(mutex_);
        events_.push_back(event);
    }

    MemoryStreams streams_{""};
    std::mutex mutex_;
    std::vector<std::string> events_;
    std::vector<ThinkingReport> reports_;
};
