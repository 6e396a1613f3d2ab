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

namespace ray_detail {
struct Direction {
    int dx;
    int dy;
};

// Direction table; a {0, 0} entry ends a set.
constexpr Direction kDirections[7][8] = {
    {{1, 0}, {1, 1}, {0, 1}, {-1, 1}, {-1, 0}, {-1, -1}, {0, -1}, {1, -1}},   // queen
    {{1, 0}, {1, 1}, {0, 1}, {-1, 1}, {-1, 0}, {-1, -1}, {0, -1}, {1, -1}},   // king
    {{1, 0}, {0, 1}, {-1, 0}, {0, -1}},                                       // rook
    {{1, 1}, {-1, 1}, {-1, -1}, {1, -1}},                                     // bishop
    {{1, 2}, {-1, 2}, {-2, 1}, {-2, -1}, {-1, -2}, {1, -2}, {2, -1}, {2, 1}}, // knight
    {{1, 1}, {-1, 1}, {0, 1}},                                                // white pawn
    {{1, -1}, {-1, -1}, {0, -1}},                                             // black pawn
};

constexpr bool kSliding[7] = {true, false, true, true, false, false, false};

constexpr bool onBoard(int file, int rank)
{
    return file >= 0 && file < 8 && rank >= 0 && rank < 8;
}

struct RayTable {
    RaySet sets[7][64] = {};

    constexpr RayTable()
    {
        for (int set = 0; set < 7; ++set) {
            for (Square square = 0; square < 64; ++square) {
                RaySet& rays = sets[set][square];
                rays.count = 0;
                for (const Direction& d : kDirections[set]) {
                    if (d.dx == 0 && d.dy == 0)
                        break;
                    int file = fileOf(square) + d.dx;
                    int rank = rankOf(square) + d.dy;
                    if (!onBoard(file, rank))
                        continue;
                    std::uint32_t steps = 1;
                    if (kSliding[set]) {
                        while (onBoard(file + d.dx, rank + d.dy)) {
                            file += d.dx;
                            rank += d.dy;
                            ++steps;
                        }
                    }
                    rays.rays[rays.count++] = Ray{steps, d.dx + 8 * d.dy};
                }
            }
        }
    }
};

// Computed at compile time, so it is ready before any code runs.
inline constexpr RayTable kRayTable;
} // namespace ray_detail

inline const RaySet& raySet(std::uint32_t set, Square square)
{
    return ray_detail::kRayTable.sets[set][square];
}
