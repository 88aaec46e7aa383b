// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/UsbDevices.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <mutex>
#include <set>
#include <utility>

#include <libusb.h>

#include "link/LibUsbBackend.h"
#include "link/Trace.h"
#include "link/UsbPipes.h"
#include "util/Settings.h"

namespace {

constexpr uint8_t VendorSpecificClass = 0xFF;
const char* const CalculatorIdsSection = "USB";
const char* const CalculatorIdsKey = "CalculatorIds";

// The bulk endpoints of one interface (its first alternate setting).
struct BulkCount {
    int ins = 0;
    int outs = 0;
};

BulkCount CountBulk(const libusb_interface_descriptor& alt)
{
    BulkCount count;
    for (int e = 0; e < alt.bNumEndpoints; ++e) {
        const libusb_endpoint_descriptor& ep = alt.endpoint[e];
        if ((ep.bmAttributes & LIBUSB_TRANSFER_TYPE_MASK) != LIBUSB_TRANSFER_TYPE_BULK) continue;
        if (ep.bEndpointAddress & LIBUSB_ENDPOINT_IN)
            ++count.ins;
        else
            ++count.outs;
    }
    return count;
}

struct Shape {
    bool bulkPair = false;       // some interface has a bulk IN and a bulk OUT endpoint
    bool calculatorLink = false; // a vendor-specific one has exactly one of each
};

Shape ShapeOf(libusb_device* device)
{
    Shape shape;
    libusb_config_descriptor* config = nullptr;
    if (libusb_get_active_config_descriptor(device, &config) != 0 && libusb_get_config_descriptor(device, 0, &config) != 0)
        return shape;
    for (int i = 0; i < config->bNumInterfaces; ++i) {
        const libusb_interface& iface = config->interface[i];
        if (iface.num_altsetting < 1) continue;
        const libusb_interface_descriptor& alt = iface.altsetting[0];
        const BulkCount count = CountBulk(alt);
        if (count.ins >= 1 && count.outs >= 1) shape.bulkPair = true;
        if (alt.bInterfaceClass == VendorSpecificClass && count.ins == 1 && count.outs == 1) shape.calculatorLink = true;
    }
    libusb_free_config_descriptor(config);
    return shape;
}

bool Listed(const std::vector<UsbId>& ids, UsbId id) { return std::find(ids.begin(), ids.end(), id) != ids.end(); }

// The ids this process matched by their product string: the enumeration-only presence
// test knows them without opening anything.
std::mutex namedMutex;
std::set<std::pair<uint16_t, uint16_t>> namedIds;

void RememberNamed(UsbId id)
{
    std::lock_guard lock(namedMutex);
    namedIds.insert({id.vendor, id.product});
}

bool WasNamed(UsbId id)
{
    std::lock_guard lock(namedMutex);
    return namedIds.count({id.vendor, id.product}) != 0;
}

// Calls visit(device, descriptor) for every device on the bus; false when libusb does
// not start or cannot list the devices.
template <typename Visit>
bool ForEachDevice(Visit visit)
{
    libusb_context* context = nullptr;
    if (const int r = libusb_init(&context); r != 0) {
        Trace(std::string("libusb not started: ") + libusb_error_name(r));
        return false;
    }
    libusb_device** list = nullptr;
    const ssize_t count = libusb_get_device_list(context, &list);
    if (count >= 0) {
        for (ssize_t i = 0; i < count; ++i) {
            libusb_device_descriptor desc{};
            if (libusb_get_device_descriptor(list[i], &desc) != 0) continue;
            visit(list[i], desc);
        }
        libusb_free_device_list(list, 1);
    }
    libusb_exit(context);
    return count >= 0;
}

// The product string the kernel read when the device came (its sysfs "product"
// attribute): nothing is sent to the device. Empty when there is none.
std::string KernelProductString(libusb_device* device)
{
    const auto socket = SocketOfDevice(device);
    if (!socket) return {};
    std::ifstream in("/sys/bus/usb/devices/" + socket->KernelName() + "/product");
    std::string product;
    std::getline(in, product);
    return product;
}

std::string ProductString(libusb_device_handle* handle, uint8_t index)
{
    if (index == 0) return {};
    unsigned char text[256];
    const int n = libusb_get_string_descriptor_ascii(handle, index, text, sizeof text);
    if (n <= 0) return {};
    return std::string(reinterpret_cast<const char*>(text), static_cast<std::size_t>(n));
}

std::optional<uint16_t> HexWord(const std::string& text)
{
    if (text.size() != 4) return std::nullopt;
    unsigned value = 0;
    for (const char c : text) {
        if (!std::isxdigit(static_cast<unsigned char>(c))) return std::nullopt;
        const unsigned digit = std::isdigit(static_cast<unsigned char>(c)) ? static_cast<unsigned>(c - '0')
                                                                           : static_cast<unsigned>(std::tolower(c) - 'a' + 10);
        value = value * 16 + digit;
    }
    return static_cast<uint16_t>(value);
}

std::string Trimmed(const std::string& text)
{
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    const auto last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

} // namespace

std::vector<UsbCandidate> ListUsbCandidates(const std::vector<UsbId>& knownIds)
{
    std::vector<UsbCandidate> found;
    ForEachDevice([&](libusb_device* device, const libusb_device_descriptor& desc) {
        const Shape shape = ShapeOf(device);
        if (!shape.bulkPair) return;
        UsbCandidate c;
        c.id = {desc.idVendor, desc.idProduct};
        c.bus = libusb_get_bus_number(device);
        c.address = libusb_get_device_address(device);
        c.socket = SocketOfDevice(device);
        libusb_device_handle* handle = nullptr;
        const int r = libusb_open(device, &handle);
        if (r == 0) {
            c.access = UsbAccess::Granted;
            c.product = ProductString(handle, desc.iProduct);
            libusb_close(handle);
        } else {
            c.access = r == LIBUSB_ERROR_ACCESS ? UsbAccess::Denied : UsbAccess::Unknown;
        }
        if (Listed(knownIds, c.id)) {
            c.match = UsbMatch::ListedId;
        } else if (shape.calculatorLink && ProductNamesModel(c.product)) {
            c.match = UsbMatch::ProductName;
            RememberNamed(c.id);
        }
        found.push_back(std::move(c));
    });
    return found;
}

std::optional<UsbId> FindCalculator(const std::vector<UsbId>& knownIds)
{
    const auto candidates = ListUsbCandidates(knownIds);
    for (const UsbMatch wanted : {UsbMatch::ListedId, UsbMatch::ProductName})
        for (const auto& c : candidates)
            if (c.match == wanted) return c.id;
    return std::nullopt;
}

bool CalculatorAttached(const std::vector<UsbId>& knownIds)
{
    bool attached = false;
    ForEachDevice([&](libusb_device* device, const libusb_device_descriptor& desc) {
        const UsbId id{desc.idVendor, desc.idProduct};
        if (Listed(knownIds, id) || WasNamed(id)) {
            attached = true;
        } else if (desc.iProduct != 0 && ShapeOf(device).calculatorLink && ProductNamesModel(KernelProductString(device))) {
            // The descriptors come from sysfs, the product string from the kernel's copy.
            RememberNamed(id);
            attached = true;
        }
    });
    return attached;
}

bool UsbBusAvailable()
{
    int devices = 0;
    const bool listed = ForEachDevice([&](libusb_device*, const libusb_device_descriptor&) { ++devices; });
    return listed && devices > 0;
}

bool ProductNamesModel(const std::string& product)
{
    static const char* const Models[] = {"T20", "T20+", "T20S", "T30S"};
    // Words are runs of letters, digits and '+'.
    std::string word;
    const auto isModel = [&] {
        return std::any_of(std::begin(Models), std::end(Models), [&](const char* m) { return word == m; });
    };
    for (const char c : product + " ") {
        if (std::isalnum(static_cast<unsigned char>(c)) || c == '+') {
            word.push_back(static_cast<char>(std::toupper(static_cast<unsigned char>(c))));
            continue;
        }
        if (isModel()) return true;
        word.clear();
    }
    return false;
}

std::optional<UsbId> ParseBareUsbId(const std::string& text)
{
    if (text.size() != 9 || text[4] != ':') return std::nullopt;
    const auto vendor = HexWord(text.substr(0, 4));
    const auto product = HexWord(text.substr(5, 4));
    if (!vendor || !product) return std::nullopt;
    return UsbId{*vendor, *product};
}

std::string BareUsbIdText(UsbId id) { return UsbIdName(id).substr(4); }

std::vector<UsbId> ParseUsbIdList(const std::string& text)
{
    std::vector<UsbId> ids;
    std::size_t at = 0;
    while (at <= text.size()) {
        const auto end = std::min(text.find(';', at), text.size());
        if (const auto id = ParseBareUsbId(Trimmed(text.substr(at, end - at))); id && !Listed(ids, *id)) ids.push_back(*id);
        at = end + 1;
    }
    return ids;
}

std::string UsbIdListText(const std::vector<UsbId>& ids)
{
    std::string text;
    for (const UsbId id : ids) text += (text.empty() ? "" : ";") + BareUsbIdText(id);
    return text;
}

std::vector<UsbId> ReadCalculatorIds()
{
    try {
        const auto key = OpenSettings(QString::fromLatin1(CalculatorIdsSection));
        return ParseUsbIdList(ReadSettingString(*key, CalculatorIdsKey, {}).toStdString());
    } catch (const std::exception& e) {
        Trace(std::string("the calculator ids in the settings are unreadable: ") + e.what());
        return {};
    }
}

bool AddCalculatorId(UsbId id)
{
    auto ids = ReadCalculatorIds();
    if (Listed(ids, id)) return false;
    ids.push_back(id);
    const auto key = OpenSettings(QString::fromLatin1(CalculatorIdsSection));
    WriteSettingString(*key, CalculatorIdsKey, QString::fromStdString(UsbIdListText(ids)));
    return true;
}

namespace {

// The pipe device's name in any letter case (a device path that merely holds it is a
// serial line), not a "usb:" id.
bool NamesPipeDevice(const std::string& name)
{
    const std::string upper = UpperCasePortName(name);
    return IsUsbName(upper) && !ParseUsbId(upper) && !ParseUsbSocket(upper);
}

} // namespace

std::string ResolveUsbLinkName(const std::string& name)
{
    if (!NamesPipeDevice(name)) return name;
    if (UsbDevicePresent(name)) return name;
    if (const auto id = FindCalculator(ReadCalculatorIds())) {
        Trace("No pipe device " + name + "; the calculator found on the bus is " + UsbIdName(*id));
        return UsbIdName(*id);
    }
    return name;
}

bool UsbLinkPresent(const std::string& name)
{
    if (UsbDevicePresent(name)) return true;
    if (!NamesPipeDevice(name)) return false;
    return CalculatorAttached(ReadCalculatorIds());
}
