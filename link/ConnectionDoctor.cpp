// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/ConnectionDoctor.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fnmatch.h>
#include <fstream>
#include <grp.h>
#include <map>
#include <optional>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include "link/UsbDevices.h"
#include "link/UsbPipes.h"
#include "util/Utils.h"

namespace {

namespace fs = std::filesystem;

// The rules file of this machine's own lines (calvyx-cli devices --add writes there too).
const std::string IdRulesFile = "/etc/udev/rules.d/70-calvyx-ids.rules";

// ---- Files under the root ------------------------------------------------------------

std::string FirstLine(const fs::path& file)
{
    std::ifstream in(file);
    std::string line;
    std::getline(in, line);
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r' || line.back() == ' ')) line.pop_back();
    return line;
}

std::vector<std::string> Lines(const fs::path& file)
{
    std::ifstream in(file);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

std::string LinkTarget(const fs::path& link)
{
    std::error_code ec;
    const fs::path target = fs::read_symlink(link, ec);
    return ec ? std::string() : target.string();
}

std::vector<std::string> Split(const std::string& text, char separator)
{
    std::vector<std::string> parts;
    std::size_t at = 0;
    while (true) {
        const auto end = text.find(separator, at);
        parts.push_back(text.substr(at, end == std::string::npos ? std::string::npos : end - at));
        if (end == std::string::npos) return parts;
        at = end + 1;
    }
}

bool AllDigits(const std::string& text)
{
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::string Hex4(unsigned value)
{
    char text[8];
    std::snprintf(text, sizeof text, "%04x", value & 0xffffU);
    return text;
}

class Machine {
public:
    explicit Machine(const DoctorSetup& setup) : setup_(setup), root_(setup.root.empty() ? "/" : setup.root) {}

    // A path of the machine ("/dev/ttyUSB0") under the root.
    fs::path At(const std::string& path) const { return root_ / fs::path(path).relative_path(); }
    // A path under the root as the machine names it.
    std::string Named(const fs::path& rooted) const
    {
        const fs::path relative = rooted.lexically_relative(root_);
        return "/" + relative.generic_string();
    }
    const DoctorSetup& Setup() const { return setup_; }

private:
    const DoctorSetup& setup_;
    fs::path root_;
};

// ---- Users and groups ----------------------------------------------------------------

struct GroupEntry {
    std::string name;
    gid_t gid = 0;
    std::vector<std::string> members;
};

std::vector<GroupEntry> ReadGroups(const Machine& machine)
{
    std::vector<GroupEntry> groups;
    for (const auto& line : Lines(machine.At("/etc/group"))) {
        const auto fields = Split(line, ':');
        if (fields.size() < 4 || !AllDigits(fields[2])) continue;
        GroupEntry g;
        g.name = fields[0];
        g.gid = static_cast<gid_t>(std::stoul(fields[2]));
        for (const auto& m : Split(fields[3], ','))
            if (!m.empty()) g.members.push_back(m);
        groups.push_back(std::move(g));
    }
    return groups;
}

std::string UserName(const Machine& machine, uid_t uid)
{
    for (const auto& line : Lines(machine.At("/etc/passwd"))) {
        const auto fields = Split(line, ':');
        if (fields.size() >= 3 && AllDigits(fields[2]) && std::stoul(fields[2]) == uid) return fields[0];
    }
    return std::to_string(uid);
}

// ---- udev rules ----------------------------------------------------------------------

struct RuleTerm {
    std::string key; // "ATTRS{idVendor}"
    std::string op;  // "==", "!=", "=", "+=", ...
    std::string value;
    bool IsMatch() const { return op == "==" || op == "!="; }
};

struct RuleLine {
    std::string file; // as the machine names it
    int number = 0;
    std::string text;
    std::vector<RuleTerm> terms;
    std::string Where() const { return file + ":" + std::to_string(number); }
    const RuleTerm* Assigns(const std::string& key) const
    {
        for (const auto& t : terms)
            if (!t.IsMatch() && t.key == key) return &t;
        return nullptr;
    }
    bool Mentions(const std::string& fragment) const
    {
        return std::any_of(terms.begin(), terms.end(),
                           [&](const RuleTerm& t) { return t.key.find(fragment) != std::string::npos; });
    }
};

std::optional<std::vector<RuleTerm>> ParseRule(const std::string& line)
{
    std::vector<RuleTerm> terms;
    std::size_t at = 0;
    const auto skip = [&] {
        while (at < line.size() && (line[at] == ' ' || line[at] == '\t' || line[at] == ',')) ++at;
    };
    skip();
    while (at < line.size()) {
        RuleTerm t;
        while (at < line.size() && (std::isalnum(static_cast<unsigned char>(line[at])) || line[at] == '_')) t.key += line[at++];
        if (at < line.size() && line[at] == '{') {
            const auto close = line.find('}', at);
            if (close == std::string::npos) return std::nullopt;
            t.key += line.substr(at, close - at + 1);
            at = close + 1;
        }
        while (at < line.size() && line[at] == ' ') ++at;
        while (at < line.size() && std::string("=!+-:").find(line[at]) != std::string::npos) t.op += line[at++];
        while (at < line.size() && line[at] == ' ') ++at;
        if (t.key.empty() || t.op.empty() || at >= line.size() || line[at] != '"') return std::nullopt;
        const auto close = line.find('"', at + 1);
        if (close == std::string::npos) return std::nullopt;
        t.value = line.substr(at + 1, close - at - 1);
        at = close + 1;
        terms.push_back(std::move(t));
        skip();
    }
    return terms;
}

// The rules files udev reads, in its order: by file name, a name in /etc hiding the
// same name in /run and /lib.
std::vector<RuleLine> ReadRules(const Machine& machine)
{
    std::map<std::string, fs::path> files;
    for (const char* folder : {"/usr/lib/udev/rules.d", "/lib/udev/rules.d", "/run/udev/rules.d", "/etc/udev/rules.d"}) {
        std::error_code ec;
        for (const auto& entry : fs::directory_iterator(machine.At(folder), ec)) {
            const std::string name = entry.path().filename().string();
            if (name.size() > 6 && name.compare(name.size() - 6, 6, ".rules") == 0) files[name] = entry.path();
        }
    }
    std::vector<RuleLine> rules;
    for (const auto& [name, path] : files) {
        int number = 0;
        for (const auto& text : Lines(path)) {
            ++number;
            const auto first = text.find_first_not_of(" \t");
            if (first == std::string::npos || text[first] == '#') continue;
            const auto terms = ParseRule(text);
            if (!terms) continue;
            rules.push_back({machine.Named(path), number, text, *terms});
        }
    }
    return rules;
}

// What a rule can match of a device. Keys not here make a condition that is not
// known to hold, so the line is taken not to match.
using Properties = std::map<std::string, std::string>;

bool RuleMatches(const RuleLine& rule, const Properties& device)
{
    bool any = false;
    for (const auto& t : rule.terms) {
        if (!t.IsMatch()) continue;
        any = true;
        std::string value;
        if (const auto it = device.find(t.key); it != device.end())
            value = it->second;
        else if (t.key.compare(0, 4, "ENV{") != 0)
            return false; // unset environment keys are empty; anything else is unknown
        if (UdevPatternMatches(t.value, value) != (t.op == "==")) return false;
    }
    return any;
}

// ---- Devices ---------------------------------------------------------------------------

struct UsbInterface {
    std::string name; // "1-2:1.0"
    unsigned cls = 0;
    int bulkIn = 0;
    int bulkOut = 0;
    std::string driver;
    bool CalculatorShape() const { return cls == 0xff && bulkIn == 1 && bulkOut == 1; }
};

struct UsbDevice {
    std::string name; // "1-2"
    fs::path path;    // under the root
    UsbId id;
    std::string product;
    int bus = 0;
    int number = 0;
    std::string bcd;
    std::vector<UsbInterface> interfaces;
    std::string Node() const
    {
        char node[40];
        std::snprintf(node, sizeof node, "/dev/bus/usb/%03d/%03d", bus, number);
        return node;
    }
    const UsbInterface* CalculatorInterface() const
    {
        for (const auto& i : interfaces)
            if (i.CalculatorShape()) return &i;
        return nullptr;
    }
    std::string Label() const
    {
        return "USB " + name + " " + BareUsbIdText(id) + (product.empty() ? std::string() : " \"" + product + "\"");
    }
};

int Number(const std::string& text) { return AllDigits(text) && text.size() < 9 ? std::stoi(text) : 0; }

std::optional<UsbDevice> ReadUsbDevice(const fs::path& path)
{
    const auto vendor = HexNumber(FirstLine(path / "idVendor"), 4);
    const auto product = HexNumber(FirstLine(path / "idProduct"), 4);
    if (!vendor || !product) return std::nullopt;
    UsbDevice d;
    d.name = path.filename().string();
    d.path = path;
    d.id = {static_cast<uint16_t>(*vendor), static_cast<uint16_t>(*product)};
    d.product = FirstLine(path / "product");
    d.bus = Number(FirstLine(path / "busnum"));
    d.number = Number(FirstLine(path / "devnum"));
    d.bcd = FirstLine(path / "bcdDevice");
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(path, ec)) {
        const std::string name = entry.path().filename().string();
        if (name.compare(0, d.name.size() + 1, d.name + ":") != 0) continue;
        UsbInterface iface;
        iface.name = name;
        iface.cls = HexNumber(FirstLine(entry.path() / "bInterfaceClass"), 4).value_or(0);
        iface.driver = fs::path(LinkTarget(entry.path() / "driver")).filename().string();
        std::error_code ec2;
        for (const auto& ep : fs::directory_iterator(entry.path(), ec2)) {
            if (ep.path().filename().string().compare(0, 3, "ep_") != 0) continue;
            if (FirstLine(ep.path() / "type") != "Bulk") continue;
            const std::string direction = FirstLine(ep.path() / "direction");
            if (direction == "in") ++iface.bulkIn;
            if (direction == "out") ++iface.bulkOut;
        }
        d.interfaces.push_back(std::move(iface));
    }
    std::sort(d.interfaces.begin(), d.interfaces.end(), [](const auto& a, const auto& b) { return a.name < b.name; });
    return d;
}

std::vector<UsbDevice> ReadUsbDevices(const Machine& machine, bool& busThere)
{
    std::vector<UsbDevice> devices;
    std::error_code ec;
    busThere = false;
    for (const auto& entry : fs::directory_iterator(machine.At("/sys/bus/usb/devices"), ec)) {
        busThere = true;
        const std::string name = entry.path().filename().string();
        if (name.find(':') != std::string::npos || name.compare(0, 3, "usb") == 0) continue; // interfaces, root hubs
        std::error_code ec2;
        const fs::path real = fs::canonical(entry.path(), ec2);
        if (auto d = ReadUsbDevice(ec2 ? entry.path() : real)) devices.push_back(std::move(*d));
    }
    std::sort(devices.begin(), devices.end(), [](const auto& a, const auto& b) { return a.name < b.name; });
    return devices;
}

Properties UsbProperties(const UsbDevice& d)
{
    char product[32];
    std::snprintf(product, sizeof product, "%x/%x/%x", d.id.vendor, d.id.product, HexNumber(d.bcd, 4).value_or(0));
    return {{"ACTION", "add"},
            {"SUBSYSTEM", "usb"},
            {"SUBSYSTEMS", "usb"},
            {"KERNEL", d.name},
            {"KERNELS", d.name},
            {"ENV{DEVTYPE}", "usb_device"},
            {"ENV{PRODUCT}", product},
            {"ATTR{idVendor}", Hex4(d.id.vendor)},
            {"ATTR{idProduct}", Hex4(d.id.product)},
            {"ATTR{product}", d.product},
            {"ATTRS{idVendor}", Hex4(d.id.vendor)},
            {"ATTRS{idProduct}", Hex4(d.id.product)},
            {"ATTRS{product}", d.product}};
}

struct SerialPort {
    std::string name; // "ttyUSB0"
    std::optional<UsbDevice> usb;
    std::string devNumbers; // "188:0"
    std::string Node() const { return "/dev/" + name; }
    bool Adapter() const { return name.compare(0, 6, "ttyUSB") == 0 || name.compare(0, 6, "ttyACM") == 0; }
    std::string Label() const
    {
        std::string label = Node();
        if (name.compare(0, 4, "ttyS") == 0) label += " (COM" + std::to_string(Number(name.substr(4)) + 1) + ")";
        if (usb) label += ", " + usb->Label();
        return label;
    }
};

bool SerialName(const std::string& name)
{
    for (const std::string prefix : {"ttyUSB", "ttyACM"})
        if (name.size() > prefix.size() && name.compare(0, prefix.size(), prefix) == 0 && AllDigits(name.substr(prefix.size())))
            return true;
    // COM1 and COM2.
    return name == "ttyS0" || name == "ttyS1";
}

std::vector<SerialPort> ReadSerialPorts(const Machine& machine)
{
    std::vector<SerialPort> ports;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(machine.At("/sys/class/tty"), ec)) {
        SerialPort port;
        port.name = entry.path().filename().string();
        if (!SerialName(port.name)) continue;
        if (port.name.compare(0, 4, "ttyS") == 0 && !fs::exists(machine.At(port.Node()))) continue;
        port.devNumbers = FirstLine(entry.path() / "dev");
        // The adapter: the first parent of the tty's device that is a USB device.
        std::error_code ec2;
        fs::path at = fs::canonical(entry.path() / "device", ec2);
        const fs::path sys = machine.At("/sys");
        for (int depth = 0; !ec2 && depth < 4 && at.string().compare(0, sys.string().size(), sys.string()) == 0;
             ++depth, at = at.parent_path()) {
            if (fs::exists(at / "idVendor")) {
                port.usb = ReadUsbDevice(at);
                break;
            }
        }
        ports.push_back(std::move(port));
    }
    std::sort(ports.begin(), ports.end(), [](const auto& a, const auto& b) {
        return a.name.size() != b.name.size() && a.name.compare(0, 6, b.name, 0, 6) == 0 ? a.name.size() < b.name.size()
                                                                                         : a.name < b.name;
    });
    return ports;
}

Properties SerialProperties(const SerialPort& port)
{
    Properties p{{"ACTION", "add"}, {"SUBSYSTEM", "tty"}, {"KERNEL", port.name}};
    if (port.usb) {
        for (const auto& [key, value] : UsbProperties(*port.usb))
            if (key.compare(0, 6, "ATTRS{") == 0 || key == "SUBSYSTEMS") p[key] = value;
        p["ENV{ID_VENDOR_ID}"] = Hex4(port.usb->id.vendor);
        p["ENV{ID_MODEL_ID}"] = Hex4(port.usb->id.product);
    }
    return p;
}

// ---- Processes -------------------------------------------------------------------------

struct Process {
    std::string pid;
    std::string name;
    std::vector<std::string> openFiles;
};

std::vector<Process> ReadProcesses(const Machine& machine)
{
    std::vector<Process> processes;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(machine.At("/proc"), ec)) {
        Process p;
        p.pid = entry.path().filename().string();
        if (!AllDigits(p.pid)) continue;
        p.name = FirstLine(entry.path() / "comm");
        std::error_code ec2; // other users' descriptors are not readable: left out
        for (const auto& fd : fs::directory_iterator(entry.path() / "fd", ec2)) {
            const std::string target = LinkTarget(fd.path());
            if (target.compare(0, 5, "/dev/") == 0) p.openFiles.push_back(target);
        }
        processes.push_back(std::move(p));
    }
    return processes;
}

