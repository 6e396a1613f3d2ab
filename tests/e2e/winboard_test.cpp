// The WinBoard/xboard dialogue with the real engine binary over pipes: what a
// chess interface sends in both protocol versions, and what comes back.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "release/version.h"
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

TEST(WinBoardCommands, OpponentNamesChangeNothingAndPlayotherWaitsForTheOpponent)
{
    for (const char* name : {"name whiteknight", "name blackbird", "name timelord"}) {
        Session v2(2);
        v2.send({"new", name, "usermove e2e4"});
        v2.expectMoveIn(kAfterE4);
    }
    Session v2(2);
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
    EXPECT_NE(v2.features.find("myname=\"Kelp V" KELP_EARLIER_VERSION "\""), std::string::npos) << v2.features;
    v2.send({"new", "usermove e2e4"});
    v2.expectMoveIn(kAfterE4);
}

// Command streams a careless or hostile interface may send. Each row's answers
// come in order ("move FEN" stands for any move legal in that position), with
// thinking lines between them that never show the null move a1a1; after the
// last answer the engine says nothing more (one result line per game end),
// and it ends with status 0 on "quit".
TEST(WinBoardCommands, HostileStreamsGetSoundAnswersAndNoKingIsEverTaken)
{
    struct Row {
        int version;
        std::vector<std::string> send;
        std::vector<std::string> answers;
    };
    const std::string afterQh5 = "move rnbqkbnr/ppppp1pp/5p2/7Q/4P3/8/PPPP1PPP/RNB1KBNR b KQkq - 1 2";
    const std::string fromStart = std::string("move ") + START_FEN;
    const std::string mateInOne = "setboard 6k1/5ppp/8/8/8/8/5PPP/R5K1 w - - ";
    const Row rows[] = {
        // Version 1 force mode: the side rule would let White move again and take the king.
        {1, {"force", "e2e4", "f7f6", "d1h5", "h5e8", "go"}, {"Illegal move: h5e8", afterQh5}},
        // "white" leaves Black in check with White to move: no move, no search; "new" plays on.
        {2, {"force", "usermove e2e4", "usermove f7f6", "usermove d1h5", "white", "usermove h5e8", "go", "new",
             "usermove e2e4"},
         {"Illegal move: h5e8", "tellusererror Illegal position", std::string("move ") + kAfterE4}},
        {2, {"setboard 4k2R/8/8/8/8/8/8/4K3 w - - 0 1", "usermove h8e8", "go"},
         {"tellusererror Illegal position", "Illegal move: h8e8", fromStart}},
        {2, {"setboard 3k4/3K4/8/8/8/8/8/8 w - - 0 1", "go"}, {"tellusererror Illegal position", fromStart}},
        {1, {"edit", "#", "Kd7", "c", "Kd8", ".", "go"}, {"tellusererror Illegal position", fromStart}},
        // A mate on the hundredth half-move beats the fifty-move rule; a clock run out is still searched.
        {2, {mateInOne + "99 90", "level 0 0 0", "time 1000", "go"}, {"move a1a8", "1-0 {White mates}"}},
        {2, {mateInOne + "100 90", "level 0 0 0", "time 1000", "go"}, {"move a1a8", "1-0 {White mates}"}},
        // Stalemated, then asked to move: the result is not announced twice.
        {2, {"setboard k7/8/8/2Q5/8/8/8/7K w - - 0 1", "usermove c5b6", "go"}, {"1/2-1/2 {StaleMate}"}},
        {2, {"usermove e2e4\r\r"}, {std::string("move ") + kAfterE4}},
        // Take-backs as PyChess (two undos) and GNOME Chess (force before each) send them; "undo"
        // with nothing to take back changes nothing. Without them the last move would be illegal.
        {2, {"force", "usermove g1f3", "usermove g8f6", "force", "undo", "undo", "usermove g1f3", "go"},
         {"move rnbqkbnr/pppppppp/8/8/8/5N2/PPPPPPPP/RNBQKB1R b KQkq - 1 1"}},
        {1, {"force", "e2e4", "e7e5", "f1b5", "a7a6", "force", "undo", "force", "undo", "f1b5", "go"},
         {"move rnbqkbnr/pppp1ppp/8/1B2p3/4P3/8/PPPP1PPP/RNBQK1NR b KQkq - 1 2"}},
        {2, {"undo", "force", "usermove e2e4", "undo", "undo", "remove", "usermove d2d4", "go"},
         {"move rnbqkbnr/pppppppp/8/8/3P4/8/PPP1PPPP/RNBQKBNR b KQkq d3 0 1"}},
    };
    // All rows at once: each engine thinks for its default half second.
    std::vector<std::unique_ptr<Session>> sessions;
    for (const Row& row : rows) {
        sessions.push_back(std::make_unique<Session>(row.version));
        sessions.back()->send({"new"});
        for (const std::string& line : row.send)
            sessions.back()->send({line});
    }
    for (std::size_t r = 0; r < sessions.size(); ++r) {
        SCOPED_TRACE("row " + std::to_string(r));
        EngineProcess& engine = sessions[r]->engine;
        for (const std::string& answer : rows[r].answers) {
            std::optional<std::string> line;
            while ((line = engine.readLine(kAnswerMs)) && isThinkingLine(*line))
                EXPECT_EQ(line->find("a1a1"), std::string::npos) << *line;
            if (!line) {
                ADD_FAILURE() << "no answer; expected " << answer;
                break;
            }
            std::string why;
            if (answer.rfind("move ", 0) == 0 && answer.find('/') != std::string::npos)
                EXPECT_TRUE(line->rfind("move ", 0) == 0 && Referee(answer.substr(5).c_str()).play(line->substr(5), why))
                    << *line << ": " << why;
            else
                EXPECT_EQ(*line, answer);
        }
    }
    // Anything more (a second result line, say) has come by now.
    std::this_thread::sleep_for(std::chrono::milliseconds(kQuietMs));
    for (std::size_t r = 0; r < sessions.size(); ++r) {
        for (const std::string& line : sessions[r]->said(100))
            EXPECT_TRUE(isThinkingLine(line) && line.find("a1a1") == std::string::npos) << "row " << r << ": " << line;
    }
}
