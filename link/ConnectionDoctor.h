// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Why the calculator cannot be opened, and what to do about it. For every candidate
// connection (USB-serial adapters and COM ports, USB devices with the calculator's
// interface, the pipe device) it finds whether the device is there, whether this user
// may open it and through what (owner, group, an ACL from the seat), which udev rule
// gave that and which line would, whether the group is active in this login, whether
// brltty claims the adapter, whether ModemManager probes it, which process holds it
// open and whether a kernel driver sits on the calculator's interface. Findings are
// data; the command line and the window word them.
//
// Everything is read under a root folder ("/" on a real system): sysfs, /proc,
// /etc/group, /etc/passwd, the device nodes and the udev rules folders, so a test can
// give it a made-up machine. Only the pipe device is found through its own device root.
#include <string>
#include <sys/types.h>
#include <vector>

#include "link/PortName.h"

enum class FindingSeverity {
    Ok,      // works as it should
    Warning, // may get in the way, or worth knowing; the device can still be opened
    Problem, // the device cannot be used until it is fixed
};

struct Finding {
    std::string subject; // the device or the setting: "/dev/ttyUSB0", "group dialout"
    std::string found;
    FindingSeverity severity = FindingSeverity::Ok;
    std::string fix; // the one command or rule line that fixes it; empty when nothing to do
};

// Who asks: the groups active in this login (getgroups() and the effective group) may
// differ from the groups /etc/group lists the user in until the next login.
struct DoctorUser {
    uid_t uid = 0;
    gid_t primaryGroup = 0;
    std::string name;
    std::vector<gid_t> activeGroups;
};

struct DoctorSetup {
    std::string root = "/";
    DoctorUser user;
    std::vector<UsbId> listedIds; // the settings' list of calculator ids
    pid_t ownPid = 0;             // the files this process holds open are no obstacle
    bool pipeDevice = true;       // look at the pipe device (under its own device root)
};

struct DoctorReport {
    std::vector<Finding> findings;
    // Some calculator connection is there and this user may open it now: a USB
    // calculator, a USB-serial adapter or the pipe device. A COM port does not count:
    // nothing tells whether a calculator is on the far end.
    bool calculatorUsable = false;
};

// This process's user and groups.
DoctorUser CurrentDoctorUser();
DoctorReport ExamineConnections(const DoctorSetup& setup);
// This machine (under root) as this process's user sees it, with the settings' list of
// calculator ids.
DoctorReport ExamineThisMachine(const std::string& root = "/");
// The findings as lines, grouped by subject: the subject, then each finding indented
// with its severity ("ok", "warning", "PROBLEM") and its fix on a line of its own, and
// a last line with the result.
std::string FormatDoctorReport(const DoctorReport& report);

// The rule line that gives the seat's user the USB device with this id.
std::string UsbAccessRuleLine(UsbId id);

// The pieces, for their tests.
// A udev match value: '|'-separated alternatives, each a shell glob.
bool UdevPatternMatches(const std::string& pattern, const std::string& value);
// Whether a POSIX access ACL (the system.posix_acl_access attribute) grants read and
// write to the user or to one of the groups, its mask applied.
bool AclGrantsReadWrite(const std::string& xattr, uid_t uid, const std::vector<gid_t>& groups);