// ---- Access ----------------------------------------------------------------------------

struct Access {
    bool exists = false;
    bool granted = false;
    std::string how;   // "you own it", "group dialout", "an ACL for you", "everyone"
    std::string owner; // "root:dialout 0660"
    std::string groupName;
    bool groupListedNotActive = false; // the node's group has the user in /etc/group only
    bool groupMayOpen = false;         // the node's group may read and write it
};

struct Examiner {
    const Machine& machine;
    const DoctorSetup& setup;
    std::vector<GroupEntry> groups;
    std::vector<RuleLine> rules;
    std::vector<Process> processes;
    DoctorReport report;
    bool calculatorSeen = false; // a USB device taken for the calculator

    void Add(const std::string& subject, const std::string& found, FindingSeverity severity, const std::string& fix = {})
    {
        report.findings.push_back({subject, found, severity, fix});
    }

    std::string GroupName(gid_t gid) const
    {
        for (const auto& g : groups)
            if (g.gid == gid) return g.name;
        return std::to_string(gid);
    }
    bool Active(gid_t gid) const
    {
        const auto& active = setup.user.activeGroups;
        return std::find(active.begin(), active.end(), gid) != active.end();
    }
    bool Listed(gid_t gid) const
    {
        if (gid == setup.user.primaryGroup) return true;
        for (const auto& g : groups)
            if (g.gid == gid && std::find(g.members.begin(), g.members.end(), setup.user.name) != g.members.end()) return true;
        return false;
    }

