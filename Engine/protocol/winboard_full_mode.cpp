// The WinBoard commands of the full mode, which the documented protocol
// lacks: ping, analyze (with exit and "."), st, sd, memory, post/nopost and
// hard/easy. The feature line announces ping=1, analyze=1 and memory=1.

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "board/number_text.h"
#include "game/game.h"
#include "protocol/command_words.h"
#include "protocol/winboard_interface.h"

namespace {

// The smallest and largest table the "memory" command may ask for, in MiB.
constexpr std::int32_t MIN_TABLE_MIB = 8;
constexpr std::int32_t MAX_TABLE_MIB = 4095;

} // namespace

bool WinBoardInterface_class::dispatchFullModeCommand(const char* line)
{
    Game_class& game = *game_;
    if (const char* number = argumentsOf(line, "ping")) {
        // Answered once every earlier command is done: a move being thought
        // about is sent first.
        game.waitForOwnMove();
        char pong[LINE_BUFFER_SIZE];
        std::snprintf(pong, sizeof pong, "pong %s", number);
        writeLine(pong);
    } else if (const char* seconds = argumentsOf(line, "st")) {
        const double value = std::strtod(seconds, nullptr);
        game.setFixedMoveTime(value > 0 ? static_cast<std::uint64_t>(std::min(value, 1e9) * 1000) : 0);
    } else if (const char* depth = argumentsOf(line, "sd")) {
        game.setSearchDepthLimit(static_cast<std::uint32_t>(std::max(readInt32(depth), 0)));
    } else if (const char* mebibytes = argumentsOf(line, "memory")) {
        const std::int32_t mib = std::clamp(readInt32(mebibytes), MIN_TABLE_MIB, MAX_TABLE_MIB);
        game.resizeTable(static_cast<std::uint32_t>(mib) << 20);
    } else if (std::strcmp(line, "post") == 0 || std::strcmp(line, "nopost") == 0) {
        postThinking_ = line[0] == 'p';
    } else if (std::strcmp(line, "hard") == 0) {
        game.setPondering(true);
    } else if (std::strcmp(line, "easy") == 0) {
        game.setPondering(false);
        game.stopPondering();
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
            std::snprintf(status, sizeof status, "stat01: %llu %d %d 0 0",
                          static_cast<unsigned long long>(game.searchElapsedMs() / 10), lastNodes_.load(),
                          lastDepth_.load());
            writeLine(status);
        }
    } else if (argumentsOf(line, "level") != nullptr) {
        game.setFixedMoveTime(0);   // a level ends "st"; the documented handling follows
        return false;
    } else if (std::strcmp(line, "new") == 0) {
        game.setSearchDepthLimit(0);   // "sd" lasts one game; the documented handling follows
        return false;
    } else {
        return false;
    }
    return true;
}

void WinBoardInterface_class::startAnalysis()
{
    // Analysis plays nothing: the interface sends the moves of both sides.
    forceMode_ = true;
    game_->playMoveWhenDone = false;
    game_->thinkAfterUserMove = false;
    SearchLimits limits;
    limits.infinite = true;
    game_->startSearch(limits, SearchOutcome::Nothing);
}
