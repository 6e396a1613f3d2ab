#include "protocol/thinking_line.h"

#include <cstdio>
#include <cstring>

#include "board/move.h"

void formatThinkingLine(std::int32_t depth, std::int32_t score, std::int32_t time, std::uint64_t nodes,
                        const Move* pv, std::uint32_t pvLength, char* line)
{
    int length = std::snprintf(line, THINKING_LINE_SIZE, "%d %d %d %llu", depth, score, time,
                               static_cast<unsigned long long>(nodes));
    char text[MOVE_TEXT_SIZE];
    for (std::uint32_t i = 0; i < pvLength; ++i) {
        moveToText(pv[i], text);
        const auto moveLength = static_cast<int>(std::strlen(text));
        if (length + 1 + moveLength > static_cast<int>(THINKING_LINE_LIMIT))
            break;
        line[length] = ' ';
        std::memcpy(line + length + 1, text, static_cast<std::size_t>(moveLength) + 1);
        length += 1 + moveLength;
    }
}
