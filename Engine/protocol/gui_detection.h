#pragma once
// Decides from the interface's first lines which protocol it speaks:
//   "uci"                          -> UCI front end
//   "xboard", pause, "protover 2"  -> WinBoard version 2 (feature line at once)
//   "xboard", pause, anything else -> WinBoard version 1 (that line is its first command)
// Anything else is not supported.

#include "protocol/gui_interface.h"

constexpr unsigned DETECTION_PAUSE_MS = 500;

// Returns 0 and the new front end, or 1 and nothing for an unsupported interface.
int detectGui(LineInput& input, LineOutput& output, const ProtocolRules& rules,
              GuiInterface_class** frontEnd);
