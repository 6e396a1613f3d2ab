#include "app/config.h"

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace {

// Reads a "-C" value as strtoul with base 10 does. A negative number counts
// as 0, like a value that is not a number; sizes whose byte count does not fit
// 32 bits (4096 MiB and more) are capped to the largest size that fits.
unsigned long readMebibytes(const char* word)
{
    const char* first = word;
    while (std::isspace(static_cast<unsigned char>(*first)))
        ++first;
    if (*first == '-')
        return 0;
    errno = 0;
    const unsigned long value = std::strtoul(word, nullptr, 10);
    if (errno == ERANGE || value > MAX_TABLE_MIB)
        return MAX_TABLE_MIB;
    return value;
}

} // namespace

void Config_class::parseCommandLine(int count, const char* const* words)
{
    int i = 0;
    while (i < count) {
        if (std::strcmp(words[i], "-C") == 0) {
            if (i + 1 >= count)
                break;   // "-C" as the last word has no value: ignored
            const unsigned long mib = readMebibytes(words[i + 1]);
            if (mib != 0) {
                hashBytes = static_cast<std::uint32_t>(mib << 20);
                hashSizeGiven = true;
            } else {
                hashBytes = 0;
                hashSizeGiven = false;
            }
            i += 2;
        } else if (std::strcmp(words[i], "--full") == 0) {
            fullMode = true;
            i += 1;
        } else if (std::strcmp(words[i], "bench") == 0) {
            benchWanted = true;
            i += 1;
        } else if (std::strcmp(words[i], "--statistics") == 0) {
            statistics = true;
            i += 1;
        } else if (std::strcmp(words[i], "--help") == 0) {
            helpWanted = true;
            i += 1;
        } else if (std::strcmp(words[i], "--version") == 0) {
            versionWanted = true;
            i += 1;
        } else if (std::strcmp(words[i], "-R") == 0) {
            // "-R" takes the next word as its value; no value changes anything.
            i += 2;
        } else {
            i += 1;
        }
    }
}

std::uint32_t Config_class::tableSizeBytes(std::uint32_t minBytes) const
{
    if (hashSizeGiven && hashBytes >= minBytes)
        return hashBytes;
    return DEFAULT_HASH_BYTES;
}
