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

const char* const kFeatureLine =
    "feature ping=0 setboard=1 playother=1 san=0 usermove=1 time=1 draw=0 sigint=0 sigterm=0 "
    "reuse=0 analyze=0 myname=\"Kelp V0.5.15.1\" colors=0 ics=0 name=1 pause=0 done=1";

struct Detected {
    int result;
    std::unique_ptr<GuiInterface_class> frontEnd;
    std::vector<std::string> output;
};

Detected detect(const std::string& input, const ReleaseProfile& release = currentRelease())
{
    MemoryStreams streams(input);
    GuiInterface_class* frontEnd = nullptr;
    Detected d;
    d.result = detectGui(streams.input(), streams.output(), release, &frontEnd);
    d.frontEnd.reset(frontEnd);
    d.output = streams.outputLines();
    return d;
}

} // namespace

TEST(GuiDetection, UciIsRecognisedOnlyAsTheWholeLowerCaseLine)
{
    Detected uci = detect("uci\n");
    EXPECT_EQ(uci.result, 0);
    EXPECT_NE(dynamic_cast<UciInterface_class*>(uci.frontEnd.get()), nullptr);
    EXPECT_STREQ(uci.frontEnd->pendingLine(), "uci");
    EXPECT_TRUE(uci.output.empty());

    for (const char* input : {"UCI\n", "uci \n", " uci\n", "hello\n", "\n", ""}) {
        Detected d = detect(input);
        EXPECT_EQ(d.result, 1) << input;
        EXPECT_EQ(d.frontEnd, nullptr) << input;
        EXPECT_TRUE(d.output.empty()) << input;
    }
}

TEST(GuiDetection, ProtocolVersionTwoWritesTheFeatureLineAtOnce)
{
    Detected d = detect("xboard\nprotover 2\n");
    EXPECT_EQ(d.result, 0);
    EXPECT_NE(dynamic_cast<WinBoardInterfaceV2_class*>(d.frontEnd.get()), nullptr);
    EXPECT_STREQ(d.frontEnd->pendingLine(), "protover 2");
    ASSERT_EQ(d.output.size(), 1u);
    EXPECT_EQ(d.output[0], kFeatureLine);
}

TEST(GuiDetection, EarlierReleaseAnnouncesItsOwnName)
{
    Detected d = detect("xboard\nprotover 2\n", earlierRelease());
    ASSERT_EQ(d.output.size(), 1u);
    EXPECT_NE(d.output[0].find("myname=\"Kelp V0.4.13.1\""), std::string::npos);
}

TEST(GuiDetection, AnyOtherSecondLineGivesVersionOneWithThatLinePending)
{
    for (const char* second : {"new", "protover 1", "protover 2 ", ""}) {
        Detected d = detect(std::string("xboard\n") + second + "\n");
        EXPECT_EQ(d.result, 0);
        EXPECT_NE(dynamic_cast<WinBoardInterfaceV1_class*>(d.frontEnd.get()), nullptr) << second;
        EXPECT_STREQ(d.frontEnd->pendingLine(), second);
        EXPECT_TRUE(d.output.empty());
    }
    Detected ended = detect("xboard\n");
    EXPECT_NE(dynamic_cast<WinBoardInterfaceV1_class*>(ended.frontEnd.get()), nullptr);
    EXPECT_STREQ(ended.frontEnd->pendingLine(), "");
}

TEST(GuiDetection, LongSecondLineIsKeptWhole)
{
    const std::string fen = "setboard rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3 0 1";
    Detected d = detect("xboard\n" + fen + "\n");
    EXPECT_EQ(std::string(d.frontEnd->pendingLine()), fen);
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
    EXPECT_EQ(frontEnd.pv[19], 20u);
    frontEnd.setThinkingPV(line, 100);
    EXPECT_EQ(frontEnd.pvLength, 64u);
    EXPECT_EQ(frontEnd.pv[63], 64u);
}
