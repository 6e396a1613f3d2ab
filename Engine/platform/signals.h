#pragma once

// Interfaces such as xboard send SIGINT to engines that use protocol version 1
// (to interrupt pondering); the engine must not die of it.
void ignoreInterruptSignal();

// An interface that closes its end of the engine's output must not kill the
// engine with SIGPIPE: the write fails instead, and the engine ends as on
// "quit". (Platforms without the signal need nothing.)
void ignoreBrokenPipeSignal();
