#include "support/repro_stream.h"

#include <chrono>
#include <string>
#include <thread>

#include "app/config.h"
#include "game/game.h"
#include "support/recording_gui.h"

namespace {

constexpr std::uint32_t REPRO_DEPTH = 4;

// Thinks with no time limit that matters; the search ends at its depth and
// plays its move. Returns the node count.
std::uint32_t think(Game_class& game, RecordingGui& gui)
{
    const std::size_t before = gui.events().size();
    game.startThinking();
    for (;;) {
        const auto events = gui.events();
        bool moved = false;
        for (std::size_t i = before; i < events.size(); ++i)
            moved |= events[i].rfind("move ", 0) == 0 || events[i].rfind("result", 0) == 0;
        if (moved)
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    game.stopAll();   // joins the finished cycle
    return game.search()->nodeCount();
}

} // namespace

std::vector<std::uint32_t> runReproStream()
{
    RecordingGui gui;
    Config_class config;
    Game_class game(&gui, &config, currentRelease());
    game.init();
    game.search()->setDepthLimit(REPRO_DEPTH);
    std::vector<std::uint32_t> nodes;

    game.newGame();
    game.setLevel(0, 10000, 0);   // budgets far beyond any depth-limited search
    game.playMoveWhenDone = true;
    game.thinkAfterUserMove = false;
    for (const char* move : {"e2e4", "e7e5", "g1f3"})
        game.userMove(move);
    nodes.push_back(think(game, gui));   // Black replies
    game.userMove("f1c4");
    nodes.push_back(think(game, gui));
    game.takeBackTwo();
    nodes.push_back(think(game, gui));   // White again, after the take-back
    game.setPosition("r1b1k2r/ppppqppp/2n2n2/2b1p3/2B1P3/2NP1N2/PPP2PPP/R1BQK2R w KQkq - 1 6");
    nodes.push_back(think(game, gui));
    nodes.push_back(think(game, gui));   // the other side, with killers and preferred moves kept
    return nodes;
}
