// The WinBoard and UCI front ends driven line by line on a real game, for the
// commands whose effect is inside the engine (clock, level, edited positions)
// and for the exact texts of the announcement lines.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/release_profile.h"
#include "game/game.h"
#include "protocol/uci_interface.h"
#include "protocol/winboard_v1.h"
#include "protocol/winboard_v2.h"
#include "support/board_helpers.h"
#include "support/memory_streams.h"

namespace {

// A front end on a real game. `script` is the interface's input: `run` plays it
// through and returns at its end, as the engine does when its input closes.
template <typename FrontEnd>
struct FrontEndOnGame {
    explicit FrontEndOnGame(const std::string& script = "", const ReleaseProfile& release = currentRelease())
        : streams(script), frontEnd(streams.input(), streams.output(), release),
          game(&frontEnd, nullptr, release)
    {
        EXPECT_EQ(game.init(), 0);
        frontEnd.run(&game);
    }
    void send(const char* line) { frontEnd.dispatchCommand(line); }
    std::string fen() { return fenOf(game.board()); }
    std::string placement() { return fen().substr(0, fen().find(' ')); }
    // Output lines after the feature line of version 2.
    std::vector<std::string> said()
    {
        std::vector<std::string> lines = streams.outputLines();
        if (!lines.empty() && lines.front().rfind("feature ", 0) == 0)
            lines.erase(lines.begin());
        return lines;
    }

    MemoryStreams streams;
    FrontEnd frontEnd;
    Game_class game;
};

using V1 = FrontEndOnGame<WinBoardInterfaceV1_class>;
using V2 = FrontEndOnGame<WinBoardInterfaceV2_class>;

const std::string kStartPlacement = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR";
const std::string kAfterE4Placement = "rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR";

} // namespace

TEST(WinBoardClock, TimeIsCentisecondsReadFromTheSixthCharacter)
{
    // 40 moves a control and one move played: the budget is the clock over 40.
    V2 v2("force\nlevel 40 5 0\nusermove e2e4\n");
    v2.send("time 12345");
    EXPECT_EQ(v2.game.moveTimeMs(), 3075u);   // 123 s / 40
    v2.send("otim 500");                       // the opponent's clock: no "time" in it
    EXPECT_EQ(v2.game.moveTimeMs(), 3075u);
    v2.send("time 99");                        // under a second: 0 s
    EXPECT_EQ(v2.game.moveTimeMs(), 0u);
    v2.send("time 40000");
    EXPECT_EQ(v2.game.moveTimeMs(), 10000u);
    v2.send("time");                           // no number at all reads as 0
    EXPECT_EQ(v2.game.moveTimeMs(), 0u);
    EXPECT_TRUE(v2.said().empty());
}

TEST(WinBoardClock, LevelReadsThreeNumbersTheWayAtoiDoes)
{
    V2 v2;
    v2.send("level 40 5:30 0");   // "5:30" is 5 minutes
    EXPECT_EQ(v2.game.moveTimeMs(), 7000u);
    EXPECT_EQ(v2.game.movesPerControl(), 40u);
    v2.send("level 0 5:30 0");
    EXPECT_EQ(v2.game.moveTimeMs(), 10000u);
    EXPECT_EQ(v2.game.movesPerControl(), 0u);
    v2.send("level 0 2 12");
    EXPECT_EQ(v2.game.moveTimeMs(), 4000u);
    v2.send("level 40  5   0");   // extra blanks between the words
    EXPECT_EQ(v2.game.moveTimeMs(), 7000u);
    v2.send("level ");            // missing words read as 0: the default budget
    EXPECT_EQ(v2.game.moveTimeMs(), 500u);
    EXPECT_EQ(v2.game.movesPerControl(), 0u);
    v2.send("level 30");
    EXPECT_EQ(v2.game.movesPerControl(), 30u);
    v2.send("level x y z");
    EXPECT_EQ(v2.game.movesPerControl(), 0u);
    EXPECT_TRUE(v2.said().empty());
}

TEST(WinBoardDispatch, SubstringTestsComeFirst)
{
    V2 v2("force\nusermove e2e4\n");
    ASSERT_EQ(v2.game.sideToMove(), BLACK);
    v2.send("name whiteknight");
    EXPECT_EQ(v2.game.sideToMove(), WHITE);
    v2.send("name blackadder");
    EXPECT_EQ(v2.game.sideToMove(), BLACK);
    // The answers to the feature line change nothing, not even with "white" in them.
    const std::string before = v2.fen();
    v2.send("accepted white");
    v2.send("rejected san");
    v2.send("protover 2");
    EXPECT_EQ(v2.fen(), before);
    EXPECT_TRUE(v2.said().empty());
}

TEST(WinBoardDispatch, ShortUsermoveAndSetboardLinesAreRejectedNotOverread)
{
    V2 v2("usermove\nusermove \nsetboard\nsetboard \nsetboard 8/8/8 w - - 0 1\n");
    EXPECT_EQ(v2.said(), (std::vector<std::string>{"Illegal move: ", "Illegal move: ",
                                                   "tellusererror Illegal position",
                                                   "tellusererror Illegal position",
                                                   "tellusererror Illegal position"}));
    EXPECT_EQ(v2.placement(), kStartPlacement);
    EXPECT_EQ(v2.game.historyCount(), 0u);
}

