#include "platform/debug_output.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <unistd.h>

void debugOutput(const char* text)
{
    // One write() per text keeps lines from two threads from interleaving.
    std::size_t left = std::strlen(text);
    while (left > 0) {
        const ssize_t written = ::write(STDERR_FILENO, text, left);
        if (written <= 0)
            return;
        text += written;
        left -= static_cast<std::size_t>(written);
    }
}

void debugPrintf(const char* format, ...)
{
    char text[DEBUG_TEXT_LIMIT];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    debugOutput(text);
}
