#pragma once
// Value types shared by every part of the engine.

#include <cstdint>

// Square index: file + 8 * rank, a1 = 0, h1 = 7, a8 = 56, h8 = 63.
using Square = std::int32_t;
constexpr Square NO_SQUARE = 64;

using Colour = std::uint32_t;
constexpr Colour WHITE = 1;
constexpr Colour BLACK = 2;
constexpr Colour otherColour(Colour c) { return c ^ 3u; }

// Note the order: queen comes before king.
using PieceType = std::uint32_t;
constexpr PieceType QUEEN = 0;
constexpr PieceType KING = 1;
constexpr PieceType ROOK = 2;
constexpr PieceType BISHOP = 3;
constexpr PieceType KNIGHT = 4;
constexpr PieceType PAWN = 5;
constexpr PieceType UNKNOWN = 6;

// Piece code: the type for a white piece, type + 6 for a black one; it indexes
// PIECE_LETTERS and the square keys.
constexpr const char PIECE_LETTERS[] = "QKRBNPqkrbnp";
constexpr std::uint32_t makePieceCode(Colour colour, PieceType type)
{
    return colour == WHITE ? type : type + 6;
}

// Status codes of the board code.
enum eCeStatus : std::uint32_t {
    CE_SUCCESS = 0,
    CE_INVALID_POSITION = 2,
    CE_INVALID_PIECE = 3,
};

// Castling-rights bits.
constexpr std::uint32_t CASTLE_WK = 1;
constexpr std::uint32_t CASTLE_WQ = 2;
constexpr std::uint32_t CASTLE_BK = 4;
constexpr std::uint32_t CASTLE_BQ = 8;

constexpr int fileOf(Square s) { return s & 7; }
constexpr int rankOf(Square s) { return s >> 3; }
constexpr Square makeSquare(int file, int rank) { return file + 8 * rank; }

// A move: to-square, from-square, extra byte, flags (lowest byte first).
using Move = std::uint32_t;
constexpr Move NO_MOVE = 0;
