// The rules that end a game without a mate.
#include "board/board.h"

bool Board_class::isFiftyMoveDraw() const
{
    // The clock counts half-moves since the last capture or pawn move.
    return halfmoveClock >= 100;
}

namespace {

// A king with exactly one minor piece.
bool kingAndOneMinor(const ColourBlock& side)
{
    return side.pieceCount == 2 && (side.typeCount[BISHOP] == 1 || side.typeCount[KNIGHT] == 1);
}

} // namespace

bool Board_class::isInsufficientMaterial() const
{
    // K v K, K+B v K and K+N v K, either colour.
    const ColourBlock& white = blocks_[0];
    const ColourBlock& black = blocks_[1];
    if (white.pieceCount == 1 && (black.pieceCount == 1 || kingAndOneMinor(black)))
        return true;
    return black.pieceCount == 1 && kingAndOneMinor(white);
}

bool Board_class::hasMatingMaterial(Colour colour) const
{
    const ColourBlock& side = block(colour);
    return !(side.pieceCount == 1 || kingAndOneMinor(side));
}

std::uint32_t countKeyInHistory(std::uint64_t key, const MoveRecord* history, std::uint32_t count)
{
    std::uint32_t found = 0;
    for (std::uint32_t i = 0; i < count; ++i) {
        if (history[i].key == key)
            ++found;
    }
    return found;
}

bool isThreefoldRepetition(std::uint64_t key, const MoveRecord* history, std::uint32_t count)
{
    return countKeyInHistory(key, history, count) >= 2;
}
