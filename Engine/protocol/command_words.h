#pragma once
// Reading a protocol command: its first word, and the text of its arguments
// after that word and one separator.

#include <cstring>

// True when the line starts with `word`.
inline bool startsWith(const char* line, const char* word)
{
    return std::strncmp(line, word, std::strlen(word)) == 0;
}

// True when the line's first word is `word` (the whole line, or the word and a blank).
inline bool firstWordIs(const char* line, const char* word)
{
    const std::size_t length = std::strlen(word);
    return std::strncmp(line, word, length) == 0 && (line[length] == '\0' || line[length] == ' ');
}

// The text after the line's first `word` and the one character that separates
// it from its arguments; "" when the line ends before.
inline const char* textAfter(const char* line, const char* word)
{
    const std::size_t position = std::strlen(word) + 1;
    return std::strlen(line) >= position ? line + position : "";
}

// The arguments of a line whose first word is `word`, or null for any other line.
inline const char* argumentsOf(const char* line, const char* word)
{
    return firstWordIs(line, word) ? textAfter(line, word) : nullptr;
}
