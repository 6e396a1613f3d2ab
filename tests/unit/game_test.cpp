// The game controller: opponent moves, the end-of-game rules, the engine's own
// move, take-backs and positions from the interface.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "game/playable_line.h"
#include "support/board_helpers.h"
#include "support/game_harness.h"
#include "support/referee.h"

namespace {

const std::vector<std::string> kKnightsOutAndBack = {"g1f3", "g8f6", "f3g1", "f6g8"};

// Plays as the engine with a search that stops by itself after `depth`
// iterations (the budget is far longer), and closes the cycle.
void thinkToDepth(GameHarness& h, std::uint32_t depth)
{
    h.game.setLevel(0, 600, 0);
    ownMoveDepth(h.game, depth);
    h.game.playMoveWhenDone = true;
    h.game.startThinking();
    ASSERT_TRUE(h.waitForEvents(""));   // a move, or a result when there is none
    h.game.stopAll();
}

} // namespace

TEST(GameMoves, RefusedMovesAndPositionsLeaveTheGameAsItWasAndStartNoSearch)
{
    GameHarness h;
    h.force({"e2e4"});
    const std::string before = h.fen();
    h.game.thinkAfterUserMove = true;   // playing: an accepted move would start a search
    h.game.playMoveWhenDone = true;
    for (const char* text : {"e7e4", "d2d4", "xyz", "", "e8g8"}) {
        h.gui.clear();
        EXPECT_EQ(h.game.userMove(text), MOVE_REJECTED) << text;
        EXPECT_EQ(h.gui.events(), std::vector<std::string>{"error 0 " + std::string(text)});
        EXPECT_FALSE(h.game.cycleOpen()) << text;
    }
    // The last text is read after the board is half set up.
    for (const char* fen : {"garbage", "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP w KQkq - 0 1",
                            "rnbq1bnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w - - 0 1"}) {
        h.gui.clear();
        h.game.setPosition(fen);
        EXPECT_EQ(h.gui.events(), std::vector<std::string>{"error 1 "}) << fen;
    }
    EXPECT_EQ(h.fen(), before);
    EXPECT_EQ(h.game.historyCount(), 1u);
    h.force({"e7e5"});
}

TEST(GameMoves, OnlyBlackMovesCountFullMovesAndTheSideKeepsTheKeyRight)
{
    GameHarness h;
    h.force({"e2e4"});
    EXPECT_EQ(h.game.board().fullmoveNumber, 1);
    h.force({"e7e5"});
    EXPECT_EQ(h.fen(), "rnbqkbnr/pppp1ppp/8/4p3/4P3/8/PPPP1PPP/RNBQKBNR w KQkq e6 0 2");
    h.game.setSideToMove(BLACK);
    EXPECT_EQ(h.game.board().hashKey, h.game.board().computedHashKey());
    h.force({"d7d5"});
    EXPECT_EQ(h.game.sideToMove(), WHITE);
}

// After each opponent move: either the game ends with a result and no search,
// or the engine starts thinking on its reply.
TEST(GameEnd, OpponentMovesThatEndTheGameAndThoseThatDoNot)
{
    struct Case {
        const char* fen;
        std::vector<std::string> moves;   // the last is the opponent's move under test
        const char* result;               // nullptr: play goes on
    };
    const std::vector<std::string> twice = {"g1f3", "g8f6", "f3g1", "f6g8", "g1f3", "g8f6", "f3g1", "f6g8"};
    const Case cases[] = {
        {START_FEN, twice, "result 3"},                                   // third occurrence
        {START_FEN, kKnightsOutAndBack, nullptr},                          // second occurrence
        {"4k3/8/8/8/8/5p2/8/4K1N1 w - - 0 50", {"g1f3"}, "result 5"},      // K+N v K
        {"4k3/8/8/8/8/5p2/8/1N2K1N1 w - - 0 50", {"g1f3"}, nullptr},       // K+N+N v K
        {"4k3/8/8/8/8/8/4P3/4K3 w - - 98 80", {"e1d1", "e8d8"}, "result 4"},
        {"4k3/8/8/8/8/8/4P3/4K3 w - - 98 80", {"e1d1"}, nullptr},          // 99 half-moves
        {"k7/8/1K6/8/8/8/8/2Q5 w - - 0 60", {"c1c7"}, "result 2"},
    };
    for (const Case& c : cases) {
        GameHarness h;
        h.game.setPosition(c.fen);
        h.force(std::vector<std::string>(c.moves.begin(), c.moves.end() - 1));
        h.game.thinkAfterUserMove = true;
        h.game.playMoveWhenDone = true;
        EXPECT_EQ(h.game.userMove(c.moves.back().c_str()), MOVE_ACCEPTED);
        EXPECT_EQ(h.game.cycleOpen(), c.result == nullptr) << c.fen << " " << c.moves.back();
        h.game.playMoveWhenDone = false;
        h.game.stopAll();
        EXPECT_EQ(h.gui.events(), c.result ? std::vector<std::string>{c.result} : std::vector<std::string>{})
            << c.fen << " " << c.moves.back();
    }
    // The second occurrence marks the position as a draw in the table.
    GameHarness h;
    h.force(kKnightsOutAndBack);
    const auto entry = h.game.hashTable()->findEntry(h.game.board().hashKey);
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->flags, static_cast<std::uint32_t>(HASH_FIXED));
}

