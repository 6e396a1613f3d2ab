// Start-up, detection and shutdown of the real engine binary.
#include <gtest/gtest.h>

#include "support/engine_process.h"

namespace {

using Lines = std::vector<std::string>;

// Feeds the whole input, closes it, and returns every output line and the exit status.
std::pair<Lines, std::optional<int>> runWith(const Lines& input, const Lines& args = {})
{
    EngineProcess engine(kelpBinary(), args);
    for (const std::string& line : input)
        engine.writeLine(line);
    engine.closeInput();
    Lines output = engine.readLinesFor(10000);
    return {output, engine.waitExit(10000)};
}

} // namespace

TEST(Startup, UnsupportedInterfacesGetOneLineAndStatusZero)
{
    for (const Lines& input : {Lines{"hello"}, Lines{}, Lines{"uci "}, Lines{"UCI"}})
        EXPECT_EQ(runWith(input), std::make_pair(Lines{"unsupported GUI"}, std::optional<int>(0)));
}

TEST(Startup, FeatureLineIsTheFirstOutputOfVersionTwoAndVersionOneSaysNothing)
{
    EngineProcess v2(kelpBinary());
    v2.writeLine("xboard");
    v2.writeLine("protover 2");
    EXPECT_EQ(v2.readLine(10000), "feature ping=0 setboard=1 playother=1 san=0 usermove=1 time=1 draw=0 sigint=0 "
                                  "sigterm=0 reuse=0 analyze=0 myname=\"Kelp V0.5.15.1\" colors=0 ics=0 name=1 "
                                  "pause=0 done=1");
    EngineProcess v1(kelpBinary());
    v1.writeLine("xboard");
    v1.writeLine("new");
    EXPECT_EQ(v1.readLine(1500), std::nullopt);
    for (EngineProcess* engine : {&v1, &v2}) {
        engine->writeLine("quit");
        EXPECT_EQ(engine->waitExit(10000), 0);
    }
}

TEST(Startup, QuitOrTheEndOfInputEndsEveryDialectWithStatusZero)
{
    for (const Lines& input :
         {Lines{"uci", "quit"}, Lines{"xboard", "protover 2", "quit"}, Lines{"uci"}, Lines{"xboard"}, Lines{"xboard", "protover 2"}})
        EXPECT_EQ(runWith(input).second, 0) << input.size() << " lines from " << input[0];
}

TEST(Startup, CommandLineOptionsNeverStopTheEngine)
{
    const auto [output, status] = runWith({"uci", "quit"}, {"-C", "-5", "-R", "x", "-C"});
    ASSERT_FALSE(output.empty());
    EXPECT_EQ(output.back(), "uciok");
    EXPECT_EQ(status, 0);
}
