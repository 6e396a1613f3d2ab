#include "protocol/uci_full_interface.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdio>

#include "board/move.h"
#include "game/game.h"
#include "protocol/uci_info_line.h"
#include "release/version.h"

namespace {

bool sameName(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

} // namespace

void UciFullInterface_class::run(Game_class* game)
{
    game_ = game;
    game_->newGame();
    inputLoop();
}

void UciFullInterface_class::inputLoop()
{
    sendHandshake();
    readLines(true, [this](const char* line) { handleLine(line); });
}

void UciFullInterface_class::sendHandshake()
{
    // Named with its version, as clients show it (PGN headers, engine lists).
    sendIdentity("Kelp " KELP_CURRENT_VERSION);
    char option[128];
    std::snprintf(option, sizeof option, "option name Hash type spin default %u min %u max %u",
                  tableMibWithinLimits(game_->tableBytes() >> 20), MIN_TABLE_MIB, MAX_TABLE_MIB);
    writeLine(option);
    writeLine("option name Clear Hash type button");
    writeLine("option name Ponder type check default false");
    std::snprintf(option, sizeof option, "option name Threads type spin default 1 min 1 max %u", MAX_SEARCH_THREADS);
    writeLine(option);
    std::snprintf(option, sizeof option, "option name MultiPV type spin default 1 min 1 max %u", MAX_MULTI_PV);
    writeLine(option);
    std::snprintf(option, sizeof option, "option name Move Overhead type spin default %u min 0 max %u",
                  DEFAULT_MOVE_OVERHEAD_MS, MAX_MOVE_OVERHEAD_MS);
    writeLine(option);
    writeLine(game_->options().tableStatistics ? "option name Table Statistics type check default true"
                                               : "option name Table Statistics type check default false");
    writeLine("uciok");
}

void UciFullInterface_class::handleLine(std::string_view line)
{
    const Words words = splitWords(line);
    if (words.empty())
        return;
    const std::string_view command = words[0];
    Game_class& game = *game_;
    if (command == "isready") {
        // At once, also while a search runs; the first waits for the table.
        if (!game.tableReady())
            tell("no memory for a transposition table");
        writeLine("readyok");
    } else if (command == "quit") {
        quit();
    } else if (command == "stop") {
        game.stopSearch();
    } else if (command == "ponderhit") {
        game.ponderHit();
    } else if (command == "go") {
        go(words);
    } else if (command == "position") {
        setPosition(words);
    } else if (command == "ucinewgame") {
        game.newGame();
    } else if (command == "setoption") {
        setOption(words);
    } else if (command == "uci") {
        sendHandshake();
    }
    // Anything else ("debug", "register", unknown words) is ignored.
}

void UciFullInterface_class::setOption(const Words& words)
{
    // setoption name <name, any words> [value <value>]
    if (words.size() < 3 || words[1] != "name") {
        tell("setoption without a name");
        return;
    }
    std::size_t valueAt = 2;
    while (valueAt < words.size() && words[valueAt] != "value")
        ++valueAt;
    const std::string name = joined(words, 2, valueAt);
    const std::string value = valueAt + 1 < words.size() ? joined(words, valueAt + 1, words.size()) : "";
    if (sameName(name, "Hash")) {
        const std::uint32_t mib = tableMibWithinLimits(std::atoll(value.c_str()));
        if (!game_->resizeTable(mib << 20))
            tell("no memory for a table of " + std::to_string(mib) + " MiB; the table keeps its size");
    } else if (sameName(name, "Clear Hash")) {
        game_->clearTable();
    } else if (sameName(name, "Threads") || sameName(name, "MultiPV") || sameName(name, "Move Overhead") ||
               sameName(name, "Table Statistics")) {
        PlayOptions options = game_->options();
        const auto number = [&value](long long low, long long high) {
            return static_cast<std::uint32_t>(std::clamp<long long>(std::atoll(value.c_str()), low, high));
        };
        if (sameName(name, "Threads"))
            options.threads = number(1, MAX_SEARCH_THREADS);
        else if (sameName(name, "MultiPV"))
            options.multiPv = number(1, MAX_MULTI_PV);
        else if (sameName(name, "Move Overhead"))
            options.moveOverheadMs = number(0, MAX_MOVE_OVERHEAD_MS);
        else
            options.tableStatistics = sameName(value, "true");
        game_->setOptions(options);
    } else if (!sameName(name, "Ponder") && !sameName(name, "Hossa") && !sameName(name, "Zorb")) {
        tell("unknown option " + name);
    }
}

void UciFullInterface_class::setPosition(const Words& words)
{
    std::string fen;
    Words moves;
    if (!readPosition(words, fen, moves)) {
        tell("position needs startpos or fen; no position until a valid one");
        positionRefused_ = true;
        return;
    }
    positionRefused_ = !game_->startFrom(fen.c_str(), moves);
    if (positionRefused_)
        tell("illegal position " + fen + "; no position until a valid one");
}

void UciFullInterface_class::go(const Words& words)
{
    const auto received = std::chrono::steady_clock::now();
    std::vector<std::string> unknown;
    const SearchRequest request = readGo(words, unknown);
    for (const std::string& word : unknown)
        tell("go: unknown word " + word);
    if (positionRefused_) {
        game_->stopAll();   // a search of the earlier position ends with its own bestmove first
        tell("no position to search: the last one was refused");
        writeLine("bestmove (none)");
    } else if (!game_->startSearch(request, SearchOutcome::ReportBest, received)) {
        tell("the position cannot be searched: the side not to move is in check");
        writeLine("bestmove (none)");
    }
}

void UciFullInterface_class::sendError(ErrorKind errorKind, const char* text)
{
    if (errorKind == ErrorKind::IllegalMove)
        tell(std::string("illegal move ") + text + ": left out");
}

void UciFullInterface_class::sendThinking()
{
    char line[UCI_INFO_LINE_SIZE];
    formatUciInfoLine(thinkingDepth, thinkingMultiPv > 1 ? thinkingLine : 0, thinkingScore, thinkingNodes,
                      game_->searchElapsedMs(), pv, pvLength, line);
    writeLine(line);
}

void UciFullInterface_class::sendBestMove(Move best, Move reply)
{
    if (best == NO_MOVE) {
        writeLine("bestmove (none)");
        return;
    }
    char bestText[MOVE_TEXT_SIZE];
    char replyText[MOVE_TEXT_SIZE];
    moveToText(best, bestText);
    char line[64];
    if (reply != NO_MOVE) {
        moveToText(reply, replyText);
        std::snprintf(line, sizeof line, "bestmove %s ponder %s", bestText, replyText);
    } else {
        std::snprintf(line, sizeof line, "bestmove %s", bestText);
    }
    writeLine(line);
}

void UciFullInterface_class::tell(const std::string& text)
{
    writeLine(("info string " + text).c_str());
}
