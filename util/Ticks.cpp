// SPDX-License-Identifier: GPL-3.0-or-later
#include "util/Ticks.h"

#include <chrono>
#include <thread>

uint32_t Now()
{
    using namespace std::chrono;
    return static_cast<uint32_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

void SleepMs(int ms)
{
    if (ms > 0) std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}
