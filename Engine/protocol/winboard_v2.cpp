#include "protocol/winboard_v2.h"

#include <cstdio>
#include <cstring>


WinBoardInterfaceV2_class::WinBoardInterfaceV2_class(LineInput& input, LineOutput& output,
                                                     const ProtocolRules& rules, bool fullMode)
    : WinBoardInterface_class(input, output, rules, fullMode)
{
    sendFeatures();
}

void WinBoardInterfaceV2_class::handleDialectCommand(const char*)
{
    // The interface's answers to the feature line, "protover" and every
    // other line the dispatcher does not know are taken and ignored.
}

void WinBoardInterfaceV2_class::sendFeatures()
{
    // The full mode answers ping, analyses, takes a table size and offers MultiPV.
    char line[2 * LINE_BUFFER_SIZE];
    std::snprintf(line, sizeof line,
                  "feature ping=%d setboard=1 playother=1 san=0 usermove=1 time=1 draw=0 "
                  "sigint=0 sigterm=0 reuse=0 analyze=%d myname=\"%s\" colors=0 ics=0 name=1 "
                  "pause=0 %sdone=1",
                  fullMode_ ? 1 : 0, fullMode_ ? 1 : 0, rules_.engineName,
                  fullMode_ ? "memory=1 smp=1 option=\"MultiPV -spin 1 1 256\" " : "");
    writeLine(line);
}
