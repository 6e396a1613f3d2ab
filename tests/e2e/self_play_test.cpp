// Whole games between two xboard engines through the self-play relay.
#include <gtest/gtest.h>

#include <iostream>
#include <unistd.h>

#include "support/engine_process.h"
#include "support/self_play.h"

namespace {

// A fast game: 5 s a side plus 0.1 s a move, cut off after 160 half-moves.
GameRecord fastGame(const EngineSpec& white, const EngineSpec& black, int version)
{
    GameSetup setup{white, black, version, {0, 5000, 100}, 160, 10000};
    return playGame(setup);
}

void expectPlayedOut(const GameRecord& game, const std::string& title)
{
    const bool byTheRules = game.reason != EndReason::Illegal && game.reason != EndReason::Timeout &&
                            game.reason != EndReason::Crash;
    EXPECT_TRUE(byTheRules && game.atFault == Side::None) << game.summary();
    EXPECT_FALSE(game.moves.empty()) << game.summary();
    EXPECT_EQ(game.whiteExit, 0) << game.summary();
    EXPECT_EQ(game.blackExit, 0) << game.summary();
    std::cout << "[ game     ] " << title << ": " << game.result << " {" << game.comment << "} by "
              << endReasonName(game.reason) << " after " << game.moves.size() << " plies\n";
}

} // namespace

// Two Kelp processes play each other; the relay checks every move and claim.
TEST(SelfPlay, KelpAgainstItselfInBothDialects)
{
    for (int version : {1, 2})
        expectPlayedOut(fastGame({kelpBinary()}, {kelpBinary()}, version),
                        "Kelp vs Kelp, protocol " + std::to_string(version));
}

// Another engine's moves and clock commands, with Kelp on Black in version 1.
TEST(SelfPlay, FairyMaxAgainstKelp)
{
    const char* const fairyMax = "/usr/games/fairymax";
    if (access(fairyMax, X_OK) != 0)
        GTEST_SKIP() << "fairymax is not installed (apt-get install fairymax)";
    expectPlayedOut(fastGame({fairyMax}, {kelpBinary()}, 1), "Fairy-Max vs Kelp, protocol 1");
}

// The relay's checks have teeth: an engine in shell that answers "go" with an
// illegal move, then one with a false claim, loses and is blamed.
TEST(SelfPlay, RelayBlamesRuleBreakers)
{
    for (const char* answer : {"move e2e5", "1-0 {White mates}"}) {
        const std::string script = std::string("while read -r l; do case \"$l\" in go) echo '") + answer +
                                   "';; quit) exit 0;; esac; done";
        GameSetup setup{{"/bin/sh", {"-c", script}}, {"/bin/sh", {"-c", script}}, 1, {}, 10, 2000};
        const GameRecord game = playGame(setup);
        EXPECT_EQ(game.reason, EndReason::Illegal) << game.summary();
        EXPECT_EQ(game.atFault, Side::White) << game.summary();
        EXPECT_EQ(game.result, "0-1") << game.summary();
    }
}
