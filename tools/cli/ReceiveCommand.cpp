// SPDX-License-Identifier: GPL-3.0-or-later
// calvyx-cli receive: one object sent by wire from the calculator's send menu. With a
// folder as --out the file is named after the object (its header's name, "untitled"
// without one); an existing file there is not replaced, the name gets " (2)", " (3)"...
#include <QByteArray>
#include <QFileInfo>
#include <QString>

#include "services/CalculatorSession.h"
#include "services/ObjectName.h"
#include "tools/cli/Commands.h"
#include "tools/cli/Port.h"
#include "tools/cli/Terminal.h"
#include "util/CalvyxError.h"
#include "util/StopSignal.h"
#include "util/StringTable.h"
#include "util/Utils.h"

namespace cli {
namespace {

// Where the object goes: the path given, or the object's own name in the folder given.
std::string TargetPath(const std::string& out, const ByteString& object)
{
    if (!DirExists(out)) return out;
    QString folder = QString::fromStdString(out);
    while (folder.size() > 1 && folder.endsWith(QLatin1Char('/'))) folder.chop(1);
    const QString name = ReceivedObjectName(QByteArray::fromStdString(object));
    QString path = folder + QLatin1Char('/') + name;
    // A link counts as taken even when it leads nowhere: writing would follow it.
    const auto taken = [](const QString& p) {
        const QFileInfo info(p);
        return info.exists() || info.isSymLink();
    };
    for (int n = 2; taken(path); ++n) path = folder + QLatin1Char('/') + name + QStringLiteral(" (%1)").arg(n);
    return path.toStdString();
}

int Receive(std::vector<std::string> words)
{
    const auto args = Args::Parse(words, {"port", "out"}, {});
    if (!args) return UsageError("receive");
    const auto port = args->Value("port");
    const auto out = args->Value("out");
    if (!port || !out || !args->Positional().empty()) return UsageError("receive", "--port and --out are needed");
    const QFileInfo outInfo(QString::fromStdString(*out));
    if (!outInfo.isDir() && !QFileInfo(outInfo.absolutePath()).isDir()) return UsageError("receive", "no folder for " + *out);

    TerminalWindows windows;
    // One receive and done: no Kermit server, no following the device.
    CalculatorSession session(windows.Host(), {.kermitServer = false, .followDevice = false});
    PrintOpenedPort(session);
    if (!ConnectCliSession(session, *port, "receive")) return ExitPortError;
    // Ctrl-C cancels the receive as the dialog's Cancel does: four CAN go to the calculator.
    StopSignal stopSignal;
    stopSignal.OnSignal(nullptr, [&] { session.CancelTransfer(); });
    PrintLine("Send the object from the calculator now (Ctrl-C cancels)");

    const bool received = session.ReceiveObject(Str::SendByWire, 0);
    const ByteString object = session.Transfers().ReceivedData();
    session.Disconnect();
    if (stopSignal.Raised() && !received) {
        std::fprintf(stderr, "Interrupted: the receive was cancelled\n");
        return ExitInterrupted;
    }
    if (!received || object.empty()) {
        std::fprintf(stderr, "Nothing was received\n");
        return ExitTransferFailed;
    }
    const std::string path = TargetPath(*out, object);
    try {
        WriteStringToFile(object, path);
    } catch (const CalvyxError& e) {
        std::fprintf(stderr, "Cannot save %s: %s\n", path.c_str(), e.what());
        return ExitTransferFailed;
    }
    PrintLine("Saved " + std::to_string(object.size()) + " bytes to " + path);
    return ExitOk;
}

const tooling::CommandRegistration receiveCommand{
    {"receive", "one object sent by wire from the calculator, saved to PATH (a file or a folder)", Receive,
     "receive --port NAME --out PATH",
     "options:\n"
     "  --port NAME         the calculator's port: QVxT0+ (its USB link), usb:VVVV:PPPP (a USB\n"
     "                      device by its id), usb:BUS-PORT[.PORT...] (the USB device in that\n"
     "                      socket), COMn or a device path such as /dev/ttyUSB0\n"
     "  --out PATH          the file to write, or a folder: the file is then named after the\n"
     "                      object, numbered \" (2)\", \" (3)\"... rather than replace a file\n"
     "\n"
     "Waits for one object sent from the calculator's send menu. Exit 0 when it is saved,\n"
     "1 when the transfer or the save failed, 130 when stopped by Ctrl-C, 3 on a port error.\n"}};

} // namespace
} // namespace cli
