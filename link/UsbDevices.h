// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Finding the calculator among the USB devices of this machine. A device is the
// calculator when its vendor:product id is in the user's list (settings section "USB",
// key "CalculatorIds", "vvvv:pppp;vvvv:pppp", empty at first), or, failing that, when
// its product string names one of the models (T20, T20+, T20s, T30s, a whole word in
// any letter case) and it has a vendor-specific interface with exactly one bulk IN and
// one bulk OUT endpoint. Nothing here moves data: the descriptors are read, and the
// product string only from a device that opens.
#include <optional>
#include <string>
#include <vector>

#include "link/PortName.h"

// How a device came to be taken for the calculator.
enum class UsbMatch { None, ListedId, ProductName };
// Whether this user may open the device: the open succeeded, it was refused for want
// of permission (LIBUSB_ERROR_ACCESS), or it failed otherwise.
enum class UsbAccess { Granted, Denied, Unknown };

struct UsbCandidate {
    UsbId id;
    int bus = 0;
    int address = 0;
    std::optional<UsbSocket> socket; // the socket it is plugged into, when the kernel says
    std::string product;             // empty when unknown (no string, or the device does not open)
    UsbMatch match = UsbMatch::None;
    UsbAccess access = UsbAccess::Unknown;
};

// Every device with an interface holding at least one bulk IN and one bulk OUT
// endpoint, in bus order. Empty when libusb does not start or there is no USB bus.
std::vector<UsbCandidate> ListUsbCandidates(const std::vector<UsbId>& knownIds);
// The calculator: the first device whose id is listed, else the first one matched by
// its product string.
std::optional<UsbId> FindCalculator(const std::vector<UsbId>& knownIds);
// Enumeration only, nothing opened, nothing sent to any device: a device with a listed
// id is attached, or one with the calculator's interface whose product string, as the
// kernel read it at plug-in (sysfs), names a model, or one this process matched by its
// product string before (ListUsbCandidates, FindCalculator).
bool CalculatorAttached(const std::vector<UsbId>& knownIds);
// False when libusb does not start or lists no device at all.
bool UsbBusAvailable();

// Whether a product string names one of the models as a whole word, in any case.
bool ProductNamesModel(const std::string& product);

// "vvvv:pppp" (four hex digits each, any case) alone.
std::optional<UsbId> ParseBareUsbId(const std::string& text);
// "vvvv:pppp" in lower case.
std::string BareUsbIdText(UsbId id);
// A ';'-separated list of ids; malformed entries and duplicates are left out.
std::vector<UsbId> ParseUsbIdList(const std::string& text);
std::string UsbIdListText(const std::vector<UsbId>& ids);

// The list in the settings, and adding to it (false when the id was there already).
std::vector<UsbId> ReadCalculatorIds();
bool AddCalculatorId(UsbId id);

// The name the link opens for a connection name: the pipe device when it is present; otherwise, for the pipe device's
// name (any letter case), "usb:vvvv:pppp" of a calculator found on the bus; any other
// name unchanged.
std::string ResolveUsbLinkName(const std::string& name);
// The presence test for a connection name by the same rule, with enumeration only:
// the pipe device, else an attached calculator (CalculatorAttached); a "usb:" name by
// its id.
bool UsbLinkPresent(const std::string& name);
