#include "support/game_harness.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "support/board_helpers.h"

GameHarness::GameHarness(const ReleaseProfile& release) : game(&gui, nullptr, release)
{
    EXPECT_EQ(game.init(), 0);
    game.newGame();
}

void GameHarness::force(const std::vector<std::string>& moves)
{
    game.thinkAfterUserMove = false;
    game.playMoveWhenDone = false;
    for (const std::string& move : moves)
        ASSERT_EQ(game.userMove(move.c_str()), MOVE_ACCEPTED) << move;
}

std::vector<std::string> GameHarness::eventsStarting(const std::string& prefix)
{
    std::vector<std::string> found;
    for (const std::string& event : gui.events()) {
        if (event.compare(0, prefix.size(), prefix) == 0)
            found.push_back(event);
    }
    return found;
}

bool waitUntil(const std::function<bool()>& done, int timeoutMs)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

bool GameHarness::waitForEvents(const std::string& prefix, std::size_t count, int timeoutMs)
{
    return waitUntil([&] { return eventsStarting(prefix).size() >= count; }, timeoutMs);
}

bool GameHarness::waitForReportDepth(std::int32_t depth, int timeoutMs)
{
    return waitUntil(
        [&] {
            for (const ThinkingReport& report : gui.reports()) {
                if (report.depth >= depth)
                    return true;
            }
            return false;
        },
        timeoutMs);
}

std::string GameHarness::fen()
{
    return fenOf(game.board());
}

std::vector<std::string> movesOf(const std::vector<std::string>& events)
{
    std::vector<std::string> moves;
    for (const std::string& event : events) {
        if (event.compare(0, 5, "move ") == 0)
            moves.push_back(event.substr(5));
    }
    return moves;
}
