#pragma once
// Precomputed rays per direction set and square. Sets 0..4 are indexed by
// piece type (queen, king, rook, bishop, knight), 5 is the white pawn and 6
// the black pawn. Directions whose first step leaves the board are left out;
// the others keep the order of the direction table. In the pawn sets the
// forward step is always last.

#include <cstdint>

#include "board/types.h"

struct Ray {
    std::uint32_t steps;   // squares the ray runs before leaving the board (1 for step pieces)
    std::int32_t delta;    // dx + 8 * dy
};

struct RaySet {
    std::uint32_t count;
    Ray rays[8];
};

constexpr std::uint32_t WHITE_PAWN_RAYS = 5;
constexpr std::uint32_t BLACK_PAWN_RAYS = 6;

const RaySet& raySet(std::uint32_t set, Square square);
