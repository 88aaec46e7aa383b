#pragma once
// How a connection name becomes the device the link opens. One rule for the main
// window, the transfer server and calvyx-cli.
#include <string>

// The calculator's USB device name; a port name holding it (in upper case) opens the
// USB link.
inline constexpr const char* UsbDeviceName = "QVxT0+";
inline constexpr const char* UsbDeviceNameUpper = "QVXT0+";

// True when name, already upper-cased by UpperCasePortName, names the USB device. Case
// matters here on purpose: the callers pass the upper-cased name, and a device path
// (which keeps its case) that merely contains "QVxT0+" is a serial line.
bool IsUsbName(const std::string& name);
// The name to open for a connection name as the user gave it: upper-cased like the
// device names ("qvxt0+" -> "QVXT0+", "com2" -> "COM2"), except a device path (it holds
// a '/'), whose letter case matters on this platform.
std::string UpperCasePortName(const std::string& name);
// UpperCasePortName(name) names the USB device: the test for a name as the user typed it.
inline bool IsUsbPortName(const std::string& name) { return IsUsbName(UpperCasePortName(name)); }
// "COMn" -> /dev/ttyS(n-1); any other serial name unchanged.
std::string SerialDevicePath(const std::string& name);
