// Prints the node counts of the fixed repro stream, one per line.
#include <cstdio>

#include "support/repro_stream.h"

int main()
{
    for (const std::uint64_t nodes : runReproStream())
        std::printf("%llu\n", static_cast<unsigned long long>(nodes));
    return 0;
}
