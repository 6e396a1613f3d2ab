#pragma once
// The engine's only settings come from its command line:
//   -C <MiB>   transposition table size in MiB
//   -R <word>  accepted for compatibility; its value has no effect
//   --full     the full mode (where the release has one)
//   --statistics  the table statistics on standard error in the full mode too
//   bench      the full mode runs the bench and exits
//   --help, --version
// Later options override earlier ones; unknown words are skipped silently.

#include <cstdint>

#include "search/hash_table.h"

class Config_class {
public:
    std::uint32_t hashBytes = DEFAULT_HASH_BYTES;
    bool hashSizeGiven = true;
    bool fullMode = false;
    bool statistics = false;
    bool benchWanted = false;
    bool helpWanted = false;
    bool versionWanted = false;

    // words: the arguments after the program name; count: how many there are.
    void parseCommandLine(int count, const char* const* words);

    // The table size in bytes for a release whose smallest size is minBytes:
    // the requested size when one was given and it is at least minBytes,
    // otherwise the 8 MiB default.
    std::uint32_t tableSizeBytes(std::uint32_t minBytes) const;
};