    Access AccessTo(const std::string& node) const
    {
        Access a;
        const fs::path path = machine.At(node);
        struct stat st {};
        if (::stat(path.c_str(), &st) != 0) return a;
        a.exists = true;
        a.groupName = GroupName(st.st_gid);
        char mode[8];
        std::snprintf(mode, sizeof mode, "%04o", st.st_mode & 07777U);
        a.owner = UserName(machine, st.st_uid) + ":" + a.groupName + " " + mode;
        const auto& user = setup.user;
        std::string acl(256, '\0');
        const ssize_t aclSize = ::getxattr(path.c_str(), "system.posix_acl_access", acl.data(), acl.size());
        acl.resize(aclSize > 0 ? static_cast<std::size_t>(aclSize) : 0);
        if (user.uid == 0) {
            a.granted = true;
            a.how = "you are root";
        } else if (st.st_uid == user.uid && (st.st_mode & 0600U) == 0600U) {
            a.granted = true;
            a.how = "you own it";
        } else if (!acl.empty() && AclGrantsReadWrite(acl, user.uid, user.activeGroups)) {
            a.granted = true;
            a.how = "an ACL for you (given to the user at the seat)";
        } else if (Active(st.st_gid) && (st.st_mode & 0060U) == 0060U) {
            a.granted = true;
            a.how = "group " + a.groupName;
        } else if ((st.st_mode & 0006U) == 0006U) {
            a.granted = true;
            a.how = "everyone may";
        }
        a.groupMayOpen = (st.st_mode & 0060U) == 0060U;
        a.groupListedNotActive = !a.granted && (st.st_mode & 0060U) == 0060U && Listed(st.st_gid) && !Active(st.st_gid);
        return a;
    }

