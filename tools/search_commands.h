#pragma once
#include "tool_args.h"

// eval FEN, search FEN DEPTH [--hash MIB], bench.
int runEvalCommand(const ToolArgs& args);
int runSearchCommand(const ToolArgs& args);
int runBenchCommand(const ToolArgs& args);
