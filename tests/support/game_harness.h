#pragma once
// A game controller wired to a recording front end, for tests that drive the
// controller and its search cycle directly, or to a real front end fed a script.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "app/config.h"
#include "game/game.h"
#include "support/board_helpers.h"
#include "support/memory_streams.h"
#include "support/recording_gui.h"

// 30 seconds is far more than any wait below should take, even under a sanitizer.
constexpr int GENEROUS_WAIT_MS = 30000;

class GameHarness {
public:
    explicit GameHarness(const ReleaseProfile& release = currentRelease());

    // Plays moves without thinking or answering; each must be accepted.
    void force(const std::vector<std::string>& moves);
    // Waits until `count` announcements starting with `prefix` ("move", "result", ...) are recorded.
    bool waitForEvents(const std::string& prefix, std::size_t count = 1);
    // Waits until the search has sent a thinking report of at least `depth`.
    bool waitForReportDepth(std::int32_t depth);
    // FEN of the game board (close the search cycle first).
    std::string fen();

    RecordingGui gui;   // declared first: the game talks to it until it is destroyed
    Game_class game;
};

// The first half-moves (at most 40) of a quiet opening without a repeated position.
std::vector<std::string> quietOpening(std::size_t halfMoves = 40);

// The engine's own moves are searched to `depth` plies (0: no limit).
void ownMoveDepth(Game_class& game, std::uint32_t depth);

// Polls until done() holds; false when GENEROUS_WAIT_MS passed first.
bool waitUntil(const std::function<bool()>& done);

// The move texts of "move ..." announcements, in order.
std::vector<std::string> movesOf(const std::vector<std::string>& events);

// A real front end on a game, fed a whole input script at construction.
template <typename FrontEnd>
struct FrontEndOnGame {
    // `run` plays the script through and returns at its end, as the engine does when its input closes.
    explicit FrontEndOnGame(const std::string& script = "", const ReleaseProfile& release = currentRelease(),
                            std::vector<const char*> options = {})
        : streams(script), frontEnd(streams.input(), streams.output(), release.protocol),
          game(&frontEnd, tableBytes(options, release), release.game)
    {
        EXPECT_TRUE(game.init());
        frontEnd.run(&game);
    }
    std::uint32_t budgetAfter(const char* line)
    {
        frontEnd.dispatchCommand(line);
        return game.moveTimeMs();
    }
    std::string placement() { return fenOf(game.board()).substr(0, fenOf(game.board()).find(' ')); }
    // Output lines after the feature line of version 2.
    std::vector<std::string> said()
    {
        std::vector<std::string> lines = streams.outputLines();
        if (!lines.empty() && lines.front().rfind("feature ", 0) == 0)
            lines.erase(lines.begin());
        return lines;
    }

    // The table size that the command-line options give.
    static std::uint32_t tableBytes(std::vector<const char*> options, const ReleaseProfile& release)
    {
        Config_class config;
        config.parseCommandLine(static_cast<int>(options.size()), options.data());
        return config.tableSizeBytes(release.minHashBytes);
    }

    MemoryStreams streams;
    FrontEnd frontEnd;
    Game_class game;
};
