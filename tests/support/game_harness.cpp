#include "support/game_harness.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <thread>

#include "support/board_helpers.h"

GameHarness::GameHarness(const ReleaseProfile& release) : game(&gui, DEFAULT_HASH_BYTES, release.game)
{
    EXPECT_TRUE(game.init());
    game.newGame();
}

void GameHarness::force(const std::vector<std::string>& moves)
{
    game.thinkAfterUserMove = false;
    game.playMoveWhenDone = false;
    for (const std::string& move : moves)
        ASSERT_EQ(game.userMove(move.c_str()), MOVE_ACCEPTED) << move;
}

bool GameHarness::waitForEvents(const std::string& prefix, std::size_t count)
{
    return waitUntil([&] {
        const std::vector<std::string> events = gui.events();
        return std::count_if(events.begin(), events.end(), [&](const std::string& e) { return e.rfind(prefix, 0) == 0; }) >=
               static_cast<std::ptrdiff_t>(count);
    });
}

bool GameHarness::waitForReportDepth(std::int32_t depth)
{
    return waitUntil([&] {
        const std::vector<ThinkingReport> reports = gui.reports();
        return std::any_of(reports.begin(), reports.end(), [&](const ThinkingReport& r) { return r.depth >= depth; });
    });
}

std::string GameHarness::fen() { return fenOf(game.board()); }

std::vector<std::string> quietOpening(std::size_t halfMoves)
{
    static const char* const moves[] = {
        "e2e4", "e7e5", "g1f3", "b8c6", "f1b5", "a7a6", "b5a4", "g8f6", "e1g1", "f8e7",
        "f1e1", "b7b5", "a4b3", "d7d6", "c2c3", "e8g8", "h2h3", "c6b8", "d2d4", "b8d7",
        "b1d2", "c8b7", "b3c2", "f8e8", "d2f1", "e7f8", "f1g3", "g7g6", "a2a4", "c7c5",
        "d4d5", "c5c4", "c1g5", "h7h6", "g5e3", "d7c5", "d1d2", "h6h5", "e3g5", "f8e7",
    };
    return {moves, moves + std::min<std::size_t>(halfMoves, 40)};
}

bool waitUntil(const std::function<bool()>& done)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(GENEROUS_WAIT_MS);
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

std::vector<std::string> movesOf(const std::vector<std::string>& events)
{
    std::vector<std::string> moves;
    for (const std::string& event : events) {
        if (event.rfind("move ", 0) == 0)
            moves.push_back(event.substr(5));
    }
    return moves;
}

void ownMoveDepth(Game_class& game, std::uint32_t depth)
{
    PlayOptions options = game.options();
    options.depthLimit = depth;
    game.setOptions(options);
}
