// The WinBoard/xboard dialogue with the real engine binary over pipes: what a
// chess interface sends in both protocol versions, and what comes back.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "support/engine_process.h"
#include "support/referee.h"

namespace {

constexpr int kAnswerMs = 15000;   // for a move at the default budget: generous
constexpr int kQuietMs = 1500;     // how long "no answer" is watched for

const char* const kAfterE4 = "rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3 0 1";
const char* const kAfterE4E5 = "rnbqkbnr/pppp1ppp/8/4p3/4P3/8/PPPP1PPP/RNBQKBNR w KQkq e6 0 2";

// "depth score time nodes" and the best line in coordinate notation. (Without
// <regex>, whose inlined code draws false warnings from GCC in optimised builds.)
bool isThinkingLine(const std::string& line)
{
    std::istringstream words(line);
    long long numbers[4];
    if (!(words >> numbers[0] >> numbers[1] >> numbers[2] >> numbers[3]))
        return false;
    for (std::string m; words >> m;) {
        if (m.size() < 4 || m.size() > 5 || m[0] < 'a' || m[0] > 'h' || m[1] < '1' || m[1] > '8' || m[2] < 'a' ||
            m[2] > 'h' || m[3] < '1' || m[3] > '8' || (m.size() == 5 && std::string("qrbn").find(m[4]) == std::string::npos))
            return false;
    }
    return true;
}

// One engine process and the interface's side of the dialogue.
class Session {
public:
    // Version 2 reads the feature line; version 1 sends "new" as its second line.
    explicit Session(int version, const std::string& binary = kelpBinary()) : engine(binary)
    {
        engine.writeLine("xboard");
        engine.writeLine(version == 2 ? "protover 2" : "new");
        if (version == 2)
            features = engine.readLine(kAnswerMs).value_or("(no line)");
    }
    // Every session ends with "quit" (unless its input is closed already) and status 0.
    ~Session()
    {
        engine.writeLine("quit");
        EXPECT_EQ(engine.waitExit(kAnswerMs), 0);
    }
    void send(std::initializer_list<std::string> lines)
    {
        for (const std::string& line : lines)
            engine.writeLine(line);
    }
    // Every line up to and including the engine's move; empty if no move came.
    std::vector<std::string> linesToMove()
    {
        std::vector<std::string> lines;
        while (std::optional<std::string> line = engine.readLine(kAnswerMs)) {
            lines.push_back(*line);
            if (line->rfind("move ", 0) == 0)
                return lines;
        }
        return {};
    }
    // The engine's next move is legal in `fen`.
    void expectMoveIn(const char* fen)
    {
        const std::vector<std::string> lines = linesToMove();
        ASSERT_FALSE(lines.empty()) << "no move";
        std::string why;
        EXPECT_TRUE(Referee(fen).play(lines.back().substr(5), why)) << lines.back() << ": " << why;
    }
    bool thinking()
    {
        while (std::optional<std::string> line = engine.readLine(kAnswerMs)) {
            if (isThinkingLine(*line))
                return true;
        }
        return false;
    }
    std::vector<std::string> said(int ms = kQuietMs) { return engine.readLinesFor(ms); }

    EngineProcess engine;
    std::string features;
};

} // namespace

TEST(WinBoardVersion2, UsermoveIsAnsweredAndBareMovesAndOtherCommandsAreSilent)
{
    Session v2(2);
    v2.send({"new", "post", "usermove e2e4"});
    const std::vector<std::string> lines = v2.linesToMove();
    ASSERT_GE(lines.size(), 2u) << "a move after at least one thinking line";
    for (std::size_t i = 0; i + 1 < lines.size(); ++i)
        EXPECT_TRUE(isThinkingLine(lines[i])) << lines[i];
    std::string why;
    EXPECT_TRUE(Referee(kAfterE4).play(lines.back().substr(5), why)) << lines.back() << ": " << why;

    v2.send({"new", "accepted usermove", "rejected san", "accepted done", "protover 2", "random", "hard", "easy",
             "post", "nopost", "computer", "level 0 5 0", "otim 500", "time 6000", "ping 1", "e2e4", "edit", "#", "."});
    EXPECT_TRUE(v2.said().empty());
    v2.send({"usermove e2e5"});
    EXPECT_EQ(v2.engine.readLine(kAnswerMs), "Illegal move: e2e5");
    v2.send({"usermove e2e4"});   // e2e4 was never played, so it is legal now
    v2.expectMoveIn(kAfterE4);
}

