// What every front end shares: line input and output, the detection of the
// interface from the first lines, and the thinking record.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "app/release_profile.h"
#include "protocol/gui_detection.h"
#include "protocol/uci_interface.h"
#include "protocol/winboard_v1.h"
#include "protocol/winboard_v2.h"
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

// The front end detected from `input` (null when none), its pending line, and what it wrote.
struct Detected {
    std::unique_ptr<GuiInterface_class> frontEnd;
    std::string pending;
    std::vector<std::string> output;
};

Detected detect(const std::string& input)
{
    MemoryStreams streams(input);
    GuiInterface_class* frontEnd = nullptr;
    const int result = detectGui(streams.input(), streams.output(), currentRelease(), &frontEnd);
    EXPECT_EQ(result, frontEnd == nullptr ? 1 : 0) << input;
    Detected d{std::unique_ptr<GuiInterface_class>(frontEnd), frontEnd ? frontEnd->pendingLine() : "",
               streams.outputLines()};
    return d;
}

template <typename FrontEnd>
bool is(const Detected& d)
{
    return dynamic_cast<FrontEnd*>(d.frontEnd.get()) != nullptr;
}

} // namespace

TEST(LineInput, SplitsLinesDropsTheCarriageReturnAndIgnoresOverlongLines)
{
    EXPECT_EQ(readAll("new\r\nusermove e2e4\n"), (std::vector<std::string>{"new", "usermove e2e4"}));
    EXPECT_EQ(readAll("a\n\nb"), (std::vector<std::string>{"a", "", "b"}));
    EXPECT_EQ(readAll(""), std::vector<std::string>{});
    EXPECT_EQ(readAll("x\ry\n"), std::vector<std::string>{"x\ry"});   // only a CR before the LF goes
    const std::string longest(255, 'a');
    EXPECT_EQ(readAll(longest + "\r\n"), std::vector<std::string>{longest});
    EXPECT_EQ(readAll(std::string(256, 'b') + "\nquit\n"), (std::vector<std::string>{"", "quit"}));
    EXPECT_EQ(readAll(std::string(100000, 'c') + "\nisready\n"), (std::vector<std::string>{"", "isready"}));
}

TEST(GuiDetection, UciIsOnlyTheWholeLowerCaseLine)
{
    const Detected uci = detect("uci\n");
    EXPECT_TRUE(is<UciInterface_class>(uci));
    EXPECT_EQ(uci.pending, "uci");
    EXPECT_TRUE(uci.output.empty());
    for (const char* input : {"UCI\n", "uci \n", " uci\n", "hello\n", "\n", ""}) {
        const Detected d = detect(input);
        EXPECT_EQ(d.frontEnd, nullptr) << input;
        EXPECT_TRUE(d.output.empty()) << input;
    }
}

TEST(GuiDetection, TheSecondXboardLineChoosesTheVersionAndStaysPending)
{
    const Detected v2 = detect("xboard\nprotover 2\n");
    EXPECT_TRUE(is<WinBoardInterfaceV2_class>(v2));
    EXPECT_EQ(v2.pending, "protover 2");
    EXPECT_EQ(v2.output.size(), 1u);   // the feature line, written at once
    const std::string setboard = "setboard rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3 0 1";
    for (const std::string second : {"new", "protover 1", "protover 2 ", "", setboard.c_str()}) {
        const Detected v1 = detect("xboard\n" + second + "\n");
        EXPECT_TRUE(is<WinBoardInterfaceV1_class>(v1)) << second;
        EXPECT_EQ(v1.pending, second);
        EXPECT_TRUE(v1.output.empty());
    }
    EXPECT_TRUE(is<WinBoardInterfaceV1_class>(detect("xboard\n")));
}

TEST(GuiInterface, ThinkingLineKeepsAtMostSixtyFourMoves)
{
    MemoryStreams streams("");
    GuiInterface_class frontEnd(streams.input(), streams.output(), currentRelease());
    Move line[100];
    for (Move i = 0; i < 100; ++i)
        line[i] = i + 1;
    frontEnd.setThinkingPV(line, 20);
    EXPECT_EQ(frontEnd.pvLength, 20u);
    frontEnd.setThinkingPV(line, 100);
    EXPECT_EQ(frontEnd.pvLength, 64u);
    EXPECT_EQ(frontEnd.pv[63], 64u);
}
