// Move text against a position: parsing and resolving never read past the
// text, and resolve to one of the generated moves or to 0.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "board/board.h"
#include "board/move.h"

namespace {

const char* const kPositions[] = {
    START_FEN,
    "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1",
    "r3k2r/Pppp1ppp/1b3nbN/nP6/BBP1P3/q4N2/Pp1P2PP/R2Q1RK1 w kq - 0 1",
    "rnbqkbnr/pppp1ppp/8/4pP2/8/8/PPPPP1PP/RNBQKBNR w KQkq e6 0 3",
    "4k3/1P6/8/8/8/8/6p1/4K3 b - - 0 1",
    "r3k2r/8/8/8/8/8/8/R3K2R b KQkq - 0 1",
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static Board_class& board = *new Board_class;
    static MoveList& list = *new MoveList;
    if (size == 0)
        return 0;
    const char* fen = kPositions[data[0] % (sizeof kPositions / sizeof kPositions[0])];
    if (board.loadFen(fen) != CE_SUCCESS)
        std::abort();
    std::unique_ptr<char[]> text(new char[size]);
    std::memcpy(text.get(), data + 1, size - 1);
    text[size - 1] = '\0';

    list.setSide(board.sideToMove);
    board.generateMoves(list);
    const Move found = findMove(list, parseMoveText(board.sideToMove, text.get()));
    if (found == NO_MOVE)
        return 0;
    bool generated = false;
    for (std::uint32_t i = 0; i < list.captureCount; ++i)
        generated |= list.captures[i] == found;
    for (std::uint32_t i = 0; i < list.nonCaptureCount; ++i)
        generated |= list.nonCaptures[i] == found;
    if (!generated)
        std::abort();
    char back[MOVE_TEXT_SIZE];
    moveToText(found, back);
    return 0;
}
