// The WinBoard/xboard dialogue with the real engine binary over pipes: what a
// chess interface sends in both protocol versions, and what comes back.
#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

#include "support/engine_process.h"
#include "support/referee.h"

namespace {

const char* const kFeatureLine =
    "feature ping=0 setboard=1 playother=1 san=0 usermove=1 time=1 draw=0 sigint=0 sigterm=0 "
    "reuse=0 analyze=0 myname=\"Kelp V0.5.15.1\" colors=0 ics=0 name=1 pause=0 done=1";

constexpr int kAnswerMs = 15000;   // for a move at the default budget: generous
constexpr int kQuietMs = 1500;     // how long "no answer" is watched for

const char* const kAfterE4 = "rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3 0 1";
const char* const kAfterE4E5 = "rnbqkbnr/pppp1ppp/8/4p3/4P3/8/PPPP1PPP/RNBQKBNR w KQkq e6 0 2";

bool isMoveLine(const std::string& line) { return line.rfind("move ", 0) == 0; }

// "depth score time nodes" and the best line in coordinate notation.
bool isThinkingLine(const std::string& line)
{
    static const std::regex pattern(R"(^-?\d+ -?\d+ -?\d+ -?\d+( [a-h][1-8][a-h][1-8][qrbn]?)*$)");
    return std::regex_match(line, pattern);
}

// True when `move` is a legal move in the position `fen`; `why` says otherwise.
bool legalIn(const char* fen, const std::string& move, std::string& why)
{
    Referee referee(fen);
    return referee.play(move, why);
}

// One engine process and the interface's side of the dialogue.
class Session {
public:
    // Version 2 reads the feature line; version 1 sends "new" as its second line.
    explicit Session(int version, const std::string& binary = kelpBinary()) : engine_(binary)
    {
        engine_.writeLine("xboard");
        if (version == 2) {
            engine_.writeLine("protover 2");
            features_ = engine_.readLine(kAnswerMs).value_or("(no line)");
        } else {
            engine_.writeLine("new");
        }
    }

    const std::string& features() const { return features_; }
    void send(const std::string& line) { engine_.writeLine(line); }
    std::optional<std::string> nextLine(int timeoutMs = kAnswerMs) { return engine_.readLine(timeoutMs); }

    // Every line up to and including the engine's move; empty if no move came.
    std::vector<std::string> linesToMove(int timeoutMs = kAnswerMs)
    {
        std::vector<std::string> lines;
        const long long deadline = nowMs() + timeoutMs;
        while (nowMs() < deadline) {
            std::optional<std::string> line = engine_.readLine(static_cast<int>(deadline - nowMs()));
            if (!line)
                break;
            lines.push_back(*line);
            if (isMoveLine(*line))
                return lines;
        }
        return {};
    }
    // The text of the engine's move ("" if none came).
    std::string move(int timeoutMs = kAnswerMs)
    {
        const std::vector<std::string> lines = linesToMove(timeoutMs);
        return lines.empty() ? "" : lines.back().substr(5);
    }
    // Waits for the first thinking line: the search is running.
    bool thinking() { return engine_.readUntil(isThinkingLine, kAnswerMs).has_value(); }
    // Lines that arrive within the quiet period.
    std::vector<std::string> said(int ms = kQuietMs) { return engine_.readLinesFor(ms); }

    std::optional<int> quit()
    {
        engine_.writeLine("quit");
        return engine_.waitExit(kAnswerMs);
    }
    EngineProcess& engine() { return engine_; }

private:
    EngineProcess engine_;
    std::string features_;
};

} // namespace

TEST(WinBoardVersion2, FeatureLineComesFirstAndItsAnswersAreSilent)
{
    Session v2(2);
    EXPECT_EQ(v2.features(), kFeatureLine);
    for (const char* line : {"accepted usermove", "rejected san", "accepted done", "protover 2", "random",
                             "hard", "easy", "post", "nopost", "computer", "otim 500", "time 6000", "ping 1",
                             "level 0 5 0", "e2e4", "edit", "#", "."})
        v2.send(line);
    EXPECT_TRUE(v2.said().empty());
    EXPECT_EQ(v2.quit(), 0);
}

TEST(WinBoardVersion2, UsermoveIsAnsweredWithThinkingAndThenAMove)
{
    Session v2(2);
    v2.send("new");
    v2.send("post");
    v2.send("usermove e2e4");
    const std::vector<std::string> lines = v2.linesToMove();
    ASSERT_GE(lines.size(), 2u) << "a move after at least one thinking line";
    for (std::size_t i = 0; i + 1 < lines.size(); ++i)
        EXPECT_TRUE(isThinkingLine(lines[i])) << lines[i];
    std::string why;
    EXPECT_TRUE(legalIn(kAfterE4, lines.back().substr(5), why)) << lines.back() << ": " << why;
    EXPECT_EQ(v2.quit(), 0);
}

