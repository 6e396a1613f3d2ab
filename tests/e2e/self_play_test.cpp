// Whole games between two xboard engines through the self-play relay.
#include <gtest/gtest.h>

#include <iostream>

#include "support/engine_process.h"
#include "support/self_play.h"

namespace {

// Ended by the rules: no illegal move or claim, no time forfeit and no crash.
void expectPlayedOut(const GameRecord& game, const std::string& title)
{
    EXPECT_LT(game.reason, EndReason::Illegal) << game.summary();
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
    for (int version : {1, 2}) {   // 5 s a side plus 0.1 s a move, cut off after 160 half-moves
        expectPlayedOut(playGame({.white = {kelpBinary()}, .black = {kelpBinary()}, .protocolVersion = version,
                                  .movesPerSession = 0, .baseMs = 5000, .incrementMs = 100, .maxPlies = 160,
                                  .moveTimeoutMs = 10000}),
                        "Kelp vs Kelp, protocol " + std::to_string(version));
    }
}

// The relay's checks have teeth: an engine in shell that answers "go" with an
// illegal move, then one with a false claim, loses by it.
TEST(SelfPlay, RelayBlamesRuleBreakers)
{
    for (const char* answer : {"move e2e5", "1-0 {White mates}"}) {
        const std::string script = std::string("while read -r l; do case \"$l\" in go) echo '") + answer +
                                   "';; quit) exit 0;; esac; done";
        const GameRecord game = playGame({.white = {"/bin/sh", {"-c", script}}, .black = {"/bin/sh", {"-c", script}},
                                          .protocolVersion = 1, .maxPlies = 10, .moveTimeoutMs = 2000});
        EXPECT_EQ(game.reason, EndReason::Illegal) << game.summary();
        EXPECT_EQ(game.result, "0-1") << game.summary();
    }
}