TEST(EngineMove, ResignsBelowMinus1492Only)
{
    // Two positions whose depth-1 scores sit on either side of the threshold.
    for (const auto& [fen, score, resigns] : {std::tuple{"k7/1p6/5p2/8/6Q1/8/6PP/2R3K1 b - - 0 40", -1492, false},
                                              std::tuple{"k7/1p6/4p3/7Q/8/8/6PP/2R3K1 b - - 0 40", -1493, true}}) {
        GameHarness h;
        h.game.setPosition(fen);
        thinkToDepth(h, 1);
        ASSERT_EQ(h.game.search()->bestScore(), score) << "the evaluation changed; pick new positions";
        const std::vector<std::string> events = h.gui.events();
        ASSERT_FALSE(events.empty());
        EXPECT_EQ(events[0].compare(0, 5, "move "), 0);
        EXPECT_EQ(events.size(), resigns ? 2u : 1u) << fen;
        EXPECT_EQ(events.back() == "resign", resigns);   // after the move
    }
}

TEST(EngineMove, MatesAnnounceTheResultAndNoLegalMoveAnnouncesNoMove)
{
    const std::pair<const char*, std::vector<std::string>> cases[] = {
        {"r5k1/5ppp/8/8/8/8/5PPP/6K1 b - - 0 30", {"move a8a1", "result 1"}},   // mate given as Black
        {"R5k1/5ppp/8/8/8/8/5PPP/6K1 b - - 0 30", {"result 0"}},                 // mated
        {"k7/2Q5/1K6/8/8/8/8/8 b - - 0 60", {"result 2"}},                       // stalemated
    };
    for (const auto& [fen, events] : cases) {
        GameHarness h;
        h.game.setPosition(fen);
        thinkToDepth(h, 256);
        EXPECT_EQ(h.gui.events(), events) << fen;
        EXPECT_EQ(h.game.historyCount(), events.size() - 1) << fen;
    }
}

TEST(TakeBack, TwoHalfMovesOrTheOnlyOneAndNeverBehindAPositionFromTheInterface)
{
    GameHarness h;
    h.force({"e2e4", "e7e5", "g1f3"});
    h.game.takeBackTwo();
    EXPECT_EQ(h.fen(), "rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3 0 1");
    h.game.takeBackTwo();   // only one half-move left: it goes, and the move number stays right
    EXPECT_EQ(h.game.historyCount(), 0u);
    EXPECT_EQ(h.game.sideToMove(), WHITE);
    EXPECT_EQ(h.fen(), START_FEN);

    h.force({"e2e4", "e7e5"});
    h.game.setPosition("4k3/8/8/8/8/8/4P3/4K3 w - - 0 30");
    h.force({"e2e4", "e8d7"});
    h.game.undoMove();
    EXPECT_EQ(h.fen(), "4k3/8/8/8/4P3/8/8/4K3 b - e3 0 30");
    h.game.takeBackTwo();
    h.game.undoMove();
    EXPECT_EQ(h.fen(), "4k3/8/8/8/8/8/4P3/4K3 w - - 0 30");
}

TEST(TakeBack, AReturnTakenBackNoLongerScoresAsADraw)
{
    GameHarness h;
    h.force(kKnightsOutAndBack);   // the start position stands a second time: marked
    const std::uint64_t start = h.game.board().hashKey;
    auto marked = [&] {
        const auto entry = h.game.hashTable()->peek(start);
        return entry && entry->flags == HASH_FIXED;
    };
    EXPECT_TRUE(marked());
    h.game.undoMove();
    EXPECT_FALSE(marked());
    h.force({"f6g8", "g1f3", "g8f6", "f3g1", "f6g8"});   // three times now
    h.game.undoMove();
    EXPECT_TRUE(marked());   // it still stands twice in the game
}

