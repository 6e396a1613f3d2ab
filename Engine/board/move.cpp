// Coordinate move text, both directions.
#include "board/move.h"

#include <cstring>

#include "board/move_list.h"

void moveToText(Move move, char* text)
{
    const Square from = moveFrom(move);
    const Square to = moveTo(move);
    text[0] = static_cast<char>('a' + fileOf(from));
    text[1] = static_cast<char>('1' + rankOf(from));
    text[2] = static_cast<char>('a' + fileOf(to));
    text[3] = static_cast<char>('1' + rankOf(to));
    std::size_t n = 4;
    if (moveFlags(move) & MOVE_PROMOTION) {
        const std::uint32_t type = moveExtra(move);
        text[n++] = type < 6 ? PIECE_LETTERS[makePieceCode(BLACK, type)] : '?';   // lower case
    }
    text[n] = '\0';
}

Move parseMoveText(Colour sideToMove, const char* text)
{
    const std::size_t length = strnlen(text, 7);
    if (length > 6)
        return NO_MOVE;
    const bool white = sideToMove == WHITE;
    if (std::strcmp(text, "0-0-0") == 0)
        return white ? encodeMove(4, 2, 0, MOVE_CASTLE) : encodeMove(60, 58, 0, MOVE_CASTLE);
    if (std::strcmp(text, "0-0") == 0)
        return white ? encodeMove(4, 6, 0, MOVE_CASTLE | MOVE_TWO_SQUARE)
                     : encodeMove(60, 62, 0, MOVE_CASTLE | MOVE_TWO_SQUARE);
    if (std::strcmp(text, "e1g1") == 0)
        return encodeMove(4, 6, 0, MOVE_CASTLE | MOVE_TWO_SQUARE);
    if (std::strcmp(text, "e8g8") == 0)
        return encodeMove(60, 62, 0, MOVE_CASTLE | MOVE_TWO_SQUARE);
    if (std::strcmp(text, "e1c1") == 0)
        return encodeMove(4, 2, 0, MOVE_CASTLE);
    if (std::strcmp(text, "e8c8") == 0)
        return encodeMove(60, 58, 0, MOVE_CASTLE);
    if (length < 4)
        return NO_MOVE;   // too short to name two squares

    // Squares are computed in 8 bits; nonsense gives a square no move has.
    const auto from = static_cast<std::uint8_t>((text[0] - 'a') + 8 * (text[1] - '1'));
    const auto to = static_cast<std::uint8_t>((text[2] - 'a') + 8 * (text[3] - '1'));
    if (length != 5)
        return encodeMove(from, to, 0, 0);
    std::uint32_t promotion = QUEEN;   // any other letter means a queen
    if (text[4] == 'b')
        promotion = BISHOP;
    else if (text[4] == 'n')
        promotion = KNIGHT;
    else if (text[4] == 'r')
        promotion = ROOK;
    return encodeMove(from, to, promotion, MOVE_PAWN | MOVE_PROMOTION);
}

namespace {

bool names(Move generated, Move pattern)
{
    if (moveFrom(generated) != moveFrom(pattern) || moveTo(generated) != moveTo(pattern))
        return false;
    return !(moveFlags(pattern) & MOVE_PROMOTION) || moveExtra(generated) == moveExtra(pattern);
}

} // namespace

Move findMove(const MoveList& list, Move pattern)
{
    for (std::uint32_t i = list.captureCount; i-- > 0;) {
        if (names(list.captures[i], pattern))
            return list.captures[i];
    }
    for (std::uint32_t i = list.nonCaptureCount; i-- > 0;) {
        if (names(list.nonCaptures[i], pattern))
            return list.nonCaptures[i];
    }
    return NO_MOVE;
}
