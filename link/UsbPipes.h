#pragma once
// The USB backend: the calculator's pipe device, a folder named after the device under
// the device root holding PIPE0 (the program reads it) and PIPE1 (the program writes
// it). The virtual calculator makes these FIFOs; a driver for real hardware may offer
// character devices under the same names.
#include <string>

namespace usbpipes {

// Opens PIPE0 for reading (non-blocking: only the reader thread reads it, after poll)
// or PIPE1 for writing (blocking afterwards, so a plain write() of a ROM block
// completes). Opening PIPE1 fails at once when no device is behind it. -1 on failure.
int Open(const std::string& name, int pipe);
void Close(int fd);

} // namespace usbpipes
