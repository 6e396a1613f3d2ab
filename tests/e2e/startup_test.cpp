// Start-up, detection and shutdown of the real engine binary.
#include <gtest/gtest.h>

#include <cstdlib>

#include "release/version.h"
#include "support/engine_process.h"
#include "support/referee.h"

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
                                  "sigterm=0 reuse=0 analyze=0 myname=\"Kelp V" KELP_CURRENT_VERSION "\" "
                                  "colors=0 ics=0 name=1 pause=0 done=1");
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

TEST(Startup, AClosedOutputOrNoRoomForThreadsNeverLeavesTheInterfaceHanging)
{
    {
        // The interface stops reading: the search's lines and its move find no
        // reader (no SIGPIPE death), and the next line read ends the engine as "quit".
        EngineProcess engine(kelpBinary());
        engine.writeLine("xboard");
        engine.writeLine("protover 2");
        ASSERT_TRUE(engine.readLine(10000));
        engine.closeOutput();
        engine.writeLine("usermove e2e4");
        for (int i = 0; i < 50 && !engine.waitExit(200); ++i)
            engine.writeLine("force");
        EXPECT_EQ(engine.waitExit(0), 0);
    }
#if !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
    // Every new thread would want a 2 GB stack in a 1 GB address space: the
    // move comes from a search on the input thread all the same. An emulator
    // (KELP_RUNNER) needs that address space itself, so cross builds skip this.
    if (std::getenv("KELP_RUNNER") != nullptr)
        return;
    EngineProcess engine("/bin/sh", {"-c", "ulimit -v 1000000 && ulimit -s 2000000 && exec " + kelpBinary()});
    engine.writeLine("xboard");
    engine.writeLine("new");
    engine.writeLine("e2e4");
    std::optional<std::string> line;
    while ((line = engine.readLine(10000)) && line->rfind("move ", 0) != 0) {
    }
    ASSERT_TRUE(line) << "no move";
    std::string why;
    EXPECT_TRUE(Referee("rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3 0 1").play(line->substr(5), why))
        << *line << ": " << why;
    engine.writeLine("quit");
    EXPECT_EQ(engine.waitExit(10000), 0);
#endif
}
