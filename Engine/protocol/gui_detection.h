#pragma once
// Decides from the interface's first lines which protocol it speaks:
//   "uci"                          -> UCI front end
//   "xboard", pause, "protover 2"  -> WinBoard version 2 (feature line at once)
//   "xboard", pause, anything else -> WinBoard version 1 (that line is its first command)
// Anything else is not supported. In the full mode "uci" as the line after
// "xboard" (automatic detection in some interfaces) chooses UCI, and the
// front ends are those of the full mode.

#include "protocol/gui_interface.h"

constexpr unsigned DETECTION_PAUSE_MS = 500;

// Returns 0 and the new front end, or 1 and nothing for an unsupported interface.
int detectGui(LineInput& input, LineOutput& output, const ProtocolRules& rules,
              GuiInterface_class** frontEnd, bool fullMode = false);
