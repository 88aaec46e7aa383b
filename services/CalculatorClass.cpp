// SPDX-License-Identifier: GPL-3.0-or-later
#include "services/CalculatorClass.h"

#include <QUrl>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <set>

#include "link/LibUsbBackend.h"
#include "link/PortName.h"
#include "link/Trace.h"
#include "link/UsbDevices.h"
#ifdef _WIN32
#include "link/SerialPortList.h"
#endif
#include "link/UsbPipes.h"
#include "util/CalvyxError.h"
#include "util/Settings.h"

namespace {

const char* const LabelsSection = "ClassLabels";

// Settings keys hold no '/' (a group separator) and no other special character.
QString LabelKey(const std::string& port) { return QString::fromLatin1(QUrl::toPercentEncoding(QString::fromStdString(port))); }

} // namespace

CalculatorClass::CalculatorClass(Setup setup) : setup_(std::move(setup))
{
    QObject::connect(&scan_, &QTimer::timeout, [this] { Rescan(); });
}

CalculatorClass::~CalculatorClass()
{
    scan_.stop();
    members_.clear();
}

CalculatorClass::Member& CalculatorClass::Join(const std::string& port, bool open)
{
    if (const auto it = members_.find(port); it != members_.end()) return *it->second;
    auto member = std::make_unique<Member>();
    member->port = port;
    member->label = ClassLabel(port);
    // Two calculators given one label would share an inbox: the second is numbered.
    const auto taken = [this](const std::string& label) {
        for (const auto& [other, m] : members_)
            if (m->label == label || InboxName(m->label) == InboxName(label)) return true;
        return false;
    };
    for (int n = 2; taken(member->label); ++n) member->label = ClassLabel(port) + " (" + std::to_string(n) + ")";
    member->inbox = setup_.folder;
    if (setup_.inboxes) {
        member->inbox = setup_.folder + "/" + InboxName(member->label);
        std::error_code ec;
        std::filesystem::create_directories(member->inbox, ec);
        if (ec) Trace("The inbox " + member->inbox + " cannot be made: " + ec.message());
    }
    // Thirty lines opened one after the other's drain keep the last one waiting for
    // seconds: each session's server drains its own line.
    SessionSupervision supervision = setup_.supervision;
    supervision.drainInServer = true;
    member->session = std::make_unique<CalculatorSession>(setup_.host ? setup_.host(member->label) : TransferHost{}, supervision);
    CalculatorSession& session = *member->session;
    session.SetFolder(setup_.folder);
    session.Transfers().SetReceiveRules({setup_.inboxes ? member->inbox : std::string(), setup_.sameName});
    const Member* const self = member.get();
    QObject::connect(&session, &CalculatorSession::Event, [this, self](const SessionEvent& event) {
        if (onEvent) onEvent(*self, event);
    });
    Member& added = *member;
    members_.emplace(port, std::move(member));
    if (onJoined) onJoined(added);
    if (open)
        session.Connect(port);
    else
        session.Follow(port);
    return added;
}

CalculatorClass::Member& CalculatorClass::Add(const std::string& port) { return Join(port, true); }

void CalculatorClass::Remove(const std::string& port)
{
    const auto it = members_.find(port);
    if (it == members_.end()) return;
    std::unique_ptr<Member> member = std::move(it->second);
    members_.erase(it);
    member->session->Disconnect();
    if (onLeft) onLeft(*member);
}

void CalculatorClass::FollowAll(std::function<std::vector<std::string>()> find, int everyMs)
{
    find_ = std::move(find);
    if (!find_) {
        scan_.stop();
        return;
    }
    Rescan();
    scan_.start(everyMs);
}

void CalculatorClass::Rescan()
{
    if (!find_) return;
    const auto found = find_();
    const std::set<std::string> now(found.begin(), found.end());
    std::vector<std::string> gone;
    for (const auto& [port, member] : members_)
        if (!now.count(port)) gone.push_back(port);
    for (const auto& port : gone) Remove(port);
    for (const auto& port : found) {
        if (members_.count(port)) continue;
        try {
            Join(port, true);
        } catch (const CalvyxError& e) {
            // Found but not opened yet (still settling, or busy): the session follows it.
            Trace(std::string("A calculator found is not open yet: ") + e.what());
        }
    }
}

const CalculatorClass::Member* CalculatorClass::Find(const std::string& port) const
{
    const auto it = members_.find(port);
    return it == members_.end() ? nullptr : it->second.get();
}

std::vector<const CalculatorClass::Member*> CalculatorClass::Members() const
{
    std::vector<const Member*> out;
    for (const auto& [port, member] : members_) out.push_back(member.get());
    return out;
}

std::vector<std::string> FindCalculators()
{
    std::vector<std::string> found;
    if (UsbDevicePresent(UsbDeviceName)) found.emplace_back(UsbDeviceName);
    if (UsbBusAvailable())
        for (const auto& c : ListUsbCandidates(ReadCalculatorIds()))
            if (c.match != UsbMatch::None && c.socket) found.push_back(UsbSocketName(*c.socket));
#ifdef _WIN32
    // Every COM port the system lists (COM2 before COM10): Windows does not tell an
    // adapter from a port on the board.
    const std::vector<std::string> serial = ListSerialPorts();
#else
    std::error_code ec;
    std::vector<std::string> serial;
    for (const auto& entry : std::filesystem::directory_iterator("/dev/serial/by-path", ec))
        serial.push_back(entry.path().string());
    std::sort(serial.begin(), serial.end());
#endif
    found.insert(found.end(), serial.begin(), serial.end());
    return found;
}

std::string ClassLabel(const std::string& port)
{
    try {
        const auto settings = OpenSettings(QString::fromLatin1(LabelsSection));
        const QString label = ReadSettingString(*settings, LabelKey(port), {});
        if (!label.isEmpty()) return label.toStdString();
    } catch (const std::exception& e) {
        Trace(std::string("the class labels in the settings are unreadable: ") + e.what());
    }
    return port;
}

void SetClassLabel(const std::string& port, const std::string& label)
{
    const auto settings = OpenSettings(QString::fromLatin1(LabelsSection));
    if (label.empty())
        settings->remove(LabelKey(port));
    else
        WriteSettingString(*settings, LabelKey(port), QString::fromStdString(label));
}

std::string InboxName(const std::string& label)
{
    std::string name = label;
    if (!name.empty() && name.front() == '/') {
        // A device path: what tells it apart ("pci-...-port0" of a by-path name, "pts/4"
        // under /dev), else its last part.
        for (const char* folder : {"/dev/serial/by-path/", "/dev/serial/by-id/", "/dev/"})
            if (name.rfind(folder, 0) == 0) {
                name.erase(0, std::strlen(folder));
                break;
            }
        if (!name.empty() && name.front() == '/') name = name.substr(name.find_last_of('/') + 1);
    }
    std::replace(name.begin(), name.end(), '/', '_');
    name.erase(0, std::min(name.find_first_not_of('.'), name.size()));
    return name.empty() ? "calculator" : name;
}
