// The move generator built for x86-64 processors with POPCNT. Everything it
// uses is included before the instruction set is widened (see
// move_generation_paths.h).
#include "board/move_generation_paths.h"

#if KELP_CPU_DISPATCH
#if defined(__clang__)
#pragma clang attribute push(__attribute__((target("popcnt"))), apply_to = function)
#else
#pragma GCC push_options
#pragma GCC target("popcnt")
#endif

#include "board/move_generator.h"

void generateMovesPopcnt(Board_class& board, MoveList& list, MoveOutput output)
{
    generateMovesWith<CpuPath::Popcnt>(board, list, output);
}

#if defined(__clang__)
#pragma clang attribute pop
#else
#pragma GCC pop_options
#endif
#endif
