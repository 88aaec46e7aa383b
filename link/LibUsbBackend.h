// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The USB backend of the link on a real calculator, reached through libusb: one
// interface of the device whose bulk IN endpoint is the read pipe and whose bulk OUT
// endpoint is the write pipe. It has its own libusb context and an event thread; the
// reading side keeps exactly one IN transfer queued from the first read to the close
// and takes completed data from a queue of chunks, never waiting more than 100 ms per
// step, like the pipe device's reader.
#include <memory>
#include <string>

#include "link/PortName.h"

class LinkBackend;

// Opens the device with this id and claims its calculator interface (vendor-specific
// class 0xFF with exactly one bulk IN and one bulk OUT endpoint). A kernel driver is
// detached only when libusb says one is bound. On failure a LinkError, with nothing left
// open and the cause traced: NoPermission (reason UsbNoPermissionText), Busy (claimed
// elsewhere: UsbInUseText), NotFound or OpenFailed (no reason: the device is simply not
// there or does not open).
std::unique_ptr<LinkBackend> OpenLibUsbBackend(UsbId id);

// Whether a device with this id is on the bus. Enumeration only: nothing is opened and
// nothing is sent to the device.
bool UsbDeviceAttached(UsbId id);

// No permission to open the device: names the udev rule file 70-calvyx.rules, its line
// for this id and how to install it.
std::string UsbNoPermissionText(UsbId id);
// The interface is claimed by another program.
std::string UsbInUseText(UsbId id);

// The longest the backend's close takes, even with the device gone or a transfer that
// never completes.
inline constexpr int LibUsbCloseLimitMs = 2000;