TEST(WinBoardVersion2, BareMoveIsIgnoredAndIllegalUsermoveIsNamed)
{
    Session v2(2);
    v2.send("new");
    v2.send("e2e4");
    EXPECT_TRUE(v2.said().empty());
    v2.send("usermove e2e5");
    EXPECT_EQ(v2.nextLine(), "Illegal move: e2e5");
    // e2e4 was never played, so it is legal now.
    v2.send("usermove e2e4");
    std::string why;
    const std::string reply = v2.move();
    EXPECT_TRUE(legalIn(kAfterE4, reply, why)) << reply << ": " << why;
    EXPECT_EQ(v2.quit(), 0);
}

TEST(WinBoardVersion1, BareMovesArePlayedAndIllegalOnesNamed)
{
    Session v1(1);
    v1.send("e2e5");
    EXPECT_EQ(v1.nextLine(), "Illegal move: e2e5");
    v1.send("e2e4");
    std::string why;
    const std::string reply = v1.move();
    EXPECT_TRUE(legalIn(kAfterE4, reply, why)) << reply << ": " << why;
    EXPECT_EQ(v1.quit(), 0);
}

TEST(WinBoardVersion1, ForceModeTakesABlackMoveWithWhiteToMove)
{
    Session v1(1);
    v1.send("force");
    v1.send("e7e5");
    EXPECT_TRUE(v1.said().empty());   // accepted, and no search in force mode
    v1.send("go");                     // White is to move again
    std::string why;
    const std::string reply = v1.move();
    EXPECT_TRUE(legalIn("rnbqkbnr/pppp1ppp/8/4p3/8/8/PPPPPPPP/RNBQKBNR w KQkq e6 0 2", reply, why))
        << reply << ": " << why;
    EXPECT_EQ(v1.quit(), 0);
}

TEST(WinBoardVersion1, RemoveTakesBackTheLastTwoMoves)
{
    Session v1(1);
    v1.send("force");
    v1.send("e2e4");
    v1.send("e7e5");
    v1.send("remove");
    v1.send("e2e4");   // legal again only if both moves were taken back
    EXPECT_TRUE(v1.said().empty());
    v1.send("go");
    std::string why;
    const std::string reply = v1.move();
    EXPECT_TRUE(legalIn(kAfterE4, reply, why)) << reply << ": " << why;
    EXPECT_EQ(v1.quit(), 0);
}

TEST(WinBoardVersion1, EditSetsUpThePositionThatGoThenPlays)
{
    Session v1(1);
    for (const char* line : {"force", "edit", "#", "c", "Ke8", "c", "Ke1", "Qd1", "."})
        v1.send(line);
    EXPECT_TRUE(v1.said().empty());
    v1.send("go");
    std::string why;
    const std::string reply = v1.move();
    EXPECT_TRUE(legalIn("4k3/8/8/8/8/8/8/3QK3 w - - 0 1", reply, why)) << reply << ": " << why;
    EXPECT_EQ(v1.quit(), 0);
}

TEST(WinBoardVersion1, EndOfInputInsideEditEndsTheRunWithStatusZero)
{
    Session v1(1);
    v1.send("edit");
    v1.send("#");
    v1.send("quit");   // not a command inside the editor
    v1.send("Ke1");
    v1.engine().closeInput();
    EXPECT_EQ(v1.engine().waitExit(kAnswerMs), 0);
    EXPECT_TRUE(v1.engine().transcript().empty());
}

TEST(WinBoardCommands, ResultStopsTheSearchUntilGoOrNew)
{
    Session v2(2);
    v2.send("new");
    v2.send("level 40 5 0");   // 7 s a move: the search is still running when "result" comes
    v2.send("usermove e2e4");
    ASSERT_TRUE(v2.thinking());
    v2.send("result 1-0 {White mates}");
    for (const std::string& line : v2.said())
        EXPECT_FALSE(isMoveLine(line)) << line;

    // An opponent move now starts no search.
    v2.send("usermove e7e5");
    EXPECT_TRUE(v2.said(2000).empty());

    v2.send("level 40 1 0");   // 1 s a move from here on
    v2.send("go");
    std::string why;
    std::string reply = v2.move();
    EXPECT_TRUE(legalIn(kAfterE4E5, reply, why)) << reply << ": " << why;

    // After another result, "new" turns play back on.
    v2.send("result 1/2-1/2 {Draw}");
    v2.send("new");
    v2.send("usermove e2e4");
    reply = v2.move();
    EXPECT_TRUE(legalIn(kAfterE4, reply, why)) << reply << ": " << why;
    EXPECT_EQ(v2.quit(), 0);
}

