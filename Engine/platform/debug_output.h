#pragma once
// Diagnostic text goes to standard error, never to standard output (which
// carries the protocol).

#include <cstddef>

constexpr std::size_t DEBUG_TEXT_LIMIT = 1024;   // bytes, terminator included

// Hands one finished text to the diagnostic channel, written in one piece.
void debugOutput(const char* text);

// printf-style formatting into at most DEBUG_TEXT_LIMIT bytes, then debugOutput.
// Longer texts are cut off. Callers put the line end into the format.
void debugPrintf(const char* format, ...) __attribute__((format(printf, 1, 2)));
