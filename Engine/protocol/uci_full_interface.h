#pragma once
// The UCI front end of the full mode: the documented handshake with the
// options GUIs look for (Hash, Clear Hash, Ponder, MultiPV), and play and analysis as
// UCI clients use them: "position", "go" with its limits, "stop",
// "ponderhit", "isready" at any time. Every "go" gets exactly one "bestmove".
// Each command is read into a value first; the game alone checks its moves.

#include <string>
#include <string_view>

#include "protocol/uci_commands.h"
#include "protocol/uci_interface.h"

class UciFullInterface_class : public UciInterface_class {
public:
    using UciInterface_class::UciInterface_class;

    // Starts from the start position, for a "go" that comes before any "position".
    void run(Game_class* game) override;
    void inputLoop() override;

    // The game announces no moves, results or resignations under UCI; a
    // refused move (of "position" or "searchmoves") or position is told.
    void sendMove(const char*) override {}
    void sendResult(ResultCode) override {}
    void sendError(ErrorKind errorKind, const char* text) override;
    void resign() override {}
    void sendThinking() override;
    void sendBestMove(Move best, Move reply) override;

private:
    void sendHandshake();
    void handleLine(std::string_view line);
    void setOption(const Words& words);
    void setPosition(const Words& words);
    void go(const Words& words);
    void tell(const std::string& text);   // "info string ..."

    // The last "position" was refused: every "go" answers "bestmove (none)"
    // until a valid one arrives, never a move for a position the GUI left.
    bool positionRefused_ = false;
};
