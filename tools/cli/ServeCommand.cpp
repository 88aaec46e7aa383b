// calvyx-cli serve: the Kermit server on a port until SIGINT or SIGTERM. The calculator
// pushes files into DIR and fetches files from it. An XModem request is answered with
// --xmodem-file; without one the file is asked for on the terminal (declined when
// standard input is not one), as the desktop program shows its file dialog.
#include <QCoreApplication>
#include <QFileInfo>
#include <QTimer>

#include <memory>

#include "kermit/KermitServer.h"
#include "link/PortName.h"
#include "link/UsbPipes.h"
#include "services/TransferServer.h"
#include "tools/cli/Commands.h"
#include "tools/cli/Port.h"
#include "tools/cli/Terminal.h"
#include "util/CalvyxError.h"
#include "util/StopSignal.h"
#include "util/Utils.h"

namespace cli {
namespace {

// How often serve looks for the device (no I/O to it), as the window's poll does.
constexpr int FollowDeviceMs = 300;

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
    TransferServer server(windows.Host());
    if (!OpenCliPort(server, *port)) return ExitPortError;

    std::string folder = *dir;
    while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    server.SetFolder(folder);
    server.SetOnKermitActivity([](KermitServer* k) { PrintLine(k->Busy ? "-- busy" : "-- idle"); });

    bool stopping = false;
    // Caught before the engine starts: a question on the terminal ends at Ctrl-C too.
    StopSignal stopSignal;
    windows.host.stopSignal = &stopSignal;
    stopSignal.OnSignal(nullptr, [&] {
        if (stopping) return;
        stopping = true;
        QCoreApplication::quit();
    });
    // The engine ends by itself after the calculator pushed its screen; the server then
    // listens again, as the main window's polling would restart it.
    std::function<void()> startEngine = [&] {
        server.StartKermitServer();
        KermitServer* engine = server.Kermit();
        QObject::connect(
            engine, &QThread::finished, qApp,
            [&, engine] {
                if (stopping || server.Kermit() != engine) return;
                if (windows.host.captureRequests.exchange(0) > 0) PrintLine("-- the calculator pushes its screen");
                server.StopKermitServer();
                startEngine();
            },
            Qt::QueuedConnection);
    };
    startEngine();
    PrintLine("Serving " + server.PortName() + " from " + folder);

    // Like the window's poll, serve follows the device: an unplugged calculator (or a
    // hung-up line) is let go, and the same port is served again when it comes back.
    // Not a pseudo-terminal: its number may be another program's terminal by then.
    bool attached = true;
    std::string refusal; // why the pipe device is not taken, said once until it changes
    bool terminalHungUp = false;
    QTimer follow;
    follow.setInterval(FollowDeviceMs);
    QObject::connect(&follow, &QTimer::timeout, [&] {
        if (stopping) return;
        const bool present = PortPresent(*port);
        // Unplugged and back between two ticks: the link still holds the old device.
        const bool replugged = attached && present && server.LinkDetached();
        if (attached && (!present || server.LinkDetached()) && server.PortIsPseudoTerminal()) {
            PrintLine("-- " + server.PortName() +
                      " hung up; a pseudo-terminal is not opened again (its number may belong to another program now)");
            terminalHungUp = true;
            stopping = true;
            QCoreApplication::quit();
            return;
        }
        if (attached && (!present || replugged)) {
            attached = false;
            PrintLine("-- " + UpperCasePortName(*port) +
                      (replugged ? " was unplugged and is back" : " is gone; waiting for it to come back"));
            server.StopKermitServer();
            server.SelectPort("");
        }
        if (!attached && !present && IsUsbPortName(*port)) {
            if (std::string why = PipeDeviceProblem(*port); why != refusal) {
                refusal = std::move(why);
                if (!refusal.empty()) PrintLine("-- " + refusal);
            }
        }
        if (!attached && present) {
            refusal.clear();
            try {
                server.SelectPort(*port);
            } catch (const CalvyxError&) {
                return; // not ready yet: the next tick tries again
            }
            attached = true;
            PrintLine("-- " + server.PortName() + " is back");
            startEngine();
        }
    });
    follow.start();

    QCoreApplication::exec();

    // On a serial line the calculator hears "User cancel" as the engine stops (not on a
    // line that hung up: the write goes nowhere).
    server.StopKermitServer();
    server.SelectPort("");
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
