#pragma once
// The full mode's UCI commands read into values before anything acts on
// them: a "go" becomes a search request, a "position" a FEN text and its
// moves. Nothing here looks at the game.

#include <string>
#include <string_view>
#include <vector>

#include "game/search_request.h"

using Words = std::vector<std::string_view>;

// The blank-separated words of a line (views into it).
Words splitWords(std::string_view line);

// "go" and its words, in any order. A word that is no keyword is named in
// `unknown`; "searchmoves" takes every word up to the next keyword.
SearchRequest readGo(const Words& words, std::vector<std::string>& unknown);

// "position startpos|fen FEN [moves M...]": false when neither form fits.
// The FEN is given its move counters when it lacks them; `moves` views the line.
bool readPosition(const Words& words, std::string& fen, Words& moves);

// The text of words [from, to), joined by single blanks.
std::string joined(const Words& words, std::size_t from, std::size_t to);
