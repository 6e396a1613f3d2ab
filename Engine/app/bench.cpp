#include "app/bench.h"

#include <chrono>
#include <cinttypes>
#include <cstdio>
#include <memory>

#include "board/cpu_path.h"
#include "board/move.h"
#include "search/search.h"

namespace {

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

} // namespace

int runBench(const ReleaseProfile& release, std::uint32_t tableMib, bool statistics)
{
    std::uint64_t totalNodes = 0;
    const auto start = std::chrono::steady_clock::now();
    for (const BenchPosition& position : kBenchPositions) {
        std::unique_ptr<HashTable_class> table = HashTable_class::create(tableMib << 20, statistics);
        if (!table) {
            std::fprintf(stderr, "kelp: cannot allocate the table\n");
            return 1;
        }
        auto search = std::make_unique<Search_class>(release.game.search);
        search->setUpFromFen(nullptr, position.fen, table.get());
        search->setDepthLimit(position.depth);
        search->arm();
        search->iterativeDeepening();
        char move[MOVE_TEXT_SIZE] = "none";
        if (search->bestLineLength() > 0)
            moveToText(search->bestMove(), move);
        std::printf("%-70s %-6s %7d %10" PRIu64 "\n", position.fen, move, search->bestScore(), search->nodeCount());
        totalNodes += search->nodeCount();
    }
    const auto ms =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
    const std::uint64_t nps = ms > 0 ? totalNodes * 1000 / static_cast<std::uint64_t>(ms) : 0;
    // Which generator the searches ran (see KELP_CPU_PATH), before the last line that scripts read.
    const CpuPath path = selectedCpuPath();
    const char* note = cpuPathSelectionNote();
    std::printf("cpu path %s (%s)%s%s\n", cpuPathName(path), cpuPathDescription(path), note ? "; " : "",
                note ? note : "");
    std::printf("nodes %" PRIu64 " time_ms %lld nps %" PRIu64 "\n", totalNodes, static_cast<long long>(ms), nps);
    std::fflush(stdout);
    return 0;
}
