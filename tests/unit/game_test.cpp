// The game controller: opponent moves, the end-of-game rules, the engine's own
// move, take-backs and positions from the interface.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "board/move.h"
#include "support/board_helpers.h"
#include "support/game_harness.h"

namespace {

const std::vector<std::string> kKnightsOutAndBack = {"g1f3", "g8f6", "f3g1", "f6g8"};

// Plays as the engine with a search that stops by itself after `depth`
// iterations (the budget is far longer), and closes the cycle.
void thinkToDepth(GameHarness& h, std::uint32_t depth)
{
    h.game.setLevel(0, 600, 0);
    h.game.search()->setDepthLimit(depth);
    h.game.playMoveWhenDone = true;
    h.game.startThinking();
    ASSERT_TRUE(h.waitForEvents(""));   // a move, or a result when there is none
    h.game.stopAll();
}

} // namespace

TEST(GameMoves, IllegalMoveTextIsRefusedAndTheEngineDoesNotThink)
{
    GameHarness h;
    h.game.playMoveWhenDone = true;   // playing: an accepted move would start a search
    for (const char* text : {"e2e5", "e7e5", "xyz", "", "e1g1"}) {
        h.gui.clear();
        EXPECT_EQ(h.game.userMove(text), MOVE_REJECTED) << text;
        EXPECT_EQ(h.gui.events(), std::vector<std::string>{"error 0 " + std::string(text)});
        EXPECT_FALSE(h.game.cycleOpen()) << text;
    }
    EXPECT_EQ(h.game.historyCount(), 0u);
    EXPECT_EQ(h.fen(), START_FEN);
    EXPECT_EQ(h.game.sideToMove(), WHITE);
}

TEST(GameMoves, OnlyBlackMovesCountFullMoves)
{
    GameHarness h;
    h.force({"e2e4"});
    EXPECT_EQ(h.game.board().fullmoveNumber, 1);
    EXPECT_EQ(h.game.sideToMove(), BLACK);
    h.force({"e7e5"});
    EXPECT_EQ(h.game.board().fullmoveNumber, 2);
    EXPECT_EQ(h.game.historyCount(), 2u);
    EXPECT_EQ(h.fen(), "rnbqkbnr/pppp1ppp/8/4p3/4P3/8/PPPP1PPP/RNBQKBNR w KQkq e6 0 2");
}

TEST(GameMoves, SettingTheSideToMoveKeepsTheKeyRight)
{
    GameHarness h;
    h.game.setSideToMove(BLACK);
    EXPECT_EQ(h.game.board().hashKey, h.game.board().computedHashKey());
    h.force({"e7e5"});
    EXPECT_EQ(h.game.board().hashKey, h.game.board().computedHashKey());
    EXPECT_EQ(h.game.sideToMove(), WHITE);
}

TEST(GameEnd, SecondOccurrenceOnlyMarksThePositionAsADraw)
{
    GameHarness h;
    h.force(kKnightsOutAndBack);   // the start position stands for the second time
    const HashEntry* entry = h.game.hashTable()->findEntry(h.game.board().hashKey);
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->flags, static_cast<std::uint32_t>(HASH_FIXED));
    EXPECT_TRUE(h.gui.events().empty());

    // The game goes on: the engine answers such a move.
    h.game.newGame();
    h.force({"g1f3", "g8f6", "f3g1"});
    h.game.setTimeLeft(4);
    h.game.thinkAfterUserMove = true;
    h.game.playMoveWhenDone = true;
    EXPECT_EQ(h.game.userMove("f6g8"), MOVE_ACCEPTED);
    ASSERT_TRUE(h.waitForEvents("move"));
    h.game.stopAll();
    EXPECT_TRUE(h.eventsStarting("result").empty());
}

TEST(GameEnd, ThirdOccurrenceAfterAnOpponentMoveEndsTheGameWithoutAReply)
{
    GameHarness h;
    h.force(kKnightsOutAndBack);
    h.force({"g1f3", "g8f6", "f3g1"});
    h.game.thinkAfterUserMove = true;
    h.game.playMoveWhenDone = true;
    EXPECT_EQ(h.game.userMove("f6g8"), MOVE_ACCEPTED);
    EXPECT_EQ(h.gui.events(), std::vector<std::string>{"result 3"});
    EXPECT_FALSE(h.game.cycleOpen());
}

TEST(GameEnd, KingAndKnightAgainstKingIsADrawButTwoKnightsAreNot)
{
    GameHarness lone;
    lone.game.setPosition("4k3/8/8/8/8/5p2/8/4K1N1 w - - 0 50");
    lone.game.playMoveWhenDone = true;
    EXPECT_EQ(lone.game.userMove("g1f3"), MOVE_ACCEPTED);
    EXPECT_EQ(lone.gui.events(), std::vector<std::string>{"result 5"});
    EXPECT_FALSE(lone.game.cycleOpen());

    GameHarness two;
    two.game.setPosition("4k3/8/8/8/8/5p2/8/1N2K1N1 w - - 0 50");
    two.game.setTimeLeft(4);
    two.game.playMoveWhenDone = true;
    EXPECT_EQ(two.game.userMove("g1f3"), MOVE_ACCEPTED);
    ASSERT_TRUE(two.waitForEvents("move"));   // the engine plays on
    two.game.stopAll();
    EXPECT_TRUE(two.eventsStarting("result").empty());
}

