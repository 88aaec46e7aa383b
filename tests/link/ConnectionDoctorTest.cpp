// SPDX-License-Identifier: GPL-3.0-or-later
// The connection doctor on made-up machines: a root folder with the sysfs entries of a
// USB-serial adapter or a USB calculator, device nodes (plain files whose group and
// mode stand for the real node's), /etc/group, udev rules folders and /proc entries.
// The user asking is not the files' owner; the groups of their login are given.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include <QTemporaryDir>

#include "link/ConnectionDoctor.h"
#include "link/UsbDevices.h"

namespace {

namespace fs = std::filesystem;

constexpr UsbId Ch340{0x1a86, 0x7523};
constexpr UsbId Calculator{0x1e3a, 0x0401};
constexpr uid_t Ana = 4242;
const gid_t NodeGroup = ::getegid(); // the fake nodes' group, named dialout here

class FakeMachine {
public:
    FakeMachine()
    {
        root_ = dir_.path().toStdString();
        Write("/etc/group", "dialout:x:" + std::to_string(NodeGroup) + ":bob\nana:x:4242:\n");
        Write("/etc/passwd", "ana:x:4242:4242::/home/ana:/bin/bash\n");
        fs::create_directories(At("/sys/bus/usb/devices"));
        fs::create_directories(At("/sys/class/tty"));
        fs::create_directories(At("/proc"));
    }

    fs::path At(const std::string& path) const { return fs::path(root_) / fs::path(path).relative_path(); }
    const std::string& Root() const { return root_; }

    void Write(const std::string& path, const std::string& text) const
    {
        fs::create_directories(At(path).parent_path());
        std::ofstream(At(path)) << text;
    }
    void Link(const std::string& path, const std::string& target) const
    {
        fs::create_directories(At(path).parent_path());
        fs::create_symlink(target, At(path));
    }
    // A device node: a plain file whose group is NodeGroup and whose mode is mode.
    void Node(const std::string& path, mode_t mode) const
    {
        Write(path, "");
        ::chmod(At(path).c_str(), mode);
    }

