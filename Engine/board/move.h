#pragma once
// The move word and its coordinate text. A move is one 32-bit word:
//   byte 0 to-square, byte 1 from-square, byte 2 extra, byte 3 flags.
// The extra byte holds the new type of a promotion, the captured pawn's square
// of an en passant capture, or the square a double step passes over.

#include <cstdint>

#include "board/types.h"

constexpr std::uint32_t MOVE_PAWN = 0x02;
constexpr std::uint32_t MOVE_CASTLE = 0x04;
constexpr std::uint32_t MOVE_CAPTURE = 0x08;
constexpr std::uint32_t MOVE_TWO_SQUARE = 0x10;   // with MOVE_CASTLE: king-side castling
constexpr std::uint32_t MOVE_PROMOTION = 0x20;
constexpr std::uint32_t MOVE_EN_PASSANT = 0x40;

constexpr Move encodeMove(Square from, Square to, std::uint32_t extra, std::uint32_t flags)
{
    return static_cast<Move>(to) | (static_cast<Move>(from) << 8) | (extra << 16) | (flags << 24);
}
constexpr Square moveTo(Move m) { return static_cast<Square>(m & 0xff); }
constexpr Square moveFrom(Move m) { return static_cast<Square>((m >> 8) & 0xff); }
constexpr std::uint32_t moveExtra(Move m) { return (m >> 16) & 0xff; }
constexpr std::uint32_t moveFlags(Move m) { return m >> 24; }

constexpr std::uint32_t MOVE_TEXT_SIZE = 6;   // "e7e8q" and the terminator

// Writes from, to and a promotion letter ("e2e4", "a7a8r"); castling is the king's move.
void moveToText(Move move, char* text);

// Reads a coordinate text as a pattern of from, to and promotion type for the
// side to move; 0 for a text that cannot name a move. Only findMove makes it
// a real move.
Move parseMoveText(Colour sideToMove, const char* text);

struct MoveList;
// The generated move the pattern names, searching captures then non-captures,
// each from the last entry back; 0 when none.
Move findMove(const MoveList& list, Move pattern);
