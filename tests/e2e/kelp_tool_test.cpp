// The kelp-tool command line through the real binary.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <set>
#include <sstream>

#include "release/version.h"
#include "support/engine_process.h"

namespace {

using Lines = std::vector<std::string>;

const std::string kStart = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1";
const std::string kMiddleGame = "r1b1k2r/ppppqppp/2n2n2/2b1p3/2B1P3/2NP1N2/PPP2PPP/R1BQK2R w KQkq - 1 6";
const std::string kKiwipete = "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1";

} // namespace

// Positions, keys and evaluations are the engine's own (unit tests); here the tool's output.
TEST(KelpTool, MovesPerftAndDivideOutput)
{
    EXPECT_EQ(runTool({"eval", "8/8/8/8/8/8/8/8 w - - 0 1"}).lines, Lines{"error 2"});   // a rejected FEN
    EXPECT_EQ(runTool({"selfplay", "8/8/8/8/8/8/8/8 w - - 0 1", "4", "40"}).lines, Lines{"error 2"});
    EXPECT_EQ(runTool({"moves", "4k3/8/8/3pP3/8/8/8/4K3 w - d6 0 1"}).lines,
              (Lines{"captures: e5d6", "noncaptures: e5e6 e1f1 e1f2 e1e2 e1d2 e1d1", "status: 0"}));
    EXPECT_EQ(runTool({"moves", "R5k1/5ppp/8/8/8/8/8/6K1 b - - 0 1"}).lines, (Lines{"captures:", "noncaptures:", "status: 25"}));
    EXPECT_EQ(runTool({"perft", kStart, "3"}).lines, Lines{"8902"});
    const ToolRun divide = runTool({"divide", "8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - - 0 1", "2"});
    ASSERT_EQ(divide.lines.size(), 15u);
    EXPECT_EQ(divide.lines.front(), "b4f4 2");   // the capture comes first
    EXPECT_EQ(divide.lines.back(), "total 191");
}

TEST(KelpTool, BadArgumentsExitWithUsageError)
{
    for (const Lines& args : {Lines{}, {"nonsense"}, {"perft", kStart}, {"perft", kStart, "x"}, {"perft", kStart, "-1"},
                              {"fen"}, {"fen", kStart, "--release", "1.0"}, {"divide", kStart, "0"},
                              {"search", kMiddleGame, "0"}, {"search", kMiddleGame, "3", "--hash", "0"},
                              {"selfplay", kStart, "4"}, {"selfplay", kStart, "4", "0"}}) {
        const ToolRun run = runTool(args);
        EXPECT_EQ(run.status, 2);
        EXPECT_TRUE(run.lines.empty());
    }
}

// Every command is listed by --help and has an entry in the man page.
TEST(KelpTool, EveryCommandIsInTheHelpAndTheManPage)
{
    const std::set<std::string> commands{"fen",  "key",    "moves", "perft",   "divide",
                                         "eval", "search", "bench", "selfplay"};
    const ToolRun help = runTool({"--help"});
    EXPECT_EQ(help.status, 0);
    std::set<std::string> inHelp;   // a line indented by two spaces starts with a command
    for (const std::string& line : help.lines) {
        if (line.size() > 2 && line.compare(0, 2, "  ") == 0 && line[2] != ' ')
            inHelp.insert(line.substr(2, line.find(' ', 2) - 2));
    }
    EXPECT_EQ(inHelp, commands);

    // In the page's COMMANDS section the line after each .TP is ".B command" or ".BI command ...".
    const char* pagePath = KELP_SOURCE_DIR "/packaging/kelp-tool.1.in";
    std::ifstream page(pagePath);
    ASSERT_TRUE(page) << pagePath;
    std::set<std::string> inPage;
    bool inCommands = false;
    bool entryTag = false;
    for (std::string line; std::getline(page, line);) {
        if (line.rfind(".SH ", 0) == 0)
            inCommands = line == ".SH COMMANDS";
        else if (entryTag) {
            std::istringstream words(line);
            std::string macro;
            std::string command;
            words >> macro >> command;
            inPage.insert(command);
        }
        entryTag = inCommands && line == ".TP";
    }
    EXPECT_EQ(inPage, commands);
}

TEST(KelpTool, SearchesRepeatExactly)
{
    for (const char* release : {KELP_CURRENT_VERSION, KELP_EARLIER_VERSION}) {
        const ToolRun first = runTool({"search", kMiddleGame, "5", "--release", release});
        ASSERT_FALSE(first.lines.empty());
        EXPECT_EQ(first.lines, runTool({"search", kMiddleGame, "5", "--release", release}).lines) << release;
        EXPECT_EQ(first.lines.back().rfind("bestmove ", 0), 0u);
        EXPECT_EQ(first.status, 0);
    }
}

