// kelp-tool commands on the evaluation and the search.
#include "search_commands.h"

#include <chrono>
#include <cinttypes>
#include <cstdio>
#include <memory>

#include "app/bench.h"
#include "board/move.h"
#include "protocol/winboard_v1.h"
#include "release/release_profile.h"
#include "search/search.h"

namespace {

constexpr std::uint32_t DEFAULT_TOOL_HASH_MIB = 8;
// Prints the search's thinking lines exactly as the WinBoard front end does.
class ThinkingPrinter {
public:
    explicit ThinkingPrinter(const ReleaseProfile& release)
        : output_(stdout), frontEnd_(standardInput(), output_, release.protocol)
    {
    }
    GuiInterface_class* gui() { return &frontEnd_; }

private:
    LineOutput output_;
    WinBoardInterfaceV1_class frontEnd_;
};

std::unique_ptr<HashTable_class> makeTable(const ToolArgs& args)
{
    const std::uint32_t mib = args.hashMiB.value_or(DEFAULT_TOOL_HASH_MIB);
    return HashTable_class::create(mib << 20);
}

struct SearchOutcome {
    Move best;
    std::uint32_t bestLength;
    std::int32_t score;
    std::uint64_t nodes;
};

// A fresh search of one position to a fixed depth, run as in play.
bool searchPosition(const ToolArgs& args, const char* fen, std::uint32_t depth, GuiInterface_class* gui,
                    SearchOutcome& outcome)
{
    std::unique_ptr<HashTable_class> table = makeTable(args);
    if (!table) {
        std::fprintf(stderr, "kelp-tool: cannot allocate the table\n");
        return false;
    }
    auto search = std::make_unique<Search_class>(args.release->game.search);
    if (search->setUpFromFen(gui, fen, table.get()) != CE_SUCCESS) {
        std::printf("error 2\n");
        return false;
    }
    search->setDepthLimit(depth);
    search->arm();
    search->iterativeDeepening();
    outcome = {search->bestMove(), search->bestLineLength(), search->bestScore(), search->nodeCount()};
    return true;
}

} // namespace

int runEvalCommand(const ToolArgs& args)
{
    if (args.words.size() != 1)
        return usageError("eval takes one FEN argument");
    auto table = HashTable_class::create(DEFAULT_TOOL_HASH_MIB << 20);
    auto search = std::make_unique<Search_class>(args.release->game.search);
    if (!table || search->setUpFromFen(nullptr, args.words[0].c_str(), table.get()) != CE_SUCCESS) {
        std::printf("error 2\n");
        return 0;
    }
    std::printf("%d\n", search->staticEvaluation());
    return 0;
}

int runSearchCommand(const ToolArgs& args)
{
    if (args.words.size() != 2)
        return usageError("search takes FEN and DEPTH");
    const std::optional<std::uint32_t> depth = readCount(args.words[1], 1, MAX_SEARCH_DEPTH);
    if (!depth)
        return usageError("DEPTH must be a number from 1 to 256");
    ThinkingPrinter printer(*args.release);
    SearchOutcome outcome{};
    if (!searchPosition(args, args.words[0].c_str(), *depth, printer.gui(), outcome))
        return 0;
    char move[MOVE_TEXT_SIZE] = "none";
    if (outcome.bestLength > 0)
        moveToText(outcome.best, move);
    std::printf("bestmove %s score %d nodes %" PRIu64 "\n", move, outcome.score, outcome.nodes);
    return 0;
}

int runBenchCommand(const ToolArgs& args)
{
    if (!args.words.empty())
        return usageError("bench takes no arguments");
    return runBench(*args.release, args.hashMiB.value_or(DEFAULT_TOOL_HASH_MIB), true);
}
