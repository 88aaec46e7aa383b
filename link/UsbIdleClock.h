// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The idle clock of a USB read, shared by the USB backends: a read waits in steps of at
// most 100 ms and gives up once the line has been idle for its time limit. The clock
// carries over from one read to the next and restarts each time it reaches a second,
// so a limit of more than a second is never reached: the calculator's protocols were
// timed against exactly this.
#include <cstdint>

#include "util/Ticks.h"

class UsbIdleClock {
public:
    // After one step of a read: true when the read has now waited its idle time. Data in
    // the step resets the clock.
    bool StepOver(bool gotData, uint32_t timeoutMs)
    {
        if (gotData) {
            since_ = 0;
            return false;
        }
        if (since_ == 0) since_ = Now();
        const uint32_t elapsed = TicksSince(since_);
        if (elapsed >= PeriodMs) since_ = Now();
        return elapsed >= timeoutMs;
    }
    void Restart() { since_ = 0; }

private:
    static constexpr uint32_t PeriodMs = 1000;
    uint32_t since_ = 0;
};
