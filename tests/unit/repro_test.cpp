#include <gtest/gtest.h>

#include "support/engine_process.h"
#include "support/repro_stream.h"

TEST(Reproducibility, TheSameStreamSearchesTheSameNodesInOneProcess)
{
    const std::vector<std::uint64_t> first = runReproStream();
    const std::vector<std::uint64_t> second = runReproStream();
    ASSERT_EQ(first.size(), 5u);
    EXPECT_EQ(first, second);
    for (const std::uint32_t nodes : first)
        EXPECT_GT(nodes, 0u);
}

TEST(Reproducibility, TheSameStreamSearchesTheSameNodesInTwoProcesses)
{
    auto run = [] {
        EngineProcess repro(std::string(KELP_BUILD_DIR) + "/tests/kelp-repro");
        repro.closeInput();
        std::vector<std::uint64_t> nodes;
        while (std::optional<std::string> line = repro.readLine(120000))
            nodes.push_back(std::stoull(*line));
        EXPECT_EQ(repro.waitExit(120000), 0);
        return nodes;
    };
    const std::vector<std::uint64_t> first = run();
    EXPECT_EQ(first, run());
    EXPECT_EQ(first, runReproStream());   // and the same as in this process
}
