// calvyx-cli devices: what on this machine could be the calculator — serial ports, the
// pipe device and the USB devices with a bulk IN and OUT endpoint (their ids, product
// strings, whether they are taken for the calculator and whether this user may open
// them) — and, with --add, an id for the settings' list of calculator ids.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "link/PortName.h"
#include "link/UsbDevices.h"
#include "link/UsbPipes.h"
#include "tools/cli/Commands.h"
#include "util/Utils.h"

namespace cli {
namespace {

namespace fs = std::filesystem;

// The device files under /dev that could be a serial line, in name order.
std::vector<std::string> SerialPorts()
{
    std::vector<std::string> ports;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator("/dev", ec)) {
        const std::string name = entry.path().filename().string();
        for (const char* prefix : {"ttyS", "ttyUSB", "ttyACM"}) {
            const std::string p = prefix;
            if (name.size() > p.size() && name.compare(0, p.size(), p) == 0 &&
                std::all_of(name.begin() + static_cast<std::ptrdiff_t>(p.size()), name.end(),
                            [](char c) { return c >= '0' && c <= '9'; }))
                ports.push_back(entry.path().string());
        }
    }
    // An adapter by its name and by the socket it is plugged into (by-path: the name to
    // give when several adapters of one kind serve a class).
    for (const char* folder : {"/dev/serial/by-id", "/dev/serial/by-path"})
        for (const auto& entry : fs::directory_iterator(folder, ec)) ports.push_back(entry.path().string());
    std::sort(ports.begin(), ports.end(), [](const std::string& a, const std::string& b) {
        // ttyS2 before ttyS10.
        return a.size() != b.size() && a.compare(0, 9, b, 0, 9) == 0 ? a.size() < b.size() : a < b;
    });
    return ports;
}

std::string SerialLabel(const std::string& path)
{
    const std::string prefix = "/dev/ttyS";
    if (path.compare(0, prefix.size(), prefix) == 0)
        return path + " (COM" + std::to_string(std::stoi(path.substr(prefix.size())) + 1) + ")";
    return path;
}

const char* MatchText(UsbMatch match)
{
    switch (match) {
    case UsbMatch::ListedId:
        return "calculator (listed id)";
    case UsbMatch::ProductName:
        return "calculator (product name)";
    case UsbMatch::None:
        break;
    }
    return "not a calculator";
}

const char* AccessText(UsbAccess access)
{
    switch (access) {
    case UsbAccess::Granted:
        return "may open: yes";
    case UsbAccess::Denied:
        return "may open: no (no permission: install the udev rule 70-calvyx.rules)";
    case UsbAccess::Unknown:
        break;
    }
    return "may open: unknown (the device did not open)";
}

int AddId(const std::string& text)
{
    std::optional<UsbId> id = ParseBareUsbId(text);
    if (!id) id = ParseUsbId(text);
    if (!id)
        return UsageError("devices", "\"" + text + "\" is no USB id: four hex digits, a colon, four hex digits (e.g. 1e3a:0401)");
    if (AddCalculatorId(*id))
        std::printf("%s added to the calculator ids\n", BareUsbIdText(*id).c_str());
    else
        std::printf("%s is already a calculator id\n", BareUsbIdText(*id).c_str());
    std::printf("calculator ids: %s\n", UsbIdListText(ReadCalculatorIds()).c_str());
    return ExitOk;
}

int Devices(std::vector<std::string> words)
{
    const auto args = Args::Parse(words, {"add"}, {});
    if (!args) return UsageError("devices");
    if (!args->Positional().empty()) return UsageError("devices", "no words besides the options are taken");
    if (const auto add = args->Value("add")) return AddId(*add);

    std::printf("serial ports:\n");
    const auto serial = SerialPorts();
    if (serial.empty()) std::printf("  none\n");
    for (const auto& path : serial) std::printf("  %s\n", SerialLabel(path).c_str());

    std::printf("pipe device:\n");
    if (const std::string problem = PipeDeviceProblem(UsbDeviceName); !problem.empty())
        std::printf("  refused: %s\n", problem.c_str());
    else if (UsbDevicePresent(UsbDeviceName))
        std::printf("  %s at %s\n", UsbDeviceName, (DeviceRoot() + "/" + UsbDeviceName).c_str());
    else
        std::printf("  none (no %s under %s)\n", UsbDeviceName, DeviceRoot().c_str());

    const auto ids = ReadCalculatorIds();
    std::printf("calculator ids: %s\n",
                ids.empty() ? "none (calvyx-cli devices --add VVVV:PPPP lists one)" : UsbIdListText(ids).c_str());

    std::printf("USB devices with a bulk IN and OUT endpoint:\n");
    if (!UsbBusAvailable()) {
        std::printf("  no USB bus\n");
        return ExitOk;
    }
    const auto candidates = ListUsbCandidates(ids);
    if (candidates.empty()) std::printf("  none\n");
    for (const auto& c : candidates) {
        char where[40];
        std::snprintf(where, sizeof where, "bus %03d device %03d", c.bus, c.address);
        const std::string product = c.product.empty() ? "(product unknown)" : "\"" + c.product + "\"";
        // The socket tells calculators of one id apart: "usb:1-2.3" names this one.
        const std::string socket = c.socket ? "at " + UsbSocketName(*c.socket) : "at (socket unknown)";
        std::printf("  %s  %s  %s  %s  %s  %s\n", UsbIdName(c.id).c_str(), socket.c_str(), where, product.c_str(),
                    MatchText(c.match), AccessText(c.access));
    }
    return ExitOk;
}

const tooling::CommandRegistration devicesCommand{
    {"devices", "lists the ports and USB devices that could be the calculator; --add stores a USB id", Devices,
     "devices [--add VVVV:PPPP]",
     "Lists the serial ports, the pipe device (QVxT0+) and every USB device with a bulk IN\n"
     "and OUT endpoint: its id, product string, whether it is taken for the calculator\n"
     "(its id is listed, or its product string names the model) and whether you may open it.\n"
     "Each USB device shows the socket it is plugged into, usb:BUS-PORT[.PORT...]: that name\n"
     "opens this device and no other, also after it is plugged into the same socket again\n"
     "(usb:VVVV:PPPP opens the first device with that id).\n"
     "\n"
     "options:\n"
     "  --add VVVV:PPPP     store the id in the settings' list of calculator ids; the calculator\n"
     "                      is then reached as usb:VVVV:PPPP, or as QVxT0+ when no pipe device\n"
     "                      is there\n"}};

} // namespace
} // namespace cli