TEST(GameEnd, HundredthQuietHalfMoveIsADraw)
{
    GameHarness h;
    h.game.setPosition("4k3/8/8/8/8/8/4P3/4K3 w - - 98 80");
    h.force({"e1d1"});
    EXPECT_TRUE(h.gui.events().empty());   // 99
    h.force({"e8d8"});
    EXPECT_EQ(h.gui.events(), std::vector<std::string>{"result 4"});
}

TEST(GameEnd, StalemateAfterTheOpponentMove)
{
    GameHarness h;
    h.game.setPosition("k7/8/1K6/8/8/8/8/2Q5 w - - 0 60");
    h.game.playMoveWhenDone = true;
    EXPECT_EQ(h.game.userMove("c1c7"), MOVE_ACCEPTED);
    EXPECT_EQ(h.gui.events(), std::vector<std::string>{"result 2"});
    EXPECT_FALSE(h.game.cycleOpen());
}

TEST(EngineMove, ResignsBelowMinus1492Only)
{
    // Two positions whose depth-1 scores sit on either side of the threshold.
    struct Case {
        const char* fen;
        std::int32_t score;
        bool resigns;
    };
    for (const Case& c : {Case{"k7/1p6/5p2/8/6Q1/8/6PP/2R3K1 b - - 0 40", -1492, false},
                          Case{"k7/1p6/4p3/7Q/8/8/6PP/2R3K1 b - - 0 40", -1493, true}}) {
        GameHarness h;
        h.game.setPosition(c.fen);
        thinkToDepth(h, 1);
        ASSERT_EQ(h.game.search()->bestScore(), c.score) << "the evaluation changed; pick new positions";
        const std::vector<std::string> events = h.gui.events();
        ASSERT_FALSE(events.empty());
        EXPECT_EQ(events[0].compare(0, 5, "move "), 0);
        EXPECT_EQ(h.eventsStarting("resign").size(), c.resigns ? 1u : 0u) << c.fen;
        if (c.resigns) {
            EXPECT_EQ(events.back(), "resign");   // after the move
        }
    }
}

TEST(EngineMove, MateGivenAsBlackAnnouncesBlackMates)
{
    GameHarness h;
    h.game.setPosition("r5k1/5ppp/8/8/8/8/5PPP/6K1 b - - 0 30");
    thinkToDepth(h, 256);
    EXPECT_EQ(h.gui.events(), (std::vector<std::string>{"move a8a1", "result 1"}));
    EXPECT_EQ(h.game.historyCount(), 1u);
}

TEST(EngineMove, MateGivenAsWhiteAnnouncesWhiteMates)
{
    GameHarness h;
    h.game.setPosition("6k1/5ppp/8/8/8/8/5PPP/R5K1 w - - 0 30");
    thinkToDepth(h, 256);
    EXPECT_EQ(h.gui.events(), (std::vector<std::string>{"move a1a8", "result 0"}));
}

TEST(EngineMove, NoLegalMoveAnnouncesTheOpponentsResultInsteadOfAMove)
{
    GameHarness mated;
    mated.game.setPosition("R5k1/5ppp/8/8/8/8/5PPP/6K1 b - - 0 30");
    thinkToDepth(mated, 256);
    EXPECT_EQ(mated.gui.events(), std::vector<std::string>{"result 0"});
    EXPECT_EQ(mated.game.historyCount(), 0u);

    GameHarness stalemated;
    stalemated.game.setPosition("k7/2Q5/1K6/8/8/8/8/8 b - - 0 60");
    thinkToDepth(stalemated, 256);
    EXPECT_EQ(stalemated.gui.events(), std::vector<std::string>{"result 2"});
}

TEST(TakeBack, TwoHalfMovesReturnToTheSamePlayer)
{
    GameHarness h;
    h.force({"e2e4", "e7e5", "g1f3"});
    h.game.takeBackTwo();
    EXPECT_EQ(h.game.historyCount(), 1u);
    EXPECT_EQ(h.game.sideToMove(), BLACK);
    EXPECT_EQ(h.fen(), "rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3 0 1");
    h.force({"c7c5"});   // the game goes on from there
    EXPECT_EQ(h.game.board().fullmoveNumber, 2);
}

TEST(TakeBack, OneHalfMoveIsTakenBackAndTheMoveNumberStillDrops)
{
    GameHarness h;
    h.force({"e2e4"});
    h.game.takeBackTwo();
    EXPECT_EQ(h.game.historyCount(), 0u);
    EXPECT_EQ(h.game.sideToMove(), WHITE);
    EXPECT_EQ(h.fen(), "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 0");
}

