#pragma once
// What the search says while it thinks: a thinking record (which line, depth,
// nodes, score and the line) that it fills just before each sendThinking. The
// front ends implement it; the search knows no protocol.

#include <cstdint>

#include "board/types.h"

constexpr std::uint32_t THINKING_PV_CAPACITY = 64;

class SearchListener {
public:
    virtual ~SearchListener() = default;

    virtual void sendThinking() = 0;   // reads the thinking record below

    // Copies at most THINKING_PV_CAPACITY moves of a line into the record,
    // up to its first null move.
    void setThinkingPV(const Move* moves, std::uint32_t length);

    // The thinking record, filled by the search just before sendThinking.
    std::uint32_t thinkingLine = 1;      // which of the search's best lines: 1 the best
    std::uint32_t thinkingMultiPv = 1;   // how many lines the search was asked for
    std::int32_t thinkingDepth = 0;
    std::uint64_t thinkingNodes = 0;
    std::int32_t thinkingScore = 0;
    std::uint32_t pvLength = 0;
    Move pv[THINKING_PV_CAPACITY] = {};
};
