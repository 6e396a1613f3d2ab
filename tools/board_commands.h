#pragma once
#include "tool_args.h"

// fen FEN, key FEN, moves FEN, perft FEN DEPTH, divide FEN DEPTH.
int runFenCommand(const ToolArgs& args);
int runKeyCommand(const ToolArgs& args);
int runMovesCommand(const ToolArgs& args);
int runPerftCommand(const ToolArgs& args);
int runDivideCommand(const ToolArgs& args);