    // The last matching line that gives the device to someone (uaccess, a group or a mode).
    const RuleLine* AccessRule(const Properties& device) const
    {
        const RuleLine* found = nullptr;
        for (const auto& rule : rules) {
            const RuleTerm* tag = rule.Assigns("TAG");
            const bool gives = (tag && tag->value == "uaccess") || rule.Assigns("GROUP") || rule.Assigns("MODE");
            if (gives && RuleMatches(rule, device)) found = &rule;
        }
        return found;
    }

    // Finds for one device node: whether it is there, who may open it and who holds it.
    // True when this user may use it now.
    // ruleLine: the udev rule line that would give the device to the user at the seat.
    bool ExamineNode(const std::string& subject, const std::string& node, const Properties& device, const std::string& ruleFix,
                     const std::string& ruleLine)
    {
        const Access a = AccessTo(node);
        if (!a.exists) {
            Add(subject, "no device node " + node + " (udev has not made it)", FindingSeverity::Problem, "sudo udevadm trigger");
            return false;
        }
        const RuleLine* rule = AccessRule(device);
        const std::string byRule = rule ? "; the rule " + rule->Where() + " gives it" : std::string();
        bool usable = a.granted;
        if (a.granted) {
            Add(subject, "you may open " + node + " (" + a.owner + "): " + a.how + byRule, FindingSeverity::Ok);
        } else if (a.groupListedNotActive) {
            Add(subject,
                "you may not open " + node + " (" + a.owner + "): you were added to the group " + a.groupName +
                    " after this login started, so this login does not have it yet",
                FindingSeverity::Problem, "log out and in again (or, in this terminal only: newgrp " + a.groupName + ")");
        } else if (rule && rule->Assigns("TAG")) {
            Add(subject,
                "you may not open " + node + " (" + a.owner + "): the rule " + rule->Where() +
                    " gives it to the user at the seat, but it has no ACL for you (udev has not applied the rule since it "
                    "came, or you are not logged in at this machine's seat)",
                FindingSeverity::Problem, "sudo udevadm control --reload && sudo udevadm trigger");
        } else {
            Add(subject,
                "you may not open " + node + " (" + a.owner + ") and no udev rule gives it to you; this line would: " + ruleLine,
                FindingSeverity::Problem, ruleFix);
        }
        for (const auto& p : processes) {
            if (!setup.ownPid || p.pid != std::to_string(setup.ownPid)) {
                if (std::find(p.openFiles.begin(), p.openFiles.end(), node) == p.openFiles.end()) continue;
                Add(subject, node + " is held open by " + p.name + " (process " + p.pid + ")", FindingSeverity::Problem,
                    p.name == "brltty" ? "sudo apt-get remove brltty" : "quit " + p.name + ", or: kill " + p.pid);
                usable = false;
            }
        }
        return usable;
    }

