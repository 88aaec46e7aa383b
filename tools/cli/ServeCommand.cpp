// SPDX-License-Identifier: GPL-3.0-or-later
// calvyx-cli serve: the Kermit server on a port until SIGINT or SIGTERM. The calculator
// pushes files into DIR and fetches files from it. An XModem request is answered with
// --xmodem-file; without one the file is asked for on the terminal (declined when
// standard input is not one), as the desktop program shows its file dialog.
//
// With several --port options, or --all, a class of calculators is served at once: each
// has its own session, its lines start with "[LABEL] ", its pushed files go into its own
// inbox DIR/LABEL, and it is counted on its own when serve ends.
#include <QCoreApplication>
#include <QFileInfo>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <variant>

#include "services/CalculatorClass.h"
#include "services/CalculatorSession.h"
#include "tools/cli/Commands.h"
#include "tools/cli/Port.h"
#include "tools/cli/Terminal.h"
#include "util/CalvyxError.h"
#include "util/StopSignal.h"
#include "util/Utils.h"

namespace cli {
namespace {

// How a session's events read on the terminal, after prefix. hungUp is called when a
// pseudo-terminal hung up.
void PrintSessionEvent(const std::string& prefix, const SessionEvent& event, const std::function<void()>& hungUp)
{
    if (const auto* link = std::get_if<LinkEvent>(&event)) {
        switch (link->change) {
        case LinkEvent::Change::Lost:
            PrintLine(prefix + "-- " + link->port + " is gone; waiting for it to come back");
            break;
        case LinkEvent::Change::Replugged:
            PrintLine(prefix + "-- " + link->port + " was unplugged and is back");
            break;
        case LinkEvent::Change::Back:
            PrintLine(prefix + "-- " + link->port + " is back");
            break;
        case LinkEvent::Change::Refused:
            PrintLine(prefix + "-- " + link->detail);
            break;
        case LinkEvent::Change::HungUp:
            PrintLine(prefix + "-- " + link->port +
                      " hung up; a pseudo-terminal is not opened again (its number may belong to another program now)");
            hungUp();
            break;
        default:
            break; // a port that cannot be opened yet is tried again quietly
        }
    } else if (const auto* activity = std::get_if<ActivityEvent>(&event)) {
        PrintLine(prefix + (activity->busy ? "-- busy" : "-- idle"));
    } else if (std::holds_alternative<ScreenPushEvent>(event)) {
        // Nobody here takes the screen: the session serves again.
        PrintLine(prefix + "-- the calculator pushes its screen");
    }
}

std::optional<SameName> ParseSameName(const std::string& text)
{
    if (text == "replace") return SameName::Replace;
    if (text == "keep-both") return SameName::KeepBoth;
    if (text == "keep-replaced") return SameName::KeepReplaced;
    return std::nullopt;
}

// What one calculator of a class did, for its line at the end.
struct Tally {
    int received = 0;
    int sent = 0;
    int failed = 0;
    bool opened = false;
    bool hungUp = false;
};

int ServeOne(const std::string& port, const std::string& folder, const std::optional<std::string>& xmodemFile,
             const ReceiveRules& rules)
{
    TerminalWindows windows;
    windows.host.xmodemFile = xmodemFile;
    CalculatorSession session(windows.Host());
    session.SetFolder(folder);
    session.Transfers().SetReceiveRules(rules);

    bool stopping = false;
    bool terminalHungUp = false;
    const auto stop = [&] {
        stopping = true;
        QCoreApplication::quit();
    };
    // Like the window, serve follows the device: an unplugged calculator (or a hung-up
    // line) is let go, and the same port is served again when it comes back. Not a
    // pseudo-terminal: its number may be another program's terminal by then.
    QObject::connect(&session, &CalculatorSession::Event, [&](const SessionEvent& event) {
        PrintSessionEvent({}, event, [&] {
            terminalHungUp = true;
            stop();
        });
    });
    if (!ConnectCliSession(session, port, "serve")) return ExitPortError;

    // Caught before the engine serves: a question on the terminal ends at Ctrl-C too.
    StopSignal stopSignal;
    windows.host.stopSignal = &stopSignal;
    stopSignal.OnSignal(nullptr, [&] {
        if (!stopping) stop();
    });
    PrintLine("Serving " + session.Port() + " from " + folder);
    if (!stopping) QCoreApplication::exec();

    // On a serial line the calculator hears "User cancel" as the engine stops (not on a
    // line that hung up: the write goes nowhere).
    session.Disconnect();
    if (terminalHungUp) return ExitPortError;
    PrintLine("Stopped");
    return ExitOk;
}

int ServeClass(const std::vector<std::string>& ports, bool all, const std::string& folder,
               const std::optional<std::string>& xmodemFile, SameName sameName)
{
    std::map<std::string, std::unique_ptr<TerminalWindows>> windows; // by label
    std::map<std::string, Tally> tallies;                            // by port
    bool stopping = false;
    const auto stop = [&] {
        stopping = true;
        QCoreApplication::quit();
    };
    StopSignal stopSignal;
    CalculatorClass::Setup setup;
    setup.folder = folder;
    setup.sameName = sameName;
    setup.host = [&](const std::string& label) {
        auto& w = windows[label];
        if (!w) {
            w = std::make_unique<TerminalWindows>("[" + label + "] ");
            w->host.xmodemFile = xmodemFile;
            w->host.stopSignal = &stopSignal;
        }
        return w->Host();
    };
    CalculatorClass calculators(setup);
    const auto prefix = [](const CalculatorClass::Member& m) { return "[" + m.label + "] "; };
    // Ends once every calculator given by --port hung up (with --all more may come).
    const auto allHungUp = [&] {
        for (const auto& [port, tally] : tallies)
            if (!tally.hungUp) return false;
        return true;
    };
    calculators.onJoined = [&](const CalculatorClass::Member& m) {
        tallies[m.port];
        PrintLine(prefix(m) + "-- joins: " + m.port + ", inbox " + m.inbox);
    };
    calculators.onLeft = [&](const CalculatorClass::Member& m) { PrintLine(prefix(m) + "-- leaves: " + m.port); };
    calculators.onEvent = [&](const CalculatorClass::Member& m, const SessionEvent& event) {
        Tally& tally = tallies[m.port];
        if (const auto* link = std::get_if<LinkEvent>(&event)) {
            if (link->change == LinkEvent::Change::Opened || link->change == LinkEvent::Change::Back) tally.opened = true;
        } else if (const auto* t = std::get_if<TransferEvent>(&event); t && t->stage == TransferStage::Ended) {
            if (!t->Succeeded())
                ++tally.failed;
            else if (t->Direction() == TransferDirection::ToPc)
                ++tally.received;
            else
                ++tally.sent;
        }
        PrintSessionEvent(prefix(m), event, [&] {
            tally.hungUp = true;
            if (!all && allHungUp()) stop();
        });
    };

    for (const auto& port : ports) {
        try {
            CalculatorClass::Member& m = calculators.Add(port);
            tallies[port].opened = true;
            PrintLine(prefix(m) + "Serving " + m.session->Port() + " from " + folder);
        } catch (const CalvyxError& e) {
            // The others are served; this one is opened when it can be.
            std::fprintf(stderr, "[%s] %s\n", ClassLabel(port).c_str(), PortErrorLine("serve", port, e.what()).c_str());
        }
    }
    if (all) calculators.FollowAll(FindCalculators);
    stopSignal.OnSignal(nullptr, [&] {
        if (!stopping) stop();
    });
    PrintLine("Serving a class from " + folder + (all ? " (every calculator found)" : ""));
    if (!stopping) QCoreApplication::exec();

    bool anyOpened = false;
    for (const CalculatorClass::Member* m : calculators.Members()) {
        const Tally& t = tallies[m->port];
        anyOpened = anyOpened || t.opened;
        PrintLine(prefix(*m) + "Stopped: " + std::to_string(t.received) + " received, " + std::to_string(t.sent) + " sent, " +
                  std::to_string(t.failed) + " failed" + (t.hungUp ? ", hung up" : "") + (t.opened ? "" : ", never opened"));
    }
    // Like one calculator alone: a port error when serving ended by itself (every line
    // hung up) or no named port ever opened; Ctrl-C otherwise ends well.
    const int rc = !all && (!stopSignal.Raised() || !anyOpened) ? ExitPortError : ExitOk;
    calculators.FollowAll({}, 0);
    PrintLine("Stopped");
    return rc;
}

int Serve(std::vector<std::string> words)
{
    const auto args = Args::Parse(words, {"port", "dir", "xmodem-file", "label", "same-name"}, {"all", "inbox"});
    if (!args) return UsageError("serve");
    const auto ports = args->Values("port");
    const auto dir = args->Value("dir");
    const bool all = args->Has("all");
    if ((ports.empty() && !all) || !dir || !args->Positional().empty())
        return UsageError("serve", "--port (or --all) and --dir are needed");
    if (!DirExists(*dir)) return UsageError("serve", "no folder " + *dir);
    SameName sameName = SameName::Replace;
    const bool classMode = all || ports.size() > 1;
    if (classMode) sameName = SameName::KeepBoth;
    if (const auto rule = args->Value("same-name")) {
        const auto parsed = ParseSameName(*rule);
        if (!parsed) return UsageError("serve", "--same-name takes replace, keep-both or keep-replaced, not " + *rule);
        sameName = *parsed;
    }
    for (const auto& label : args->Values("label")) {
        const auto eq = label.find('=');
        if (eq == std::string::npos || eq == 0 || eq + 1 == label.size())
            return UsageError("serve", "--label takes PORT=NAME, not " + label);
        try {
            SetClassLabel(label.substr(0, eq), label.substr(eq + 1));
        } catch (const std::exception& e) {
            std::fprintf(stderr, "calvyx-cli serve: the label is not stored: %s\n", e.what());
            return ExitUsage;
        }
    }

    const auto xmodemFile = args->Value("xmodem-file");
    // Checked now rather than when the calculator asks: a pipe would block the send and
    // a device such as /dev/zero never ends.
    if (xmodemFile && !QFileInfo(QString::fromStdString(*xmodemFile)).isFile())
        return UsageError("serve", "--xmodem-file must name a regular file: " + *xmodemFile);
    std::string folder = *dir;
    while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    if (classMode) return ServeClass(ports, all, folder, xmodemFile, sameName);

    ReceiveRules rules{{}, sameName};
    if (args->Has("inbox")) {
        rules.inbox = folder + "/" + InboxName(ClassLabel(ports.front()));
        std::error_code ec;
        std::filesystem::create_directories(rules.inbox, ec);
        if (ec) return UsageError("serve", "the inbox " + rules.inbox + " cannot be made: " + ec.message());
    }
    return ServeOne(ports.front(), folder, xmodemFile, rules);
}

const tooling::CommandRegistration serveCommand{
    {"serve", "Kermit server: the calculator pushes and fetches files in DIR", Serve,
     "serve --port NAME [--port NAME...] | --all  --dir DIR [--xmodem-file FILE] [options]",
     "options:\n"
     "  --port NAME         the calculator's port: QVxT0+ (its USB link), usb:VVVV:PPPP (the first\n"
     "                      USB device with that id), usb:BUS-PORT[.PORT...] (the USB device in\n"
     "                      that socket, see calvyx-cli devices), COMn or a device path such as\n"
     "                      /dev/ttyUSB0 or /dev/serial/by-path/...; give it again for each\n"
     "                      calculator of a class\n"
     "  --all               serve every calculator found (USB calculators by their sockets, the\n"
     "                      pipe device, serial adapters under /dev/serial/by-path), joining\n"
     "                      each one plugged in later and letting go of each that leaves\n"
     "  --dir DIR           the folder the calculator's files go to and are fetched from\n"
     "  --xmodem-file FILE  the file sent when the calculator asks for an XModem transfer;\n"
     "                      without it the file is asked for on the terminal (declined when\n"
     "                      standard input is not a terminal)\n"
     "  --label PORT=LABEL  the calculator on PORT is LABEL from now on (kept in the settings):\n"
     "                      its lines start with [LABEL] and its inbox is DIR/LABEL\n"
     "  --inbox             one calculator too gets its inbox folder under DIR\n"
     "  --same-name RULE    a pushed file whose name is taken: replace (the default for one\n"
     "                      calculator), keep-both (the new one is NAME (2).EXT; the default\n"
     "                      for a class) or keep-replaced (the old one moves to DIR/.replaced\n"
     "                      under a dated name)\n"
     "\n"
     "A class (several --port, or --all): every calculator has its own session and its own\n"
     "inbox DIR/LABEL (LABEL: the one given, else the port's name); it fetches from DIR.\n"
     "Each line starts with [LABEL]; at the end each calculator's line counts its files.\n"
     "  calvyx-cli serve --dir ~/class --all --label usb:1-2.1=Ana --label usb:1-2.2=Ben\n"
     "\n"
     "Runs until Ctrl-C or SIGTERM (exit 0). An unplugged calculator is waited for and served\n"
     "again when it comes back. A pseudo-terminal that hangs up is not: serve ends (exit 3;\n"
     "a class ends so once all its calculators hung up, and exits 3 when none of them ever\n"
     "opened). Exit 2 for bad options, 3 when the port cannot be opened.\n"}};

} // namespace
} // namespace cli
