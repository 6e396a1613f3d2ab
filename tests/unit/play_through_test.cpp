// Whole games of the engine against itself through the game controller, with
// every move checked by a referee and every result checked against the
// position it was announced in.
#include <gtest/gtest.h>

#include <iostream>
#include <string>
#include <vector>

#include "protocol/result_lines.h"
#include "support/game_harness.h"
#include "support/referee.h"

namespace {

constexpr std::size_t PLY_LIMIT = 300;   // a game still going then is adjudicated

bool endsTheGame(const std::string& event)
{
    return event == "resign" || event.compare(0, 7, "result ") == 0;
}

bool hasEnded(GameHarness& h)
{
    for (const std::string& event : h.gui.events()) {
        if (endsTheGame(event))
            return true;
    }
    return false;
}

std::string joined(const std::vector<std::string>& moves)
{
    std::string text;
    for (const std::string& move : moves)
        text += move + " ";
    return text;
}

// A result announced by the player of `side` holds in the referee's position.
void expectClaimHolds(const std::string& event, Colour side, Referee& referee,
                      const std::vector<std::string>& moves)
{
    if (event.compare(0, 7, "result ") != 0)
        return;   // resigning is always allowed
    const char* line = resultLine(static_cast<std::uint32_t>(std::stoul(event.substr(7))));
    ASSERT_NE(line, nullptr) << event;
    std::string why;
    EXPECT_TRUE(referee.claimHolds(line, side, why)) << why << "\nafter " << joined(moves);
}

void setUpPlayer(GameHarness& h)
{
    h.game.thinkAfterUserMove = true;
    h.game.playMoveWhenDone = true;
    h.game.setTimeLeft(4);   // 50 ms a move
}

} // namespace

// Two controllers, as two engines under one interface: each move is passed on
// at once, while the side that played it is still finishing its turn.
TEST(PlayThrough, TwoControllersPlayAGameAgainstEachOther)
{
    GameHarness white;
    GameHarness black;
    setUpPlayer(white);
    setUpPlayer(black);
    GameHarness* players[2] = {&white, &black};
    std::size_t passedOn[2] = {0, 0};
    Referee referee;
    std::vector<std::string> played;

    // Every move a side has announced goes to the referee and to the other side.
    auto passOn = [&](int side, const std::string& move) {
        std::string why;
        ASSERT_TRUE(referee.play(move, why)) << why;
        played.push_back(move);
        ++passedOn[side];
        ASSERT_EQ(players[1 - side]->game.userMove(move.c_str()), MOVE_ACCEPTED) << move;
    };
    auto nextMove = [&](int side) {
        const std::vector<std::string> moves = movesOf(players[side]->gui.events());
        return moves.size() > passedOn[side] ? moves[passedOn[side]] : std::string();
    };

    white.game.startThinking();
    bool over = false;
    while (!over && referee.plies() < PLY_LIMIT) {
        const int mover = referee.sideToMove() == WHITE ? 0 : 1;
        std::string move;
        ASSERT_TRUE(waitUntil([&] {
            move = nextMove(mover);
            over = hasEnded(white) || hasEnded(black);
            return over || !move.empty();
        })) << "no answer after " << referee.plies() << " plies";
        if (!move.empty())
            passOn(mover, move);   // a move announced with the end of the game is still played
        over = hasEnded(white) || hasEnded(black);
    }
    for (GameHarness* player : players) {
        player->game.playMoveWhenDone = false;   // nothing more is played
        player->game.thinkAfterUserMove = false;
        player->game.stopAll();
    }
    // A move that crossed the end of the game (after the other side resigned).
    for (int side = 0; side < 2; ++side) {
        const std::string move = nextMove(side);
        if (!move.empty() && referee.sideToMove() == (side == 0 ? WHITE : BLACK))
            passOn(side, move);
    }

    EXPECT_GT(referee.plies(), 0u);
    for (int side = 0; side < 2; ++side) {
        GameHarness& player = *players[side];
        EXPECT_TRUE(nextMove(side).empty());
        EXPECT_EQ(player.game.historyCount(), referee.plies());
        EXPECT_EQ(player.fen(), referee.fen());
        for (const std::string& event : player.gui.events())
            expectClaimHolds(event, side == 0 ? WHITE : BLACK, referee, played);
    }
    std::cout << "[ game     ] " << referee.plies() << " plies, ended in " << referee.fen() << "\n";
}

// One controller taking both sides, as "go" after every move would have it.
TEST(PlayThrough, OneControllerPlaysBothSides)
{
    GameHarness h;
    setUpPlayer(h);
    Referee referee;
    std::vector<std::string> played;
    bool over = false;
    while (!over && referee.plies() < PLY_LIMIT) {
        const std::size_t announced = h.gui.events().size();
        h.game.startThinking();
        ASSERT_TRUE(h.waitForEvents("", announced + 1)) << "no answer after " << referee.plies() << " plies";
        h.game.stopAll();   // the turn is complete: its move and what followed it
        const std::vector<std::string> events = h.gui.events();
        std::size_t next = announced;
        if (events[next].compare(0, 5, "move ") == 0) {
            std::string why;
            ASSERT_TRUE(referee.play(events[next].substr(5), why)) << why;
            played.push_back(events[next].substr(5));
            ++next;
        }
        for (; next < events.size(); ++next) {
            ASSERT_TRUE(endsTheGame(events[next])) << events[next];
            // Announced by the side that just moved, or, with no move, by the side to move.
            const bool moved = next > announced && events[announced].compare(0, 5, "move ") == 0;
            const Colour side = moved ? otherColour(referee.sideToMove()) : referee.sideToMove();
            expectClaimHolds(events[next], side, referee, played);
            over = true;
        }
    }
    EXPECT_GT(referee.plies(), 0u);
    EXPECT_EQ(h.game.historyCount(), referee.plies());
    EXPECT_EQ(h.fen(), referee.fen());
    std::cout << "[ game     ] " << referee.plies() << " plies, ended in " << referee.fen() << "\n";
}
