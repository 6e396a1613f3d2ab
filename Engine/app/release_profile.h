#pragma once
// Everything that differs between the two releases built from these sources.
// The entry point picks one profile; every other layer reads its differences
// from here instead of from build switches.

#include <cstdint>

#include "search/search_rules.h"

struct ReleaseProfile {
    const char* version;        // "0.5.15.1"
    const char* engineName;     // the name announced to the interface
    std::uint32_t minHashBytes; // smallest table size a "-C" request may give
    SearchRules search;         // search and evaluation differences

    // Time control: a "level" with 0 moves per control gives base seconds / this.
    std::uint32_t levelZeroDivisor;
    bool storesMovesPerControl;       // a "level" keeps its moves per control for the clock

    // WinBoard commands.
    bool dispatcherHandlesTime;       // "time" sets the clock (else it is an unknown line)
    bool newResetsThinkAfterUserMove; // "new" turns thinking on opponent moves back on
};

const ReleaseProfile& currentRelease();
const ReleaseProfile& earlierRelease();

// The profile for a version text ("0.5.15.1" or "0.4.13.1"), or null.
const ReleaseProfile* releaseByVersion(const char* version);
