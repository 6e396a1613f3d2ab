#pragma once
// The UCI front end of the full mode: the documented handshake with the
// options GUIs look for (Hash, Clear Hash, Ponder), and play and analysis as
// UCI clients use them: "position", "go" with its limits, "stop",
// "ponderhit", "isready" at any time. Every "go" gets exactly one "bestmove".

#include <string>
#include <string_view>
#include <vector>

#include "protocol/legal_line.h"
#include "protocol/uci_interface.h"

class UciFullInterface_class : public UciInterface_class {
public:
    using UciInterface_class::UciInterface_class;

    // Starts from the start position, for a "go" that comes before any "position".
    int run(Game_class* game) override;
    int inputLoop() override;

    // The game announces no moves, results or errors under UCI: the front end
    // says what it has to say about the commands itself.
    void sendMove(const char*) override {}
    void sendResult(ResultCode) override {}
    void sendError(ErrorKind, const char*) override {}
    void resign() override {}
    void offerDraw() override {}
    void sendThinking() override;
    void sendBestMove(Move best, Move reply) override;

    using Words = std::vector<std::string_view>;

private:
    void sendHandshake();
    void handleLine(std::string_view line);
    void setOption(const Words& words);
    void setPosition(const Words& words);
    void go(const Words& words);
    void tell(const std::string& text);   // "info string ..."

    LegalLine legalLine_;                // used on the search thread only
    // The deepest report of the running search (on the search thread).
    std::int32_t deepestReport_ = 0;
    std::uint32_t reportedSearch_ = 0;
};
