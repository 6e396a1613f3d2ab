// The UCI handshake with the real engine binary over pipes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/engine_process.h"

namespace {

constexpr int kAnswerMs = 10000;
constexpr int kQuietMs = 1000;

const std::vector<std::string> kHandshake = {
    "id name Kelp Test",
    "id author Quarnel",
    "option name Hossa type spin default 1 min 1 max 512",
    "option name Zorb type button",
    "uciok",
};

} // namespace

TEST(Uci, HandshakeIsFiveLinesInOrderAndNothingMore)
{
    for (const std::string& binary : {kelpBinary(), earlierKelpBinary()}) {
        EngineProcess engine(binary);
        engine.writeLine("uci");
        std::vector<std::string> lines = engine.readLinesFor(kQuietMs);
        EXPECT_EQ(lines, kHandshake) << binary;
        engine.writeLine("quit");
        EXPECT_EQ(engine.waitExit(kAnswerMs), 0) << binary;
    }
}

TEST(Uci, IsreadyIsAnsweredAndEverythingElseIgnored)
{
    EngineProcess uci(kelpBinary());
    uci.writeLine("uci");
    ASSERT_EQ(uci.readLinesFor(kQuietMs), kHandshake);
    uci.writeLine("isready");
    EXPECT_EQ(uci.readLine(kAnswerMs), "readyok");
    for (const char* line : {" quit", "QUIT", "quit ", "isready ", "ucinewgame", "position startpos moves e2e4",
                             "go depth 3", "stop", "setoption name Hossa value 64", "uci", "xboard", "new", ""})
        uci.writeLine(line);
    uci.writeLine(std::string("isready") + std::string(293, ' '));   // 300 characters: ignored
    EXPECT_TRUE(uci.readLinesFor(kQuietMs).empty());
    uci.writeLine("isready");
    EXPECT_EQ(uci.readLine(kAnswerMs), "readyok");
    uci.writeLine("quit");
    EXPECT_EQ(uci.waitExit(kAnswerMs), 0);
}