    bool Running(const std::string& name) const
    {
        return std::any_of(processes.begin(), processes.end(), [&](const Process& p) { return p.name == name; });
    }

    // brltty takes USB-serial adapters whose ids its rules list (CH340, CP210x, ...).
    // True when it claims this one.
    bool ExamineBrltty(const std::string& subject, const UsbDevice& usb)
    {
        const Properties device = UsbProperties(usb);
        for (const auto& rule : rules) {
            if (rule.file.find("brltty") == std::string::npos) continue;
            if (!rule.Mentions("PRODUCT") && !rule.Mentions("idVendor")) continue;
            if (!RuleMatches(rule, device)) continue;
            Add(subject,
                "brltty claims adapters with the id " + BareUsbIdText(usb.id) + " (" + rule.Where() +
                    ") and takes the port away when it is plugged in",
                FindingSeverity::Problem, "sudo apt-get remove brltty");
            return true;
        }
        return false;
    }

    // ModemManager sends AT commands to new serial ports unless a rule tells it not to.
    void ExamineModemManager(const SerialPort& port)
    {
        if (!Running("ModemManager")) return;
        const Properties device = SerialProperties(port);
        for (const auto& rule : rules) {
            const RuleTerm* ignore = rule.Assigns("ENV{ID_MM_DEVICE_IGNORE}");
            if (ignore && ignore->value == "1" && RuleMatches(rule, device)) {
                Add(port.Node(), "ModemManager runs and is told to leave it alone (" + rule.Where() + ")", FindingSeverity::Ok);
                return;
            }
        }
        if (!port.devNumbers.empty()) {
            for (const auto& line : Lines(machine.At("/run/udev/data/c" + port.devNumbers))) {
                if (line == "E:ID_MM_DEVICE_IGNORE=1") {
                    Add(port.Node(), "ModemManager runs and udev told it to leave the port alone", FindingSeverity::Ok);
                    return;
                }
            }
        }
        const std::string ids = port.usb ? "ATTRS{idVendor}==\"" + Hex4(port.usb->id.vendor) + "\", ATTRS{idProduct}==\"" +
                                               Hex4(port.usb->id.product) + "\""
                                         : "KERNEL==\"" + port.name + "\"";
        Add(port.Node(), "ModemManager runs and may probe the port with modem commands when it appears", FindingSeverity::Warning,
            "echo 'SUBSYSTEM==\"tty\", " + ids + ", ENV{ID_MM_DEVICE_IGNORE}=\"1\"' | sudo tee -a " + IdRulesFile);
    }