TEST(WinBoardVersion1, BareMovesArePlayedAndForceModeTakesTheSideFromThePiece)
{
    Session v1(1);
    v1.send({"e2e5"});
    EXPECT_EQ(v1.engine.readLine(kAnswerMs), "Illegal move: e2e5");
    v1.send({"e2e4"});
    v1.expectMoveIn(kAfterE4);
    v1.send({"new", "e7e5"});   // outside force mode the side to move is not taken from the board
    EXPECT_EQ(v1.engine.readLine(kAnswerMs), "Illegal move: e7e5");
    // "remove" takes back both moves (or e2e4 would be illegal); Black moves with White to move.
    v1.send({"force", "e2e4", "e7e5", "remove", "e7e5", "e2e4"});
    EXPECT_TRUE(v1.said().empty());
    v1.send({"go"});
    v1.expectMoveIn("rnbqkbnr/pppp1ppp/8/4p3/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3 0 2");
    // The end of input inside the editor ends the run; "quit" is no command there.
    v1.send({"edit", "#", "quit", "Ke1"});
    v1.engine.closeInput();
    EXPECT_TRUE(v1.said(kAnswerMs).empty());
}

TEST(WinBoardCommands, ResultStopsTheSearchUntilGoOrNew)
{
    Session v2(2);
    v2.send({"new", "level 40 5 0", "usermove e2e4"});   // 7 s a move: still thinking at "result"
    ASSERT_TRUE(v2.thinking());
    v2.send({"result 1-0 {White mates}"});
    for (const std::string& line : v2.said())
        EXPECT_NE(line.rfind("move ", 0), 0u) << line;
    v2.send({"usermove e7e5"});   // an opponent move now starts no search
    EXPECT_TRUE(v2.said(2000).empty());
    v2.send({"level 40 1 0", "go"});
    v2.expectMoveIn(kAfterE4E5);
    // After another result, "new" turns play back on.
    v2.send({"result 1/2-1/2 {Draw}", "new", "usermove e2e4"});
    v2.expectMoveIn(kAfterE4);
}

TEST(WinBoardCommands, BadSetboardIsReportedAndPlayGoesOnFromTheOldPosition)
{
    Session v2(2);
    // Only the rook, the king and castling can move: none of them could in the start position.
    const char* const position = "4k3/8/8/8/8/8/8/R3K3 w Q - 0 1";
    v2.send({std::string("setboard ") + position, "setboard rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBN w KQkq - 0 1"});
    EXPECT_EQ(v2.engine.readLine(kAnswerMs), "tellusererror Illegal position");
    v2.send({"go"});
    v2.expectMoveIn(position);
}

TEST(WinBoardCommands, NameWithWhiteSetsWhiteToMoveAndPlayotherWaitsForTheOpponent)
{
    Session v2(2);
    v2.send({"force", "usermove e2e4", "name whiteknight", "otim 500"});
    EXPECT_TRUE(v2.said().empty());
    v2.send({"go"});
    v2.expectMoveIn("rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR w KQkq - 0 1");
    v2.send({"new", "force", "usermove e2e4", "playother"});   // the engine takes White; Black is to move
    EXPECT_TRUE(v2.said().empty());
    v2.send({"usermove e7e5"});
    v2.expectMoveIn(kAfterE4E5);
}

TEST(WinBoardCommands, QuestionMarkMovesNowAndQuitWhileThinkingStillMoves)
{
    for (const char* stop : {"?", "quit"}) {
        Session v2(2);
        v2.send({"level 40 40 0", "usermove e2e4"});   // almost a minute a move
        ASSERT_TRUE(v2.thinking());
        v2.send({stop});
        v2.expectMoveIn(kAfterE4);
    }
}

TEST(WinBoardEarlierRelease, AnnouncesItsNameAndPlays)
{
    Session v2(2, earlierKelpBinary());
    EXPECT_NE(v2.features.find("myname=\"Kelp V0.4.13.1\""), std::string::npos) << v2.features;
    v2.send({"new", "usermove e2e4"});
    v2.expectMoveIn(kAfterE4);
}
