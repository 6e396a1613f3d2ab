#pragma once
// The WinBoard thinking line: "depth score time nodes" and the principal
// variation, at most THINKING_LINE_LIMIT characters. Moves that do not fit
// are dropped whole from the end.

#include <cstddef>
#include <cstdint>

#include "board/types.h"

constexpr std::size_t THINKING_LINE_SIZE = 128;
constexpr std::size_t THINKING_LINE_LIMIT = THINKING_LINE_SIZE - 1;

void formatThinkingLine(std::int32_t depth, std::int32_t score, std::int32_t time, std::uint64_t nodes,
                        const Move* pv, std::uint32_t pvLength, char* line);
