// The UCI handshake with the real engine binaries over pipes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/engine_process.h"

TEST(Uci, HandshakeIsFiveLinesInOrderIsreadyIsAnsweredAndEverythingElseIgnored)
{
    const std::vector<std::string> handshake = {"id name Kelp Test", "id author Quarnel",
                                                "option name Hossa type spin default 1 min 1 max 512",
                                                "option name Zorb type button", "uciok"};
    for (const std::string& binary : {kelpBinary(), earlierKelpBinary()}) {
        EngineProcess uci(binary);
        uci.writeLine("uci");
        EXPECT_EQ(uci.readLinesFor(1000), handshake) << binary;
        uci.writeLine("isready");
        EXPECT_EQ(uci.readLine(10000), "readyok");
        for (const char* line : {" quit", "QUIT", "quit ", "isready ", "ucinewgame", "position startpos moves e2e4",
                                 "go depth 3", "stop", "setoption name Hossa value 64", "uci", "xboard", "new", ""})
            uci.writeLine(line);
        uci.writeLine(std::string("isready") + std::string(293, ' '));   // 300 characters: ignored
        EXPECT_TRUE(uci.readLinesFor(1000).empty()) << binary;
        uci.writeLine("isready");
        EXPECT_EQ(uci.readLine(10000), "readyok");
        uci.writeLine("quit");
        EXPECT_EQ(uci.waitExit(10000), 0) << binary;
    }
}
