#include "protocol/winboard_v2.h"

#include <cstdio>
#include <cstring>


WinBoardInterfaceV2_class::WinBoardInterfaceV2_class(LineInput& input, LineOutput& output,
                                                     const ProtocolRules& rules)
    : WinBoardInterface_class(input, output, rules)
{
    sendFeatures();
}

int WinBoardInterfaceV2_class::handleDialectCommand(const char* line)
{
    // The interface's answers to the feature line, and "protover", are taken
    // and ignored; everything else is not ours.
    if (std::strstr(line, "accepted") || std::strstr(line, "rejected"))
        return 0;
    if (std::strstr(line, "protover"))
        return 0;
    return 1;
}

void WinBoardInterfaceV2_class::sendFeatures()
{
    char line[LINE_BUFFER_SIZE];
    std::snprintf(line, sizeof line,
                  "feature ping=0 setboard=1 playother=1 san=0 usermove=1 time=1 draw=0 "
                  "sigint=0 sigterm=0 reuse=0 analyze=0 myname=\"%s\" colors=0 ics=0 name=1 "
                  "pause=0 done=1",
                  rules_.engineName);
    writeLine(line);
}
