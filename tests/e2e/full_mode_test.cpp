// The full mode over pipes: UCI sessions with kelp-full and WinBoard sessions
// with "kelp --full", each a script of what the interface sends and what must
// come back. Progress lines ("info ..." and thinking lines) are passed over
// unless a step asks for one. Every UCI "go" gets exactly one "bestmove".
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

#include "support/engine_process.h"
#include "support/referee.h"

namespace {

constexpr int kAnswerMs = 20000;
// Rounds of four knight moves in the long position line: 200,000 plies took
// the quadratic reader of old 15 s and 30 s; a sanitizer's build reads fewer.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr int kLongLineRounds = 6250;
#else
constexpr int kLongLineRounds = 50000;
#endif
const char* const kAfterE4 = "rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3 0 1";
const char* const kAfterE4E5 = "rnbqkbnr/pppp1ppp/8/4p3/4P3/8/PPPP1PPP/RNBQKBNR w KQkq e6 0 2";
const char* const kMateInOne = "6k1/5ppp/8/8/8/8/5PPP/R5K1 w - - 0 1";

// Steps, by their first character:
//   >LINE  send LINE              ~MS   wait MS milliseconds
//   =TEXT  the next answer is TEXT (alternatives split by |), progress lines passed over
//   ^TEXT  the next answer starts with TEXT (alternatives split by |)
//   *TEXT  a progress line containing TEXT comes before the next answer
//   !TEXT  the very next line starts with TEXT: no progress line before it
//   BFEN   a bestmove legal in FEN, its ponder move legal after it
//   M      a WinBoard move legal in the game so far (which it then joins)
//   R      send the reply that the line of the last move expects (the WinBoard game goes on with it)
//   TTEXT  the thinking line before the last answer starts with TEXT
//   QMS    no answer but progress lines for MS milliseconds
//   PTEXT  a progress line starting with TEXT comes (others may come before it, answers may not)
//   DLO HI the last answer came LO to HI milliseconds after the last line sent
//   LN TEXT the progress lines before the next answer end in N lines of one depth (UCI: multipv 1 to N; the
//          last such run), the first starting with TEXT, scores not increasing, first moves all different;
//          a bestmove is the first move of line 1
struct Session {
    EngineProcess engine;
    bool uci;
    Referee game;            // the WinBoard game so far
    long long sentAt = 0;
    long long answeredAt = 0;
    int gos = 0;
    int bestmoves = 0;
    std::string lastThinking;
    std::string thinkingBeforeMove;   // the line of the engine's last move

    Session(const std::string& binary, const std::vector<std::string>& args, bool isUci)
        : engine(binary, args), uci(isUci)
    {
    }

    bool progress(const std::string& line) const
    {
        if (uci)
            return line.rfind("info ", 0) == 0 && line.rfind("info string", 0) != 0;
        return !line.empty() && (std::isdigit(static_cast<unsigned char>(line[0])) || line[0] == '-');
    }
    void send(const std::string& line)
    {
        engine.writeLine(line);
        sentAt = nowMs();
        gos += line.rfind("go", 0) == 0 && (line.size() == 2 || line[2] == ' ');
        if (line == "new")
            game = Referee();
        if (line.rfind("setboard ", 0) == 0 && line.size() > 9) {
            // The position as the engine reads it (counters added where missing); a refused one changes nothing.
            std::string fen = line.substr(9);
            if (std::count(fen.begin(), fen.end(), ' ') == 3)
                fen += " 0 1";
            auto board = std::make_unique<Board_class>();
            if (board->loadFen(fen.c_str()) == CE_SUCCESS && board->isLegalPosition())
                game = Referee(fen.c_str());
        }
        if (line.rfind("usermove ", 0) == 0) {
            std::string why;
            game.play(line.substr(9), why);
        }
    }
    // The next line that is not a progress line (nothing when none came); `seen` collects those passed over.
    std::optional<std::string> answer(std::vector<std::string>* seen = nullptr)
    {
        std::optional<std::string> line;
        while ((line = engine.readLine(kAnswerMs)) && progress(*line)) {
            lastThinking = *line;
            if (seen != nullptr)
                seen->push_back(*line);
        }
        answeredAt = nowMs();
        bestmoves += line && line->rfind("bestmove", 0) == 0;
        return line;
    }
    void run(const std::vector<std::string>& steps);
};

// What the L step reads of a progress line: its depth, its number (UCI
// "multipv"; 0 without), its score (mates beyond every other score) and first move.
struct ProgressLine {
    int depth = -1;
    int number = 0;
    long score = 0;
    std::string move;

