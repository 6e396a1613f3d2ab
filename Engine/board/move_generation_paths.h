#pragma once
// The move generator (move_generator.h) compiled once per instruction-set
// path, each in its own move_generation_<path>.cpp; Board_class::generateMoves
// calls the one of its board's path. This header also includes everything
// the generator uses, so that a path file includes it before it sets its
// instruction set and no shared inline function is compiled for that set.

#include <bit>
#include <cstdint>
#include <initializer_list>

#include "board/board.h"
#include "board/castling.h"
#include "board/cpu_path.h"
#include "board/directions.h"
#include "board/magic_attacks.h"
#include "board/move.h"
#include "board/ray_table.h"

#if KELP_CPU_DISPATCH
#include <immintrin.h>
#endif

// What a generation writes: every move; the captures, with the non-captures
// counted; or only the two counts (Board_class::countMoves).
enum class MoveOutput { List, CountNonCaptures, CountAll };

void generateMovesPortable(Board_class& board, MoveList& list, MoveOutput output);
#if KELP_CPU_DISPATCH
void generateMovesPopcnt(Board_class& board, MoveList& list, MoveOutput output);
void generateMovesBmi2(Board_class& board, MoveList& list, MoveOutput output);
#endif