TEST(WinBoardDispatch, BadSetboardKeepsTheOldPosition)
{
    V2 v2("setboard 4k3/8/8/8/8/8/8/R3K3 w Q - 0 1\nsetboard 8/8/8/8/8/8/8/R3K3 w Q - 0 1\n"
          "setboard 4k3/8/8/8/8/8/8/R3K4 w Q - 0 1\nsetboard hello\n");
    EXPECT_EQ(v2.said(), std::vector<std::string>(3, "tellusererror Illegal position"));
    EXPECT_EQ(v2.placement(), "4k3/8/8/8/8/8/8/R3K3");
    EXPECT_EQ(v2.game.board().castlingRights, CASTLE_WQ);
}

TEST(WinBoardDispatch, ModeFlagsFollowTheCommands)
{
    V2 v2;
    EXPECT_TRUE(v2.game.thinkAfterUserMove);
    EXPECT_TRUE(v2.game.playMoveWhenDone);
    v2.send("force");
    EXPECT_TRUE(v2.frontEnd.forceMode());
    EXPECT_FALSE(v2.game.thinkAfterUserMove);
    EXPECT_FALSE(v2.game.playMoveWhenDone);
    v2.send("usermove e2e4");   // played, and no search starts
    EXPECT_EQ(v2.placement(), kAfterE4Placement);
    EXPECT_FALSE(v2.game.cycleOpen());

    // The engine takes the side not on move (White) and waits for Black's move.
    v2.send("playother");
    EXPECT_FALSE(v2.frontEnd.forceMode());
    EXPECT_TRUE(v2.game.thinkAfterUserMove);
    EXPECT_TRUE(v2.game.playMoveWhenDone);
    EXPECT_FALSE(v2.game.cycleOpen());

    v2.send("result 1-0 {White mates}");
    EXPECT_FALSE(v2.game.thinkAfterUserMove);
    EXPECT_FALSE(v2.game.playMoveWhenDone);
    v2.send("usermove e7e5");
    EXPECT_EQ(v2.game.historyCount(), 2u);
    EXPECT_FALSE(v2.game.cycleOpen());

    v2.send("new");
    EXPECT_TRUE(v2.game.thinkAfterUserMove);
    EXPECT_TRUE(v2.game.playMoveWhenDone);
    EXPECT_EQ(v2.placement(), kStartPlacement);
    EXPECT_EQ(v2.game.historyCount(), 0u);
    EXPECT_TRUE(v2.said().empty());
}

TEST(WinBoardDispatch, RemoveTakesBackTwoMoves)
{
    V1 v1("force\ne2e4\ne7e5\ng1f3\nremove\n");
    EXPECT_EQ(v1.game.historyCount(), 1u);
    EXPECT_EQ(v1.placement(), kAfterE4Placement);
    EXPECT_EQ(v1.game.sideToMove(), BLACK);
    EXPECT_TRUE(v1.said().empty());
}

TEST(WinBoardV1FrontEnd, BareMovesArePlayedAndIllegalOnesNamed)
{
    V1 v1("force\ne2e5\ne2e4\nE7E5\nnonsense\n");
    EXPECT_EQ(v1.said(), (std::vector<std::string>{"Illegal move: e2e5", "Illegal move: E7E5"}));
    EXPECT_EQ(v1.placement(), kAfterE4Placement);
}

TEST(WinBoardV1FrontEnd, ForceModeTakesTheSideFromThePieceMoved)
{
    V1 v1("force\ne7e5\n");
    EXPECT_TRUE(v1.said().empty());
    EXPECT_EQ(v1.placement(), "rnbqkbnr/pppp1ppp/8/4p3/8/8/PPPPPPPP/RNBQKBNR");
    EXPECT_EQ(v1.game.sideToMove(), WHITE);

    // An empty from-square leaves the side alone, and the move is refused.
    v1.send("e3e4");
    EXPECT_EQ(v1.said(), std::vector<std::string>{"Illegal move: e3e4"});
    EXPECT_EQ(v1.game.sideToMove(), WHITE);

    // Outside force mode the side to move is not taken from the board.
    v1.send("new");
    v1.send("e7e5");
    EXPECT_EQ(v1.said().back(), "Illegal move: e7e5");
}

TEST(WinBoardV1FrontEnd, EditBuildsThePositionForTheSideToMove)
{
    V1 v1("edit\n#\nc\nKe8\nc\nKe1\nQd1\n.\n");
    EXPECT_TRUE(v1.said().empty());
    EXPECT_EQ(v1.placement(), "4k3/8/8/8/8/8/8/3QK3");
    EXPECT_EQ(v1.game.board().castlingRights, 0u);
    EXPECT_EQ(v1.game.sideToMove(), WHITE);

    // The side to move is the one before "edit"; rooks at home give the rights back.
    V1 withRooks("force\ne2e4\nedit\n#\nKe1\nRa1\nRh1\nPe4\nc\nKe8\nRh8\nRa7\n.\n");
    EXPECT_EQ(withRooks.placement(), "4k2r/r7/8/8/4P3/8/8/R3K2R");
    EXPECT_EQ(withRooks.game.board().castlingRights, CASTLE_WK | CASTLE_WQ | CASTLE_BK);
    EXPECT_EQ(withRooks.game.sideToMove(), BLACK);
}

