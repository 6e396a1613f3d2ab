#include "search/search_listener.h"

void SearchListener::setThinkingPV(const Move* moves, std::uint32_t length)
{
    if (length > THINKING_PV_CAPACITY)
        length = THINKING_PV_CAPACITY;
    // The line ends at its first null move (a table move the search never
    // found, or a null move of its own): it is no move to show.
    std::uint32_t copied = 0;
    while (copied < length && moves[copied] != NO_MOVE) {
        pv[copied] = moves[copied];
        ++copied;
    }
    pvLength = copied;
}
