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
};

const ReleaseProfile& currentRelease();
const ReleaseProfile& earlierRelease();

// The profile for a version text ("0.5.15.1" or "0.4.13.1"), or null.
const ReleaseProfile* releaseByVersion(const char* version);
