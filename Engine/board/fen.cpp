// Reading and writing positions in Forsyth-Edwards Notation.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "board/board.h"
#include "board/number_text.h"

eCeStatus Board_class::loadFen(const char* text)
{
    clear();
    if (text == nullptr || strnlen(text, FEN_TEXT_LIMIT + 1) > FEN_TEXT_LIMIT)
        return CE_INVALID_POSITION;

    // Piece placement, rank 8 first.
    const char* p = text;
    int rank = 7;
    int file = 0;
    for (;; ++p) {
        const char c = *p;
        if (c == ' ')
            break;
        if (c == '\0')
            return CE_INVALID_POSITION;
        if (c == '/') {
            if (file != 8 || rank == 0)
                return CE_INVALID_POSITION;
            --rank;
            file = 0;
        } else if (c >= '1' && c <= '8') {
            file += c - '0';
            if (file > 8)
                return CE_INVALID_POSITION;
        } else {
            Piece_class piece;
            if (pieceFromLetter(c, piece.colour, piece.type) != CE_SUCCESS || file >= 8)
                return CE_INVALID_POSITION;
            piece.setType(piece.type);
            piece.square = makeSquare(file, rank);
            if (addPiece(piece) != CE_SUCCESS)
                return CE_INVALID_POSITION;   // a seventeenth piece of one colour
            ++file;
        }
    }
    if (rank != 0 || file != 8)
        return CE_INVALID_POSITION;
    ++p;

    // Side to move.
    if (*p == 'w')
        sideToMove = WHITE;
    else if (*p == 'b')
        sideToMove = BLACK;
    else
        return CE_INVALID_POSITION;
    if (*++p != ' ')
        return CE_INVALID_POSITION;
    ++p;

    // Castling rights, in any order; "-" is skipped with the character after it.
    castlingRights = 0;
    for (;; ++p) {
        const char c = *p;
        if (c == 'K')
            castlingRights |= CASTLE_WK;
        else if (c == 'Q')
            castlingRights |= CASTLE_WQ;
        else if (c == 'k')
            castlingRights |= CASTLE_BK;
        else if (c == 'q')
            castlingRights |= CASTLE_BQ;
        else if (c == ' ') {
            ++p;
            break;
        } else if (c == '-') {
            if (p[1] == '\0')
                return CE_INVALID_POSITION;
            p += 2;
            break;
        } else {
            return CE_INVALID_POSITION;
        }
    }

    // En passant square: "-" or a square a1..h8, followed by a blank.
    if (*p == '-') {
        enPassantSquare = NO_SQUARE;
        ++p;
    } else {
        if (p[0] < 'a' || p[0] > 'h' || p[1] < '1' || p[1] > '8')
            return CE_INVALID_POSITION;
        enPassantSquare = makeSquare(p[0] - 'a', p[1] - '1');
        p += 2;
    }
    if (*p != ' ')
        return CE_INVALID_POSITION;
    ++p;

    // Clocks; a text that ends after the halfmove clock gets move number 1.
    halfmoveClock = readInt32(p);
    const char* space = std::strchr(p, ' ');
    fullmoveNumber = space != nullptr ? readInt32(space) : 1;

    materialBalance = blocks_[0].material + blocks_[1].material;
    const bool oneKingEach = blocks_[0].typeCount[KING] == 1 && blocks_[1].typeCount[KING] == 1;
    computeHashKey();
    assert(!oneKingEach || isConsistent());
    return oneKingEach ? CE_SUCCESS : CE_INVALID_POSITION;
}

void Board_class::writeFen(char* buffer, std::size_t bufferSize) const
{
    char text[FEN_BUFFER_SIZE];
    std::size_t n = 0;
    for (int rank = 7; rank >= 0; --rank) {
        int empty = 0;
        for (int file = 0; file < 8; ++file) {
            const Piece_class* piece = squares_[makeSquare(file, rank)];
            if (piece == nullptr) {
                ++empty;
                continue;
            }
            if (empty > 0)
                text[n++] = static_cast<char>('0' + empty);
            empty = 0;
            text[n++] = piece->letter();
        }
        if (empty > 0)
            text[n++] = static_cast<char>('0' + empty);
        if (rank > 0)
            text[n++] = '/';
    }
    text[n++] = ' ';
    text[n++] = sideToMove == WHITE ? 'w' : 'b';
    text[n++] = ' ';
    if (castlingRights & CASTLE_WK)
        text[n++] = 'K';
    if (castlingRights & CASTLE_WQ)
        text[n++] = 'Q';
    if (castlingRights & CASTLE_BK)
        text[n++] = 'k';
    if (castlingRights & CASTLE_BQ)
        text[n++] = 'q';
    if ((castlingRights & 15) == 0)
        text[n++] = '-';
    text[n++] = ' ';
    if (enPassantSquare == NO_SQUARE) {
        text[n++] = '-';
    } else {
        text[n++] = static_cast<char>('a' + fileOf(enPassantSquare));
        text[n++] = static_cast<char>('1' + rankOf(enPassantSquare));
    }
    std::snprintf(text + n, sizeof text - n, " %d %d", halfmoveClock, fullmoveNumber);
    std::snprintf(buffer, bufferSize, "%s", text);
}
