#pragma once
// Argument handling shared by the kelp-tool commands.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct ReleaseProfile;

struct ToolArgs {
    std::vector<std::string> words;      // positional arguments after the command
    const ReleaseProfile* release;       // --release (default: the current release)
    std::optional<std::uint32_t> hashMiB;   // --hash
};

// Prints a one-line usage error to stderr; the caller exits with 2.
int usageError(const char* message);

// Reads a whole decimal number in [min, max]; nothing for anything else.
std::optional<std::uint32_t> readCount(const std::string& word, std::uint32_t min, std::uint32_t max);