TEST(WinBoardCommands, BadSetboardIsReportedAndPlayGoesOnFromTheOldPosition)
{
    Session v2(2);
    // Only the rook, the king and castling can move: none of them could in the start position.
    const char* const position = "4k3/8/8/8/8/8/8/R3K3 w Q - 0 1";
    v2.send(std::string("setboard ") + position);
    v2.send("setboard rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBN w KQkq - 0 1");
    EXPECT_EQ(v2.nextLine(), "tellusererror Illegal position");
    v2.send("go");
    std::string why;
    const std::string reply = v2.move();
    EXPECT_TRUE(legalIn(position, reply, why)) << reply << ": " << why;
    EXPECT_EQ(v2.quit(), 0);
}

TEST(WinBoardCommands, NameWithWhiteSetsWhiteToMoveAndOtimIsIgnored)
{
    Session v2(2);
    v2.send("force");
    v2.send("usermove e2e4");
    v2.send("name whiteknight");   // White to move again
    v2.send("otim 500");
    EXPECT_TRUE(v2.said().empty());
    v2.send("go");
    std::string why;
    const std::string reply = v2.move();
    EXPECT_TRUE(legalIn("rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR w KQkq - 0 1", reply, why))
        << reply << ": " << why;
    EXPECT_EQ(v2.quit(), 0);
}

TEST(WinBoardCommands, PlayotherWaitsForTheOpponentsMove)
{
    Session v2(2);
    v2.send("force");
    v2.send("usermove e2e4");
    v2.send("playother");   // the engine takes White; Black is to move
    EXPECT_TRUE(v2.said().empty());
    v2.send("usermove e7e5");
    std::string why;
    const std::string reply = v2.move();
    EXPECT_TRUE(legalIn(kAfterE4E5, reply, why)) << reply << ": " << why;
    EXPECT_EQ(v2.quit(), 0);
}

TEST(WinBoardCommands, QuestionMarkMovesNow)
{
    Session v2(2);
    v2.send("level 40 40 0");   // almost a minute a move
    v2.send("usermove e2e4");
    ASSERT_TRUE(v2.thinking());
    v2.send("?");
    std::string why;
    const std::string reply = v2.move(20000);
    EXPECT_TRUE(legalIn(kAfterE4, reply, why)) << reply << ": " << why;
    EXPECT_EQ(v2.quit(), 0);
}

TEST(WinBoardCommands, QuitWhileThinkingStillAnnouncesTheMove)
{
    Session v2(2);
    v2.send("level 40 5 0");
    v2.send("usermove e2e4");
    ASSERT_TRUE(v2.thinking());
    v2.send("quit");
    std::string why;
    const std::string reply = v2.move();
    EXPECT_TRUE(legalIn(kAfterE4, reply, why)) << reply << ": " << why;
    EXPECT_EQ(v2.engine().waitExit(kAnswerMs), 0);
}

TEST(WinBoardCommands, OverlongLineIsIgnoredAndPlayGoesOn)
{
    for (int version : {1, 2}) {
        Session session(version);
        session.send("force");
        // If any part of these were taken, e2e4 would be played twice.
        const std::string move = version == 2 ? "usermove e2e4" : "e2e4";
        session.send(move + std::string(300 - move.size(), ' '));
        session.send(move + std::string(300 - move.size(), 'x'));
        session.send(move);
        EXPECT_TRUE(session.said().empty()) << "version " << version;
        session.send("go");
        std::string why;
        const std::string reply = session.move();
        EXPECT_TRUE(legalIn(kAfterE4, reply, why)) << "version " << version << ": " << reply << ": " << why;
        EXPECT_EQ(session.quit(), 0);
    }
}

TEST(WinBoardEarlierRelease, AnnouncesItsNameAndPlays)
{
    Session v2(2, earlierKelpBinary());
    EXPECT_NE(v2.features().find("myname=\"Kelp V0.4.13.1\""), std::string::npos) << v2.features();
    v2.send("new");
    v2.send("usermove e2e4");
    std::string why;
    const std::string reply = v2.move();
    EXPECT_TRUE(legalIn(kAfterE4, reply, why)) << reply << ": " << why;
    EXPECT_EQ(v2.quit(), 0);
}
