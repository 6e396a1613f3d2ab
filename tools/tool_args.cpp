#include "tool_args.h"

#include <cstdio>
#include <cstdlib>

int usageError(const char* message)
{
    std::fprintf(stderr, "kelp-tool: %s (see kelp-tool --help)\n", message);
    return 2;
}

std::optional<std::uint32_t> readCount(const std::string& word, std::uint32_t min, std::uint32_t max)
{
    if (word.empty() || word.size() > 10)
        return std::nullopt;
    for (char c : word) {
        if (c < '0' || c > '9')
            return std::nullopt;
    }
    const unsigned long long value = std::strtoull(word.c_str(), nullptr, 10);
    if (value < min || value > max)
        return std::nullopt;
    return static_cast<std::uint32_t>(value);
}
