// The kelp-tool command line for positions and move generation.
#include <gtest/gtest.h>

#include "support/tool_run.h"

namespace {

const std::string kStart = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1";

} // namespace

TEST(KelpToolBoard, FenAndKeyCommands)
{
    ToolRun fen = runTool({"fen", "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w qK - 37 81"});
    EXPECT_EQ(fen.lines, std::vector<std::string>{"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w Kq - 37 81"});
    EXPECT_EQ(fen.status, 0);
    EXPECT_EQ(runTool({"fen", "8/8/8/8/8/8/8/8 w - - 0 1"}).lines, std::vector<std::string>{"error 2"});
    EXPECT_EQ(runTool({"key", kStart}).lines, std::vector<std::string>{"bdfbd825bf187a62"});
    EXPECT_EQ(runTool({"key", kStart, "--release", "0.4.13.1"}).lines,
              std::vector<std::string>{"bdfbd825bf187a62"});
}

TEST(KelpToolBoard, MovesListsBothArraysAndTheStatus)
{
    ToolRun run = runTool({"moves", "4k3/8/8/3pP3/8/8/8/4K3 w - d6 0 1"});
    EXPECT_EQ(run.lines, (std::vector<std::string>{
                             "captures: e5d6", "noncaptures: e5e6 e1f1 e1f2 e1e2 e1d2 e1d1",
                             "status: 0"}));
    ToolRun mate = runTool({"moves", "R5k1/5ppp/8/8/8/8/8/6K1 b - - 0 1"});
    EXPECT_EQ(mate.lines, (std::vector<std::string>{"captures:", "noncaptures:", "status: 25"}));
}

TEST(KelpToolBoard, PerftAndDivide)
{
    EXPECT_EQ(runTool({"perft", kStart, "3"}).lines, std::vector<std::string>{"8902"});
    ToolRun divide = runTool({"divide", "8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - - 0 1", "2"});
    ASSERT_EQ(divide.lines.size(), 15u);
    EXPECT_EQ(divide.lines.back(), "total 191");
    EXPECT_EQ(divide.lines.front(), "b4f4 2");   // the capture comes first
}

TEST(KelpToolBoard, BadArgumentsExitWithUsageError)
{
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{}, {"nonsense"}, {"perft", kStart}, {"perft", kStart, "x"},
          {"perft", kStart, "-1"}, {"fen"}, {"fen", kStart, "--release", "1.0"}, {"divide", kStart, "0"}}) {
        ToolRun run = runTool(args);
        EXPECT_EQ(run.status, 2);
        EXPECT_TRUE(run.lines.empty());
    }
    EXPECT_EQ(runTool({"--help"}).status, 0);
}