TEST(KelpTool, MateInOneStopsAtIterationOne)
{
    const ToolRun run = runTool({"search", "6k1/5ppp/8/8/8/8/5PPP/3R2K1 w - - 0 30", "9"});
    ASSERT_GE(run.lines.size(), 2u);
    EXPECT_EQ(run.lines[run.lines.size() - 2], "0 99998 0 20 d1d8");
    EXPECT_EQ(run.lines.back(), "bestmove d1d8 score 99998 nodes 20");
    // In a game the mating move is announced with its result, and the game ends there.
    EXPECT_EQ(runTool({"selfplay", "6k1/5ppp/8/8/8/8/5PPP/3R2K1 w - - 0 30", "9", "40"}).lines,
              (Lines{"ply 1 move d1d8 score 99998 nodes 20", "result 0", "total nodes 20"}));
    // A side to move that is already mated has no move to play.
    EXPECT_EQ(runTool({"selfplay", "R5k1/5ppp/8/8/8/8/8/6K1 b - - 0 1", "4", "40"}).lines,
              (Lines{"ply 1 none score -99999 nodes 0", "total nodes 0"}));
}

// The node totals are a signature of the search: a change means the tree changed.
// Every move generator the processor runs (KELP_CPU_PATH) searches the same tree;
// the line before the last names the one used.
TEST(KelpTool, BenchSignatureOfTheCurrentRelease)
{
    for (const char* path : {"portable", "popcnt", "bmi2"}) {
        setenv("KELP_CPU_PATH", path, 1);
        const ToolRun run = runTool({"bench"});
        unsetenv("KELP_CPU_PATH");
        ASSERT_GE(run.lines.size(), 2u) << path;
        EXPECT_EQ(run.lines.back().rfind("nodes 4238981 ", 0), 0u) << path << ": " << run.lines.back();
        const std::string& used = run.lines[run.lines.size() - 2];
        const bool lacking = used.find("lacks") != std::string::npos;   // not on this processor or build
        EXPECT_TRUE(lacking || used.rfind(std::string("cpu path ") + path + " ", 0) == 0) << path << ": " << used;
    }
    // The engine of the full mode runs the same bench, as testing frameworks ask for it.
    EngineProcess engine(kelpFullBinary(), {"bench"});
    engine.closeInput();
    const std::vector<std::string> lines = engine.readLinesFor(300000);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back().rfind("nodes 4238981 ", 0), 0u) << lines.back();
    EXPECT_NE(lines.back().find(" nps "), std::string::npos) << lines.back();
    EXPECT_EQ(engine.waitExit(10000), 0);
}

TEST(KelpTool, BenchSignatureOfTheEarlierRelease)
{
    const ToolRun run = runTool({"bench", "--release", KELP_EARLIER_VERSION});
    ASSERT_FALSE(run.lines.empty());
    EXPECT_EQ(run.lines.back().rfind("nodes 5247894 ", 0), 0u) << run.lines.back();
}

// Searches in sequence within one game, as the engine plays them: the table, killers and
// seeded lines carried from move to move. A change in how a game feeds its searches shows here.
TEST(KelpTool, SelfplaySignaturesOfBothReleases)
{
    struct Row {
        const char* release;
        const char* startTotal;
        Lines kiwipeteEnd;   // the last two lines
    };
    const Row rows[] = {
        {KELP_CURRENT_VERSION, "total nodes 1108723", {"resign", "total nodes 3519556"}},
        {KELP_EARLIER_VERSION, "total nodes 567711", {"ply 40 move d6f6 score 29 nodes 32307", "total nodes 2704754"}},
    };
    for (const Row& row : rows) {
        const ToolRun start = runTool({"selfplay", kStart, "4", "40", "--release", row.release});
        ASSERT_EQ(start.lines.size(), 41u) << row.release;
        EXPECT_EQ(start.lines.back(), row.startTotal) << row.release;
        const ToolRun kiwipete = runTool({"selfplay", kKiwipete, "4", "40", "--release", row.release});
        ASSERT_GE(kiwipete.lines.size(), 2u) << row.release;
        EXPECT_EQ(Lines(kiwipete.lines.end() - 2, kiwipete.lines.end()), row.kiwipeteEnd) << row.release;
    }
}
