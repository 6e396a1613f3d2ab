#include "platform/sleep.h"

#include <chrono>
#include <thread>

void sleepMs(std::uint32_t milliseconds)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}
