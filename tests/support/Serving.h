// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Runs the far end of an exchange (the virtual calculator's script) in a thread of its
// own while the test's main thread keeps serving the synchronised calls of the PC's
// worker threads. Bounded: a script still running after limitMs fails the test; the
// caller's stop hook then quiets the PC side so that the script's own reads time out.
#include <functional>

// Returns true when fn finished within limitMs. On time-out, calls onTimeout (may be
// empty) and then waits for fn to end, still serving calls.
bool RunWhileServing(const std::function<void()>& fn, int limitMs, const std::function<void()>& onTimeout = {});

// Serves the main thread's events until pred() holds or limitMs passed; returns pred().
bool ServeUntil(const std::function<bool()>& pred, int limitMs);
