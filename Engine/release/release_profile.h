#pragma once
// Everything that differs between the two releases built from these sources,
// in one record below every layer that reads it. The entry point picks one
// profile and hands each layer only its part: the search its SearchRules,
// the game its GameRules, the front ends their ProtocolRules.

#include <cstdint>

#include "release/search_rules.h"

// What the game controller does differently.
struct GameRules {
    SearchRules search;               // search and evaluation differences
    // Time control: a "level" with 0 moves per control gives base seconds / this.
    std::uint32_t levelZeroDivisor;
    bool storesMovesPerControl;       // a "level" keeps its moves per control for the clock
};

// What the front ends do differently.
struct ProtocolRules {
    const char* engineName;           // the name announced to the interface
    bool dispatcherHandlesTime;       // "time" sets the clock (else it is an unknown line)
    bool newResetsThinkAfterUserMove; // "new" turns thinking on opponent moves back on
};

struct ReleaseProfile {
    const char* version;        // the version text (release/version.h)
    std::uint32_t minHashBytes; // smallest table size a "-C" request may give
    GameRules game;
    ProtocolRules protocol;
    bool hasFullMode;           // "--full" (and kelp-full) turn the full mode on
};

const ReleaseProfile& currentRelease();
const ReleaseProfile& earlierRelease();

// The profile for a version text (either release's), or null.
const ReleaseProfile* releaseByVersion(const char* version);