    ProgressLine(const std::string& line, bool uci)
    {
        std::istringstream in(line);
        if (!uci) {
            std::string time, nodes;
            in >> depth >> score >> time >> nodes >> move;
            return;
        }
        for (std::string word; in >> word;) {
            if (word == "depth") {
                in >> depth;
            } else if (word == "multipv") {
                in >> number;
            } else if (word == "score") {
                std::string kind;
                in >> kind >> score;
                if (kind == "mate")
                    score = score > 0 ? 1000000 - score : -1000000 - score;
            } else if (word == "pv") {
                in >> move;
                break;
            }
        }
    }
};

std::vector<std::string> alternatives(const std::string& text)
{
    std::vector<std::string> parts;
    std::istringstream in(text);
    for (std::string part; std::getline(in, part, '|');)
        parts.push_back(part);
    return parts;
}

void Session::run(const std::vector<std::string>& steps)
{
    for (const std::string& step : steps) {
        SCOPED_TRACE(step);
        const char kind = step[0];
        const std::string rest = step.substr(1);
        if (kind == '>') {
            send(rest);
        } else if (kind == '~') {
            std::this_thread::sleep_for(std::chrono::milliseconds(std::stoi(rest)));
        } else if (kind == '=' || kind == '^') {
            const std::optional<std::string> line = answer();
            ASSERT_TRUE(line) << "no answer";
            bool matched = false;
            for (const std::string& want : alternatives(rest))
                matched = matched || (kind == '=' ? *line == want : line->rfind(want, 0) == 0);
            EXPECT_TRUE(matched) << *line;
        } else if (kind == '*') {
            std::vector<std::string> seen;
            const std::optional<std::string> line = answer(&seen);
            bool found = false;
            for (const std::string& s : seen)
                found = found || s.find(rest) != std::string::npos;
            EXPECT_TRUE(found) << "no progress line with \"" << rest << "\" before " << line.value_or("(nothing)");
            if (line)
                engine.unread(*line), bestmoves -= line->rfind("bestmove", 0) == 0;
        } else if (kind == '!') {
            const std::optional<std::string> line = engine.readLine(kAnswerMs);
            answeredAt = nowMs();
            ASSERT_TRUE(line) << "no answer";
            EXPECT_EQ(line->rfind(rest, 0), 0u) << *line;
            bestmoves += line->rfind("bestmove", 0) == 0;
        } else if (kind == 'B') {
            const std::optional<std::string> line = answer();
            ASSERT_TRUE(line && line->rfind("bestmove ", 0) == 0) << line.value_or("(nothing)");
            std::istringstream words(line->substr(9));
            std::string move, ponderWord, reply;
            words >> move >> ponderWord >> reply;
            Referee referee(rest.c_str());
            std::string why;
            EXPECT_TRUE(referee.play(move, why)) << *line << ": " << why;
            if (!ponderWord.empty()) {
                EXPECT_TRUE(ponderWord == "ponder" && referee.play(reply, why)) << *line << ": " << why;
            }
        } else if (kind == 'M') {
            const std::optional<std::string> line = answer();
            ASSERT_TRUE(line && line->rfind("move ", 0) == 0) << line.value_or("(nothing)");
            std::string why;
            EXPECT_TRUE(game.play(line->substr(5), why)) << *line << ": " << why;
            thinkingBeforeMove = lastThinking;
        } else if (kind == 'T') {
            EXPECT_EQ(thinkingBeforeMove.rfind(rest, 0), 0u) << thinkingBeforeMove;
        } else if (kind == 'R') {
            std::istringstream words(thinkingBeforeMove);
            std::string number, first, reply;
            for (int i = 0; i < 4; ++i)
                words >> number;
            words >> first >> reply;
            ASSERT_FALSE(reply.empty()) << "no expected reply in " << lastThinking;
            send("usermove " + reply);
        } else if (kind == 'Q') {
            const long long until = nowMs() + std::stoi(rest);
            for (long long left; (left = until - nowMs()) > 0;) {
                const std::optional<std::string> line = engine.readLine(static_cast<int>(left));
                if (line && !progress(*line)) {
                    ADD_FAILURE() << "unexpected " << *line;
                    engine.unread(*line);
                    break;
                }
                if (line)
                    lastThinking = *line;
            }
        } else if (kind == 'P') {
            std::optional<std::string> line;
            while ((line = engine.readLine(kAnswerMs)) && progress(*line) && line->rfind(rest, 0) != 0)
                lastThinking = *line;
            EXPECT_TRUE(line && progress(*line)) << "no progress line starting with \"" << rest << "\" before "
                                                 << line.value_or("(nothing)");
        } else if (kind == 'L') {
            std::istringstream words(rest);
            std::size_t count = 0;
            std::string text;
            words >> count;
            std::getline(words >> std::ws, text);
            std::vector<std::string> seen;
            const std::optional<std::string> line = answer(&seen);
            // Runs of lines of one depth (UCI: each from its "multipv 1" on), from the last back.
            std::size_t end = seen.size(), first = 0;
            while (end > 0) {
                first = end - 1;
                const ProgressLine last(seen[first], uci);
                while (first > 0 && (!uci || ProgressLine(seen[first], uci).number != 1) &&
                       ProgressLine(seen[first - 1], uci).depth == last.depth)
                    --first;
                if (end - first == count)
                    break;
                end = first;
            }
            ASSERT_GT(end, 0u) << "no " << count << " lines of one depth before " << line.value_or("(nothing)");
            EXPECT_EQ(seen[first].rfind(text, 0), 0u) << seen[first];
            std::vector<std::string> moves;
            for (std::size_t k = first; k < end; ++k) {
                const ProgressLine progressLine(seen[k], uci);
                if (uci) {
                    EXPECT_EQ(progressLine.number, static_cast<int>(k - first + 1)) << seen[k];
                }
                if (k > first) {
                    EXPECT_LE(progressLine.score, ProgressLine(seen[k - 1], uci).score) << seen[k];
                }
                EXPECT_TRUE(!progressLine.move.empty() &&
                            std::find(moves.begin(), moves.end(), progressLine.move) == moves.end())
                    << "no first move or one seen before: " << seen[k];
                moves.push_back(progressLine.move);
            }
            if (line && line->rfind("bestmove ", 0) == 0) {
                EXPECT_EQ(line->substr(9, line->find(' ', 9) - 9), moves.front()) << *line;
                bestmoves -= 1;
            }
            if (line)
                engine.unread(*line);
        } else if (kind == 'D') {
            // An emulator (KELP_RUNNER) starts and stops more slowly: three times the upper bound.
            std::istringstream bounds(rest);
            long long low = 0, high = 0;
            bounds >> low >> high;
            EXPECT_GE(answeredAt - sentAt, low);
            EXPECT_LE(answeredAt - sentAt, std::getenv("KELP_RUNNER") != nullptr ? 3 * high : high);
        }
    }
}

struct Row {
    const char* what;
    std::vector<std::string> steps;
};

// Runs every row in an engine of its own, a few at a time, and checks the end
// of each: "quit" ends it with status 0, and (UCI) there was one bestmove per go.
void runRows(const std::vector<Row>& rows, const std::string& binary, const std::vector<std::string>& args, bool uci)
{
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        Session session(binary, args, uci);
        if (uci) {
            session.send("uci");
            while (std::optional<std::string> line = session.engine.readLine(kAnswerMs))
                if (*line == "uciok")
                    break;
            session.answeredAt = nowMs();   // a first "D" step times the handshake
        } else {
            session.send("xboard");
            session.send("protover 2");
            EXPECT_EQ(session.engine.readLine(kAnswerMs).value_or("").rfind("feature ", 0), 0u);
        }
        session.run(row.steps);
        // "quit" ends a running search (its move or bestmove may still come) at once.
        session.send("quit");
        while (std::optional<std::string> line = session.answer()) {
            if (line->rfind(uci ? "bestmove " : "move ", 0) != 0)
                ADD_FAILURE() << "after the last step: " << *line;
        }
        EXPECT_EQ(session.engine.waitExit(kAnswerMs), 0);
        EXPECT_LT(nowMs() - session.sentAt, 5000);
        if (uci) {
            EXPECT_EQ(session.bestmoves, session.gos);
        }
    }
}

