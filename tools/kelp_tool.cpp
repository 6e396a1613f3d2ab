// kelp-tool: developer commands on top of the engine library.
//
//   kelp-tool fen FEN            load and write back a position
//   kelp-tool key FEN            the position key in hex
//   kelp-tool moves FEN          the generated moves in array order
//   kelp-tool perft FEN DEPTH    leaf nodes of the move tree
//   kelp-tool divide FEN DEPTH   leaf nodes per root move
//   kelp-tool eval FEN           the static evaluation
//   kelp-tool search FEN DEPTH [--hash MIB]   a fixed-depth search, as in play
//   kelp-tool bench              fixed-depth searches of built-in positions
//   kelp-tool selfplay FEN DEPTH PLIES [--hash MIB]   a game against itself
// Every command takes --release VERSION (default the current release).

#include <cstdio>
#include <cstring>
#include <string>

#include "platform/standard_streams.h"
#include "release/release_profile.h"
#include "release/version.h"
#include "search/hash_table.h"
#include "board_commands.h"
#include "search_commands.h"
#include "selfplay_command.h"
#include "tool_args.h"

namespace {

const char* const kUsage =
    "usage: kelp-tool COMMAND ARGS [--release " KELP_CURRENT_VERSION "|" KELP_EARLIER_VERSION "]\n"
    "  fen FEN             load FEN and write it back (or: error N)\n"
    "  key FEN             the position key, 16 hex digits\n"
    "  moves FEN           generated captures and non-captures, and the status flags\n"
    "  perft FEN DEPTH     leaf nodes of the move tree to DEPTH\n"
    "  divide FEN DEPTH    leaf nodes per root move, then the total\n"
    "  eval FEN            the static evaluation of FEN\n"
    "  search FEN DEPTH [--hash MIB]\n"
    "                      search to DEPTH with a fresh table (8 MiB by default),\n"
    "                      printing thinking lines and the best move\n"
    "  bench               fixed-depth searches of built-in positions; then the cpu\n"
    "                      path used, and last: nodes N time_ms T nps X\n"
    "  selfplay FEN DEPTH PLIES [--hash MIB]\n"
    "                      the game controller plays both sides from FEN, each move\n"
    "                      searched to DEPTH; one line per ply, then: total nodes N\n"
    "FEN is one shell word (quote it). KELP_CPU_PATH=portable|popcnt|bmi2 picks the\n"
    "move generator's instruction set (default: the best this processor runs).\n";

struct Command {
    const char* name;
    int (*run)(const ToolArgs&);
};

const Command kCommands[] = {
    {"fen", runFenCommand},     {"key", runKeyCommand},       {"moves", runMovesCommand},
    {"perft", runPerftCommand}, {"divide", runDivideCommand}, {"eval", runEvalCommand},
    {"search", runSearchCommand}, {"bench", runBenchCommand}, {"selfplay", runSelfplayCommand},
};

} // namespace

int main(int argc, char** argv)
{
    useByteExactStandardStreams();
    if (argc >= 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (argc < 2)
        return usageError("no command given");

    ToolArgs args{{}, &currentRelease(), std::nullopt};
    for (int i = 2; i < argc; ++i) {
        if (std::strcmp(argv[i], "--release") == 0) {
            if (i + 1 >= argc || (args.release = releaseByVersion(argv[i + 1])) == nullptr)
                return usageError("--release takes " KELP_CURRENT_VERSION " or " KELP_EARLIER_VERSION);
            ++i;
        } else if (std::strcmp(argv[i], "--hash") == 0) {
            std::optional<std::uint32_t> mib;
            if (i + 1 >= argc || !(mib = readCount(argv[i + 1], 1, MAX_TABLE_MIB)))
                return usageError("--hash takes a size in MiB from 1 to 4095");
            args.hashMiB = mib;
            ++i;
        } else {
            args.words.emplace_back(argv[i]);
        }
    }
    for (const Command& command : kCommands) {
        if (std::strcmp(argv[1], command.name) == 0)
            return command.run(args);
    }
    return usageError("unknown command");
}
