#include "board/piece.h"

#include <cstring>

eCeStatus Piece_class::setType(PieceType newType)
{
    if (newType > PAWN)
        return CE_INVALID_PIECE;
    type = newType;
    value = colour == WHITE ? PIECE_VALUES[newType] : -PIECE_VALUES[newType];
    code = makePieceCode(colour, newType);
    return CE_SUCCESS;
}

eCeStatus pieceFromLetter(char letter, Colour& colour, PieceType& type)
{
    // The letter's place in PIECE_LETTERS is its piece code.
    const char* found = letter != '\0' ? std::strchr(PIECE_LETTERS, letter) : nullptr;
    if (found == nullptr)
        return CE_INVALID_PIECE;
    const auto code = static_cast<std::uint32_t>(found - PIECE_LETTERS);
    colour = code < 6 ? WHITE : BLACK;
    type = code % 6;
    return CE_SUCCESS;
}
