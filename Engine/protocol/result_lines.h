#pragma once
#include "game/game_listener.h"

// The protocol line for a result code (the same in every protocol), or null
// for a code outside the six results.
const char* resultLine(ResultCode resultCode);
