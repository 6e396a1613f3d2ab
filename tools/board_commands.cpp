// kelp-tool commands on positions and move generation.
#include "board_commands.h"

#include <chrono>
#include <cinttypes>
#include <cstdio>
#include <memory>

#include "board/board.h"
#include "board/move.h"
#include "board/perft.h"

namespace {

constexpr std::uint32_t MAX_PERFT_DEPTH = 20;

// Loads the FEN argument; prints "error N" and returns false when it is rejected.
bool loadArgument(Board_class& board, const ToolArgs& args)
{
    const eCeStatus status = board.loadFen(args.words[0].c_str());
    if (status != CE_SUCCESS) {
        std::printf("error %u\n", static_cast<unsigned>(status));
        return false;
    }
    return true;
}

void printMoves(const char* title, const Move* moves, std::uint32_t count)
{
    std::printf("%s", title);
    char text[MOVE_TEXT_SIZE];
    for (std::uint32_t i = 0; i < count; ++i) {
        moveToText(moves[i], text);
        std::printf(" %s", text);
    }
    std::printf("\n");
}

} // namespace

int runFenCommand(const ToolArgs& args)
{
    if (args.words.size() != 1)
        return usageError("fen takes one FEN argument");
    auto board = std::make_unique<Board_class>();
    const eCeStatus status = board->loadFen(args.words[0].c_str());
    if (status != CE_SUCCESS) {
        std::printf("error %u\n", static_cast<unsigned>(status));
        return 0;
    }
    char fen[FEN_BUFFER_SIZE];
    board->writeFen(fen, sizeof fen);
    std::printf("%s\n", fen);
    return 0;
}

int runKeyCommand(const ToolArgs& args)
{
    if (args.words.size() != 1)
        return usageError("key takes one FEN argument");
    auto board = std::make_unique<Board_class>();
    if (loadArgument(*board, args))
        std::printf("%016" PRIx64 "\n", board->hashKey);
    return 0;
}

int runMovesCommand(const ToolArgs& args)
{
    if (args.words.size() != 1)
        return usageError("moves takes one FEN argument");
    auto board = std::make_unique<Board_class>();
    if (!loadArgument(*board, args))
        return 0;
    auto list = std::make_unique<MoveList>();
    list->setSide(board->sideToMove);
    list->mobilityIndex = 0;
    board->generateMoves(*list);
    printMoves("captures:", list->captures, list->captureCount);
    printMoves("noncaptures:", list->nonCaptures, list->nonCaptureCount);
    std::printf("status: %u\n", board->statusFlags & ~STATUS_OWN_PIECE_ON_RAY);
    return 0;
}

int runPerftCommand(const ToolArgs& args)
{
    if (args.words.size() != 2)
        return usageError("perft takes FEN and DEPTH");
    const std::optional<std::uint32_t> depth = readCount(args.words[1], 0, MAX_PERFT_DEPTH);
    if (!depth)
        return usageError("DEPTH must be a number from 0 to 20");
    auto board = std::make_unique<Board_class>();
    if (!loadArgument(*board, args))
        return 0;
    const auto start = std::chrono::steady_clock::now();
    const std::uint64_t nodes = perft(*board, *depth);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("%" PRIu64 "\n", nodes);
    std::fprintf(stderr, "perft %u: %" PRIu64 " nodes in %.3f s (%.0f nodes/s, cpu path %s)\n", *depth, nodes,
                 seconds, seconds > 0 ? nodes / seconds : 0.0, cpuPathName(board->cpuPath()));
    return 0;
}

int runDivideCommand(const ToolArgs& args)
{
    if (args.words.size() != 2)
        return usageError("divide takes FEN and DEPTH");
    const std::optional<std::uint32_t> depth = readCount(args.words[1], 1, MAX_PERFT_DEPTH);
    if (!depth)
        return usageError("DEPTH must be a number from 1 to 20");
    auto board = std::make_unique<Board_class>();
    if (!loadArgument(*board, args))
        return 0;
    DivideEntry entries[MAX_CAPTURES + MAX_NON_CAPTURES];
    const std::uint32_t count = divide(*board, *depth, entries, MAX_CAPTURES + MAX_NON_CAPTURES);
    std::uint64_t total = 0;
    char text[MOVE_TEXT_SIZE];
    for (std::uint32_t i = 0; i < count; ++i) {
        moveToText(entries[i].move, text);
        std::printf("%s %" PRIu64 "\n", text, entries[i].nodes);
        total += entries[i].nodes;
    }
    std::printf("total %" PRIu64 "\n", total);
    return 0;
}
