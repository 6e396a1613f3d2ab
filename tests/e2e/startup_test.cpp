// Start-up, detection and shutdown of the real engine binaries.
#include <gtest/gtest.h>

#include "support/engine_process.h"

namespace {

const char* const kFeatureLine =
    "feature ping=0 setboard=1 playother=1 san=0 usermove=1 time=1 draw=0 sigint=0 sigterm=0 "
    "reuse=0 analyze=0 myname=\"Kelp V0.5.15.1\" colors=0 ics=0 name=1 pause=0 done=1";

// Feeds the whole input, closes it, and returns every output line and the exit status.
std::pair<std::vector<std::string>, std::optional<int>> runWith(const std::vector<std::string>& lines,
                                                                const std::string& binary = kelpBinary())
{
    EngineProcess engine(binary);
    for (const std::string& line : lines)
        engine.writeLine(line);
    engine.closeInput();
    std::vector<std::string> output = engine.readLinesFor(10000);
    return {output, engine.waitExit(10000)};
}

} // namespace

TEST(Startup, UnsupportedInterfacesGetOneLineAndStatusZero)
{
    for (const std::vector<std::string>& input :
         {std::vector<std::string>{"hello"}, std::vector<std::string>{},
          std::vector<std::string>{"uci "}, std::vector<std::string>{"UCI"}}) {
        auto [output, status] = runWith(input);
        EXPECT_EQ(output, std::vector<std::string>{"unsupported GUI"});
        EXPECT_EQ(status, 0);
    }
}

TEST(Startup, FeatureLineIsTheFirstOutputOfVersionTwo)
{
    EngineProcess engine(kelpBinary());
    engine.writeLine("xboard");
    engine.writeLine("protover 2");
    EXPECT_EQ(engine.readLine(10000), std::optional<std::string>(kFeatureLine));
    engine.writeLine("quit");
    EXPECT_EQ(engine.waitExit(10000), 0);
}

TEST(Startup, VersionOneSaysNothingDuringDetection)
{
    EngineProcess engine(kelpBinary());
    engine.writeLine("xboard");
    engine.writeLine("new");
    EXPECT_EQ(engine.readLine(1500), std::nullopt);
    engine.writeLine("quit");
    EXPECT_EQ(engine.waitExit(10000), 0);
    EXPECT_TRUE(engine.transcript().empty());
}

TEST(Startup, QuitEndsEveryDialectWithStatusZero)
{
    auto [uciOut, uciStatus] = runWith({"uci", "quit"});
    EXPECT_EQ(uciStatus, 0);
    ASSERT_FALSE(uciOut.empty());
    EXPECT_EQ(uciOut.back(), "uciok");

    auto [v2Out, v2Status] = runWith({"xboard", "protover 2", "quit"});
    EXPECT_EQ(v2Status, 0);
    EXPECT_EQ(v2Out, std::vector<std::string>{kFeatureLine});
}

TEST(Startup, ClosingInputWithoutQuitEndsTheRun)
{
    for (const std::vector<std::string>& input :
         {std::vector<std::string>{"uci"}, std::vector<std::string>{"xboard"},
          std::vector<std::string>{"xboard", "protover 2"}}) {
        EngineProcess engine(kelpBinary());
        for (const std::string& line : input)
            engine.writeLine(line);
        engine.closeInput();
        EXPECT_EQ(engine.waitExit(10000), 0) << input.back();
    }
}

TEST(Startup, CommandLineOptionsNeverStopTheEngine)
{
    EngineProcess engine(kelpBinary(), {"-C", "-5", "-R", "x", "-C"});
    engine.writeLine("uci");
    EXPECT_TRUE(engine.readUntil([](const std::string& l) { return l == "uciok"; }, 10000));
    engine.writeLine("quit");
    EXPECT_EQ(engine.waitExit(10000), 0);
}
