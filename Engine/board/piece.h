#pragma once
// One chess piece on a board. Besides where it stands, a piece carries what
// the last move generation found out about it (defended and attacked pieces,
// move counts per search ply), which the evaluation reads.

#include <cstdint>

#include "board/object.h"
#include "board/types.h"

constexpr std::uint32_t MOBILITY_PLIES = 256;

class Piece_class final : private Object_class {
public:
    Piece_class() = default;
    Piece_class(const Piece_class&) = default;
    Piece_class& operator=(const Piece_class&) = default;

    // Sets type, value and code; colour must be set first. Fails for a type above PAWN.
    eCeStatus setType(PieceType newType);
    // The piece keeps only the castling rights outside `rightsLost` when it moves
    // or is captured.
    void setCastleMask(std::uint32_t rightsLost) { castleKeepMask = static_cast<std::uint8_t>(~rightsLost & 15); }
    char letter() const { return PIECE_LETTERS[code]; }

    std::uint32_t code = 0;        // piece code 0..11
    Colour colour = WHITE;
    PieceType type = PAWN;
    Square square = NO_SQUARE;     // for a captured piece: where it was captured
    std::int32_t value = 0;        // material, positive for white, negative for black
    std::uint8_t captured = 0;     // a captured piece stays in its slot
    std::uint8_t castleKeepMask = 0;
    std::uint8_t slot = 0;         // the board slot that holds it (set by Board_class::addPiece)
    std::uint32_t moveCount = 0;   // +1 per make, -1 per unmake
    std::uint32_t ownHits = 0;     // own pieces its lines end on (last generation)
    std::uint32_t enemyHits = 0;   // enemy pieces it can capture, or that block its push
    std::uint32_t mobility[MOBILITY_PLIES] = {};   // moves generated, by mobility index
};

// Material values by piece type (positive; black pieces carry them negated).
constexpr std::int32_t PIECE_VALUES[6] = {910, 0, 500, 305, 300, 100};

// Reads a FEN piece letter. Fails (invalid piece) for anything but KQRBNPkqrbnp.
eCeStatus pieceFromLetter(char letter, Colour& colour, PieceType& type);
