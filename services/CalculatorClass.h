// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A class of calculators served at once: one CalculatorSession per calculator, each on
// its own port and known by a label (the one the teacher gave it, kept in the settings
// by the port's name, else the port's name; "LABEL (2)" when another calculator of the
// class has it already). Each calculator can have an inbox folder
// of its own under the served folder, so that what one calculator pushes never replaces
// what another pushed; the calculators fetch from the served folder itself. The class
// follows the ports it is given, or every calculator found (USB calculators by their
// sockets, serial adapters by their /dev/serial/by-path names), joining each new one and
// letting go of each that leaves. Main thread only.
#include <QTimer>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "services/CalculatorSession.h"
#include "util/ReplacementFile.h"

class CalculatorClass {
public:
    struct Setup {
        std::string folder;  // the served folder (no trailing separator)
        bool inboxes = true; // pushed files go into folder/InboxName(label)
        SameName sameName = SameName::KeepBoth;
        // The windows each session reports to, by the calculator's label.
        std::function<TransferHost(const std::string& label)> host;
        SessionSupervision supervision;
    };

    // One calculator of the class.
    struct Member {
        std::string port; // as given ("usb:1-2.3", "/dev/serial/by-path/...")
        std::string label;
        std::string inbox; // where its pushed files go
        std::unique_ptr<CalculatorSession> session;
    };

    explicit CalculatorClass(Setup setup);
    ~CalculatorClass();
    CalculatorClass(const CalculatorClass&) = delete;
    CalculatorClass& operator=(const CalculatorClass&) = delete;

    // Every event of every calculator, in the main thread.
    std::function<void(const Member&, const SessionEvent&)> onEvent;
    // A calculator joined (FollowAll found it, or Add) or left (FollowAll no longer
    // finds it; its session has let its port go).
    std::function<void(const Member&)> onJoined;
    std::function<void(const Member&)> onLeft;

    // Serves the calculator on port from now on (its inbox is made first). Raises
    // CalvyxError ("Error(...)") when the port cannot be opened now; the session still
    // follows the port then and opens it when it can. A port already in the class is
    // left as it is.
    Member& Add(const std::string& port);
    // Lets the calculator on port go.
    void Remove(const std::string& port);
    // Follows every calculator find lists, looked for now and every everyMs (an empty
    // find stops looking; the calculators in the class stay).
    void FollowAll(std::function<std::vector<std::string>()> find, int everyMs = 1000);
    // Looks for calculators once now (the timer of FollowAll does it on its beat).
    void Rescan();

    const Member* Find(const std::string& port) const;
    std::vector<const Member*> Members() const;

private:
    Member& Join(const std::string& port, bool open);

    Setup setup_;
    std::map<std::string, std::unique_ptr<Member>> members_;
    std::function<std::vector<std::string>()> find_;
    QTimer scan_;
};

// Every calculator on this machine now, by a name that stays the same as long as it
// stays in its socket: USB calculators as "usb:B-P.P" (their ids listed in the
// settings, or their product strings naming the model), the pipe device when it is
// there, and the serial adapters under /dev/serial/by-path (on Windows every COM port
// the registry lists). Enumeration only.
std::vector<std::string> FindCalculators();

// The label of the calculator on port: the one stored for it, else the port's name.
std::string ClassLabel(const std::string& port);
// Stores a label for port (an empty one forgets it).
void SetClassLabel(const std::string& port, const std::string& label);
// The inbox folder's name for a label: a device path without its folder
// ("/dev/serial/by-path/pci-...-port0" -> "pci-...-port0", "/dev/pts/4" -> "pts_4",
// another path: its last part), each '/' made '_' and leading dots left out;
// "usb:1-2.3" stays as it is.
std::string InboxName(const std::string& label);
