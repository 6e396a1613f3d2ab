#pragma once
// A game controller wired to a recording front end, for tests that drive the
// controller and its search cycle directly.

#include <functional>
#include <string>
#include <vector>

#include "game/game.h"
#include "support/recording_gui.h"

// 30 seconds is far more than any wait below should take, even under a sanitizer.
constexpr int GENEROUS_WAIT_MS = 30000;

class GameHarness {
public:
    explicit GameHarness(const ReleaseProfile& release = currentRelease());

    // Plays moves without thinking or answering; each must be accepted.
    void force(const std::vector<std::string>& moves);
    // The recorded announcements that start with `prefix` ("move", "result", ...).
    std::vector<std::string> eventsStarting(const std::string& prefix);
    // Waits until `count` announcements starting with `prefix` are recorded.
    bool waitForEvents(const std::string& prefix, std::size_t count = 1, int timeoutMs = GENEROUS_WAIT_MS);
    // Waits until the search has sent a thinking report of at least `depth`.
    bool waitForReportDepth(std::int32_t depth, int timeoutMs = GENEROUS_WAIT_MS);
    // FEN of the game board (close the search cycle first).
    std::string fen();

    RecordingGui gui;   // declared first: the game talks to it until it is destroyed
    Game_class game;
};

// The first half-moves (at most 40) of a quiet opening without a repeated position.
std::vector<std::string> quietOpening(std::size_t halfMoves = 40);

// Polls until done() holds; false when timeoutMs passed first.
bool waitUntil(const std::function<bool()>& done, int timeoutMs = GENEROUS_WAIT_MS);

// The move texts of "move ..." announcements, in order.
std::vector<std::string> movesOf(const std::vector<std::string>& events);
