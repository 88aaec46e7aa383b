// SPDX-License-Identifier: GPL-3.0-or-later
// calvyx-cli devices: what on this machine could be the calculator — serial ports, the
// pipe device and the USB devices with a bulk IN and OUT endpoint (their ids, product
// strings, whether they are taken for the calculator and whether this user may open
// them) — and, with --add, an id for the settings' list of calculator ids and the udev
// rule that gives the device to the user at the seat.
#include <QProcess>
#include <QStringList>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

#include "link/ConnectionDoctor.h"
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

const char* const IdRulesFile = "/etc/udev/rules.d/70-calvyx-ids.rules";

// Runs udevadm with a bounded wait; false (with why on stderr) when it is not there,
// fails or does not end.
bool RunUdevadm(const QStringList& arguments)
{
    QProcess udevadm;
    udevadm.setProcessChannelMode(QProcess::ForwardedChannels);
    udevadm.start(QStringLiteral("udevadm"), arguments);
    const std::string line = "udevadm " + arguments.join(QLatin1Char(' ')).toStdString();
    if (!udevadm.waitForStarted(5000)) {
        std::fprintf(stderr,
                     "calvyx-cli devices: cannot run udevadm (%s): reload the rules yourself, or plug the "
                     "calculator in again after the next restart\n",
                     udevadm.errorString().toStdString().c_str());
        return false;
    }
    if (!udevadm.waitForFinished(30000)) {
        udevadm.kill();
        udevadm.waitForFinished(5000);
        std::fprintf(stderr, "calvyx-cli devices: %s did not end within 30 s\n", line.c_str());
        return false;
    }
    if (udevadm.exitStatus() != QProcess::NormalExit || udevadm.exitCode() != 0) {
        std::fprintf(stderr, "calvyx-cli devices: %s failed (exit %d)\n", line.c_str(), udevadm.exitCode());
        return false;
    }
    std::printf("ran: %s\n", line.c_str());
    return true;
}

// The rule that gives the seat's user the device with this id: printed, and written to
// a rules file of its own (under root) when this is root, then udev reloaded and the
// device's events played again so that the rule reaches a device plugged in already.
int WriteIdRule(UsbId id, const std::string& root)
{
    const std::string line = UsbAccessRuleLine(id);
    std::printf("udev rule: %s\n", line.c_str());
    if (::geteuid() != 0) {
        std::printf("as root (sudo calvyx-cli devices --add %s) it goes to %s and udev is reloaded\n", BareUsbIdText(id).c_str(),
                    IdRulesFile);
        return ExitOk;
    }
    const fs::path file = fs::path(root) / fs::path(IdRulesFile).relative_path();
    bool there = false;
    {
        std::ifstream in(file);
        for (std::string existing; std::getline(in, existing);) there = there || existing == line;
    }
    if (there) {
        std::printf("%s has it already\n", file.c_str());
    } else {
        std::error_code ec;
        fs::create_directories(file.parent_path(), ec);
        std::ofstream out(file, std::ios::app);
        out << line << "\n";
        out.close();
        if (!out) {
            std::fprintf(stderr, "calvyx-cli devices: cannot write %s\n", file.c_str());
            return ExitTransferFailed;
        }
        std::printf("written to %s\n", file.c_str());
    }
    const QString vendor = QString::fromStdString(BareUsbIdText(id).substr(0, 4));
    const QString product = QString::fromStdString(BareUsbIdText(id).substr(5));
    if (RunUdevadm({QStringLiteral("control"), QStringLiteral("--reload")}))
        RunUdevadm({QStringLiteral("trigger"), QStringLiteral("--action=add"), QStringLiteral("--subsystem-match=usb"),
                    QStringLiteral("--attr-match=idVendor=") + vendor, QStringLiteral("--attr-match=idProduct=") + product});
    if (const char* user = std::getenv("SUDO_USER"); user && *user)
        std::printf("the list above is root's: run calvyx-cli devices --add %s as %s too, for yours\n", BareUsbIdText(id).c_str(),
                    user);
    return ExitOk;
}

int AddId(const std::string& text, const std::string& root)
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
    return WriteIdRule(*id, root);
}

int Devices(std::vector<std::string> words)
{
    const auto args = Args::Parse(words, {"add", "root"}, {});
    if (!args) return UsageError("devices");
    if (!args->Positional().empty()) return UsageError("devices", "no words besides the options are taken");
    const std::string root = args->Value("root").value_or("/");
    if (root.empty()) return UsageError("devices", "--root needs a folder");
    if (args->Value("root") && !args->Value("add")) return UsageError("devices", "--root goes with --add");
    if (const auto add = args->Value("add")) return AddId(*add, root);

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
     "devices [--add VVVV:PPPP] [--root DIR]",
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
     "                      is there. It also prints the udev rule line that gives the\n"
     "                      device to the user at the seat; run as root, it writes the\n"
     "                      line to /etc/udev/rules.d/70-calvyx-ids.rules, then has\n"
     "                      udevadm reload the rules and trigger the device\n"
     "  --root DIR          with --add as root: write the rules file under DIR instead of /\n"}};

} // namespace
} // namespace cli
