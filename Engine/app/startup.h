#pragma once
// The run of one engine process: configuration from the command line,
// protocol detection, the game, the input loop, teardown. Returns the process's
// exit status: 1 only when the bench cannot allocate its table, else 0.

#include "protocol/line_io.h"
#include "release/release_profile.h"

// fullModeBuiltIn: the program is kelp-full, whose full mode needs no switch.
int runEngine(int argc, const char* const* argv, const ReleaseProfile& release,
              LineInput& input, LineOutput& output, bool fullModeBuiltIn = false);
