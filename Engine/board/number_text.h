#pragma once
// Numbers in FEN and protocol text are read the way atoi reads them: leading
// blanks, an optional sign, digits, 0 without digits. Kept to 32 bits.
#include <cstdint>
#include <cstdlib>

inline std::int32_t readInt32(const char* text)
{
    const long value = std::strtol(text, nullptr, 10);
    if (value > INT32_MAX)
        return INT32_MAX;
    if (value < INT32_MIN)
        return INT32_MIN;
    return static_cast<std::int32_t>(value);
}
