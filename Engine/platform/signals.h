#pragma once

// Interfaces such as xboard send SIGINT to engines that use protocol version 1
// (to interrupt pondering); the engine must not die of it.
void ignoreInterruptSignal();
