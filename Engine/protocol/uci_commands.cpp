#include "protocol/uci_commands.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdlib>

#include "board/board.h"
#include "protocol/position_text.h"
#include "search/search.h"

namespace {

constexpr std::array<std::string_view, 12> GO_KEYWORDS = {
    "searchmoves", "ponder", "wtime", "btime", "winc", "binc", "movestogo", "depth", "nodes", "mate",
    "movetime", "infinite"};

bool isKeyword(std::string_view word)
{
    return std::find(GO_KEYWORDS.begin(), GO_KEYWORDS.end(), word) != GO_KEYWORDS.end();
}

// A number of a "go" argument; negative (a clock run out) or not a number reads as 0.
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

} // namespace

Words splitWords(std::string_view line)
{
    Words words;
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

SearchRequest readGo(const Words& words, std::vector<std::string>& unknown)
{
    SearchRequest request;
    std::uint32_t mateMoves = 0;
    // The value after a keyword; a keyword or the end of the line leaves it out.
    auto valueAfter = [&](std::size_t& i) {
        if (i + 1 >= words.size() || isKeyword(words[i + 1]))
            return std::string_view();
        return words[++i];
    };
    for (std::size_t i = 1; i < words.size(); ++i) {
        const std::string_view word = words[i];
        if (word == "infinite") {
            request.infinite = true;
        } else if (word == "ponder") {
            request.ponder = true;
        } else if (word == "wtime" || word == "btime") {
            const std::string_view value = valueAfter(i);
            if (!value.empty())
                request.clockMs[word[0] == 'w' ? 0 : 1] = readCount(value);
        } else if (word == "winc" || word == "binc") {
            request.incrementMs[word[0] == 'w' ? 0 : 1] = readCount(valueAfter(i));
        } else if (word == "movestogo") {
            request.movesToGo = readCount32(valueAfter(i));
        } else if (word == "movetime") {
            request.moveTimeMs = std::max<std::uint64_t>(readCount(valueAfter(i)), 1);
        } else if (word == "depth") {
            request.depth = std::max(readCount32(valueAfter(i)), 1u);
        } else if (word == "nodes") {
            request.nodes = std::max<std::uint64_t>(readCount(valueAfter(i)), 1);
        } else if (word == "mate") {
            mateMoves = std::max(readCount32(valueAfter(i)), 1u);
        } else if (word == "searchmoves") {
            while (i + 1 < words.size() && !isKeyword(words[i + 1]))
                request.searchMoves.emplace_back(words[++i]);
        } else {
            unknown.emplace_back(word);
        }
    }
    // A mate in n moves lies within 2n - 1 plies.
    if (mateMoves != 0 && (request.depth == 0 || request.depth > 2 * mateMoves - 1))
        request.depth = std::min<std::uint32_t>(2 * mateMoves - 1, MAX_SEARCH_DEPTH);
    return request;
}

bool readPosition(const Words& words, std::string& fen, Words& moves)
{
    std::size_t movesAt = 1;
    while (movesAt < words.size() && words[movesAt] != "moves")
        ++movesAt;
    if (words.size() >= 2 && words[1] == "startpos" && movesAt == 2)
        fen = START_FEN;
    else if (words.size() >= 3 && words[1] == "fen")
        fen = withMoveCounters(joined(words, 2, movesAt));
    else
        return false;
    moves.assign(words.begin() + static_cast<std::ptrdiff_t>(std::min(movesAt + 1, words.size())), words.end());
    return true;
}

std::string joined(const Words& words, std::size_t from, std::size_t to)
{
    std::string text;
    for (std::size_t i = from; i < to; ++i) {
        if (!text.empty())
            text += ' ';
        text += words[i];
    }
    return text;
}
