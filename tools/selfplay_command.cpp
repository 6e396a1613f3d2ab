// kelp-tool selfplay: the game controller plays both sides of a game, each
// move chosen by a search to a fixed depth instead of a clock. Every step is
// the engine's own (position set as by "setboard", the search thread's steps
// after each search), so the node totals are a signature of how searches in a
// game follow one another: table, killers and seeded lines carried over.
#include "selfplay_command.h"

#include <cinttypes>
#include <cstdio>
#include <memory>
#include <string>

#include "app/config.h"
#include "game/game.h"
#include "release/release_profile.h"
#include "search/search.h"

namespace {

constexpr std::uint32_t DEFAULT_SELFPLAY_HASH_MIB = 8;
constexpr std::uint32_t MAX_SELFPLAY_PLIES = 1000;   // within the game history's reserve

// Receives the controller's announcements of one ply; says nothing itself.
class SelfplayRecorder : public GameListener {
public:
    void sendMove(const char* moveText) override { move = moveText; }
    void sendResult(ResultCode resultCode) override { result = static_cast<int>(resultCode); }
    void sendError(ErrorKind, const char*) override { refused = true; }
    void resign() override { resigned = true; }
    void sendThinking() override {}

    void startPly()
    {
        move.clear();
        result = -1;
        resigned = false;
    }

    std::string move;
    int result = -1;
    bool resigned = false;
    bool refused = false;
};

} // namespace

int runSelfplayCommand(const ToolArgs& args)
{
    if (args.words.size() != 3)
        return usageError("selfplay takes FEN, DEPTH and PLIES");
    const std::optional<std::uint32_t> depth = readCount(args.words[1], 1, MAX_SEARCH_DEPTH);
    if (!depth)
        return usageError("DEPTH must be a number from 1 to 256");
    const std::optional<std::uint32_t> plies = readCount(args.words[2], 1, MAX_SELFPLAY_PLIES);
    if (!plies)
        return usageError("PLIES must be a number from 1 to 1000");

    // The table is sized as "-C MIB" sizes it.
    Config_class config;
    config.hashBytes = args.hashMiB.value_or(DEFAULT_SELFPLAY_HASH_MIB) << 20;
    auto recorder = std::make_unique<SelfplayRecorder>();
    auto game = std::make_unique<Game_class>(recorder.get(), config.tableSizeBytes(args.release->minHashBytes),
                                             args.release->game);
    if (!game->init()) {
        std::fprintf(stderr, "kelp-tool: cannot allocate the table\n");
        return 1;
    }
    game->setPosition(args.words[0].c_str());
    if (recorder->refused) {
        std::printf("error %u\n", static_cast<unsigned>(CE_INVALID_POSITION));
        return 0;
    }
    game->playMoveWhenDone = true;
    game->setInlineSearchDepth(*depth);

    std::uint64_t totalNodes = 0;
    for (std::uint32_t ply = 1; ply <= *plies; ++ply) {
        recorder->startPly();
        game->startThinking();
        const Search_class& search = *game->search();
        totalNodes += search.nodeCount();
        std::printf("ply %u %s%s score %d nodes %" PRIu64 "\n", ply, recorder->move.empty() ? "none" : "move ",
                    recorder->move.c_str(), search.bestScore(), search.nodeCount());
        if (recorder->move.empty())
            break;
        if (recorder->result >= 0) {
            std::printf("result %d\n", recorder->result);
            break;
        }
        if (recorder->resigned) {
            std::printf("resign\n");
            break;
        }
    }
    std::printf("total nodes %" PRIu64 "\n", totalNodes);
    return 0;
}
