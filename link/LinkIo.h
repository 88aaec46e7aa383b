// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Descriptor waits and transfers with deadlines, shared by the serial and pipe-device
// backends. Every wait is a poll() bounded by a deadline and survives EINTR; nothing
// here sleeps in a loop.
#include <chrono>
#include <cstddef>

namespace linkio {

using Clock = std::chrono::steady_clock;
inline constexpr Clock::time_point NoDeadline = Clock::time_point::max();

inline Clock::time_point DeadlineIn(long ms) { return Clock::now() + std::chrono::milliseconds(ms); }

// poll() on one descriptor until one of events (or a hang-up/error) is reported or the
// deadline passes. Returns the revents, 0 on time-out, -1 when poll itself failed.
int PollUntil(int fd, short events, Clock::time_point deadline);

// Reads until n bytes are in, the deadline passes or wakeFd (when not -1) becomes
// readable; returns the count (maybe 0), or -1 when the descriptor failed or hung up
// (errno tells why).
long ReadUntil(int fd, unsigned char* buf, std::size_t n, Clock::time_point deadline, int wakeFd = -1);

// Stopped: a stop was requested while the write waited for room (errno ECANCELED).
enum class WriteOutcome { Complete, TimedOut, Failed, Stopped };
// Writes all n bytes. Gives up (TimedOut) when the whole write has not finished by
// totalMs or no byte was taken for stallMs; a negative value means no such limit.
// Gives up (Stopped) when stopFd (when not -1) becomes readable while the write waits;
// what the descriptor takes at once still goes out, so a stop never cuts a write that
// does not wait. Works on blocking and non-blocking descriptors alike and leaves the
// mode as found.
WriteOutcome WriteAll(int fd, const char* data, std::size_t n, long totalMs, long stallMs, int stopFd = -1);

// Sets or clears O_NONBLOCK; false when fcntl failed.
bool SetNonBlocking(int fd, bool on);

} // namespace linkio
