#include "protocol/gui_interface.h"

#include <cstring>

#include "game/game.h"

GuiInterface_class::GuiInterface_class(LineInput& input, LineOutput& output,
                                       const ProtocolRules& rules)
    : rules_(rules), input_(input), output_(output)
{
}

void GuiInterface_class::run(Game_class* game)
{
    game_ = game;
    inputLoop();
}

void GuiInterface_class::inputLoop()
{
    readLines(false, [this](const char* line) {
        if (std::strcmp(line, "quit") == 0)
            quit();
    });
}

void GuiInterface_class::quit()
{
    if (game_ != nullptr)
        game_->stopAll();
    running_ = false;
}

void GuiInterface_class::sendMove(const char*) {}
void GuiInterface_class::sendResult(ResultCode) {}
void GuiInterface_class::sendError(ErrorKind, const char*) {}
void GuiInterface_class::resign() {}
void GuiInterface_class::sendThinking() {}

void GuiInterface_class::setPendingLine(const char* line)
{
    std::strncpy(pendingLine_, line, MAX_LINE_LENGTH);
    pendingLine_[MAX_LINE_LENGTH] = '\0';
}
