// SPDX-License-Identifier: GPL-3.0-or-later
// calvyx-cli serve: the Kermit server on a port until SIGINT or SIGTERM. The calculator
// pushes files into DIR and fetches files from it. An XModem request is answered with
// --xmodem-file; without one the file is asked for on the terminal (declined when
// standard input is not one), as the desktop program shows its file dialog.
#include <QCoreApplication>
#include <QFileInfo>

#include <memory>

#include "services/CalculatorSession.h"
#include "tools/cli/Commands.h"
#include "tools/cli/Port.h"
#include "tools/cli/Terminal.h"
#include "util/StopSignal.h"
#include "util/Utils.h"

#include <variant>

namespace cli {
namespace {

int Serve(std::vector<std::string> words)
{
    const auto args = Args::Parse(words, {"port", "dir", "xmodem-file"}, {});
    if (!args) return UsageError("serve");
    const auto port = args->Value("port");
    const auto dir = args->Value("dir");
    if (!port || !dir || !args->Positional().empty()) return UsageError("serve", "--port and --dir are needed");
    if (!DirExists(*dir)) return UsageError("serve", "no folder " + *dir);

    const auto xmodemFile = args->Value("xmodem-file");
    // Checked now rather than when the calculator asks: a pipe would block the send and
    // a device such as /dev/zero never ends.
    if (xmodemFile && !QFileInfo(QString::fromStdString(*xmodemFile)).isFile())
        return UsageError("serve", "--xmodem-file must name a regular file: " + *xmodemFile);
    TerminalWindows windows;
    windows.host.xmodemFile = xmodemFile;
    CalculatorSession session(windows.Host());
    std::string folder = *dir;
    while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    session.SetFolder(folder);

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
        if (const auto* link = std::get_if<LinkEvent>(&event)) {
            switch (link->change) {
            case LinkEvent::Change::Lost:
                PrintLine("-- " + link->port + " is gone; waiting for it to come back");
                break;
            case LinkEvent::Change::Replugged:
                PrintLine("-- " + link->port + " was unplugged and is back");
                break;
            case LinkEvent::Change::Back:
                PrintLine("-- " + link->port + " is back");
                break;
            case LinkEvent::Change::Refused:
                PrintLine("-- " + link->detail);
                break;
            case LinkEvent::Change::HungUp:
                PrintLine("-- " + link->port +
                          " hung up; a pseudo-terminal is not opened again (its number may belong to another program now)");
                terminalHungUp = true;
                stop();
                break;
            default:
                break; // a port that cannot be opened yet is tried again quietly
            }
        } else if (const auto* activity = std::get_if<ActivityEvent>(&event)) {
            PrintLine(activity->busy ? "-- busy" : "-- idle");
        } else if (std::holds_alternative<ScreenPushEvent>(event)) {
            // Nobody here takes the screen: the session serves again.
            PrintLine("-- the calculator pushes its screen");
        }
    });
    if (!ConnectCliSession(session, *port)) return ExitPortError;

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

const tooling::CommandRegistration serveCommand{
    {"serve", "Kermit server: the calculator pushes and fetches files in DIR", Serve,
     "serve --port NAME --dir DIR [--xmodem-file FILE]",
     "options:\n"
     "  --port NAME         the calculator's port: QVxT0+ (its USB link), usb:VVVV:PPPP (a USB\n"
     "                      device by its id), COMn or a device path such as /dev/ttyUSB0\n"
     "  --dir DIR           the folder the calculator's files go to and are fetched from\n"
     "  --xmodem-file FILE  the file sent when the calculator asks for an XModem transfer;\n"
     "                      without it the file is asked for on the terminal (declined when\n"
     "                      standard input is not a terminal)\n"
     "\n"
     "Runs until Ctrl-C or SIGTERM (exit 0). An unplugged calculator is waited for and served\n"
     "again when it comes back. A pseudo-terminal that hangs up is not: serve ends (exit 3).\n"
     "Exit 2 for bad options, 3 when the port cannot be opened.\n"}};

} // namespace
} // namespace cli
