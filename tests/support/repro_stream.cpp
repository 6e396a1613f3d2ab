#include "support/repro_stream.h"

#include "support/game_harness.h"

std::vector<std::uint64_t> runReproStream()
{
    GameHarness h;
    ownMoveDepth(h.game, 4);
    h.game.setLevel(0, 10000, 0);   // budgets far beyond any depth-limited search
    std::vector<std::uint64_t> nodes;
    // The engine thinks until its depth, plays its move, and the search's node count is noted.
    auto think = [&] {
        const std::size_t before = h.gui.events().size();
        h.game.playMoveWhenDone = true;
        h.game.startThinking();
        waitUntil([&] { return h.gui.events().size() > before; });
        h.game.stopAll();   // joins the finished cycle
        nodes.push_back(h.game.search()->nodeCount());
    };
    h.force({"e2e4", "e7e5", "g1f3"});
    think();   // Black replies
    h.force({"f1c4"});
    think();
    h.game.takeBackTwo();
    think();   // White again, after the take-back
    h.game.setPosition("r1b1k2r/ppppqppp/2n2n2/2b1p3/2B1P3/2NP1N2/PPP2PPP/R1BQK2R w KQkq - 1 6");
    think();
    think();   // the other side, with killers and preferred moves kept
    return nodes;
}
