// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// How a connection name becomes the device the link opens. One rule for the main
// window, the transfer server and calvyx-cli.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The calculator's USB device name, spelled so wherever it is shown; a port name holding
// it in any letter case opens the USB link. UsbDeviceNameUpper is how it reads after the
// upper-casing of the device names.
inline constexpr const char* UsbDeviceName = "QVxT0+";
inline constexpr const char* UsbDeviceNameUpper = "QVXT0+";

// A USB device by its vendor and product id, as a port name "usb:VVVV:PPPP" (four hex
// digits each, any letter case: "USB:0A1B:C2D3" after upper-casing) gives it. Such a
// name opens the calculator through libusb rather than the pipe device.
struct UsbId {
    uint16_t vendor = 0;
    uint16_t product = 0;
    bool operator==(const UsbId&) const = default;
};
std::optional<UsbId> ParseUsbId(const std::string& name);
// "usb:vvvv:pppp" (lower-case hex) for an id.
std::string UsbIdName(UsbId id);

// A USB device by the socket it is plugged into: its bus and the hub ports on the way,
// as the kernel names the device under /sys/bus/usb/devices ("1-2.3": bus 1, port 2 of
// the root hub, port 3 of the hub there). The calculator reports no serial number, so
// the socket is what tells two calculators of the same id apart, and it stays the same
// when one is unplugged and plugged into the same socket again. As a port name:
// "usb:1-2.3" (any letter case of "usb:"); "usb:VVVV:PPPP" keeps meaning the first
// device with that id.
struct UsbSocket {
    int bus = 0;
    std::vector<int> ports; // from the root hub outwards, 1 to 7 of them
    bool operator==(const UsbSocket&) const = default;
    // "1-2.3"
    std::string KernelName() const;
};
std::optional<UsbSocket> ParseUsbSocket(const std::string& name);
// The kernel's name alone ("1-2.3"); nothing when it is not one.
std::optional<UsbSocket> ParseUsbKernelName(const std::string& text);
// "usb:1-2.3" for a socket.
std::string UsbSocketName(const UsbSocket& socket);

// True when name, as UpperCasePortName gives it, names the USB device: it holds the
// pipe device's name ("QVxT0+", or "QVXT0+" in a path), or it is a "usb:VVVV:PPPP" id
// or a "usb:B-P.P" socket. Case matters for a device path on purpose: it keeps its case,
// and one that merely contains "QVxT0+" is a serial line.
bool IsUsbName(const std::string& name);
// The name to open (and to show) for a connection name as the user gave it: the device
// names upper-cased ("com2" -> "COM2"), the pipe device in its own spelling ("qvxt0+"
// and "QVXT0+" -> "QVxT0+"), except a device path (it holds a '/'), whose letter case
// matters on this platform.
std::string UpperCasePortName(const std::string& name);
// UpperCasePortName(name) names the USB device: the test for a name as the user typed it.
inline bool IsUsbPortName(const std::string& name) { return IsUsbName(UpperCasePortName(name)); }
// "COMn" -> /dev/ttyS(n-1); any other serial name unchanged.
std::string SerialDevicePath(const std::string& name);
// Whether the device a connection name (as the user gave it) stands for is there now,
// without any I/O to it: the USB device by its folder or enumeration, a serial line by
// its device file (an unplugged adapter or a closed pseudo-terminal takes it away).
bool PortPresent(const std::string& name);
// Whether a connection name (as the user gave it) stands for a pseudo-terminal now. Its
// number goes to the next program that asks for a terminal once its far end has closed,
// so a pseudo-terminal that hung up is never waited for and opened again (another
// program's terminal would get the calculator's bytes); a real device comes back as
// itself. Told by the device's major number, not by the path: a link to /dev/pts/N (as
// socat makes) is a pseudo-terminal too, and no real adapter has such a number.
bool IsPseudoTerminal(const std::string& name);
