#pragma once
#include "tool_args.h"

// selfplay FEN DEPTH PLIES [--hash MIB]: one game controller plays both sides.
int runSelfplayCommand(const ToolArgs& args);
