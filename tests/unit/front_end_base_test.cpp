// What every front end shares: line input and the detection of the interface from the first lines.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <tuple>

#include "protocol/gui_detection.h"
#include "protocol/uci_interface.h"
#include "protocol/winboard_v1.h"
#include "protocol/winboard_v2.h"
#include "release/release_profile.h"
#include "support/memory_streams.h"

namespace {

std::vector<std::string> readAll(const std::string& text)
{
    MemoryStreams streams(text);
    std::vector<std::string> lines;
    for (char buffer[LINE_BUFFER_SIZE]; streams.input().readLine(buffer);)
        lines.push_back(buffer);
    return lines;
}

} // namespace

TEST(LineInput, SplitsLinesDropsTheCarriageReturnsAndIgnoresOverlongLines)
{
    EXPECT_EQ(readAll("new\r\nusermove e2e4\n"), (std::vector<std::string>{"new", "usermove e2e4"}));
    EXPECT_EQ(readAll("a\n\nb"), (std::vector<std::string>{"a", "", "b"}));
    EXPECT_EQ(readAll(""), std::vector<std::string>{});
    EXPECT_EQ(readAll("x\ry\n"), std::vector<std::string>{"x\ry"});   // only CRs before the LF go
    EXPECT_EQ(readAll("e2e4\r\r\n"), std::vector<std::string>{"e2e4"});
    const std::string longest(255, 'a');
    EXPECT_EQ(readAll(longest + "\r\n"), std::vector<std::string>{longest});
    EXPECT_EQ(readAll(std::string(256, 'b') + "\nquit\n"), (std::vector<std::string>{"", "quit"}));
    EXPECT_EQ(readAll(std::string(100000, 'c') + "\nisready\n"), (std::vector<std::string>{"", "isready"}));
}

// "uci" only as the whole lower-case line; after "xboard" only an exact
// "protover 2" chooses version 2. The deciding line stays pending for the front end.
TEST(GuiDetection, FirstLinesChooseTheFrontEndAndTheLastOneStaysPending)
{
    enum Kind { None, Uci, V1, V2 };
    const std::string setboard = "setboard rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3 0 1";
    const std::tuple<std::string, Kind, std::string> cases[] = {
        {"uci\n", Uci, "uci"}, {" uci\n", None, ""}, {"\n", None, ""}, {"xboard\nprotover 2\n", V2, "protover 2"},
        {"xboard\nprotover 2 \n", V1, "protover 2 "}, {"xboard\n\n", V1, ""}, {"xboard\n" + setboard + "\n", V1, setboard},
    };
    for (const auto& [input, kind, pending] : cases) {
        MemoryStreams streams(input);
        GuiInterface_class* detected = nullptr;
        EXPECT_EQ(detectGui(streams.input(), streams.output(), currentRelease().protocol, &detected), kind == None ? 1 : 0);
        const std::unique_ptr<GuiInterface_class> frontEnd(detected);
        const Kind found = dynamic_cast<UciInterface_class*>(detected)           ? Uci
                           : dynamic_cast<WinBoardInterfaceV2_class*>(detected) ? V2
                           : dynamic_cast<WinBoardInterfaceV1_class*>(detected) ? V1
                                                                                : None;
        EXPECT_EQ(found, kind) << input;
        EXPECT_EQ(detected ? detected->pendingLine() : "", pending) << input;
        EXPECT_EQ(streams.outputLines().size(), kind == V2 ? 1u : 0u) << input;   // the feature line, at once
    }
}
