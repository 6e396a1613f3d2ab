// The WinBoard and UCI front ends on a real game, for what the pipe tests
// cannot see: the clock and level read into the budget, edited positions, and
// the exact texts of every announcement and thinking line.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/release_profile.h"
#include "game/game.h"
#include "protocol/thinking_line.h"
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
    explicit FrontEndOnGame(const std::string& script = "")
        : streams(script), frontEnd(streams.input(), streams.output(), currentRelease()),
          game(&frontEnd, nullptr, currentRelease())
    {
        EXPECT_EQ(game.init(), 0);
        frontEnd.run(&game);
    }
    std::uint32_t budgetAfter(const char* line)
    {
        frontEnd.dispatchCommand(line);
        return game.moveTimeMs();
    }
    std::string placement() { return fenOf(game.board()).substr(0, fenOf(game.board()).find(' ')); }
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

const std::vector<std::string> kIllegalPosition = {"tellusererror Illegal position"};

} // namespace

TEST(WinBoardClock, TimeIsCentisecondsReadFromTheSixthCharacter)
{
    // 40 moves a control and one move played: the budget is the clock over 40.
    V2 v2("force\nlevel 40 5 0\nusermove e2e4\n");
    EXPECT_EQ(v2.budgetAfter("time 12345"), 3075u);   // 123 s / 40
    EXPECT_EQ(v2.budgetAfter("otim 500"), 3075u);     // the opponent's clock: no "time" in it
    EXPECT_EQ(v2.budgetAfter("time 99"), 0u);         // under a second: 0 s
    EXPECT_EQ(v2.budgetAfter("time 40000"), 10000u);
    EXPECT_EQ(v2.budgetAfter("time"), 0u);            // no number at all reads as 0
    EXPECT_TRUE(v2.said().empty());
}

TEST(WinBoardClock, LevelReadsThreeNumbersTheWayAtoiDoes)
{
    V2 v2;
    EXPECT_EQ(v2.budgetAfter("level 40 5:30 0"), 7000u);   // "5:30" is 5 minutes
    EXPECT_EQ(v2.game.movesPerControl(), 40u);
    EXPECT_EQ(v2.budgetAfter("level 0 5:30 0"), 10000u);
    EXPECT_EQ(v2.budgetAfter("level 0 2 12"), 4000u);
    EXPECT_EQ(v2.budgetAfter("level 40  5   0"), 7000u);   // extra blanks between the words
    EXPECT_EQ(v2.budgetAfter("level "), 500u);             // missing words read as 0
    EXPECT_EQ(v2.game.movesPerControl(), 0u);
    v2.budgetAfter("level 30");
    EXPECT_EQ(v2.game.movesPerControl(), 30u);
    EXPECT_TRUE(v2.said().empty());
}

TEST(WinBoardDispatch, ShortUsermoveAndSetboardLinesAreRejectedNotOverread)
{
    V2 v2("usermove\nusermove \nsetboard\nsetboard \n");
    EXPECT_EQ(v2.said(), (std::vector<std::string>{"Illegal move: ", "Illegal move: ", kIllegalPosition[0],
                                                   kIllegalPosition[0]}));
    EXPECT_EQ(fenOf(v2.game.board()), START_FEN);
}

TEST(WinBoardEdit, BuildsThePositionForTheSideToMove)
{
    V1 v1("edit\n#\nc\nKe8\nc\nKe1\nQd1\n.\n");
    EXPECT_TRUE(v1.said().empty());
    EXPECT_EQ(v1.placement(), "4k3/8/8/8/8/8/8/3QK3");
    EXPECT_EQ(v1.game.sideToMove(), WHITE);
    EXPECT_EQ(v1.game.board().castlingRights, 0);

    // The side to move is the one before "edit"; rooks at home give the rights back.
    V1 withRooks("force\ne2e4\nedit\n#\nKe1\nRa1\nRh1\nPe4\nc\nKe8\nRh8\nRa7\n.\n");
    EXPECT_EQ(withRooks.placement(), "4k2r/r7/8/8/4P3/8/8/R3K2R");
    EXPECT_EQ(withRooks.game.board().castlingRights, CASTLE_WK | CASTLE_WQ | CASTLE_BK);
    EXPECT_EQ(withRooks.game.sideToMove(), BLACK);
}

TEST(WinBoardEdit, IgnoresLinesThatCannotBePieces)
{
    // Off-board squares, lower-case letters and commands are skipped; the black
    // queen on the white king's square is refused; characters after the square are not read.
    V1 v1("edit\n#\nKe1\nKi9\nQz1\nQa0\nK\nQd\nke8\nxe4\nquit\nnew\nc\nKe8\nQe1\nQd1x\n.\n");
    EXPECT_TRUE(v1.said().empty());
    EXPECT_EQ(v1.placement(), "4k3/8/8/8/8/8/8/3qK3");

    // Seventeen white pieces: the last is not placed.
    V1 full("edit\n#\nKe1\nPa2\nPb2\nPc2\nPd2\nPe2\nPf2\nPg2\nPh2\nNa3\nNb3\nNc3\nNd3\nNe3\nNf3\nNg3\n"
            "Nh3\nc\nKe8\n.\n");
    EXPECT_EQ(full.placement(), "4k3/8/8/8/8/NNNNNNN1/PPPPPPPP/4K3");
}

TEST(WinBoardEdit, BoardWithoutOneKingOfEachColourIsRefused)
{
    for (const char* script : {"edit\n#\nKe1\nQd1\n.\n", "edit\n#\nKe1\nKa1\nc\nKe8\n.\n"}) {
        V1 v1(std::string("force\ne2e4\n") + script);
        EXPECT_EQ(v1.said(), kIllegalPosition) << script;
        EXPECT_EQ(fenOf(v1.game.board()), "rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3 0 1");
    }
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
                             kIllegalPosition[0], "Error", "move e7e8q", "resign", "offer draw",
                             "5 -34 0 987 e2e4 e7e5"}));
}

TEST(WinBoardLines, LongThinkingLinesDropWholeMovesFromTheEnd)
{
    Move line[64];
    for (Move& m : line)
        m = encodeMove(6, 21, 0, 0);   // g1f3
    char text[THINKING_LINE_SIZE];
    formatThinkingLine(1, -20, 0, 1, line, 0, text);
    EXPECT_STREQ(text, "1 -20 0 1");
    formatThinkingLine(12, 100, 0, 123456, line, 64, text);
    const std::string full(text);
    EXPECT_EQ(full.size(), 125u);   // "12 100 0 123456" and 22 moves: a 23rd would pass 127
    EXPECT_EQ(full.substr(full.size() - 5), " g1f3");
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
    uci.sendResult(3);
    uci.sendError(0, "e2e5");
    uci.sendError(1, "");
    uci.sendError(2, "text");
    uci.sendLine("nothing");
    EXPECT_EQ(streams.outputLines(), (std::vector<std::string>{"6 -35  0 512", "1/2-1/2 {Draw by repetition}", "Error"}));
}
