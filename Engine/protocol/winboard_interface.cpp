#include "protocol/winboard_interface.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "board/number_text.h"
#include "game/game.h"
#include "protocol/command_words.h"
#include "protocol/result_lines.h"
#include "protocol/thinking_line.h"

namespace {

bool contains(const char* line, const char* word)
{
    return std::strstr(line, word) != nullptr;
}

} // namespace

WinBoardInterface_class::WinBoardInterface_class(LineInput& input, LineOutput& output, const ProtocolRules& rules,
                                                 bool fullMode)
    : GuiInterface_class(input, output, rules), fullMode_(fullMode)
{
}

void WinBoardInterface_class::run(Game_class* game)
{
    game_ = game;
    game_->newGame();
    game_->playMoveWhenDone = true;
    inputLoop();
}

void WinBoardInterface_class::inputLoop()
{
    // The line that followed "xboard" during detection is the first command.
    if (pendingLine()[0] != '\0')
        dispatchCommand(pendingLine());
    readLines(fullMode_, [this](const char* line) { dispatchCommand(line); });
}

// The first test that matches decides. "white", "black" and "time" are taken
// only as the line's first word: an opponent's name ("name blackbird") or a
// result comment must not change the side to move or the clock.
void WinBoardInterface_class::dispatchCommand(const char* line)
{
    if (!fullMode_) {
        dispatchDocumentedCommand(line);
        return;
    }
    if (!dispatchFullModeCommand(line) && !refusesToPlay(line))
        dispatchDocumentedCommand(line);
    // Analysis goes on from whatever position the command left; a command
    // that left the position as it was left the analysis running too.
    if (analyzing_ && running_ && !game_->searching())
        startAnalysis();
}

void WinBoardInterface_class::dispatchDocumentedCommand(const char* line)
{
    Game_class& game = *game_;
    if (contains(line, "accepted"))
        return;
    if (firstWordIs(line, "white")) {
        game.setSideToMove(WHITE);
    } else if (firstWordIs(line, "black")) {
        game.setSideToMove(BLACK);
    } else if (rules_.dispatcherHandlesTime && firstWordIs(line, "time")) {
        // The clock in centiseconds, from the sixth character on.
        const std::int32_t centiseconds = readInt32(textAfter(line, "time"));
        const std::uint32_t clock = centiseconds > 0 ? static_cast<std::uint32_t>(centiseconds) : 0;
        game.setTimeLeft(clock / 100, clock % 100 * 10);
    } else if (std::strcmp(line, "new") == 0) {
        forceMode_ = false;
        game.stopAll();
        game.newGame();
        game.playMoveWhenDone = true;
        if (rules_.newResetsThinkAfterUserMove)
            game.thinkAfterUserMove = true;
    } else if (startsWith(line, "level ")) {
        parseLevel(textAfter(line, "level"));
    } else if (startsWith(line, "result ")) {
        game.playMoveWhenDone = false;
        game.thinkAfterUserMove = false;
        game.stopSearch();
    } else if (std::strcmp(line, "remove") == 0) {
        game.takeBackTwo();
    } else if (std::strcmp(line, "undo") == 0) {
        game.undoMove();
    } else if (std::strcmp(line, "force") == 0) {
        // A running search goes on, but its move will not be played.
        forceMode_ = true;
        game.playMoveWhenDone = false;
        game.thinkAfterUserMove = false;
    } else if (std::strcmp(line, "?") == 0) {
        game.stopSearch();
    } else if (std::strcmp(line, "go") == 0) {
        forceMode_ = false;
        game.playMoveWhenDone = true;
        game.thinkAfterUserMove = true;
        game.startThinking();
    } else if (std::strcmp(line, "playother") == 0) {
        // The engine takes the side not on move: it thinks once the opponent has moved.
        forceMode_ = false;
        game.playMoveWhenDone = true;
        game.thinkAfterUserMove = true;
    } else if (std::strcmp(line, "quit") == 0) {
        quit();
    } else if (startsWith(line, "usermove")) {
        game.userMove(textAfter(line, "usermove"));
    } else if (startsWith(line, "setboard")) {
        game.setPosition(textAfter(line, "setboard"));
    } else {
        handleDialectCommand(line);
    }
}

void WinBoardInterface_class::parseLevel(const char* arguments)
{
    // Moves per control, base minutes ("5:30" reads as 5), increment; a
    // missing word reads as 0.
    std::int32_t numbers[3] = {0, 0, 0};
    const char* p = arguments;
    for (std::int32_t& number : numbers) {
        while (*p == ' ')
            ++p;
        if (*p == '\0')
            break;
        number = readInt32(p);
        while (*p != '\0' && *p != ' ')
            ++p;
    }
    game_->setLevel(static_cast<std::uint32_t>(numbers[0]), static_cast<std::uint32_t>(numbers[1]),
                    static_cast<std::uint32_t>(numbers[2]));
}

void WinBoardInterface_class::handleDialectCommand(const char*) {}

void WinBoardInterface_class::sendMove(const char* moveText)
{
    char line[LINE_BUFFER_SIZE];
    std::snprintf(line, sizeof line, "move %s", moveText);
    writeLine(line);
}

void WinBoardInterface_class::sendResult(ResultCode resultCode)
{
    if (const char* line = resultLine(resultCode))
        writeLine(line);
}

void WinBoardInterface_class::sendError(ErrorKind errorKind, const char* text)
{
    if (errorKind == ErrorKind::IllegalMove) {
        char line[LINE_BUFFER_SIZE + 16];
        std::snprintf(line, sizeof line, "Illegal move: %s", text);
        writeLine(line);
    } else if (errorKind == ErrorKind::IllegalPosition) {
        writeLine("tellusererror Illegal position");
    } else {
        writeLine("Error");
    }
}

void WinBoardInterface_class::resign()
{
    writeLine("resign");
}

void WinBoardInterface_class::sendThinking()
{
    // The documented line has 0 where the time stands; the full mode shows
    // the real time, in centiseconds, unless told "nopost".
    std::int32_t time = 0;
    if (fullMode_) {
        lastDepth_ = thinkingDepth;
        lastNodes_ = thinkingNodes;
        if (!postThinking_ && !analyzing_)
            return;
        time = static_cast<std::int32_t>(std::min<std::uint64_t>(game_->searchElapsedMs() / 10, INT32_MAX));
    }
    char line[THINKING_LINE_SIZE];
    formatThinkingLine(thinkingDepth, thinkingScore, time, thinkingNodes, pv, pvLength, line);
    writeLine(line);
}

bool looksLikeMove(const char* line)
{
    auto letter = [](char c) { return std::isalpha(static_cast<unsigned char>(c)) != 0; };
    auto digit = [](char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; };
    return std::strlen(line) >= 4 && letter(line[0]) && digit(line[1]) && letter(line[2]) &&
           digit(line[3]);
}
