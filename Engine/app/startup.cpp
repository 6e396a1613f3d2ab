#include "app/startup.h"

#include <memory>

#include "app/config.h"
#include "game/game.h"
#include "platform/debug_output.h"
#include "protocol/gui_detection.h"

int runEngine(int argc, const char* const* argv, const ReleaseProfile& release,
              LineInput& input, LineOutput& output)
{
    Config_class config;
    if (argc > 1)
        config.parseCommandLine(argc - 1, argv + 1);

    GuiInterface_class* detected = nullptr;
    if (detectGui(input, output, release.protocol, &detected) != 0) {
        output.writeLine("unsupported GUI");
        return 0;
    }
    std::unique_ptr<GuiInterface_class> frontEnd(detected);

    auto game = std::make_unique<Game_class>(frontEnd.get(), config.tableSizeBytes(release.minHashBytes), release.game);
    if (game->init() != 0) {
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