    void ExamineSerialPort(const SerialPort& port)
    {
        const std::string subject = port.Label();
        const Properties device = SerialProperties(port);
        const Access a = AccessTo(port.Node());
        // Joining the node's group helps when that group may open it; otherwise a rule
        // has to give it to the user at the seat.
        const std::string line = port.Adapter() ? R"(SUBSYSTEM=="tty", KERNEL=="ttyUSB[0-9]*|ttyACM[0-9]*", TAG+="uaccess")"
                                                : R"(SUBSYSTEM=="tty", KERNEL==")" + port.name + R"(", TAG+="uaccess")";
        const std::string fix = a.groupMayOpen && a.groupName != "root"
                                    ? "sudo adduser " + setup.user.name + " " + a.groupName
                                    : "echo '" + line + "' | sudo tee -a " + IdRulesFile +
                                          " && sudo udevadm control --reload && sudo udevadm trigger";
        bool usable = ExamineNode(subject, port.Node(), device, fix, line);
        if (port.usb && ExamineBrltty(subject, *port.usb)) usable = false;
        if (port.Adapter()) ExamineModemManager(port);
        if (usable && port.Adapter()) report.calculatorUsable = true;
    }

    void ExamineUsbDevice(const UsbDevice& usb)
    {
        const UsbInterface* iface = usb.CalculatorInterface();
        const bool listed = std::find(setup.listedIds.begin(), setup.listedIds.end(), usb.id) != setup.listedIds.end();
        const bool named = iface && ProductNamesModel(usb.product);
        if (!listed && !named) {
            if (iface)
                Add(usb.Label(),
                    "has the calculator's interface, but its product string names no model and its id is not in your list",
                    FindingSeverity::Warning, "calvyx-cli devices --add " + BareUsbIdText(usb.id));
            return;
        }
        const std::string subject = usb.Label();
        calculatorSeen = true;
        Add(subject,
            listed ? "taken for the calculator: its id is in your list"
                   : "taken for the calculator: its product string names the model (its id is not in your list, which is "
                     "not needed)",
            FindingSeverity::Ok);
        bool usable = ExamineNode(subject, usb.Node(), UsbProperties(usb),
                                  "sudo calvyx-cli devices --add " + BareUsbIdText(usb.id), UsbAccessRuleLine(usb.id));
        if (!iface) {
            Add(subject, "has no vendor-specific interface with one bulk IN and one bulk OUT endpoint", FindingSeverity::Problem,
                "calvyx-cli devices (to find the calculator's own id)");
            usable = false;
        } else if (iface->driver == "usbfs") {
            Add(subject, "interface " + iface->name + " is claimed by another program", FindingSeverity::Problem,
                "quit the other program that talks to the calculator");
            usable = false;
        } else if (!iface->driver.empty()) {
            Add(subject,
                "the kernel driver " + iface->driver + " is bound to interface " + iface->name +
                    "; Calvyx detaches it when it opens the device, which needs write access and fails while another "
                    "program uses that driver",
                FindingSeverity::Warning,
                "echo " + iface->name + " | sudo tee /sys/bus/usb/drivers/" + iface->driver + "/unbind");
        }
        if (usable) report.calculatorUsable = true;
    }