TEST(TakeBack, UndoAndRemoveInAnyOrderKeepTheInterfacesPosition)
{
    // The interface's view: a prefix of one opening line, replayed by the referee.
    const std::vector<std::string> line = quietOpening();
    GameHarness h;
    std::size_t played = 0;
    unsigned seed = 12345;
    for (int step = 0; step < 400; ++step) {
        seed = seed * 1103515245u + 12345u;
        const unsigned pick = (seed >> 16) % 5;
        if (pick <= 2 && played < line.size()) {
            h.force({line[played++]});
        } else if (pick == 3) {
            h.game.undoMove();
            played -= played > 0 ? 1 : 0;
        } else {
            h.game.takeBackTwo();
            played -= std::min<std::size_t>(played, 2);
        }
        Referee referee;
        std::string why;
        for (std::size_t i = 0; i < played; ++i)
            ASSERT_TRUE(referee.play(line[i], why)) << why;
        ASSERT_EQ(h.fen(), referee.fen()) << "step " << step;
        ASSERT_EQ(h.game.historyCount(), played);
    }
}

TEST(History, LongGamesKeepWorkingBeyond1024HalfMoves)
{
    GameHarness h;
    const std::size_t rounds = 300;   // 1200 half-moves of knights going out and back
    std::vector<std::string_view> moves;
    for (std::size_t i = 0; i < rounds; ++i)
        moves.insert(moves.end(), kKnightsOutAndBack.begin(), kKnightsOutAndBack.end());
    ASSERT_TRUE(h.game.startFrom(START_FEN, moves));
    EXPECT_EQ(h.game.board().fullmoveNumber, static_cast<std::int32_t>(1 + 2 * rounds));
    h.force({"e2e4", "e7e5"});
    EXPECT_TRUE(h.gui.events().empty());
    EXPECT_EQ(h.game.historyCount(), 4 * rounds + 2);
    // Every half-move can be taken back again, down to the start position.
    for (std::size_t i = 0; i < 2 * rounds + 1; ++i)
        h.game.takeBackTwo();
    EXPECT_EQ(h.fen(), START_FEN);
}

TEST(History, ThinkingLinesEndWhereTheGameWouldBeDrawn)
{
    struct Row {
        const char* what;
        const char* fen;
        std::vector<std::string> played;   // the game so far
        std::vector<std::string> line;     // a thinking line from there
        std::uint32_t shown;
    };
    const Row rows[] = {
        {"the start position a third time", START_FEN, {"g1f3", "g8f6", "f3g1", "f6g8", "g1f3", "g8f6"},
         {"f3g1", "f6g8", "g1f3", "g8f6"}, 2},
        {"a third time within the line itself", START_FEN, {}, {"g1f3", "g8f6", "f3g1", "f6g8", "g1f3", "g8f6",
                                                               "f3g1", "f6g8", "e2e4"}, 8},
        // An en passant square no pawn can use does not make a position new.
        {"a third time, the first after a double step", "4k1n1/8/8/8/8/8/4P3/4K1N1 w - - 0 1",
         {"e2e4", "g8f6", "g1f3", "f6g8", "f3g1"}, {"g8f6", "g1f3", "f6g8", "f3g1", "e8d8"}, 4},
        {"a double step in the line itself", "4k1n1/8/8/8/8/8/4P3/4K1N1 w - - 0 1", {},
         {"e2e4", "g8f6", "g1f3", "f6g8", "f3g1", "g8f6", "g1f3", "f6g8", "f3g1", "e8d8"}, 9},
        {"a double step a pawn could take beside", "4k1n1/8/8/8/3p4/8/4P3/4K1N1 w - - 0 1",
         {"e2e4", "g8f6", "g1f3", "f6g8", "f3g1"},
         {"g8f6", "g1f3", "f6g8", "f3g1", "g8f6", "e8d8"}, 5},
        {"the fiftieth move without a capture or pawn move", "7k/8/8/8/8/8/8/K5R1 w - - 99 80", {}, {"g1g2", "h8h7"}, 1},
        {"a move that cannot be played here", START_FEN, {"e2e4"}, {"e7e5", "e7e5"}, 1},
        {"no draw: the whole line", START_FEN, {}, {"e2e4", "e7e5", "g1f3"}, 3},
    };
    for (const Row& row : rows) {
        GamePosition game;
        auto board = boardFrom(row.fen);
        game.reset(*board, false);
        for (const std::string& move : row.played)
            ASSERT_TRUE(game.play(game.legalMove(move.c_str()), true)) << move;
        std::vector<Move> line;   // the moves as the search writes them (NO_MOVE for one it could not)
        GamePosition scratch;
        scratch.reset(game.board(), false);
        for (const std::string& text : row.line) {
            line.push_back(scratch.legalMove(text.c_str()));
            if (line.back() != NO_MOVE)
                scratch.play(line.back(), true);
        }
        PlayableLine playable;
        playable.setEarlierPositions(game, false);
        EXPECT_EQ(playable.length(game.board(), game.sideToMove(), line.data(), static_cast<std::uint32_t>(line.size())),
                  row.shown)
            << row.what;
    }
}
