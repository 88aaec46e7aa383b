// SPDX-License-Identifier: GPL-3.0-or-later
// The Windows build has no USB links yet (neither libusb nor the pipe device): a USB
// name is never present and opening one says so, as for a device that is not there.
#include "link/LibUsbBackend.h"
#include "link/LinkBackend.h"
#include "link/LinkErrors.h"
#include "link/Trace.h"
#include "link/UsbDevices.h"
#include "link/UsbPipeBackend.h"
#include "link/UsbPipes.h"

namespace {

[[noreturn]] void NoUsb(const std::string& name)
{
    Trace("Cannot open " + name + ": this build has no USB links");
    throw LinkError(LinkErrorKind::NotFound, "This Windows build reaches the calculator over a serial line only", 0);
}

} // namespace

std::unique_ptr<LinkBackend> OpenLibUsbBackend(UsbId id) { NoUsb(UsbIdName(id)); }
std::unique_ptr<LinkBackend> OpenLibUsbBackendAt(const UsbSocket& socket) { NoUsb(UsbSocketName(socket)); }
std::unique_ptr<LinkBackend> OpenUsbPipeBackend(const std::string& name) { NoUsb(name); }
std::string ResolveUsbLinkName(const std::string& name) { return name; }
bool UsbLinkPresent(const std::string&) { return false; }
bool UsbDevicePresent(const std::string&) { return false; }
bool UsbBusAvailable() { return false; }
std::vector<UsbCandidate> ListUsbCandidates(const std::vector<UsbId>&) { return {}; }
// The list is not read: nothing on Windows would match against it yet.
std::vector<UsbId> ReadCalculatorIds() { return {}; }
// No pipe device to refuse: it is simply never there.
std::string PipeDeviceProblem(const std::string&) { return {}; }
