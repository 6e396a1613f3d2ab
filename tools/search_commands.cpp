// kelp-tool commands on the evaluation and the search.
#include "search_commands.h"

#include <chrono>
#include <cinttypes>
#include <cstdio>
#include <memory>

#include "board/cpu_path.h"
#include "board/move.h"
#include "protocol/winboard_v1.h"
#include "release/release_profile.h"
#include "search/search.h"

namespace {

constexpr std::uint32_t DEFAULT_TOOL_HASH_MIB = 8;
// Positions of the bench with their search depths: openings, middle games,
// endgames and mates. The total node count is a signature of the search.
struct BenchPosition {
    const char* fen;
    std::uint32_t depth;
};
const BenchPosition kBenchPositions[] = {
    {"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1", 7},
    {"r1bqkbnr/pppp1ppp/2n5/4p3/4P3/5N2/PPPP1PPP/RNBQKB1R w KQkq - 2 3", 6},
    {"r1b1k2r/ppppqppp/2n2n2/2b1p3/2B1P3/2NP1N2/PPP2PPP/R1BQK2R w KQkq - 1 6", 5},
    {"r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1", 4},
    {"r4rk1/1pp1qppp/p1np1n2/2b1p1B1/2B1P1b1/P1NP1N2/1PP1QPPP/R4RK1 w - - 0 22", 4},
    {"2r3k1/pp3ppp/4p3/3pP3/3P4/P4N2/1P3PPP/2R3K1 b - - 4 28", 6},
    {"8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - - 0 40", 8},
    {"8/pp3k2/8/2P5/8/5K2/PP6/8 w - - 0 35", 9},
    {"8/8/4k3/8/2p5/8/B2K4/8 w - - 0 45", 8},
    {"6k1/5ppp/8/8/8/8/5PPP/3R2K1 w - - 0 30", 4},
    {"r1bq2r1/b4pk1/p1pp1p2/1p2pP2/1P2P1PB/3P4/1PPQ2P1/R3K2R w - - 0 25", 6},
};

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
    std::uint64_t totalNodes = 0;
    const auto start = std::chrono::steady_clock::now();
    for (const BenchPosition& position : kBenchPositions) {
        const char* fen = position.fen;
        SearchOutcome outcome{};
        if (!searchPosition(args, fen, position.depth, nullptr, outcome))
            return 1;
        char move[MOVE_TEXT_SIZE] = "none";
        if (outcome.bestLength > 0)
            moveToText(outcome.best, move);
        std::printf("%-70s %-6s %7d %10" PRIu64 "\n", fen, move, outcome.score, outcome.nodes);
        totalNodes += outcome.nodes;
    }
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                        std::chrono::steady_clock::now() - start).count();
    const std::uint64_t nps = ms > 0 ? totalNodes * 1000 / static_cast<std::uint64_t>(ms) : 0;
    // Which generator the searches ran (see KELP_CPU_PATH), before the last line that scripts read.
    const CpuPath path = selectedCpuPath();
    const char* note = cpuPathSelectionNote();
    std::printf("cpu path %s (%s)%s%s\n", cpuPathName(path), cpuPathDescription(path), note ? "; " : "",
                note ? note : "");
    std::printf("nodes %" PRIu64 " time_ms %lld nps %" PRIu64 "\n", totalNodes, static_cast<long long>(ms), nps);
    return 0;
}
