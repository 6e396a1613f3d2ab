// The WinBoard front ends on a real game, for what the pipe tests cannot see:
// the clock and level in the budget, edited positions and long thinking lines.
#include <gtest/gtest.h>

#include <tuple>

#include "protocol/thinking_line.h"
#include "protocol/winboard_v1.h"
#include "protocol/winboard_v2.h"
#include "support/game_harness.h"

namespace {

using V1 = FrontEndOnGame<WinBoardInterfaceV1_class>;
using V2 = FrontEndOnGame<WinBoardInterfaceV2_class>;

const std::string kIllegalPosition = "tellusererror Illegal position";

} // namespace

TEST(WinBoardClock, TimeIsCentisecondsAndLevelReadsItsNumbersLikeAtoi)
{
    // 40 moves a control and one move played: the budget is the clock over 40.
    V2 v2("force\nlevel 40 5 0\nusermove e2e4\n");
    EXPECT_EQ(v2.budgetAfter("time 12345"), 3075u);   // 123 s / 40
    EXPECT_EQ(v2.budgetAfter("otim 500"), 3075u);     // the opponent's clock
    EXPECT_EQ(v2.budgetAfter("time 99"), 24u);        // under a second: 990 ms / 40
    EXPECT_EQ(v2.budgetAfter("time"), 0u);            // no number reads as 0
    // The line, the budget and the moves per control.
    const std::tuple<const char*, std::uint32_t, std::uint32_t> levels[] = {
        {"level 40 5:30 0", 7000, 40}, {"level 40  5   0", 7000, 40}, {"level 0 2 12", 4000, 0}, {"level ", 500, 0}};
    for (const auto& [line, ms, movesPerControl] : levels) {
        EXPECT_EQ(v2.budgetAfter(line), ms) << line;
        EXPECT_EQ(v2.game.movesPerControl(), movesPerControl) << line;
    }
    EXPECT_TRUE(v2.said().empty());

    // A game handed over at move 8 is at move 8 for the clock: 33 moves left of 40.
    V2 book("setboard rnbqkb1r/pppp1ppp/5n2/4p3/4P3/5N2/PPPP1PPP/RNBQKB1R w KQkq - 1 8\nlevel 40 1 0\n");
    EXPECT_EQ(book.budgetAfter("time 6000"), 1818u);
    // An opponent's name or a comment is no command; "white", "black" and "time" are first words.
    EXPECT_EQ(book.budgetAfter("name timelord 100"), 1818u);
    for (const char* line : {"name blackbird", "name whiteknight", "result 1-0 {black resigns}"})
        book.frontEnd.dispatchCommand(line);
    EXPECT_EQ(book.game.sideToMove(), WHITE);
    EXPECT_TRUE(book.said().empty());
}

TEST(WinBoardDispatch, ShortUsermoveAndSetboardLinesAreRejectedNotOverread)
{
    V2 v2("usermove\nusermove \nsetboard\nsetboard \n");
    EXPECT_EQ(v2.said(), (std::vector<std::string>{"Illegal move: ", "Illegal move: ", kIllegalPosition, kIllegalPosition}));
    EXPECT_EQ(fenOf(v2.game.board()), START_FEN);
}

TEST(WinBoardEdit, BuildsThePositionForTheSideToMoveAndSkipsWhatIsNoPiece)
{
    // Script, placement, castling rights, and the side to move (the one before "edit").
    const std::tuple<const char*, const char*, std::uint32_t, Colour> cases[] = {
        {"edit\n#\nc\nKe8\nc\nKe1\nQd1\n.\n", "4k3/8/8/8/8/8/8/3QK3", 0, WHITE},
        // Rooks and kings at home give the rights back.
        {"force\ne2e4\nedit\n#\nKe1\nRa1\nRh1\nPe4\nc\nKe8\nRh8\nRa7\n.\n", "4k2r/r7/8/8/4P3/8/8/R3K2R",
         CASTLE_WK | CASTLE_WQ | CASTLE_BK, BLACK},
        // Off-board squares, lower-case letters and commands are skipped, the black queen on
        // the white king is refused, and characters after the square are not read.
        {"edit\n#\nKe1\nKi9\nQz1\nQa0\nK\nQd\nke8\nxe4\nquit\nnew\nc\nKe8\nQe1\nQd1x\n.\n", "4k3/8/8/8/8/8/8/3qK3", 0,
         WHITE},
        // Seventeen white pieces: the last is not placed.
        {"edit\n#\nKe1\nPa2\nPb2\nPc2\nPd2\nPe2\nPf2\nPg2\nPh2\nNa3\nNb3\nNc3\nNd3\nNe3\nNf3\nNg3\nNh3\nc\nKe8\n.\n",
         "4k3/8/8/8/8/NNNNNNN1/PPPPPPPP/4K3", 0, WHITE},
    };
    for (const auto& [script, placement, rights, side] : cases) {
        V1 v1(script);
        EXPECT_TRUE(v1.said().empty()) << script;
        EXPECT_EQ(v1.placement(), placement);
        EXPECT_EQ(v1.game.board().castlingRights, rights) << script;
        EXPECT_EQ(v1.game.sideToMove(), side) << script;
    }
    // Without one king of each colour the edit is refused and the old position stays.
    for (const char* script : {"edit\n#\nKe1\nQd1\n.\n", "edit\n#\nKe1\nKa1\nc\nKe8\n.\n"}) {
        V1 v1(std::string("force\ne2e4\n") + script);
        EXPECT_EQ(v1.said(), std::vector<std::string>{kIllegalPosition}) << script;
        EXPECT_EQ(fenOf(v1.game.board()), "rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3 0 1");
    }
}

TEST(ThinkingLines, AtMostSixtyFourMovesUpToANullMoveAreKeptAndLongLinesDropWholeMoves)
{
    V2 v2;
    Move line[100];
    std::fill(std::begin(line), std::end(line), encodeMove(6, 21, 0, 0));   // g1f3
    line[63] = encodeMove(12, 28, 20, 0x12);
    v2.frontEnd.setThinkingPV(line, 100);
    EXPECT_EQ(v2.frontEnd.pvLength, 64u);
    EXPECT_EQ(v2.frontEnd.pv[63], line[63]);
    line[2] = NO_MOVE;   // the line ends at a null move: no "a1a1"
    v2.frontEnd.setThinkingPV(line, 100);
    EXPECT_EQ(v2.frontEnd.pvLength, 2u);
    char text[THINKING_LINE_SIZE];
    formatThinkingLine(1, -20, 0, 1, line, 0, text);
    EXPECT_STREQ(text, "1 -20 0 1");
    formatThinkingLine(12, 100, 0, 123456, line, 64, text);
    const std::string full(text);
    EXPECT_EQ(full.size(), 125u);   // "12 100 0 123456" and 22 moves: a 23rd would pass 127
    EXPECT_EQ(full.substr(full.size() - 5), " g1f3");
}