    void ExamineGroup(const std::string& name)
    {
        const auto it = std::find_if(groups.begin(), groups.end(), [&](const GroupEntry& g) { return g.name == name; });
        if (it == groups.end()) return;
        const std::string subject = "group " + name;
        if (setup.user.uid == 0)
            Add(subject, "you are root, who may open any device: run calvyx-cli doctor as the user who runs Calvyx",
                FindingSeverity::Warning);
        else if (Active(it->gid))
            Add(subject, setup.user.name + " is in it, and this login has it", FindingSeverity::Ok);
        else if (Listed(it->gid))
            Add(subject, setup.user.name + " is in it, but this login started before that and does not have it",
                FindingSeverity::Warning, "log out and in again (or, in this terminal only: newgrp " + name + ")");
        else
            Add(subject, setup.user.name + " is not in it (serial ports are this group's)", FindingSeverity::Warning,
                "sudo adduser " + setup.user.name + " " + name);
    }

    void ExaminePipeDevice()
    {
        const std::string subject = std::string("pipe device ") + UsbDeviceName;
        if (const std::string problem = PipeDeviceProblem(UsbDeviceName); !problem.empty()) {
            Add(subject, "refused: " + problem, FindingSeverity::Problem);
        } else if (UsbDevicePresent(UsbDeviceName)) {
            Add(subject, "there, at " + DeviceRoot() + "/" + UsbDeviceName, FindingSeverity::Ok);
            report.calculatorUsable = true;
        }
    }
};

bool AnyAlternativeMatches(const std::string& pattern, const std::string& value)
{
    for (const auto& alternative : Split(pattern, '|'))
        if (::fnmatch(alternative.c_str(), value.c_str(), 0) == 0) return true;
    return false;
}

} // namespace

bool UdevPatternMatches(const std::string& pattern, const std::string& value) { return AnyAlternativeMatches(pattern, value); }