TEST(WinBoardV1FrontEnd, EditIgnoresLinesThatCannotBePieces)
{
    V1 v1("edit\n#\nKe1\nKi9\nQz1\nQa0\nK\nQd\nke8\nxe4\nquit\nnew\nc\nKe8\nQe1\nQd1x\n.\n");
    EXPECT_TRUE(v1.said().empty());
    // Off-board squares, lower-case letters and commands are skipped; the black
    // queen on the white king's square is refused; characters after the square are not read.
    EXPECT_EQ(v1.placement(), "4k3/8/8/8/8/8/8/3qK3");

    // Seventeen white pieces: the last is not placed.
    V1 full("edit\n#\nKe1\nPa2\nPb2\nPc2\nPd2\nPe2\nPf2\nPg2\nPh2\nNa3\nNb3\nNc3\nNd3\nNe3\nNf3\nNg3\n"
            "Nh3\nc\nKe8\n.\n");
    EXPECT_EQ(full.placement(), "4k3/8/8/8/8/NNNNNNN1/PPPPPPPP/4K3");
}

TEST(WinBoardV1FrontEnd, EditWithoutTwoKingsIsRefused)
{
    V1 v1("edit\n#\nKe1\nQd1\n.\n");
    EXPECT_EQ(v1.said(), std::vector<std::string>{"tellusererror Illegal position"});
    EXPECT_EQ(v1.placement(), kStartPlacement);
}

TEST(WinBoardV1FrontEnd, EndOfInputInsideEditEndsTheRun)
{
    V1 v1("edit\n#\nKe1\n");   // returns at all: the run ended
    EXPECT_EQ(v1.placement(), kStartPlacement);
    EXPECT_FALSE(v1.game.cycleOpen());
}

TEST(WinBoardV2FrontEnd, BareMovesAndEditAreNotTaken)
{
    V2 v2("e2e4\nedit\n#\nKe1\nc\nKe8\n.\nusermove e2e5\n");
    EXPECT_EQ(v2.placement(), kStartPlacement);
    EXPECT_EQ(v2.said(), std::vector<std::string>{"Illegal move: e2e5"});
    EXPECT_EQ(v2.frontEnd.handleDialectCommand("e2e4"), 1);
    EXPECT_EQ(v2.frontEnd.handleDialectCommand("accepted usermove"), 0);
    EXPECT_EQ(v2.frontEnd.handleDialectCommand("rejected san"), 0);
    EXPECT_EQ(v2.frontEnd.handleDialectCommand("protover 2"), 0);
}

TEST(WinBoardLines, ResultErrorAndOtherAnnouncements)
{
    V2 v2;
    for (std::uint32_t code = 0; code <= 7; ++code)
        v2.frontEnd.sendResult(code);
    v2.frontEnd.sendError(0, "a9z9");
    v2.frontEnd.sendError(1, "ignored");
    v2.frontEnd.sendError(2, "ignored");
    v2.frontEnd.sendMove("e7e8q");
    v2.frontEnd.resign();
    v2.frontEnd.offerDraw();
    v2.frontEnd.thinkingDepth = 5;
    v2.frontEnd.thinkingScore = -34;
    v2.frontEnd.thinkingNodes = 987;
    const Move line[] = {encodeMove(12, 28, 20, 0x12), encodeMove(52, 36, 44, 0x12)};
    v2.frontEnd.setThinkingPV(line, 2);
    v2.frontEnd.sendThinking();
    EXPECT_EQ(v2.said(), (std::vector<std::string>{
                             "1-0 {White mates}", "0-1 {Black mates}", "1/2-1/2 {StaleMate}",
                             "1/2-1/2 {Draw by repetition}", "1/2-1/2 {Draw 50 moves-rule}",
                             "1/2-1/2 {Draw insufficient material}", "Illegal move: a9z9",
                             "tellusererror Illegal position", "Error", "move e7e8q", "resign", "offer draw",
                             "5 -34 0 987 e2e4 e7e5"}));
}

TEST(UciLines, ProgressLineAndSilentSlots)
{
    MemoryStreams streams("");
    UciInterface_class uci(streams.input(), streams.output(), currentRelease());
    uci.thinkingDepth = 6;
    uci.thinkingScore = -35;
    uci.thinkingNodes = 512;
    uci.thinkingTime = 77;
    uci.sendThinking();
    uci.sendResult(6);
    uci.sendResult(3);
    uci.sendError(0, "e2e5");
    uci.sendError(1, "");
    uci.sendError(2, "text");
    uci.sendLine("nothing");
    EXPECT_EQ(streams.outputLines(),
              (std::vector<std::string>{"6 -35  0 512", "1/2-1/2 {Draw by repetition}", "Error"}));
}
