#include "platform/signals.h"

#include <csignal>

void ignoreInterruptSignal()
{
    std::signal(SIGINT, SIG_IGN);
}
