// Whole games between two xboard engines through the self-play relay, and the
// relay's own verdicts on engines that break the rules.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <iostream>
#include <sstream>
#include <unistd.h>

#include "support/engine_process.h"
#include "support/self_play.h"

namespace {

// Full path of an installed program (PATH, then /usr/games), or empty.
std::string findProgram(const std::string& name)
{
    std::string dirs = std::getenv("PATH") ? std::getenv("PATH") : "";
    dirs += ":/usr/games";
    std::istringstream in(dirs);
    for (std::string dir; std::getline(in, dir, ':');) {
        const std::string path = (dir.empty() ? "." : dir) + "/" + name;
        if (access(path.c_str(), X_OK) == 0)
            return path;
    }
    return {};
}

EngineSpec kelp() { return {kelpBinary(), {}}; }
EngineSpec fairyMax() { return {findProgram("fairymax"), {}}; }

// A tiny engine written in shell: `cases` are case-patterns with actions run
// for each line received; "quit" ends it with status 0.
EngineSpec scriptedEngine(const std::string& cases)
{
    return {"/bin/sh", {"-c", "while read -r l; do case \"$l\" in " + cases + " quit) exit 0;; esac; done"}};
}

GameSetup scriptedGame(const std::string& whiteCases, const std::string& blackCases, int version = 1)
{
    GameSetup setup;
    setup.white = scriptedEngine(whiteCases);
    setup.black = scriptedEngine(blackCases);
    setup.protocolVersion = version;
    setup.moveTimeoutMs = 2000;
    setup.handshakeTimeoutMs = 2000;
    return setup;
}

bool endedProperly(const GameRecord& game)
{
    switch (game.reason) {
    case EndReason::Result:
    case EndReason::Resign:
    case EndReason::Mate:
    case EndReason::Stalemate:
    case EndReason::MoveLimit:
        return game.atFault == Side::None;
    default:
        return false;
    }
}

// A fast game: 5 s a side plus 0.1 s a move, cut off after 160 half-moves.
GameSetup fastGame(const EngineSpec& white, const EngineSpec& black, int version)
{
    GameSetup setup;
    setup.white = white;
    setup.black = black;
    setup.protocolVersion = version;
    setup.timeControl = {0, 5000, 100};   // "level 0 0:05 0.1"
    setup.maxPlies = 160;
    setup.moveTimeoutMs = 10000;
    return setup;
}

void expectPlayedOut(const GameRecord& game, const std::string& title)
{
    EXPECT_TRUE(endedProperly(game)) << game.summary();
    EXPECT_FALSE(game.moves.empty()) << game.summary();
    EXPECT_EQ(game.whiteExit, 0) << game.summary();
    EXPECT_EQ(game.blackExit, 0) << game.summary();
    EXPECT_LT(game.durationMs, 90000) << game.summary();
    std::cout << "[ game     ] " << title << ": " << game.result << " {" << game.comment << "} by "
              << endReasonName(game.reason) << " after " << game.moves.size() << " plies in "
              << game.durationMs << " ms\n";
}

class SelfPlayGame : public ::testing::TestWithParam<int> {};

// Two Kelp processes play each other; the relay checks every move and claim.
TEST_P(SelfPlayGame, KelpAgainstItselfEndsByTheRulesWithEveryMoveLegal)
{
    const GameRecord game = playGame(fastGame(kelp(), kelp(), GetParam()));
    expectPlayedOut(game, "Kelp vs Kelp, protocol " + std::to_string(GetParam()));
}

INSTANTIATE_TEST_SUITE_P(Protocol, SelfPlayGame, ::testing::Values(1, 2),
                         [](const ::testing::TestParamInfo<int>& info) {
                             return "Version" + std::to_string(info.param);
                         });

// Another engine's moves and clock commands, with Kelp on Black in version 1.
TEST(SelfPlayOpponent, FairyMaxAgainstKelpEndsByTheRules)
{
    const EngineSpec opponent = fairyMax();
    if (opponent.binary.empty())
        GTEST_SKIP() << "fairymax is not installed (apt-get install fairymax)";
    const GameRecord game = playGame(fastGame(opponent, kelp(), 1));
    expectPlayedOut(game, "Fairy-Max vs Kelp, protocol 1");
}

// The relay itself, against scripted engines that need nothing installed.
TEST(SelfPlayRelay, LevelCommandsAreWrittenAsXboardWritesThem)
{
    EXPECT_EQ((TimeControl{40, 60000, 0}.levelCommand()), "level 40 1 0");
    EXPECT_EQ((TimeControl{40, 5000, 0}.levelCommand()), "level 40 0:05 0");
    EXPECT_EQ((TimeControl{0, 90000, 2000}.levelCommand()), "level 0 1:30 2");
    EXPECT_EQ((TimeControl{0, 5000, 100}.levelCommand()), "level 0 0:05 0.1");
    EXPECT_EQ((TimeControl{0, 5000, 250}.levelCommand()), "level 0 0:05 0.25");
}

TEST(SelfPlayRelay, MateIsFoundAndTheMovesReachTheOpponentInBothDialects)
{
    // Fool's mate. Version 2 engines that ask for usermove get "usermove X".
    for (int version : {1, 2}) {
        const GameRecord game = playGame(scriptedGame(
            "*protover*) echo 'feature usermove=1 done=1';; go) echo 'move f2f3';; *e7e5) echo 'move g2g4';;",
            "*protover*) echo 'feature usermove=1 done=1';; *f2f3) echo 'move e7e5';; *g2g4) echo 'move d8h4';;",
            version));
        EXPECT_EQ(game.reason, EndReason::Mate) << game.summary();
        EXPECT_EQ(game.result, "0-1") << game.summary();
        EXPECT_EQ(game.moves, (std::vector<std::string>{"f2f3", "e7e5", "g2g4", "d8h4"})) << game.summary();
        EXPECT_EQ(game.whiteExit, 0);
        EXPECT_EQ(game.blackExit, 0);
        const std::string relayed = version == 2 ? "B> usermove g2g4" : "B> g2g4";
        EXPECT_NE(std::find(game.log.begin(), game.log.end(), relayed), game.log.end()) << game.summary();
    }
}

TEST(SelfPlayRelay, BareMovesGoToVersionTwoEnginesThatDidNotAskForUsermove)
{
    const GameRecord game = playGame(scriptedGame(
        "*protover*) echo 'feature done=0'; echo 'feature myname=\"x\" done=1';; go) echo 'move f2f3';; "
        "e7e5) echo 'move g2g4';;",
        "*protover*) echo 'feature done=1';; f2f3) echo 'move e7e5';; g2g4) echo 'move d8h4';;", 2));
    EXPECT_EQ(game.reason, EndReason::Mate) << game.summary();
}

TEST(SelfPlayRelay, RuleBreakersLoseAndAreBlamed)
{
    struct Case {
        const char* white;
        const char* black;
        EndReason reason;
        Side fault;
        const char* result;
    };
    const Case cases[] = {
        {"go) echo 'move e2e5';;", "", EndReason::Illegal, Side::White, "0-1"},
        {"go) echo 'move e2e4';;", "e2e4) echo 'Illegal move: e2e4';;", EndReason::Illegal, Side::Black, "1-0"},
        {"go) echo 'move e2e4';;", "e2e4) echo 'move e7e5'; echo 'move d7d5';;", EndReason::Illegal, Side::Black, "1-0"},
        {"go) echo '1-0 {White mates}';;", "", EndReason::Illegal, Side::White, "0-1"},
        {"go) echo '1/2-1/2 {Draw by repetition}';;", "", EndReason::Illegal, Side::White, "0-1"},
        {"go) exit 3;;", "", EndReason::Crash, Side::White, "0-1"},
        {"", "", EndReason::Timeout, Side::White, "0-1"},
        {"go) echo 'move e2e4';;", "e2e4) echo resign;;", EndReason::Resign, Side::None, "1-0"},
        {"go) echo '0-1 {White resigns}';;", "", EndReason::Result, Side::None, "0-1"},
    };
    for (const Case& c : cases) {
        const GameRecord game = playGame(scriptedGame(c.white, c.black));
        EXPECT_EQ(game.reason, c.reason) << c.white << " / " << c.black << "\n" << game.summary();
        EXPECT_EQ(game.atFault, c.fault) << c.white << " / " << c.black << "\n" << game.summary();
        EXPECT_EQ(game.result, c.result) << c.white << " / " << c.black << "\n" << game.summary();
    }
}

TEST(SelfPlayRelay, MoveLimitStopsAnEndlessGame)
{
    GameSetup setup = scriptedGame("go|f6g8) echo 'move g1f3';; g8f6) echo 'move f3g1';;",
                                   "g1f3) echo 'move g8f6';; f3g1) echo 'move f6g8';;");
    setup.maxPlies = 10;
    const GameRecord game = playGame(setup);
    EXPECT_EQ(game.reason, EndReason::MoveLimit) << game.summary();
    EXPECT_EQ(game.result, "*");
    EXPECT_EQ(game.moves.size(), 10u);
}

} // namespace
