#include "protocol/winboard_interface.h"

#include <cctype>
#include <cstdio>
#include <cstring>

#include "protocol/result_lines.h"
#include "protocol/thinking_line.h"

int WinBoardInterface_class::run(Game_class* game)
{
    game_ = game;
    return inputLoop();
}

int WinBoardInterface_class::inputLoop()
{
    // The line that followed "xboard" during detection is the first command.
    if (pendingLine()[0] != '\0')
        dispatchCommand(pendingLine());
    char line[LINE_BUFFER_SIZE];
    running_ = true;
    while (running_) {
        if (!readLine(line))
            running_ = false;   // end of input ends the run as "quit" does
        else
            dispatchCommand(line);
    }
    return 0;
}

void WinBoardInterface_class::dispatchCommand(const char* line)
{
    if (std::strcmp(line, "quit") == 0) {
        running_ = false;
        return;
    }
    handleDialectCommand(line);
}

void WinBoardInterface_class::parseLevel(const char*) {}

int WinBoardInterface_class::handleDialectCommand(const char*)
{
    return 1;
}

void WinBoardInterface_class::sendMove(const char* moveText)
{
    char line[LINE_BUFFER_SIZE];
    std::snprintf(line, sizeof line, "move %s", moveText);
    writeLine(line);
}

void WinBoardInterface_class::sendResult(std::uint32_t resultCode)
{
    if (const char* line = resultLine(resultCode))
        writeLine(line);
}

void WinBoardInterface_class::sendError(std::uint32_t errorKind, const char* text)
{
    if (errorKind == 0) {
        char line[LINE_BUFFER_SIZE + 16];
        std::snprintf(line, sizeof line, "Illegal move: %s", text);
        writeLine(line);
    } else if (errorKind == 1) {
        writeLine("tellusererror Illegal position");
    } else {
        writeLine("Error");
    }
}

void WinBoardInterface_class::offerDraw()
{
    writeLine("offer draw");
}

void WinBoardInterface_class::resign()
{
    writeLine("resign");
}

void WinBoardInterface_class::sendThinking()
{
    char line[THINKING_LINE_SIZE];
    formatThinkingLine(thinkingDepth, thinkingScore, thinkingTime, thinkingNodes, pv, pvLength, line);
    writeLine(line);
}

void WinBoardInterface_class::sendLine(const char* text)
{
    writeLine(text);
}

bool looksLikeMove(const char* line)
{
    auto letter = [](char c) { return std::isalpha(static_cast<unsigned char>(c)) != 0; };
    auto digit = [](char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; };
    return std::strlen(line) >= 4 && letter(line[0]) && digit(line[1]) && letter(line[2]) &&
           digit(line[3]);
}