bool AclGrantsReadWrite(const std::string& xattr, uid_t uid, const std::vector<gid_t>& groups)
{
    // A 4-byte version (2), then entries of a 2-byte tag, 2-byte permissions and a 4-byte
    // id, all little-endian.
    constexpr unsigned User = 0x02, Group = 0x08, Mask = 0x10, ReadWrite = 6;
    const auto byte = [&](std::size_t i) { return static_cast<uint32_t>(static_cast<unsigned char>(xattr[i])); };
    const auto word = [&](std::size_t i) { return byte(i) | byte(i + 1) << 8; };
    const auto dword = [&](std::size_t i) { return word(i) | word(i + 2) << 16; };
    if (xattr.size() < 4 || dword(0) != 2 || (xattr.size() - 4) % 8 != 0) return false;
    unsigned mask = 7;
    bool entry = false;
    for (std::size_t at = 4; at < xattr.size(); at += 8)
        if (word(at) == Mask) mask = word(at + 2);
    for (std::size_t at = 4; at < xattr.size(); at += 8) {
        const unsigned tag = word(at);
        const unsigned perm = word(at + 2) & mask;
        const uint32_t id = dword(at + 4);
        const bool mine = (tag == User && id == uid) ||
                          (tag == Group && std::find(groups.begin(), groups.end(), static_cast<gid_t>(id)) != groups.end());
        if (mine && (perm & ReadWrite) == ReadWrite) entry = true;
    }
    return entry;
}

std::string UsbAccessRuleLine(UsbId id)
{
    return R"(SUBSYSTEM=="usb", ENV{DEVTYPE}=="usb_device", ATTR{idVendor}==")" + Hex4(id.vendor) + R"(", ATTR{idProduct}==")" +
           Hex4(id.product) + R"(", TAG+="uaccess")";
}

DoctorUser CurrentDoctorUser()
{
    DoctorUser user;
    user.uid = ::getuid();
    user.primaryGroup = ::getgid();
    user.name = std::to_string(user.uid);
    if (const passwd* pw = ::getpwuid(user.uid)) {
        user.name = pw->pw_name;
        user.primaryGroup = pw->pw_gid;
    }
    const int count = ::getgroups(0, nullptr);
    if (count > 0) {
        user.activeGroups.resize(static_cast<std::size_t>(count));
        const int got = ::getgroups(count, user.activeGroups.data());
        user.activeGroups.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
    }
    user.activeGroups.push_back(::getegid());
    return user;
}

DoctorReport ExamineConnections(const DoctorSetup& setup)
{
    const Machine machine(setup);
    Examiner e{machine, setup, ReadGroups(machine), ReadRules(machine), ReadProcesses(machine), {}};

    const auto ports = ReadSerialPorts(machine);
    for (const auto& port : ports) e.ExamineSerialPort(port);

    bool bus = false;
    const auto devices = ReadUsbDevices(machine, bus);
    if (!bus) e.Add("USB", "no USB bus here (nothing under /sys/bus/usb/devices)", FindingSeverity::Warning);
    for (const auto& usb : devices) e.ExamineUsbDevice(usb);
    for (const UsbId id : setup.listedIds) {
        if (std::none_of(devices.begin(), devices.end(), [&](const UsbDevice& d) { return d.id == id; }))
            e.Add("USB " + BareUsbIdText(id), "your list names this id, but no such device is plugged in",
                  FindingSeverity::Warning);
    }

    if (setup.pipeDevice) e.ExaminePipeDevice();
    e.ExamineGroup("dialout");
    if (std::any_of(e.rules.begin(), e.rules.end(),
                    [](const RuleLine& r) { return r.file.find("brltty") != std::string::npos; }) ||
        fs::exists(machine.At("/usr/bin/brltty")) || fs::exists(machine.At("/bin/brltty")))
        e.Add("brltty", "installed (it takes some USB-serial adapters for braille displays)", FindingSeverity::Ok);

    if (!e.report.calculatorUsable) {
        const bool adapters = std::any_of(ports.begin(), ports.end(), [](const SerialPort& p) { return p.Adapter(); });
        if (!adapters && !e.calculatorSeen)
            e.Add("calculator", "no USB calculator, no USB-serial adapter and no pipe device are there", FindingSeverity::Problem,
                  "plug the calculator (or its serial cable) in, then run calvyx-cli doctor again");
    }
    return std::move(e.report);
}

DoctorReport ExamineThisMachine(const std::string& root)
{
    DoctorSetup setup;
    setup.root = root;
    setup.user = CurrentDoctorUser();
    setup.listedIds = ReadCalculatorIds();
    setup.ownPid = ::getpid();
    return ExamineConnections(setup);
}
