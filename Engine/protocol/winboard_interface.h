#pragma once
// The WinBoard/xboard front end shared by both protocol dialects: one command
// dispatcher and one set of output lines. The dialects differ only in what
// they do with a line the dispatcher does not know (handleDialectCommand).

#include "protocol/gui_interface.h"

class WinBoardInterface_class : public GuiInterface_class {
public:
    using GuiInterface_class::GuiInterface_class;

    int run(Game_class* game) override;
    int inputLoop() override;

    void sendMove(const char* moveText) override;
    void sendResult(ResultCode resultCode) override;
    void sendError(ErrorKind errorKind, const char* text) override;
    void offerDraw() override;
    void resign() override;
    void sendThinking() override;
    void sendLine(const char* text) override;

    // Reads the three numbers of "level" (moves, base minutes, increment).
    virtual void parseLevel(const char* arguments);
    // A line the dispatcher does not know: 0 when taken, 1 when not.
    virtual int handleDialectCommand(const char* line);

    void dispatchCommand(const char* line);

protected:
    bool forceMode_ = false;
};

// True when the line starts with a letter, a digit, a letter and a digit.
bool looksLikeMove(const char* line);
