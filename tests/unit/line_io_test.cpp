#include <gtest/gtest.h>

#include <string>

#include "support/memory_streams.h"

namespace {

std::vector<std::string> readAll(const std::string& text)
{
    MemoryStreams streams(text);
    std::vector<std::string> lines;
    char buffer[LINE_BUFFER_SIZE];
    while (streams.input().readLine(buffer))
        lines.push_back(buffer);
    return lines;
}

} // namespace

TEST(LineInput, SplitsLinesAndDropsTheCarriageReturn)
{
    EXPECT_EQ(readAll("new\r\nusermove e2e4\n"),
              (std::vector<std::string>{"new", "usermove e2e4"}));
    EXPECT_EQ(readAll("a\n\nb"), (std::vector<std::string>{"a", "", "b"}));
    EXPECT_EQ(readAll(""), std::vector<std::string>{});
    // Only a carriage return right before the line feed is dropped.
    EXPECT_EQ(readAll("x\ry\n"), std::vector<std::string>{"x\ry"});
}

TEST(LineInput, OverlongLinesAreConsumedWholeAndIgnored)
{
    const std::string longest(255, 'a');
    const std::string tooLong(256, 'b');
    EXPECT_EQ(readAll(longest + "\n"), std::vector<std::string>{longest});
    EXPECT_EQ(readAll(longest + "\r\n"), std::vector<std::string>{longest});
    EXPECT_EQ(readAll(tooLong + "\nquit\n"), (std::vector<std::string>{"", "quit"}));
    EXPECT_EQ(readAll(std::string(100000, 'c') + "\nisready\n"),
              (std::vector<std::string>{"", "isready"}));
}

TEST(LineOutput, EachLineEndsWithALineEnd)
{
    MemoryStreams streams("");
    streams.output().writeLine("move e2e4");
    streams.output().writeLine("");
    EXPECT_EQ(streams.outputLines(), (std::vector<std::string>{"move e2e4", ""}));
}
