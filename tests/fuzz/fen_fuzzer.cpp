// FEN text: whatever loads must write back and reload to the same text and
// key, be consistent, and survive make/unmake of every generated move with
// everything restored.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "board/board.h"

namespace {

void require(bool condition)
{
    if (!condition)
        std::abort();
}

std::string fenOf(const Board_class& board)
{
    char fen[FEN_BUFFER_SIZE];
    board.writeFen(fen, sizeof fen);
    return fen;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static Board_class& board = *new Board_class;
    static Board_class& reloaded = *new Board_class;
    static MoveList& list = *new MoveList;

    // The text exactly as long as the input, so reads past its end are caught.
    std::unique_ptr<char[]> text(new char[size + 1]);
    std::memcpy(text.get(), data, size);
    text[size] = '\0';
    if (board.loadFen(text.get()) != CE_SUCCESS)
        return 0;
    require(board.isConsistent());

    const std::string written = fenOf(board);
    require(reloaded.loadFen(written.c_str()) == CE_SUCCESS);
    require(fenOf(reloaded) == written);
    require(reloaded.hashKey == board.hashKey);

    list.setSide(board.sideToMove);
    board.generateMoves(list);
    const std::uint64_t key = board.hashKey;
    const std::int32_t material = board.materialBalance;
    auto visit = [&](Move move) {
        list.record.move = move;
        board.makeMove(list.record);
        board.sideToMove = list.opponent;
        require(board.isConsistent());
        board.unmakeMove(list.record);
        board.sideToMove = list.side;
        require(board.isConsistent());
        require(board.hashKey == key && board.materialBalance == material && fenOf(board) == written);
    };
    for (std::uint32_t i = 0; i < list.captureCount + list.nonCaptureCount; ++i)
        visit(i < list.captureCount ? list.captures[i] : list.nonCaptures[i - list.captureCount]);
    return 0;
}
