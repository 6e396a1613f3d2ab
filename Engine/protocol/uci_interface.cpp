#include "protocol/uci_interface.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "protocol/result_lines.h"

void UciInterface_class::inputLoop()
{
    sendIdentity();
    writeLine("uciok");
    readLines(false, [this](const char* line) {
        if (std::strcmp(line, "quit") == 0)
            quit();
        else if (std::strcmp(line, "isready") == 0)
            writeLine("readyok");
    });
}

void UciInterface_class::sendIdentity(const char* name)
{
    writeLine((std::string("id name ") + name).c_str());
    writeLine("id author Quarnel");
    writeLine("option name Hossa type spin default 1 min 1 max 512");
    writeLine("option name Zorb type button");
}

void UciInterface_class::sendMove(const char* moveText)
{
    char line[LINE_BUFFER_SIZE];
    std::snprintf(line, sizeof line, "move %s", moveText);
    writeLine(line);
}

void UciInterface_class::sendResult(ResultCode resultCode)
{
    if (const char* line = resultLine(resultCode))
        writeLine(line);
}

void UciInterface_class::sendError(ErrorKind errorKind, const char*)
{
    if (errorKind != ErrorKind::IllegalMove && errorKind != ErrorKind::IllegalPosition)
        writeLine("Error");
}

void UciInterface_class::resign()
{
    writeLine("resign");
}

void UciInterface_class::sendThinking()
{
    // Depth, score, then the literal 0 where the time would stand, then nodes.
    char line[64];
    std::snprintf(line, sizeof line, "%u %d  0 %llu", static_cast<unsigned>(thinkingDepth), thinkingScore,
                  static_cast<unsigned long long>(thinkingNodes));
    writeLine(line);
}
