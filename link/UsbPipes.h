// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The calculator's USB pipe device: a folder named after the device under the device
// root holding PIPE0 (the program reads it) and PIPE1 (the program writes it). The
// virtual calculator makes these FIFOs; a driver for real hardware may offer character
// devices under the same names.
#include <string>

// Where the pipe device lives: $CALVYX_DEVICE_ROOT/<name>/PIPE0 and PIPE1. Without the
// variable: $XDG_RUNTIME_DIR/calvyx, or /tmp/calvyx-<uid> when there is no session
// folder. The device folder is found whatever the case of its name.
std::string DeviceRoot();
std::string UsbPipePath(const std::string& name, int pipe);
// Why the pipe device must not be used, with what to do about it; empty when it may be
// used or is simply not there. The device root must be a folder of this user that no
// other user may write into (util/PrivateFolder.h), and the device's folder and pipes
// must be this user's too: otherwise another local user could play the calculator. The
// default root is created (mode 0700) when it is missing, so that nobody else can take
// its name first; a root named by $CALVYX_DEVICE_ROOT is left to whoever chose it.
std::string PipeDeviceProblem(const std::string& name);
// Presence probe of the pipe device (the device polling): its folder exists and opens,
// and its write pipe has a reader. No data moves. A device that PipeDeviceProblem
// refuses is not present. A "usb:VVVV:PPPP" or "usb:B-P.P" name is probed by
// enumeration instead (UsbDeviceAttached, UsbSocketAttached), so the poll needs no
// second rule.
bool UsbDevicePresent(const std::string& name);

namespace usbpipes {

// Opens PIPE0 for reading or PIPE1 for writing, both non-blocking: only the reader
// thread reads PIPE0, after poll(), and writes wait for room with poll(). Opening PIPE1
// fails at once when no device is behind it. -1 on failure, with errno set; EPERM when
// what was opened is a FIFO of another user (it may have been swapped in after the
// check).
int Open(const std::string& name, int pipe);
void Close(int fd);

} // namespace usbpipes
