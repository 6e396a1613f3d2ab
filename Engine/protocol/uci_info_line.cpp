#include "protocol/uci_info_line.h"

#include <cstdio>
#include <cstring>

#include "board/move.h"
#include "search/score.h"

void formatUciInfoLine(std::int32_t depth, std::uint32_t multiPv, std::int32_t score, std::uint64_t nodes,
                       std::uint64_t timeMs, const Move* pv, std::uint32_t pvLength, char* line)
{
    char scoreText[32];
    if (score >= MATE_BOUND)   // mates at ply p score MATE_SCORE - p: p plies is (p + 1) / 2 moves
        std::snprintf(scoreText, sizeof scoreText, "mate %d", (MATE_SCORE - score + 1) / 2);
    else if (score <= -MATE_BOUND && score > -MATE_SCORE)
        std::snprintf(scoreText, sizeof scoreText, "mate -%d", (MATE_SCORE + score) / 2);
    else if (score <= -MATE_BOUND)
        std::snprintf(scoreText, sizeof scoreText, "mate 0");   // mated already, at the root
    else
        std::snprintf(scoreText, sizeof scoreText, "cp %d", score);
    char lineNumber[24] = "";
    if (multiPv != 0)
        std::snprintf(lineNumber, sizeof lineNumber, " multipv %u", multiPv);
    const unsigned long long nps = timeMs > 0 ? nodes * 1000 / timeMs : 0;
    int length = std::snprintf(line, UCI_INFO_LINE_SIZE, "info depth %d%s score %s nodes %llu nps %llu time %llu",
                               depth, lineNumber, scoreText, static_cast<unsigned long long>(nodes), nps,
                               static_cast<unsigned long long>(timeMs));
    if (pvLength == 0)
        return;
    std::memcpy(line + length, " pv", 4);
    length += 3;
    char text[MOVE_TEXT_SIZE];
    for (std::uint32_t i = 0; i < pvLength; ++i) {
        moveToText(pv[i], text);
        const auto moveLength = static_cast<int>(std::strlen(text));
        if (length + 1 + moveLength >= static_cast<int>(UCI_INFO_LINE_SIZE))
            break;
        line[length] = ' ';
        std::memcpy(line + length + 1, text, static_cast<std::size_t>(moveLength) + 1);
        length += 1 + moveLength;
    }
}