std::string knightsOutAndBack(int times)
{
    std::string moves;
    for (int i = 0; i < times; ++i)
        moves += " g1f3 g8f6 f3g1 f6g8";
    return moves;
}

} // namespace

TEST(FullModeUci, SessionsOfRealClientsGetOneBestmovePerGo)
{
    const std::string start = START_FEN;
    const std::vector<Row> rows = {
        {"movetime: a legal move within the time",
         {">position startpos moves e2e4", ">go movetime 500", std::string("B") + kAfterE4, "D300 2500"}},
        {"isready is answered while an infinite search runs, which only stop ends",
         {">position startpos", ">go infinite", "~300", ">isready", "=readyok", "D0 1000", "Q1000", ">stop",
          "B" + start, "D0 1500"}},
        {"go infinite and stop back to back", {">position startpos", ">go infinite", ">stop", "B" + start}},
        {"a stop with no search running is not kept for the next one",
         {">stop", ">position startpos", ">go depth 4", "B" + start, ">stop", ">go depth 3", "B" + start}},
        {"an infinite search that finds a mate waits for stop",
         {std::string(">position fen ") + kMateInOne, ">go infinite", "Q1500", ">stop", "=bestmove a1a8"}},
        {"a mated root: the score, then bestmove (none)",
         {std::string(">position fen ") + kMateInOne + " moves a1a8", ">go movetime 200", "*score mate 0",
          "=bestmove (none)"}},
        {"searchmoves restricts the root",
         {">position startpos", ">go depth 4 searchmoves a2a3 h2h4", "^bestmove a2a3|bestmove h2h4"}},
        {"the words of go in any order: a limit after searchmoves holds",
         {">position startpos", ">go searchmoves e2e4 d2d4 depth 3", "^bestmove e2e4|bestmove d2d4", "D0 5000",
          ">go searchmoves g1f3 wtime 300 btime 300", "^bestmove g1f3", "D0 2000"}},
        {"go after go with no stop: the first search answers, then the second (searchmoves read on a still board)",
         {">position startpos", ">go infinite", "~100", ">go depth 3 searchmoves e2e4 d2d4", "B" + start,
          "^bestmove e2e4|bestmove d2d4", ">go depth 2", "B" + start, ">go depth 2 searchmoves e2e4 d2d4",
          "^bestmove e2e4|bestmove d2d4"}},
        {"a position searched before is searched again from depth 1, its lines shown",
         {">position startpos", ">go depth 7", "B" + start, ">go infinite", "~300", ">stop", "*info depth 1 ",
          "B" + start}},
        {"no line of a search after the stop that ends it",
         {">position startpos", ">go infinite", "~3000", ">isready", "=readyok", ">stop", "!bestmove "}},
        {"a position line of 200,000 plies is read in linear time, and so is the next one (the answer's wait is 20 s)",
         {">position startpos moves" + knightsOutAndBack(kLongLineRounds), ">isready", "=readyok",
          ">position startpos moves" + knightsOutAndBack(kLongLineRounds) + " e2e4", ">isready", "=readyok",
          ">go depth 2", std::string("B") + kAfterE4}},
        {"an illegal move keeps the position up to it",
         {">position startpos moves e2e4 e2e4 e7e5", "^info string illegal move e2e4", ">go depth 2",
          std::string("B") + kAfterE4}},
        {"after a refused position no move is made until a valid one; a FEN may lack its move counters",
         {">position startpos moves e2e4", ">position fen no such position", "^info string illegal position",
          ">go depth 2", "^info string no position", "=bestmove (none)",
          ">position fen rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3", ">go depth 2",
          std::string("B") + kAfterE4}},
        {"a 400-ply position line is read whole",
         {">position startpos moves" + knightsOutAndBack(100), ">go depth 2", "B" + start}},
        {"ponder, then ponderhit: the move comes on the engine's own time",
         {">position startpos moves e2e4", ">go ponder wtime 3000 btime 3000", "Q1000", ">ponderhit",
          std::string("B") + kAfterE4, "D0 3000"}},
        {"ponder, then stop: a bestmove all the same",
         {">position startpos moves e2e4", ">go ponder wtime 9000 btime 9000", "~200", ">stop",
          std::string("B") + kAfterE4}},
        {"a clock and an increment", {">position startpos", ">go wtime 3000 btime 3000 winc 100 binc 100",
                                      "B" + start, "D0 3000"}},
        {"go mate and go nodes",
         {">position fen k7/8/2K5/8/8/8/8/1R6 w - - 0 1", ">go mate 2", "*score mate 2",
          "Bk7/8/2K5/8/8/8/8/1R6 w - - 0 1", ">position startpos", ">go nodes 5000", "B" + start}},
        {"Hash, Clear Hash, ucinewgame, and an unknown option",
         {">setoption name Hash value 16", ">setoption name Clear Hash", ">ucinewgame", ">isready", "=readyok",
          ">setoption name NoSuchOption value 1", "^info string unknown option NoSuchOption", ">position startpos",
          ">go depth 3", "B" + start}},
        {"three threads: isready, stop, ponderhit, node limits and quit as with one",
         {">setoption name Threads value 3", ">position startpos", ">go infinite", "~300", ">isready", "=readyok",
          ">stop", "B" + start, ">go ponder wtime 3000 btime 3000", "~300", ">ponderhit", "B" + start,
          ">go depth 6", "B" + start, ">go nodes 20000", "B" + start, ">go infinite", "~200"}},
        {"MultiPV 3: three lines a depth, best first, each its own move, bestmove line 1's (also when cut short)",
         {">setoption name MultiPV value 3", ">position startpos moves e2e4 e7e5", ">go nodes 100000",
          "L3 info depth ", std::string("B") + kAfterE4E5, ">go depth 5", "L3 info depth 5 multipv 1 ",
          std::string("B") + kAfterE4E5, ">setoption name MultiPV value 1", ">go depth 3", "*info depth 3 score ",
          std::string("B") + kAfterE4E5}},
        {"quit during a search", {">position startpos", ">go infinite", "~200"}},
    };
    runRows(rows, kelpFullBinary(), {}, true);
    // The handshake comes before a large table is built (the first isready would wait for it).
    runRows({{"-C 4095: uciok at once", {"D0 1500"}}}, kelpFullBinary(), {"-C", "4095"}, true);
}

