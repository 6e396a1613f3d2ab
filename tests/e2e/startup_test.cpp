// Start-up, detection and shutdown of the real engine binary.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

#include "release/version.h"
#include "support/engine_process.h"
#include "support/referee.h"

namespace {

using Lines = std::vector<std::string>;

// Feeds the whole input, closes it, and returns every output line and the exit status.
std::pair<Lines, std::optional<int>> runWith(const Lines& input, const Lines& args = {},
                                             const std::string& binary = kelpBinary())
{
    EngineProcess engine(binary, args);
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

TEST(Startup, TheFullModeIsOnlyWhereItIsAskedFor)
{
    const Lines handshake = {"id name Kelp Test", "id author Quarnel",
                             "option name Hossa type spin default 1 min 1 max 512", "option name Zorb type button"};
    Lines documented = handshake;
    documented.insert(documented.end(), {"uciok", "readyok"});
    // The full mode names the engine with its version and offers the options clients set.
    Lines full = {"id name Kelp " KELP_CURRENT_VERSION};
    full.insert(full.end(), handshake.begin() + 1, handshake.end());
    full.insert(full.end(), {"option name Hash type spin default 8 min 8 max 4095", "option name Clear Hash type button",
                             "option name Ponder type check default false",
                             "option name Threads type spin default 1 min 1 max 256",
                             "option name MultiPV type spin default 1 min 1 max 256",
                             "option name Move Overhead type spin default 10 min 0 max 5000",
                             "option name Table Statistics type check default false", "uciok"});
    const Lines search = {"position startpos", "go movetime 100", "isready"};
    // Without the switch (and in the earlier release, which has no full mode) UCI never searches.
    Lines uci = {"uci"};
    uci.insert(uci.end(), search.begin(), search.end());
    EXPECT_EQ(runWith(uci).first, documented);
    EXPECT_EQ(runWith(uci, {"--full"}, earlierKelpBinary()).first, documented);
    const std::string feature = "feature ping=%d setboard=1 playother=1 san=0 usermove=1 time=1 draw=0 sigint=0 "
                                "sigterm=0 reuse=0 analyze=%d myname=\"Kelp V%s\" colors=0 ics=0 name=1 pause=0 %sdone=1";
    auto featureLine = [&](int on, const char* version) {
        char text[512];
        std::snprintf(text, sizeof text, feature.c_str(), on, on, version,
                      on ? "memory=1 smp=1 option=\"MultiPV -spin 1 1 256\" " : "");
        return Lines{text};
    };
    EXPECT_EQ(runWith({"xboard", "protover 2"}, {"--full"}, earlierKelpBinary()).first, featureLine(0, KELP_EARLIER_VERSION));
    EXPECT_EQ(runWith({"xboard", "protover 2"}, {"--full"}).first, featureLine(1, KELP_CURRENT_VERSION));
    // Detection that sends "xboard" and then "uci" gets UCI from the full mode.
    const auto [lines, status] = runWith({"xboard", "uci"}, {}, kelpFullBinary());
    EXPECT_EQ(lines, full);
    EXPECT_EQ(status, 0);
    // --help and --version answer and end every program with status 0.
    for (const std::string& binary : {kelpBinary(), kelpFullBinary(), earlierKelpBinary()}) {
        const std::string name = binary.substr(binary.rfind('/') + 1);
        const auto [help, helpStatus] = runWith({}, {"--help"}, binary);
        ASSERT_FALSE(help.empty());
        EXPECT_EQ(help[0].rfind("Usage: " + name.substr(0, name.find(".exe")), 0), 0u) << help[0];
        EXPECT_EQ(helpStatus, 0);
        const auto [version, versionStatus] = runWith({}, {"--version"}, binary);
        ASSERT_EQ(version.size(), 1u);
        EXPECT_NE(version[0].find(binary == earlierKelpBinary() ? KELP_EARLIER_VERSION : KELP_CURRENT_VERSION), std::string::npos);
        EXPECT_EQ(versionStatus, 0);
    }
}
