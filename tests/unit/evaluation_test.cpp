#include <gtest/gtest.h>

#include "support/search_harness.h"

namespace {

std::int32_t evaluationOf(const std::string& fen)
{
    SearchHarness h(fen);
    return h.search->staticEvaluation();
}

} // namespace

TEST(Evaluation, BareKingNearTheEdgeAndTheOtherKing)
{
    // The white king alone in the corner, the black king a knight's jump away:
    // 150 / 2 + 200 / 1 = 275 on top of the rook.
    EXPECT_EQ(evaluationOf("7r/8/8/8/8/8/2k5/K7 w - - 0 20"), -500 - 275);
    // In the centre and far away it costs much less: 150 / 3 + 200 / 4.
    EXPECT_EQ(evaluationOf("7r/8/8/8/3K4/8/8/k7 w - - 0 20"), -500 - 50 - 50);
}

TEST(Evaluation, ExactlyTwoBishopsEarnThePair)
{
    // Black's pieces have generated nothing yet, so only material and the pair count.
    EXPECT_EQ(evaluationOf("4k3/8/8/8/8/8/P7/2b1Kb2 w - - 0 20"), 100 - 610 - 11);
    EXPECT_EQ(evaluationOf("4k3/8/8/8/8/8/P7/2b1K3 w - - 0 20"), 100 - 305);
    EXPECT_EQ(evaluationOf("4k3/8/8/8/8/8/P7/1bb1Kb2 w - - 0 20"), 100 - 915);
}

TEST(Evaluation, CastlingTermsEndAtMoveTwenty)
{
    EXPECT_EQ(evaluationOf("r3k2r/8/8/8/8/8/8/R3K2R w kq - 0 19") -
                  evaluationOf("r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 19"), -25);
    EXPECT_EQ(evaluationOf("r3k2r/8/8/8/8/8/8/R3K2R w kq - 0 20"),
              evaluationOf("r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 20"));
}

TEST(Evaluation, KnightOnTheCornerMirrorsForBlack)
{
    // White: knight 300, the bare black king on the edge 150 / 7 + 200 / 1,
    // rim 15 and corner 7 against, 1 x 2 moves for; the lost castling rights
    // of both sides cancel.
    const std::int32_t white = evaluationOf("4k3/8/8/8/8/8/8/N3K3 w - - 0 5");
    EXPECT_EQ(white, 300 + 21 + 200 - 15 - 7 + 2);
    EXPECT_EQ(evaluationOf("n3k3/8/8/8/8/8/8/4K3 b - - 0 5"), white);
}

TEST(Evaluation, RelativeMoveCountTruncatesTowardZero)
{
    SearchHarness h("4k3/8/8/8/8/8/4P3/4K3 w - - 0 25");
    Search_class& s = *h.search;
    s.board().generateMoves(s.ply(0));
    // Move counts per ply, as if a line had been generated down to ply 4.
    auto evaluateWith = [&](std::initializer_list<std::uint32_t> counts) {
        std::uint32_t p = 0;
        for (std::uint32_t count : counts) {
            s.ply(p).captureCount = 0;
            s.ply(p++).nonCaptureCount = count;
        }
        return s.evaluate(4);
    };
    const std::int32_t flat = evaluateWith({10, 10, 10, 10, 10});
    EXPECT_EQ(evaluateWith({10, 10, 10, 13, 10}), flat - 1);   // T = (10 - 10) - (13 - 10) = -3
    EXPECT_EQ(evaluateWith({10, 10, 10, 10, 17}), flat + 3);   // T = 7: +3 for the root side
}
