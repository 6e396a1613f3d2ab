// kelp-tool eval, search and bench through the real binary.
#include <gtest/gtest.h>

#include "support/tool_run.h"

namespace {

const std::string kMiddleGame = "r1b1k2r/ppppqppp/2n2n2/2b1p3/2B1P3/2NP1N2/PPP2PPP/R1BQK2R w KQkq - 1 6";

} // namespace

TEST(KelpToolSearch, SearchesRepeatExactly)
{
    for (const char* release : {"0.5.15.1", "0.4.13.1"}) {
        const ToolRun first = runTool({"search", kMiddleGame, "5", "--release", release});
        const ToolRun second = runTool({"search", kMiddleGame, "5", "--release", release});
        ASSERT_FALSE(first.lines.empty());
        EXPECT_EQ(first.lines, second.lines) << release;
        EXPECT_EQ(first.lines.back().rfind("bestmove ", 0), 0u);
        EXPECT_EQ(first.status, 0);
    }
}

TEST(KelpToolSearch, MateInOneStopsAtIterationOne)
{
    const ToolRun run = runTool({"search", "6k1/5ppp/8/8/8/8/5PPP/3R2K1 w - - 0 30", "9"});
    ASSERT_GE(run.lines.size(), 2u);
    EXPECT_EQ(run.lines[run.lines.size() - 2], "0 99998 0 20 d1d8");
    EXPECT_EQ(run.lines.back(), "bestmove d1d8 score 99998 nodes 20");
}

TEST(KelpToolSearch, EvalPrintsOneNumber)
{
    EXPECT_EQ(runTool({"eval", "7r/8/8/8/8/8/2k5/K7 w - - 0 20"}).lines, std::vector<std::string>{"-775"});
    EXPECT_EQ(runTool({"eval", "8/8/8/8/8/8/8/8 w - - 0 1"}).lines, std::vector<std::string>{"error 2"});
    EXPECT_EQ(runTool({"search", kMiddleGame, "0"}).status, 2);
    EXPECT_EQ(runTool({"search", kMiddleGame, "3", "--hash", "0"}).status, 2);
}

// The node totals are a signature of the search: a change means the tree changed.
TEST(KelpToolSearch, BenchSignatureOfTheCurrentRelease)
{
    const ToolRun run = runTool({"bench"});
    ASSERT_FALSE(run.lines.empty());
    EXPECT_EQ(run.lines.back().rfind("nodes 4238981 ", 0), 0u) << run.lines.back();
}

TEST(KelpToolSearch, BenchSignatureOfTheEarlierRelease)
{
    const ToolRun run = runTool({"bench", "--release", "0.4.13.1"});
    ASSERT_FALSE(run.lines.empty());
    EXPECT_EQ(run.lines.back().rfind("nodes 5247894 ", 0), 0u) << run.lines.back();
}
