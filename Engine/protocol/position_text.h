#pragma once
// Position texts as interfaces send them.

#include <string>
#include <string_view>

// A FEN text with its two move counters: one given without them (EPD style,
// as test suites and some interfaces write it) is read as "0 1"; a text of
// any other form is returned as it is, for the FEN reader to judge.
std::string withMoveCounters(std::string_view fen);
