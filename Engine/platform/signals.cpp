#include "platform/signals.h"

#include <csignal>

void ignoreInterruptSignal()
{
    std::signal(SIGINT, SIG_IGN);
}

void ignoreBrokenPipeSignal()
{
#ifdef SIGPIPE
    std::signal(SIGPIPE, SIG_IGN);
#endif
}
