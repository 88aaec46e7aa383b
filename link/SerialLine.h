// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The serial backend: a termios line (a real adapter or a pseudo-terminal) at the
// calculator's settings. The descriptor stays non-blocking; reads and writes wait with
// poll() (LinkIo.h), which is how the link's time limits are kept.
#include <string>

namespace serialline {

// Opens the line for reading and writing without making it our controlling terminal
// and without waiting for a carrier; the descriptor is exclusive where the driver
// allows it. Returns -1 with errno set on failure.
int Open(const std::string& path);
// baud, 8 data bits, no parity, one stop bit, raw, no flow control, DTR and RTS on.
// False when the line settings could not be applied (not a terminal, unknown rate).
bool Configure(int fd, int baud);
// Discards what the driver holds of the calculator's bytes (never the PC's own).
void DiscardInput(int fd);
void Close(int fd);

} // namespace serialline

#include <cstddef>

#include "link/LinkIo.h"

namespace serialline {

// The serial time limits in ms. A read of N bytes ends when N bytes are in or
// N x ReadMsPerByte + the caller's limit after it began (the first part is the time the
// bytes take on the line); a write of N bytes may take N x WriteMsPerByte +
// WriteConstantMs. No limit applies between two received bytes.
inline constexpr int ReadMsPerByte = 1;
inline constexpr int WriteMsPerByte = 30;
inline constexpr int WriteConstantMs = 100;

// Reads up to n bytes within limitMs (the whole wait, the line's time included), or
// until wakeFd becomes readable: the count, or -1 when the line failed or hung up
// (errno tells why).
long Read(int fd, unsigned char* buf, std::size_t n, long limitMs, int wakeFd = -1);
// Writes n bytes within the write limit; a wait for room also ends when stopFd (when
// not -1) becomes readable.
linkio::WriteOutcome Write(int fd, const char* data, std::size_t n, int stopFd = -1);

} // namespace serialline
