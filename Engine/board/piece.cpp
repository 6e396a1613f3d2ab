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
    static const char kLetters[] = "KQRBNPkqrbnp";
    static const PieceType kTypes[6] = {KING, QUEEN, ROOK, BISHOP, KNIGHT, PAWN};
    const char* found = letter != '\0' ? std::strchr(kLetters, letter) : nullptr;
    if (found == nullptr)
        return CE_INVALID_PIECE;
    const auto position = static_cast<std::uint32_t>(found - kLetters);
    colour = position < 6 ? WHITE : BLACK;
    type = kTypes[position % 6];
    return CE_SUCCESS;
}
