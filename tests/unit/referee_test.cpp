// The referee the self-play games rely on: which move texts it takes, when it
// sees the game over, and which result claims it lets stand.
#include <gtest/gtest.h>

#include "support/referee.h"

namespace {

void playAll(Referee& referee, std::initializer_list<const char*> moves)
{
    for (const char* move : moves) {
        std::string why;
        ASSERT_TRUE(referee.play(move, why)) << move << ": " << why;
    }
}

TEST(Referee, TakesOnlyTheExactTextOfALegalMove)
{
    Referee promotion("4k3/P7/8/8/8/8/8/4K2R w K - 0 1");
    std::string why;
    for (const char* text : {"a7a8Q", "a7a8", "0-0", "e1h1", "e2e4", "", "a7a8qq"}) {
        EXPECT_FALSE(promotion.play(text, why)) << text;
        EXPECT_FALSE(why.empty()) << text;
    }
    EXPECT_TRUE(promotion.play("e1g1", why)) << why;
    EXPECT_TRUE(promotion.play("e8d7", why)) << why;
    EXPECT_TRUE(promotion.play("a7a8n", why)) << why;
    EXPECT_EQ(promotion.fen(), "N7/3k4/8/8/8/8/8/5RK1 b - - 0 2");
}

TEST(Referee, SeesMateAndStalemate)
{
    Referee game;
    playAll(game, {"f2f3", "e7e5", "g2g4"});
    EXPECT_EQ(game.status(), Referee::Status::Ongoing);
    playAll(game, {"d8h4"});
    EXPECT_EQ(game.status(), Referee::Status::Checkmate);
    EXPECT_EQ(game.plies(), 4u);

    Referee stalemate("7k/5Q2/6K1/8/8/8/8/8 b - - 0 1");
    EXPECT_EQ(stalemate.status(), Referee::Status::Stalemate);
}

TEST(Referee, WinClaimsNeedMateAndAdmittedLossesAlwaysHold)
{
    Referee game;
    std::string why;
    EXPECT_FALSE(game.claimHolds("1-0 {White mates}", WHITE, why));
    EXPECT_TRUE(game.claimHolds("1-0 {Black resigns}", BLACK, why));
    playAll(game, {"f2f3", "e7e5", "g2g4", "d8h4"});
    EXPECT_TRUE(game.claimHolds("0-1 {Black mates}", BLACK, why)) << why;
    EXPECT_FALSE(game.claimHolds("1-0 {White mates}", WHITE, why));
    EXPECT_FALSE(game.claimHolds("1/2-1/2 {StaleMate}", BLACK, why));
}

TEST(Referee, DrawClaimsNeedARule)
{
    Referee game;
    std::string why;
    playAll(game, {"g1f3", "g8f6", "f3g1", "f6g8"});
    EXPECT_EQ(game.repetitions(), 2);
    EXPECT_FALSE(game.claimHolds("1/2-1/2 {Draw by repetition}", WHITE, why));
    playAll(game, {"g1f3", "g8f6", "f3g1", "f6g8"});
    EXPECT_EQ(game.repetitions(), 3);
    EXPECT_TRUE(game.claimHolds("1/2-1/2 {Draw by repetition}", BLACK, why)) << why;

    Referee fifty("4k3/8/8/8/8/8/8/R3K3 w - - 99 80");
    EXPECT_FALSE(fifty.claimHolds("1/2-1/2 {Draw 50 moves-rule}", WHITE, why));
    playAll(fifty, {"a1a2"});
    EXPECT_TRUE(fifty.claimHolds("1/2-1/2 {Draw 50 moves-rule}", WHITE, why)) << why;

    Referee bare("4k3/8/8/8/8/8/8/4KN2 w - - 0 1");
    EXPECT_TRUE(bare.claimHolds("1/2-1/2 {Draw insufficient material}", WHITE, why)) << why;
    EXPECT_FALSE(bare.claimHolds("draw", WHITE, why));
}

TEST(Referee, ReadsResultLines)
{
    EXPECT_EQ(resultToken("1-0 {White mates}"), "1-0");
    EXPECT_EQ(resultToken("1/2-1/2 {StaleMate}"), "1/2-1/2");
    EXPECT_EQ(resultToken("0-1"), "0-1");
    EXPECT_EQ(resultToken("1-00 {x}"), "");
    EXPECT_EQ(resultToken(" 1 -5 0 33 e2e4"), "");
    EXPECT_EQ(resultComment("0-1 {Black mates}"), "Black mates");
    EXPECT_EQ(resultComment("0-1"), "");
}

} // namespace
