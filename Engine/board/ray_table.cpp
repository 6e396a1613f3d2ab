#include "board/ray_table.h"

namespace {

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
constexpr RayTable kRayTable;

} // namespace

const RaySet& raySet(std::uint32_t set, Square square)
{
    return kRayTable.sets[set][square];
}
