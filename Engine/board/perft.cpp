#include "board/perft.h"

#include <memory>

namespace {

struct PerftLists {
    MoveList plies[PERFT_MAX_DEPTH];
};

std::uint64_t countBelow(Board_class& board, MoveList* lists, std::uint32_t ply, std::uint32_t depth)
{
    MoveList& list = lists[ply];
    list.setSide(board.sideToMove);
    list.mobilityIndex = ply / 2;
    // The last ply only counts its moves.
    if (depth == 1)
        return board.countMoves(list);
    board.generateMoves(list);
    std::uint64_t nodes = 0;
    auto visit = [&](Move move) {
        list.record.move = move;
        board.makeMove(list.record);
        board.sideToMove = list.opponent;
        nodes += countBelow(board, lists, ply + 1, depth - 1);
        board.unmakeMove(list.record);
        board.sideToMove = list.side;
    };
    for (std::uint32_t i = 0; i < list.captureCount; ++i)
        visit(list.captures[i]);
    for (std::uint32_t i = 0; i < list.nonCaptureCount; ++i)
        visit(list.nonCaptures[i]);
    return nodes;
}

} // namespace

std::uint64_t perft(Board_class& board, std::uint32_t depth)
{
    if (depth == 0)
        return 1;
    if (depth > PERFT_MAX_DEPTH)
        return 0;
    auto lists = std::make_unique<PerftLists>();
    return countBelow(board, lists->plies, 0, depth);
}

std::uint32_t divide(Board_class& board, std::uint32_t depth, DivideEntry* entries, std::uint32_t capacity)
{
    if (depth == 0 || depth > PERFT_MAX_DEPTH)
        return 0;
    auto lists = std::make_unique<PerftLists>();
    MoveList& root = lists->plies[0];
    root.setSide(board.sideToMove);
    board.generateMoves(root);
    std::uint32_t written = 0;
    auto visit = [&](Move move) {
        if (written == capacity)
            return;
        std::uint64_t nodes = 1;
        if (depth > 1) {
            root.record.move = move;
            board.makeMove(root.record);
            board.sideToMove = root.opponent;
            nodes = countBelow(board, lists->plies, 1, depth - 1);
            board.unmakeMove(root.record);
            board.sideToMove = root.side;
        }
        entries[written++] = DivideEntry{move, nodes};
    };
    for (std::uint32_t i = 0; i < root.captureCount; ++i)
        visit(root.captures[i]);
    for (std::uint32_t i = 0; i < root.nonCaptureCount; ++i)
        visit(root.nonCaptures[i]);
    return written;
}
