#include "app/startup.h"

#include <memory>
#include <string>

#include "app/bench.h"
#include "app/config.h"
#include "game/game.h"
#include "platform/debug_output.h"
#include "protocol/gui_detection.h"

namespace {

void printUsage(LineOutput& output, const std::string& program, const ReleaseProfile& release, bool fullModeBuiltIn)
{
    const std::string options = !release.hasFullMode  ? ""
                                : fullModeBuiltIn     ? "[--statistics] "
                                                      : "[--full] [--statistics] ";
    output.writeLine(("Usage: " + program + " " + options + "[-C MIB] [-R WORD] | --help | --version").c_str());
    output.writeLine("A chess engine for xboard/WinBoard (protocol 1 and 2) and UCI interfaces: start it from");
    output.writeLine("the interface, which talks to it over standard input and output.");
    if (fullModeBuiltIn)
        output.writeLine("This is the full mode: UCI play and analysis, pondering, ping, st, sd and memory.");
    else if (release.hasFullMode)
        output.writeLine("  --full      the full mode: UCI play and analysis, pondering, ping, st, sd and memory");
    if (release.hasFullMode) {
        output.writeLine("  --statistics  the table statistics on standard error after each search (the full");
        output.writeLine("              mode's UCI option \"Table Statistics\"; without --full they always are)");
    }
    if (release.hasFullMode)
        output.writeLine("  bench       the full mode searches its bench positions, prints nodes and nps, and exits");
    output.writeLine("  -C MIB      transposition table size in MiB (default 8)");
    output.writeLine("  -R WORD     accepted and ignored");
    output.writeLine("  --help      this text");
    output.writeLine("  --version   the version");
}

} // namespace

int runEngine(int argc, const char* const* argv, const ReleaseProfile& release,
              LineInput& input, LineOutput& output, bool fullModeBuiltIn)
{
    Config_class config;
    if (argc > 1)
        config.parseCommandLine(argc - 1, argv + 1);
    const std::string program = fullModeBuiltIn               ? "kelp-full"
                                : &release == &currentRelease() ? "kelp"
                                                                : std::string("kelp-") + release.version;
    if (config.helpWanted) {
        printUsage(output, program, release, fullModeBuiltIn);
        return 0;
    }
    if (config.versionWanted) {
        output.writeLine((program + " " + release.version).c_str());
        return 0;
    }
    const bool fullMode = release.hasFullMode && (fullModeBuiltIn || config.fullMode);
    // "kelp-full bench", as testing frameworks run it: the bench's node count and speed.
    if (fullMode && config.benchWanted)
        return runBench(release, config.tableSizeBytes(release.minHashBytes) >> 20, config.statistics);

    GuiInterface_class* detected = nullptr;
    if (detectGui(input, output, release.protocol, &detected, fullMode) != 0) {
        output.writeLine("unsupported GUI");
        return 0;
    }
    std::unique_ptr<GuiInterface_class> frontEnd(detected);

    PlayPolicy policy = fullMode ? PlayPolicy::full() : PlayPolicy{};
    policy.tableStatistics = policy.tableStatistics || config.statistics;
    auto game = std::make_unique<Game_class>(frontEnd.get(), config.tableSizeBytes(release.minHashBytes), release.game,
                                             policy);
    if (!game->init()) {
        debugOutput("kelp: out of memory, stopping\n");
        return 0;
    }
    frontEnd->run(game.get());
    game->stopAll();   // "quit" has ended the search cycle; make sure before teardown

    // The front end goes first, then the game; the configuration, a local, goes last, on return.
    frontEnd.reset();
    game.reset();
    return 0;
}
