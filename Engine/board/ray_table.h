#pragma once
// Precomputed rays per direction set and square. Sets 0..4 are indexed by
// piece type (queen, king, rook, bishop, knight), 5 is the white pawn and 6
// the black pawn. Directions whose first step leaves the board are left out;
// the others keep the order of their step list (directions.h). In the pawn
// sets the forward step is always last.

#include <cstdint>

#include "board/directions.h"
#include "board/types.h"

struct Ray {
    std::uint32_t steps;   // squares the ray runs before leaving the board (1 for step pieces)
    std::int32_t delta;    // squareDelta of the step
};

struct RaySet {
    std::uint32_t count;
    Ray rays[8];
};

constexpr std::uint32_t WHITE_PAWN_RAYS = 5;
constexpr std::uint32_t BLACK_PAWN_RAYS = 6;

namespace ray_detail {
// The steps of each set, in the order of its moves.
struct StepList {
    Step steps[8];
    int count;
    bool sliding;
};

constexpr StepList lineSteps(const int* directions, int count, bool sliding)
{
    StepList list{};
    for (int i = 0; i < count; ++i)
        list.steps[i] = kLineSteps[directions[i]];
    list.count = count;
    list.sliding = sliding;
    return list;
}

constexpr StepList knightSteps()
{
    StepList list{};
    for (int i = 0; i < 8; ++i)
        list.steps[i] = kKnightSteps[i];
    list.count = 8;
    list.sliding = false;
    return list;
}

constexpr StepList kStepLists[7] = {
    lineSteps(kQueenDirections, 8, true),  lineSteps(kQueenDirections, 8, false),
    lineSteps(kRookDirections, 4, true),   lineSteps(kBishopDirections, 4, true),
    knightSteps(),                         lineSteps(kWhitePawnDirections, 3, false),
    lineSteps(kBlackPawnDirections, 3, false),
};

struct RayTable {
    RaySet sets[7][64] = {};

    constexpr RayTable()
    {
        for (int set = 0; set < 7; ++set) {
            const StepList& list = kStepLists[set];
            for (Square square = 0; square < 64; ++square) {
                RaySet& rays = sets[set][square];
                rays.count = 0;
                for (int i = 0; i < list.count; ++i) {
                    const Step d = list.steps[i];
                    int file = fileOf(square) + d.file;
                    int rank = rankOf(square) + d.rank;
                    if (!onBoard(file, rank))
                        continue;
                    std::uint32_t steps = 1;
                    if (list.sliding) {
                        while (onBoard(file + d.file, rank + d.rank)) {
                            file += d.file;
                            rank += d.rank;
                            ++steps;
                        }
                    }
                    rays.rays[rays.count++] = Ray{steps, squareDelta(d)};
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
