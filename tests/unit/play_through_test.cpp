// A whole game of the engine against itself through one game controller, as
// "go" after every move would have it, with every move checked by a referee
// and every result checked against the position it was announced in.
#include <gtest/gtest.h>

#include <iostream>

#include "protocol/result_lines.h"
#include "support/game_harness.h"
#include "support/referee.h"

TEST(PlayThrough, OneControllerPlaysBothSides)
{
    GameHarness h;
    h.game.setTimeLeft(4);   // 50 ms a move
    Referee referee;
    bool over = false;
    while (!over && referee.plies() < 300) {   // a game still going then is adjudicated
        const std::size_t announced = h.gui.events().size();
        h.game.playMoveWhenDone = true;
        h.game.startThinking();
        ASSERT_TRUE(h.waitForEvents("", announced + 1)) << "no answer after " << referee.plies() << " plies";
        h.game.stopAll();   // the turn is complete: its move and what followed it
        const std::vector<std::string> events = h.gui.events();
        const bool moved = events[announced].rfind("move ", 0) == 0;
        std::string why;
        if (moved) {
            ASSERT_TRUE(referee.play(events[announced].substr(5), why)) << why;
        }
        for (std::size_t next = announced + (moved ? 1 : 0); next < events.size(); ++next) {
            over = true;
            if (events[next] == "resign")
                continue;
            ASSERT_EQ(events[next].rfind("result ", 0), 0u) << events[next];
            // Announced by the side that just moved, or, with no move, by the side to move.
            const Colour side = moved ? otherColour(referee.sideToMove()) : referee.sideToMove();
            const char* line = resultLine(static_cast<ResultCode>(std::stoul(events[next].substr(7))));
            ASSERT_NE(line, nullptr) << events[next];
            EXPECT_TRUE(referee.claimHolds(line, side, why)) << why;
        }
    }
    EXPECT_GT(referee.plies(), 0u);
    EXPECT_EQ(h.game.historyCount(), referee.plies());
    EXPECT_EQ(h.fen(), referee.fen());
    std::cout << "[ game     ] " << referee.plies() << " plies, ended in " << referee.fen() << "\n";
}