TEST(TakeBack, NeverGoesBehindAPositionFromTheInterface)
{
    GameHarness h;
    h.force({"e2e4", "e7e5"});
    const char* fen = "4k3/8/8/8/8/8/4P3/4K3 w - - 0 30";
    h.game.setPosition(fen);
    h.game.takeBackTwo();
    EXPECT_EQ(h.fen(), "4k3/8/8/8/8/8/4P3/4K3 w - - 0 29");
    EXPECT_EQ(h.game.historyCount(), 2u);
    h.force({"e2e4", "e8d7"});
    h.game.takeBackTwo();
    EXPECT_EQ(h.fen(), "4k3/8/8/8/8/8/4P3/4K3 w - - 0 29");
}

TEST(Positions, RejectedTextLeavesTheGameAsItWas)
{
    GameHarness h;
    h.force({"e2e4"});
    const std::string before = h.fen();
    for (const char* fen : {"garbage", "", "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP w KQkq - 0 1",
                            "8/8/8/8/8/8/8/K6K w - - 0 1", "rnbq1bnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w - - 0 1"}) {
        h.gui.clear();
        h.game.setPosition(fen);
        EXPECT_EQ(h.gui.events(), std::vector<std::string>{"error 1 "}) << fen;
        EXPECT_EQ(h.fen(), before) << fen;
    }
    EXPECT_EQ(h.game.sideToMove(), BLACK);
    EXPECT_EQ(h.game.historyCount(), 1u);
    h.force({"e7e5"});
}

TEST(Positions, AcceptedTextReplacesTheBoardAndTheSide)
{
    GameHarness h;
    h.game.setPosition("4k3/8/8/8/8/8/4P3/4K3 b - - 3 41");
    EXPECT_TRUE(h.gui.events().empty());
    EXPECT_EQ(h.game.sideToMove(), BLACK);
    EXPECT_EQ(h.fen(), "4k3/8/8/8/8/8/4P3/4K3 b - - 3 41");
    EXPECT_EQ(h.game.userMove("e2e4"), MOVE_REJECTED);
    h.force({"e8d7"});
}

TEST(Positions, EditedBoardNeedsOneKingOfEachColour)
{
    GameHarness h;
    h.force({"e2e4"});
    const std::string before = h.fen();

    auto noBlackKing = boardFrom("4k3/8/8/8/8/8/8/4K3 w - - 0 1");
    noBlackKing->clear();
    Piece_class king;
    king.colour = WHITE;
    king.setType(KING);
    king.square = 4;
    ASSERT_EQ(noBlackKing->addPiece(king), CE_SUCCESS);
    h.game.adoptBoard(*noBlackKing);
    EXPECT_EQ(h.gui.events(), std::vector<std::string>{"error 1 "});
    EXPECT_EQ(h.fen(), before);

    auto twoWhiteKings = boardFrom("4k3/8/8/8/8/8/8/4K3 w - - 0 1");
    king.square = 0;
    ASSERT_EQ(twoWhiteKings->addPiece(king), CE_SUCCESS);
    h.gui.clear();
    h.game.adoptBoard(*twoWhiteKings);
    EXPECT_EQ(h.gui.events(), std::vector<std::string>{"error 1 "});
    EXPECT_EQ(h.fen(), before);

    auto edited = boardFrom("4k3/8/8/8/8/8/8/R3K3 b - - 0 1");
    h.gui.clear();
    h.game.adoptBoard(*edited);
    EXPECT_TRUE(h.gui.events().empty());
    EXPECT_EQ(h.game.sideToMove(), BLACK);
    EXPECT_EQ(h.fen(), fenOf(*edited));
    h.force({"e8d7", "a1a7"});
}

TEST(History, LongGamesKeepWorkingBeyond1024HalfMoves)
{
    GameHarness h;
    h.force({});
    const std::size_t rounds = 300;   // 1200 half-moves of knights going out and back
    for (std::size_t i = 0; i < rounds; ++i) {
        for (const std::string& move : kKnightsOutAndBack)
            ASSERT_EQ(h.game.applyMoveText(move.c_str()), MOVE_ACCEPTED) << i;
    }
    ASSERT_EQ(h.game.historyCount(), 4 * rounds);
    EXPECT_EQ(h.game.board().fullmoveNumber, static_cast<std::int32_t>(1 + 2 * rounds));

    // The game goes on as usual.
    h.gui.clear();
    EXPECT_EQ(h.game.userMove("e2e4"), MOVE_ACCEPTED);
    EXPECT_EQ(h.game.userMove("e7e5"), MOVE_ACCEPTED);
    EXPECT_TRUE(h.gui.events().empty());
    EXPECT_EQ(h.game.historyCount(), 4 * rounds + 2);

    // Every half-move can be taken back again, down to the start position.
    for (std::size_t i = 0; i < 2 * rounds + 1; ++i)
        h.game.takeBackTwo();
    EXPECT_EQ(h.game.historyCount(), 0u);
    char why[256] = "";
    EXPECT_TRUE(h.game.board().isConsistent(why, sizeof why)) << why;
    EXPECT_EQ(h.fen(), START_FEN);
}
