// The rules that end a game without a mate.
#include <initializer_list>

#include "board/board.h"

bool Board_class::isFiftyMoveDraw() const
{
    // The clock counts half-moves since the last capture or pawn move.
    return halfmoveClock >= 100;
}

std::uint64_t Board_class::repetitionKey(std::uint64_t key, Square enPassant, Colour side) const
{
    if (enPassant == NO_SQUARE)
        return key;
    // The pawn that moved two squares stands just past the square it crossed.
    const int pawnRank = rankOf(enPassant) + (side == WHITE ? -1 : 1);
    for (const int file : {fileOf(enPassant) - 1, fileOf(enPassant) + 1}) {
        if (file < 0 || file > 7)
            continue;
        const Piece_class* piece = squares_[makeSquare(file, pawnRank)];
        if (piece != nullptr && piece->type == PAWN && piece->colour == side)
            return key;   // a capture there may be possible (pins are not looked at)
    }
    return key ^ keys_.enPassantKeys[enPassant] ^ keys_.enPassantKeys[NO_SQUARE];
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