    // A USB device at port "1-<port>" on bus 1 with device number <port>.
    std::string UsbDevice(int port, UsbId id, const std::string& product, mode_t nodeMode = 0664) const
    {
        const std::string name = "1-" + std::to_string(port);
        const std::string dir = "/sys/devices/pci0000:00/usb1/" + name;
        Write(dir + "/idVendor", BareUsbIdText(id).substr(0, 4) + "\n");
        Write(dir + "/idProduct", BareUsbIdText(id).substr(5) + "\n");
        Write(dir + "/product", product + "\n");
        Write(dir + "/busnum", "1\n");
        Write(dir + "/devnum", std::to_string(port) + "\n");
        Write(dir + "/bcdDevice", "0264\n");
        Link("/sys/bus/usb/devices/" + name, "../../../devices/pci0000:00/usb1/" + name);
        char node[32];
        std::snprintf(node, sizeof node, "/dev/bus/usb/001/%03d", port);
        Node(node, nodeMode);
        return dir;
    }
    // The calculator's interface: vendor-specific, one bulk IN and one bulk OUT endpoint.
    void CalculatorInterface(const std::string& device, const std::string& driver = {}) const
    {
        const std::string iface = device + "/" + fs::path(device).filename().string() + ":1.0";
        Write(iface + "/bInterfaceClass", "ff\n");
        for (const auto& [ep, direction] : {std::pair{"ep_81", "in"}, std::pair{"ep_02", "out"}}) {
            Write(iface + "/" + ep + "/type", "Bulk\n");
            Write(iface + "/" + ep + "/direction", std::string(direction) + "\n");
        }
        if (!driver.empty()) Link(iface + "/driver", "../../../../../../bus/usb/drivers/" + driver);
    }
    // A USB-serial adapter whose port is /dev/<tty>.
    void SerialAdapter(const std::string& tty, UsbId id, mode_t nodeMode = 0660) const
    {
        const std::string device = UsbDevice(2, id, "USB Serial");
        const std::string port = device + "/1-2:1.0/" + tty;
        fs::create_directories(At(port));
        Write("/sys/class/tty/" + tty + "/dev", "188:0\n");
        Link("/sys/class/tty/" + tty + "/device", "../../../devices/pci0000:00/usb1/1-2/1-2:1.0/" + tty);
        Node("/dev/" + tty, nodeMode);
    }
    void Process(int pid, const std::string& name, const std::vector<std::string>& open = {}) const
    {
        const std::string dir = "/proc/" + std::to_string(pid);
        Write(dir + "/comm", name + "\n");
        fs::create_directories(At(dir + "/fd"));
        int fd = 3;
        for (const auto& file : open) Link(dir + "/fd/" + std::to_string(fd++), file);
    }
    void Rule(const std::string& file, const std::string& text) const { Write(file, text + "\n"); }
    void PackagedRules() const
    {
        std::ifstream in(std::string(CALVYX_SOURCE_DIR) + "/data/70-calvyx.rules");
        std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        ASSERT_FALSE(text.empty());
        Write("/usr/lib/udev/rules.d/70-calvyx.rules", text);
    }

private:
    QTemporaryDir dir_;
    std::string root_;
};

DoctorUser AnaWith(std::vector<gid_t> activeGroups)
{
    DoctorUser user;
    user.uid = Ana;
    user.primaryGroup = 4242;
    user.name = "ana";
    user.activeGroups = std::move(activeGroups);
    user.activeGroups.push_back(4242);
    return user;
}

std::string Describe(const DoctorReport& report)
{
    std::string text;
    for (const auto& f : report.findings)
        text += "  [" + std::to_string(static_cast<int>(f.severity)) + "] " + f.subject + ": " + f.found +
                (f.fix.empty() ? "" : " => " + f.fix) + "\n";
    return text;
}

struct Expected {
    FindingSeverity severity;
    const char* found; // a part of the finding's text
    const char* fix;   // a part of its fix ("" for none)
};

TEST(ConnectionDoctor, SaysWhatStandsInTheWayAndHowToFixIt)
{
    const std::vector<gid_t> dialout{NodeGroup};
    struct Case {
        const char* what;
        std::function<void(const FakeMachine&)> build;
        std::vector<gid_t> activeGroups;
        bool usable;
        Expected expected;
        pid_t ownPid = 0;
        std::vector<UsbId> listed = {};
    };
    const std::vector<Case> cases{
        {"everything fine: an adapter of the group dialout, which this login has",
         [](const FakeMachine& m) { m.SerialAdapter("ttyUSB0", Ch340); },
         dialout,
         true,
         {FindingSeverity::Ok, "you may open /dev/ttyUSB0", ""}},
        {"no permission and no rule: the USB calculator's node is root's",
         [](const FakeMachine& m) { m.CalculatorInterface(m.UsbDevice(5, Calculator, "QV T20s")); },
         {},
         false,
         {FindingSeverity::Problem,
          "no udev rule gives it to you; this line would: SUBSYSTEM==\"usb\", ENV{DEVTYPE}==\"usb_device\", "
          "ATTR{idVendor}==\"1e3a\", ATTR{idProduct}==\"0401\", TAG+=\"uaccess\"",
          "sudo calvyx-cli devices --add 1e3a:0401"}},
        {"everything fine: a USB calculator named by its product string, given to the seat's user by the packaged rule",
         [](const FakeMachine& m) {
             m.CalculatorInterface(m.UsbDevice(5, Calculator, "QV T20s", 0666));
             m.PackagedRules();
         },
         {},
         true,
         {FindingSeverity::Ok, "the rule /usr/lib/udev/rules.d/70-calvyx.rules:", ""}},
        {"no permission though the rule is there: udev has not applied it",
         [](const FakeMachine& m) {
             m.CalculatorInterface(m.UsbDevice(5, Calculator, "QV T20s"));
             m.PackagedRules();
         },
         {},
         false,
         {FindingSeverity::Problem, "gives it to the user at the seat, but it has no ACL", "udevadm control --reload"}},
        {"no permission though the id's rule (as devices --add writes it) is there",
         [](const FakeMachine& m) {
             m.CalculatorInterface(m.UsbDevice(5, Calculator, "Handheld Link"));
             m.Rule("/etc/udev/rules.d/70-calvyx-ids.rules", UsbAccessRuleLine(Calculator));
         },
         {},
         false,
         {FindingSeverity::Problem, "the rule /etc/udev/rules.d/70-calvyx-ids.rules:1 gives it", "udevadm trigger"},
         0,
         {Calculator}},
        {"no permission on an adapter though the uaccess rule for serial ports is there",
         [](const FakeMachine& m) {
             m.SerialAdapter("ttyUSB0", Ch340);
             m.PackagedRules();
         },
         {},
         false,
         {FindingSeverity::Problem, "70-calvyx.rules:", "udevadm trigger"}},
        {"not in dialout",
         [](const FakeMachine& m) { m.SerialAdapter("ttyUSB0", Ch340); },
         {},
         false,
         {FindingSeverity::Problem, "no udev rule gives it to you", "sudo adduser ana dialout"}},
        {"a port not even its group may open: a rule is the fix, not the group",
         [](const FakeMachine& m) { m.SerialAdapter("ttyUSB0", Ch340, 0600); },
         dialout,
         false,
         {FindingSeverity::Problem, R"(this line would: SUBSYSTEM=="tty", KERNEL=="ttyUSB[0-9]*|ttyACM[0-9]*", TAG+="uaccess")",
          R"(echo 'SUBSYSTEM=="tty", KERNEL=="ttyUSB[0-9]*|ttyACM[0-9]*", TAG+="uaccess"' | sudo tee -a /etc/udev/rules.d/70-calvyx-ids.rules && sudo udevadm control --reload)"}},
        {"COM1 that may be opened is no calculator connection: nothing tells what is on the far end",
         [](const FakeMachine& m) {
             m.Write("/sys/class/tty/ttyS0/dev", "4:64\n");
             m.Node("/dev/ttyS0", 0660);
         },
         dialout,
         false,
         {FindingSeverity::Ok, "you may open /dev/ttyS0", ""}},
        {"in dialout in /etc/group but not in this login",
         [](const FakeMachine& m) {
             m.SerialAdapter("ttyACM0", Ch340);
             m.Write("/etc/group", "dialout:x:" + std::to_string(NodeGroup) + ":bob,ana\n");
         },
         {},
         false,
         {FindingSeverity::Problem, "after this login started", "log out and in again"}},
        {"brltty claims the adapter's id",
         [](const FakeMachine& m) {
             m.SerialAdapter("ttyUSB0", Ch340);
             m.Rule("/usr/lib/udev/rules.d/85-brltty.rules",
                    "ACTION!=\"add\", GOTO=\"brltty_usb_end\"\n"
                    "ENV{PRODUCT}==\"10c4/ea60/*\", ENV{BRLTTY_BRAILLE_DRIVER}=\"sk\", GOTO=\"brltty_usb_run\"\n"
                    "ENV{PRODUCT}==\"1a86/7523/*\", ENV{BRLTTY_BRAILLE_DRIVER}=\"bm\", GOTO=\"brltty_usb_run\"");
         },
         dialout,
         false,
         {FindingSeverity::Problem, "brltty claims adapters with the id 1a86:7523 (", "apt-get remove brltty"}},
        {"brltty's rules list other ids only",
         [](const FakeMachine& m) {
             m.SerialAdapter("ttyUSB0", Ch340);
             m.Rule("/usr/lib/udev/rules.d/85-brltty.rules",
                    "ENV{PRODUCT}==\"10c4/ea60/*\", ENV{BRLTTY_BRAILLE_DRIVER}=\"sk\", GOTO=\"brltty_usb_run\"");
         },
         dialout,
         true,
         {FindingSeverity::Ok, "you may open /dev/ttyUSB0", ""}},
        {"ModemManager runs and nothing tells it to leave the port alone",
         [](const FakeMachine& m) {
             m.SerialAdapter("ttyACM0", Ch340);
             m.Process(612, "ModemManager");
         },
         dialout,
         true,
         {FindingSeverity::Warning, "ModemManager runs and may probe",
          "ATTRS{idVendor}==\"1a86\", ATTRS{idProduct}==\"7523\", ENV{ID_MM_DEVICE_IGNORE}=\"1\""}},
        {"ModemManager runs and a rule tells it to leave the adapter alone",
         [](const FakeMachine& m) {
             m.SerialAdapter("ttyACM0", Ch340);
             m.Process(612, "ModemManager");
             m.Rule("/etc/udev/rules.d/70-calvyx-ids.rules",
                    "SUBSYSTEM==\"tty\", ATTRS{idVendor}==\"1a86\", ATTRS{idProduct}==\"7523\", ENV{ID_MM_DEVICE_IGNORE}=\"1\"");
         },
         dialout,
         true,
         {FindingSeverity::Ok, "told to leave it alone (/etc/udev/rules.d/70-calvyx-ids.rules:1)", ""}},
        {"another program holds the port open",
         [](const FakeMachine& m) {
             m.SerialAdapter("ttyUSB0", Ch340);
             m.Process(777, "minicom", {"/dev/pts/3", "/dev/ttyUSB0"});
         },
         dialout,
         false,
         {FindingSeverity::Problem, "held open by minicom (process 777)", "kill 777"}},
        {"this process's own descriptor is no obstacle",
         [](const FakeMachine& m) {
             m.SerialAdapter("ttyUSB0", Ch340);
             m.Process(778, "calvyx-cli", {"/dev/ttyUSB0"});
         },
         dialout,
         true,
         {FindingSeverity::Ok, "you may open /dev/ttyUSB0", ""},
         778},
        {"another program holds the USB calculator",
         [](const FakeMachine& m) {
             m.CalculatorInterface(m.UsbDevice(5, Calculator, "QV T20s", 0666), "usbfs");
             m.Process(900, "tilp", {"/dev/bus/usb/001/005"});
         },
         {},
         false,
         {FindingSeverity::Problem, "held open by tilp (process 900)", "kill 900"}},
        {"a kernel driver is bound to the calculator's interface",
         [](const FakeMachine& m) { m.CalculatorInterface(m.UsbDevice(5, Calculator, "QV T30s", 0666), "usb_serial_generic"); },
         {},
         true,
         {FindingSeverity::Warning, "the kernel driver usb_serial_generic is bound to interface 1-5:1.0",
          "echo 1-5:1.0 | sudo tee /sys/bus/usb/drivers/usb_serial_generic/unbind"}},
        {"a device of the calculator's shape whose product names no model and whose id is not listed",
         [](const FakeMachine& m) { m.CalculatorInterface(m.UsbDevice(5, Calculator, "Handheld Link", 0666)); },
         {},
         false,
         {FindingSeverity::Warning, "names no model and its id is not in your list", "calvyx-cli devices --add 1e3a:0401"}},
        {"the same device with its id in the list",
         [](const FakeMachine& m) { m.CalculatorInterface(m.UsbDevice(5, Calculator, "Handheld Link", 0666)); },
         {},
         true,
         {FindingSeverity::Ok, "its id is in your list", ""},
         0,
         {Calculator}},
        {"a listed id that is not plugged in, on a machine with nothing else",
         [](const FakeMachine&) {},
         {},
         false,
         {FindingSeverity::Warning, "no such device is plugged in", ""},
         0,
         {Calculator}},
        {"nothing at all",
         [](const FakeMachine& m) { fs::remove_all(m.At("/sys/bus/usb")); },
         {},
         false,
         {FindingSeverity::Problem, "no USB calculator, no USB-serial adapter", "plug the calculator"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        FakeMachine machine;
        c.build(machine);
        DoctorSetup setup;
        setup.root = machine.Root();
        setup.user = AnaWith(c.activeGroups);
        setup.ownPid = c.ownPid;
        setup.listedIds = c.listed;
        setup.pipeDevice = false;
        const DoctorReport report = ExamineConnections(setup);
        EXPECT_EQ(report.calculatorUsable, c.usable) << Describe(report);
        const bool found = std::any_of(report.findings.begin(), report.findings.end(), [&](const Finding& f) {
            return f.severity == c.expected.severity && f.found.find(c.expected.found) != std::string::npos &&
                   f.fix.find(c.expected.fix) != std::string::npos;
        });
        EXPECT_TRUE(found) << "no finding \"" << c.expected.found << "\" with the fix \"" << c.expected.fix << "\" among:\n"
                           << Describe(report);
        // A problem always says how to fix it.
        for (const auto& f : report.findings) {
            if (f.severity == FindingSeverity::Problem) {
                EXPECT_FALSE(f.fix.empty()) << f.subject << ": " << f.found;
            }
        }
    }
}

TEST(ConnectionDoctor, TheGroupOfTheSerialPortsIsReportedForThisLogin)
{
    struct Case {
        const char* what;
        const char* members;
        std::vector<gid_t> active;
        Expected expected;
    };
    const std::vector<Case> cases{
        {"in it and active", "ana", {NodeGroup}, {FindingSeverity::Ok, "ana is in it, and this login has it", ""}},
        {"in it, not active",
         "bob,ana",
         {},
         {FindingSeverity::Warning, "this login started before that", "log out and in again"}},
        {"not in it", "bob", {}, {FindingSeverity::Warning, "ana is not in it", "sudo adduser ana dialout"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        FakeMachine machine;
        machine.Write("/etc/group", "dialout:x:" + std::to_string(NodeGroup) + ":" + c.members + "\n");
        DoctorSetup setup;
        setup.root = machine.Root();
        setup.user = AnaWith(c.active);
        setup.pipeDevice = false;
        const DoctorReport report = ExamineConnections(setup);
        const auto it = std::find_if(report.findings.begin(), report.findings.end(),
                                     [](const Finding& f) { return f.subject == "group dialout"; });
        ASSERT_NE(it, report.findings.end()) << Describe(report);
        EXPECT_EQ(it->severity, c.expected.severity);
        EXPECT_NE(it->found.find(c.expected.found), std::string::npos) << it->found;
        EXPECT_NE(it->fix.find(c.expected.fix), std::string::npos) << it->fix;
    }
}

// An access ACL as the kernel stores it: version 2, then (tag, permissions, id) entries.
std::string Acl(const std::vector<std::tuple<unsigned, unsigned, uint32_t>>& entries)
{
    std::string blob;
    const auto put = [&](uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i) blob.push_back(static_cast<char>((value >> (8 * i)) & 0xff));
    };
    put(2, 4);
    for (const auto& [tag, perm, id] : entries) {
        put(tag, 2);
        put(perm, 2);
        put(id, 4);
    }
    return blob;
}

TEST(ConnectionDoctor, AnAclGrantsReadAndWriteToItsUserOrGroupWithinItsMask)
{
    static constexpr unsigned UserObj = 0x01, User = 0x02, GroupObj = 0x04, Group = 0x08, Mask = 0x10, Other = 0x20;
    const auto base = [](std::vector<std::tuple<unsigned, unsigned, uint32_t>> extra) {
        std::vector<std::tuple<unsigned, unsigned, uint32_t>> entries{{UserObj, 6, 0}, {GroupObj, 6, 0}, {Other, 0, 0}};
        entries.insert(entries.end(), extra.begin(), extra.end());
        return Acl(entries);
    };
    struct Case {
        const char* what;
        std::string acl;
        bool granted;
    };
    const std::vector<Case> cases{
        {"rw for the user (as uaccess writes it)", base({{User, 6, Ana}, {Mask, 6, 0}}), true},
        {"rw for the user, the mask allows reading only", base({{User, 6, Ana}, {Mask, 4, 0}}), false},
        {"read only for the user", base({{User, 4, Ana}, {Mask, 6, 0}}), false},
        {"rw for another user", base({{User, 6, Ana + 1}, {Mask, 6, 0}}), false},
        {"rw for a group of this login", base({{Group, 6, 4242}, {Mask, 7, 0}}), true},
        {"rw for a group this login lacks", base({{Group, 6, 77}, {Mask, 7, 0}}), false},
        {"a wrong version", Acl({{User, 6, Ana}}).replace(0, 1, 1, '\x01'), false},
        {"cut short", base({{User, 6, Ana}}).substr(0, 30), false},
        {"empty", "", false},
    };
    for (const auto& c : cases) EXPECT_EQ(AclGrantsReadWrite(c.acl, Ana, {4242}), c.granted) << c.what;
}

// The packaged rule's product-string lines give the seat's user exactly the devices
// that link/UsbDevices takes for the calculator by their product string.
TEST(PackagedRule, MatchesAProductStringWhenItNamesAModelAsAWholeWord)
{
    std::ifstream in(std::string(CALVYX_SOURCE_DIR) + "/data/70-calvyx.rules");
    std::vector<std::string> patterns;
    const std::string key = "ATTR{product}==\"";
    for (std::string line; std::getline(in, line);) {
        const auto at = line.find(key);
        if (line.empty() || line[0] == '#' || at == std::string::npos) continue;
        EXPECT_NE(line.find("TAG+=\"uaccess\""), std::string::npos) << line;
        const auto start = at + key.size();
        patterns.push_back(line.substr(start, line.find('"', start) - start));
    }
    ASSERT_FALSE(patterns.empty()) << "no product-string line in data/70-calvyx.rules";
    struct Case {
        const char* product;
        bool model;
    };
    const Case cases[] = {
        {"QV T20s", true},  {"T20", true},          {"t30s graphing", true},  {"QV-T20+", true},     {"T20+ Calculator", true},
        {"USB T30S", true}, {"QV T20s Plus", true}, {"T20_link", true},       {"AT2020USB+", false}, {"T200", false},
        {"XT20", false},    {"T20++", false},       {"T30", false},           {"T20x", false},       {"T20+s", false},
        {"", false},        {"QV T2", false},       {"Handheld Link", false},
    };
    for (const auto& c : cases) {
        const bool ruleMatches =
            std::any_of(patterns.begin(), patterns.end(), [&](const std::string& p) { return UdevPatternMatches(p, c.product); });
        EXPECT_EQ(ruleMatches, c.model) << "the rule for \"" << c.product << "\"";
        EXPECT_EQ(ProductNamesModel(c.product), c.model) << "link/UsbDevices for \"" << c.product << "\"";
    }
}

} // namespace
