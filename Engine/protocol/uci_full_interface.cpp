#include "protocol/uci_full_interface.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "board/move.h"
#include "game/game.h"
#include "protocol/uci_info_line.h"

namespace {

constexpr std::uint32_t MIN_TABLE_MIB = 8;
constexpr std::uint32_t MAX_TABLE_MIB = 4095;

UciFullInterface_class::Words splitWords(std::string_view line)
{
    UciFullInterface_class::Words words;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && std::isspace(static_cast<unsigned char>(line[i])))
            ++i;
        const std::size_t start = i;
        while (i < line.size() && !std::isspace(static_cast<unsigned char>(line[i])))
            ++i;
        if (i > start)
            words.push_back(line.substr(start, i - start));
    }
    return words;
}

bool sameName(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

// A number of a "go" argument; negative (a clock run out) reads as 0.
std::uint64_t readCount(std::string_view word)
{
    const std::string text(word);
    const long long value = std::strtoll(text.c_str(), nullptr, 10);
    return value > 0 ? static_cast<std::uint64_t>(value) : 0;
}

std::uint32_t readCount32(std::string_view word)
{
    return static_cast<std::uint32_t>(std::min<std::uint64_t>(readCount(word), UINT32_MAX));
}

std::string joined(const UciFullInterface_class::Words& words, std::size_t from, std::size_t to)
{
    std::string text;
    for (std::size_t i = from; i < to; ++i) {
        if (!text.empty())
            text += ' ';
        text += words[i];
    }
    return text;
}

} // namespace

int UciFullInterface_class::run(Game_class* game)
{
    game_ = game;
    game_->newGame();
    return inputLoop();
}

int UciFullInterface_class::inputLoop()
{
    sendHandshake();
    readLines(true, [this](const char* line) { handleLine(line); });
    return 0;
}

void UciFullInterface_class::sendHandshake()
{
    sendIdentity();
    char hash[128];
    const std::uint32_t mib = game_->hashTable()->tableSize() >> 20;
    std::snprintf(hash, sizeof hash, "option name Hash type spin default %u min %u max %u",
                  std::clamp(mib, MIN_TABLE_MIB, MAX_TABLE_MIB), MIN_TABLE_MIB, MAX_TABLE_MIB);
    writeLine(hash);
    writeLine("option name Clear Hash type button");
    writeLine("option name Ponder type check default false");
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
        writeLine("readyok");   // at once, also while a search runs
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
        const std::uint32_t mib = std::clamp(readCount32(value), MIN_TABLE_MIB, MAX_TABLE_MIB);
        if (!game_->resizeTable(mib << 20))
            tell("no memory for a table of " + std::to_string(mib) + " MiB; the table keeps its size");
    } else if (sameName(name, "Clear Hash")) {
        game_->clearTable();
    } else if (!sameName(name, "Ponder") && !sameName(name, "Hossa") && !sameName(name, "Zorb")) {
        tell("unknown option " + name);
    }
}

void UciFullInterface_class::setPosition(const Words& words)
{
    // position startpos|fen FEN [moves M...]
    std::size_t movesAt = 1;
    while (movesAt < words.size() && words[movesAt] != "moves")
        ++movesAt;
    std::string fen;
    if (words.size() >= 2 && words[1] == "startpos" && movesAt == 2) {
        fen = START_FEN;
    } else if (words.size() >= 3 && words[1] == "fen") {
        fen = joined(words, 2, movesAt);
    } else {
        tell("position needs startpos or fen");
        return;
    }
    if (!game_->resetToPosition(fen.c_str())) {
        tell("illegal position " + fen + "; the position stays as it was");
        return;
    }
    for (std::size_t i = movesAt + 1; i < words.size(); ++i) {
        const std::string move(words[i]);
        if (game_->applyMoveText(move.c_str()) != MOVE_ACCEPTED) {
            tell("illegal move " + move + "; the position stands before it");
            return;
        }
    }
}

void UciFullInterface_class::go(const Words& words)
{
    const auto received = std::chrono::steady_clock::now();
    Game_class& game = *game_;
    const bool white = game.sideToMove() == WHITE;
    SearchLimits limits;
    std::uint32_t mateMoves = 0;
    auto valueAfter = [&](std::size_t& i) { return i + 1 < words.size() ? words[++i] : std::string_view(); };
    for (std::size_t i = 1; i < words.size(); ++i) {
        const std::string_view word = words[i];
        if (word == "infinite") {
            limits.infinite = true;
        } else if (word == "ponder") {
            limits.ponder = true;
        } else if (word == (white ? "wtime" : "btime")) {
            limits.clockGiven = true;
            limits.clockMs = readCount(valueAfter(i));
        } else if (word == (white ? "winc" : "binc")) {
            limits.incrementMs = readCount(valueAfter(i));
        } else if (word == "wtime" || word == "btime" || word == "winc" || word == "binc") {
            valueAfter(i);   // the opponent's clock
        } else if (word == "movestogo") {
            limits.movesToGo = readCount32(valueAfter(i));
        } else if (word == "movetime") {
            limits.moveTimeMs = std::max<std::uint64_t>(readCount(valueAfter(i)), 1);
        } else if (word == "depth") {
            limits.depth = std::max(readCount32(valueAfter(i)), 1u);
        } else if (word == "nodes") {
            limits.nodes = std::max(readCount32(valueAfter(i)), 1u);
        } else if (word == "mate") {
            mateMoves = std::max(readCount32(valueAfter(i)), 1u);
        } else if (word == "searchmoves") {
            // Every word up to the next keyword that names a legal move.
            while (i + 1 < words.size()) {
                const std::string text(words[i + 1]);
                const Move move = game.legalMove(text.c_str());
                if (move == NO_MOVE && parseMoveText(game.sideToMove(), text.c_str()) == NO_MOVE)
                    break;   // not a move: the next keyword
                ++i;
                if (move == NO_MOVE)
                    tell("searchmoves: " + text + " is not legal here");
                else if (limits.rootMoveCount < MAX_NON_CAPTURES)
                    limits.rootMoves[limits.rootMoveCount++] = move;
            }
        } else {
            tell("go: unknown word " + std::string(word));
        }
    }
    // A mate in n moves lies within 2n - 1 plies.
    if (mateMoves != 0 && (limits.depth == 0 || limits.depth > 2 * mateMoves - 1))
        limits.depth = std::min<std::uint32_t>(2 * mateMoves - 1, MAX_SEARCH_DEPTH);
    if (!game.startSearch(limits, SearchOutcome::ReportBest, received)) {
        tell("the position cannot be searched: the side not to move is in check");
        writeLine("bestmove (none)");
    }
}

void UciFullInterface_class::sendThinking()
{
    // The search's last report counts the iteration it broke off in; a
    // GUI reads the depth it reached.
    Search_class& search = *game_->search();
    if (reportedSearch_ != game_->searchCount()) {
        reportedSearch_ = game_->searchCount();
        deepestReport_ = 0;
    }
    deepestReport_ = std::max(deepestReport_, thinkingDepth);
    const std::uint32_t shown = legalLine_.legalLength(search.board(), search.rootSide(), pv, pvLength);
    char line[UCI_INFO_LINE_SIZE];
    formatUciInfoLine(deepestReport_, thinkingScore, static_cast<std::uint32_t>(thinkingNodes),
                      game_->searchElapsedMs(), pv, shown, line);
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