TEST(FullModeWinBoard, PingAnalysisPonderingAndTheLimitsOfAMove)
{
    const std::vector<Row> rows = {
        {"ping waits for the move being thought about, and is answered at once otherwise",
         {">ping 3", "=pong 3", ">new", ">st 1", ">usermove e2e4", ">ping 7", "M", "=pong 7"}},
        {"while a ping waits for the move, input is read: ? moves at once",
         {">new", ">st 30", ">usermove e2e4", "~300", ">ping 8", ">?", "M", "D0 3000", "=pong 8"}},
        {"pondering with a depth limit: the ponder phase starts at once (its hold is read under the lock)",
         {">new", ">hard", ">sd 2", ">usermove e2e4", "M", ">ping 1", "=pong 1", ">usermove d2d4", "M",
          ">ping 2", "=pong 2"}},
        {"a position without move counters is read with 0 1; a refused one makes no move until a valid one",
         {">new", ">force", ">setboard rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3", ">go", "M",
          ">force", ">setboard no such position", "=tellusererror Illegal position", ">go", "Q1000",
          ">usermove e7e5", "^Illegal move", ">new", ">usermove e2e4", "M"}},
        {"st: a move within its seconds", {">new", ">st 1", ">usermove e2e4", "M", "D400 2500"}},
        {"the level's increment counts", {">new", ">level 0 1 5", ">time 6000", ">otim 6000", ">usermove e2e4", "M",
                                         "D4000 9000"}},
        {"sd and memory", {">new", ">memory 16", ">sd 2", ">usermove e2e4", "M", "T2 "}},
        {"cores 2: a move and analysis on two threads",
         {">new", ">cores 2", ">st 1", ">usermove e2e4", "M", ">analyze", "~300", ">exit", ">ping 1", "=pong 1"}},
        {"nopost: no thinking lines", {">new", ">nopost", ">st 1", ">usermove e2e4", "!move "}},
        {"analysis: thinking until exit, a move or undo restarts it, and no move is played",
         {">new", ">analyze", "~300", ">usermove e2e4", "~300", ">.", "^stat01: ", ">undo", "~300", ">exit",
          "Q1000", ">ping 1", "=pong 1"}},
        {"analysis goes on after memory, of the same size or another",
         {">new", ">analyze", "~300", ">ping 1", "=pong 1", ">memory 16", "P1 ", ">memory 16", "P", ">exit"}},
        {"analysis with MultiPV 2: two lines a depth, best first, each its own move",
         {">new", ">option MultiPV=2", ">analyze", ">usermove e2e4", "~1000", ">exit", ">ping 1", "L2 ", "=pong 1"}},
        {"pondering: the expected reply is a hit and the move comes on time",
         {">new", ">hard", ">st 1", ">usermove e2e4", "M", "~500", ">ping 2", "=pong 2", "R", "M", "D0 850"}},
        {"pondering: any other reply is searched afresh",
         {">new", ">hard", ">st 1", ">usermove d2d4", "M", "~300", ">usermove a2a3", "M", "D400 2500"}},
    };
    runRows(rows, kelpBinary(), {"--full"}, false);
    // A table that cannot be had: under a 1 GiB address-space limit (not with
    // a sanitizer's shadow memory, nor through an emulator).
#if !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
    if (std::getenv("KELP_RUNNER") == nullptr && access("/usr/bin/prlimit", X_OK) == 0)
        runRows({{"memory that cannot be had: the user is told, and the table keeps its size",
                  {">new", ">memory 4095", "^tellusererror Not enough memory", ">memory 16", ">ping 1", "=pong 1",
                   ">st 1", ">usermove e2e4", "M"}}},
                "/usr/bin/prlimit", {"--as=1073741824", kelpBinary(), "--full"}, false);
#endif
}
