// Protocol lines: arbitrary input to the WinBoard (both dialects, edit
// sub-mode included) and UCI front ends, driving a real game controller.
// Searches end as soon as the next command or the end of input stops them.
// No crash, no sanitizer report, and the game position stays consistent
// (the board also asserts itself after every move in this build).
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "app/config.h"
#include "app/release_profile.h"
#include "game/game.h"
#include "protocol/uci_interface.h"
#include "protocol/winboard_v1.h"
#include "protocol/winboard_v2.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    static std::FILE* sink = std::fopen("/dev/null", "w");
    static LineOutput& output = *new LineOutput(sink);

    const std::uint8_t choice = data[0] % 5;
    const ReleaseProfile& release = choice >= 3 ? earlierRelease() : currentRelease();
    std::unique_ptr<char[]> text(new char[size]);
    std::memcpy(text.get(), data + 1, size - 1);
    std::FILE* stream = size > 1 ? fmemopen(text.get(), size - 1, "r") : std::fopen("/dev/null", "r");
    LineInput input(stream);

    std::unique_ptr<GuiInterface_class> frontEnd;
    if (choice == 0 || choice == 3)
        frontEnd = std::make_unique<WinBoardInterfaceV1_class>(input, output, release);
    else if (choice == 1 || choice == 4)
        frontEnd = std::make_unique<WinBoardInterfaceV2_class>(input, output, release);
    else
        frontEnd = std::make_unique<UciInterface_class>(input, output, release);

    Config_class config;
    const char* const smallest[] = {"-C", "1"};
    config.parseCommandLine(2, smallest);   // the earlier release takes a 1 MiB table
    Game_class game(frontEnd.get(), &config, release);
    if (game.init() != 0)
        std::abort();
    frontEnd->run(&game);
    game.stopAll();
    // UCI never sets up a position; the WinBoard dialects always have one.
    const bool uci = choice == 2;
    if (!uci && (!game.board().isConsistent() || game.board().sideToMove != game.sideToMove()))
        std::abort();
    std::fclose(stream);
    return 0;
}
