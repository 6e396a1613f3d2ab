#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "board/move.h"
#include "protocol/thinking_line.h"

TEST(ThinkingLine, NumbersThenTheLine)
{
    const Move line[] = {encodeMove(12, 28, 20, 0x12), encodeMove(52, 36, 44, 0x12)};
    char text[THINKING_LINE_SIZE];
    formatThinkingLine(5, 34, 0, 987, line, 2, text);
    EXPECT_STREQ(text, "5 34 0 987 e2e4 e7e5");
    formatThinkingLine(1, -20, 0, 1, line, 0, text);
    EXPECT_STREQ(text, "1 -20 0 1");
}

TEST(ThinkingLine, LongLinesDropWholeMovesFromTheEnd)
{
    Move line[64];
    for (Move& m : line)
        m = encodeMove(6, 21, 0, 0);   // g1f3
    char text[THINKING_LINE_SIZE];
    formatThinkingLine(12, 100, 0, 123456, line, 20, text);
    EXPECT_EQ(std::string(text).size(), std::strlen("12 100 0 123456") + 20 * 5);   // 20 moves fit
    formatThinkingLine(12, 100, 0, 123456, line, 64, text);
    const std::string full(text);
    EXPECT_LE(full.size(), 127u);
    EXPECT_EQ(full.substr(full.size() - 5), " g1f3");   // no move is cut in half
    EXPECT_EQ((full.size() - std::strlen("12 100 0 123456")) % 5, 0u);
}
