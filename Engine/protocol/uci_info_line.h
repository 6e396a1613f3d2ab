#pragma once
// The UCI progress line: "info depth D [multipv K] score cp S|mate N nodes X nps Y time T pv ...".

#include <cstddef>
#include <cstdint>

#include "board/types.h"

// Room for the numbers and a line of THINKING_PV_CAPACITY moves.
constexpr std::size_t UCI_INFO_LINE_SIZE = 640;

// Writes the line into `line` (UCI_INFO_LINE_SIZE bytes); a mate score is
// given in moves, negative when the side to move is mated. `multiPv` is the
// line's number among several (0: no number).
void formatUciInfoLine(std::int32_t depth, std::uint32_t multiPv, std::int32_t score, std::uint64_t nodes,
                       std::uint64_t timeMs, const Move* pv, std::uint32_t pvLength, char* line);
