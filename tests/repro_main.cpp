// Prints the node counts of the fixed repro stream, one per line.
#include <cstdio>

#include "support/repro_stream.h"

int main()
{
    for (const std::uint32_t nodes : runReproStream())
        std::printf("%u\n", nodes);
    return 0;
}
