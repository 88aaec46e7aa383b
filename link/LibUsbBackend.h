// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The USB backend of the link on a real calculator, reached through libusb: one
// interface of the device whose bulk IN endpoint is the read pipe and whose bulk OUT
// endpoint is the write pipe. It has its own libusb context and an event thread; the
// reading side keeps exactly one IN transfer queued from the first read to the close
// and takes completed data from a queue of chunks, never waiting more than 100 ms per
// step, like the pipe device's reader.
#include <memory>
#include <optional>
#include <string>

#include "link/PortName.h"

class LinkBackend;
struct libusb_device;

// Opens the device with this id and claims its calculator interface (vendor-specific
// class 0xFF with exactly one bulk IN and one bulk OUT endpoint). A kernel driver is
// detached only when libusb says one is bound. On failure a LinkError, with nothing left
// open and the cause traced: NoPermission (reason UsbNoPermissionText), Busy (claimed
// elsewhere: UsbInUseText), NotFound or OpenFailed (no reason: the device is simply not
// there or does not open).
std::unique_ptr<LinkBackend> OpenLibUsbBackend(UsbId id);

// The same for the device in this socket, whatever its id.
std::unique_ptr<LinkBackend> OpenLibUsbBackendAt(const UsbSocket& socket);

// The socket a device is plugged into, as the kernel names it: libusb's chain of ports
// when the kernel has a device of that name at the same address, else the entry under
// /sys/bus/usb/devices with the device's bus and address. Nothing when neither tells.
std::optional<UsbSocket> SocketOfDevice(libusb_device* device);

// Whether a device is plugged into this socket. Enumeration only.
bool UsbSocketAttached(const UsbSocket& socket);

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
