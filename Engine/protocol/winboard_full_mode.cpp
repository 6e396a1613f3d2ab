// The WinBoard commands of the full mode, which the documented protocol
// lacks: ping, analyze (with exit and "."), st, sd, memory, option MultiPV,
// post/nopost and hard/easy. The feature line announces ping=1, analyze=1,
// memory=1 and the MultiPV option (a thinking line per best line). A
// position given without its move counters is read with "0 1"; after a
// position that is refused, no move is made until a valid one arrives.

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "board/number_text.h"
#include "game/game.h"
#include "protocol/command_words.h"
#include "protocol/position_text.h"
#include "protocol/winboard_interface.h"
#include "search/hash_table.h"

bool WinBoardInterface_class::dispatchFullModeCommand(const char* line)
{
    Game_class& game = *game_;
    PlayOptions options = game.options();
    if (const char* number = argumentsOf(line, "ping")) {
        // Answered once every earlier command is done: after the move being
        // thought about, and once the table is built. Input is read meanwhile.
        game.tableReady();
        game.afterOwnMove([this, pong = std::string("pong ") + number] { writeLine(pong.c_str()); });
    } else if (const char* seconds = argumentsOf(line, "st")) {
        const double value = std::strtod(seconds, nullptr);
        options.fixedMoveMs = value > 0 ? static_cast<std::uint64_t>(std::min(value, 1e9) * 1000) : 0;
        game.setOptions(options);
    } else if (const char* depth = argumentsOf(line, "sd")) {
        options.depthLimit = static_cast<std::uint32_t>(std::max(readInt32(depth), 0));
        game.setOptions(options);
    } else if (const char* mebibytes = argumentsOf(line, "memory")) {
        const std::uint32_t mib = tableMibWithinLimits(readInt32(mebibytes));
        if (!game.resizeTable(mib << 20)) {
            char text[LINE_BUFFER_SIZE];
            std::snprintf(text, sizeof text, "tellusererror Not enough memory for a %u MB table: it stays at %u MB",
                          mib, game.tableBytes() >> 20);
            writeLine(text);
        }
    } else if (const char* cores = argumentsOf(line, "cores")) {
        options.threads = static_cast<std::uint32_t>(std::max(readInt32(cores), 1));
        game.setOptions(options);
    } else if (const char* option = argumentsOf(line, "option")) {
        // The options of the feature line: MultiPV (others are ignored).
        if (startsWith(option, "MultiPV=")) {
            options.multiPv = static_cast<std::uint32_t>(std::max(readInt32(option + 8), 1));
            game.setOptions(options);
        }
    } else if (std::strcmp(line, "post") == 0 || std::strcmp(line, "nopost") == 0) {
        postThinking_ = line[0] == 'p';
    } else if (std::strcmp(line, "hard") == 0 || std::strcmp(line, "easy") == 0) {
        options.pondering = line[0] == 'h';   // "easy" also ends a ponder phase under way
        game.setOptions(options);
    } else if (std::strcmp(line, "analyze") == 0) {
        analyzing_ = true;
        startAnalysis();
    } else if (std::strcmp(line, "exit") == 0) {
        if (analyzing_) {
            analyzing_ = false;
            game.stopAll();
        }
    } else if (std::strcmp(line, ".") == 0) {
        if (analyzing_) {
            char status[LINE_BUFFER_SIZE];
            std::snprintf(status, sizeof status, "stat01: %llu %llu %d 0 0",
                          static_cast<unsigned long long>(game.searchElapsedMs() / 10),
                          static_cast<unsigned long long>(lastNodes_.load()), lastDepth_.load());
            writeLine(status);
        }
    } else if (const char* fen = argumentsOf(line, "setboard")) {
        positionRefused_ = !game.setPosition(withMoveCounters(fen).c_str());
    } else if (argumentsOf(line, "level") != nullptr) {
        options.fixedMoveMs = 0;   // a level ends "st"; the documented handling follows
        game.setOptions(options);
        return false;
    } else if (std::strcmp(line, "new") == 0) {
        options.depthLimit = 0;   // "sd" lasts one game; the documented handling follows
        game.setOptions(options);
        positionRefused_ = false;
        return false;
    } else {
        return false;
    }
    return true;
}

bool WinBoardInterface_class::refusesToPlay(const char* line)
{
    if (!positionRefused_)
        return false;
    if (const char* move = argumentsOf(line, "usermove")) {
        sendError(ErrorKind::IllegalMove, move);
        return true;
    }
    return std::strcmp(line, "go") == 0 || std::strcmp(line, "playother") == 0;
}

void WinBoardInterface_class::startAnalysis()
{
    // Analysis plays nothing: the interface sends the moves of both sides.
    forceMode_ = true;
    game_->playMoveWhenDone = false;
    game_->thinkAfterUserMove = false;
    lastDepth_ = 0;
    lastNodes_ = 0;
    if (positionRefused_)
        return;
    SearchRequest request;
    request.infinite = true;
    game_->startSearch(request, SearchOutcome::Nothing);
}
