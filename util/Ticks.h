// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The 32-bit millisecond tick counter of the wire timings. It comes from a monotonic
// clock and wraps like the counter it stands in for: take differences with TicksSince.
#include <cstdint>

uint32_t Now();
inline uint32_t TicksSince(uint32_t start) { return Now() - start; }
void SleepMs(int ms);
