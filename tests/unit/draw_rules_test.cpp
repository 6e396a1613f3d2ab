#include <gtest/gtest.h>

#include "support/board_helpers.h"

TEST(DrawRules, FiftyMovesNeedAHundredHalfMoves)
{
    auto board = boardFrom("4k3/8/8/8/8/8/8/R3K3 w - - 99 80");
    EXPECT_FALSE(board->isFiftyMoveDraw());
    play(*board, "a1a2");
    EXPECT_TRUE(board->isFiftyMoveDraw());
}

TEST(DrawRules, InsufficientAndMatingMaterial)
{
    for (const char* fen : {"4k3/8/8/8/8/8/8/4K3 w - - 0 1", "4k3/8/8/8/8/8/8/4KN2 w - - 0 1",
                            "4kb2/8/8/8/8/8/8/4K3 w - - 0 1", "4kn2/8/8/8/8/8/8/4K3 b - - 0 1"})
        EXPECT_TRUE(boardFrom(fen)->isInsufficientMaterial()) << fen;
    for (const char* fen : {"4kn2/8/8/8/8/8/8/4KB2 w - - 0 1", "4kb2/8/8/8/8/8/8/4KB2 w - - 0 1",
                            "4k3/8/8/8/8/8/8/3NKN2 w - - 0 1", "4k3/8/8/8/8/8/4P3/4K3 w - - 0 1",
                            "4k3/8/8/8/8/8/8/4KR2 w - - 0 1"})
        EXPECT_FALSE(boardFrom(fen)->isInsufficientMaterial()) << fen;
    auto knights = boardFrom("4kn2/8/8/8/8/8/8/3NKN2 w - - 0 1");
    EXPECT_TRUE(knights->hasMatingMaterial(WHITE));
    EXPECT_FALSE(knights->hasMatingMaterial(BLACK));
    EXPECT_FALSE(boardFrom("4k3/8/8/8/8/8/8/4KB2 w - - 0 1")->hasMatingMaterial(WHITE));
    EXPECT_TRUE(boardFrom("4k3/8/8/8/8/8/4P3/4K3 w - - 0 1")->hasMatingMaterial(WHITE));
}

TEST(DrawRules, RepetitionNeedsTwoEarlierOccurrences)
{
    auto board = boardFrom(START_FEN);
    std::vector<MoveRecord> history;
    std::vector<bool> repeated;
    for (const char* move : {"g1f3", "g8f6", "f3g1", "f6g8", "g1f3", "g8f6", "f3g1", "f6g8"}) {
        history.push_back(play(*board, move));
        repeated.push_back(isThreefoldRepetition(board->hashKey, history.data(),
                                                 static_cast<std::uint32_t>(history.size())));
    }
    // The start position stands for the second time after move 4 and the third after move 8.
    EXPECT_EQ(countKeyInHistory(board->hashKey, history.data(), 4), 1u);
    EXPECT_EQ(repeated, (std::vector<bool>{false, false, false, false, false, false, false, true}));
}
