#pragma once
// Everything needed to take one made move back.

#include <cstdint>

#include "board/types.h"

class Piece_class;

struct MoveRecord {
    std::uint64_t key = 0;             // the position key before the move
    Colour side = WHITE;               // the side that moved
    Move move = NO_MOVE;               // set by the caller before making it
    Move previousLastMove = NO_MOVE;
    Piece_class* captured = nullptr;   // not written for castling
    Piece_class* mover = nullptr;      // not written for castling
    Square from = NO_SQUARE;           // not written for castling
    Square enPassant = NO_SQUARE;
    std::uint32_t castlingRights = 0;
    std::int32_t halfmoveClock = 0;    // written only when the move resets the clock
    std::int32_t pieceScore = 0;       // the board's piece score before the move
    std::uint32_t pieceScoreEpoch = 0; // and the table it was summed with
};
