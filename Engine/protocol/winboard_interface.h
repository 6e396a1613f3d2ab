#pragma once
// The WinBoard/xboard front end shared by both protocol dialects: one command
// dispatcher and one set of output lines. The dialects differ only in what
// they do with a line the dispatcher does not know (handleDialectCommand).

#include <atomic>
#include <cstdint>

#include "protocol/gui_interface.h"

class WinBoardInterface_class : public GuiInterface_class {
public:
    // fullMode: the commands the documented protocol lacks (ping, analyze,
    // st, sd, memory, post/nopost, hard/easy) are understood as well.
    WinBoardInterface_class(LineInput& input, LineOutput& output, const ProtocolRules& rules, bool fullMode = false);

    void run(Game_class* game) override;
    void inputLoop() override;

    void sendMove(const char* moveText) override;
    void sendResult(ResultCode resultCode) override;
    void sendError(ErrorKind errorKind, const char* text) override;
    void resign() override;
    void sendThinking() override;

    // Reads the three numbers of "level" (moves, base minutes, increment).
    virtual void parseLevel(const char* arguments);
    // A line the dispatcher does not know.
    virtual void handleDialectCommand(const char* line);

    void dispatchCommand(const char* line);
    // The commands of the documented protocol (dispatchCommand adds the full mode's).
    void dispatchDocumentedCommand(const char* line);

protected:
    bool forceMode_ = false;
    const bool fullMode_;

private:
    // The full mode's commands (winboard_full_mode.cpp): true when the line was one.
    bool dispatchFullModeCommand(const char* line);
    void startAnalysis();
    // A position the full mode refused: no move is made for the one before it.
    bool refusesToPlay(const char* line);
    std::atomic<bool> analyzing_{false};
    std::atomic<bool> postThinking_{true};
    bool positionRefused_ = false;
    // What the last thinking line said, for "." in analysis.
    std::atomic<std::int32_t> lastDepth_{0};
    std::atomic<std::uint64_t> lastNodes_{0};
};

// True when the line starts with a letter, a digit, a letter and a digit.
bool looksLikeMove(const char* line);
