// SPDX-License-Identifier: GPL-3.0-or-later
// calvyx-cli rom: loads a new ROM into a calculator waiting in its ROM-load mode. The
// stream has no handshake: once started it runs to the end of the file.
#include <QFileInfo>
#include <QLocale>

#include <cstdio>

#include "services/CalculatorSession.h"
#include "services/RomSender.h"
#include "tools/cli/Commands.h"
#include "tools/cli/Terminal.h"
#include "util/CalvyxError.h"
#include "util/StopSignal.h"
#include "util/StringTable.h"
#include "util/Utils.h"

namespace cli {
namespace {

int Rom(std::vector<std::string> words)
{
    const auto args = Args::Parse(words, {"port"}, {});
    if (!args) return UsageError("rom");
    const auto port = args->Value("port");
    if (!port || args->Positional().size() != 1) return UsageError("rom", "--port and one ROM file are needed");
    const std::string file = args->Positional()[0];

    // A file that cannot be a ROM is refused before the port is touched.
    if (const auto problem = RomFileProblem(file)) {
        std::fprintf(stderr, "%s: %s\n", Str::DownloadError, OneLine(FormatText(Str::DownloadFailed, file)).c_str());
        std::fprintf(stderr, "%s\n", problem->c_str());
        return ExitTransferFailed;
    }
    TerminalWindows windows;
    // One load and done: no Kermit server, no following the device.
    CalculatorSession session(windows.Host(), {.kermitServer = false, .followDevice = false});
    TransferServer& server = session.Transfers();
    server.SetOnStatus([](const std::string& text) {
        if (!text.empty()) PrintLine(text);
    });
    try {
        // The port opens afresh for the load; "AUTO" is refused.
        if (!session.OpenForRom(*port)) return ExitPortError;
    } catch (const CalvyxError& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return ExitPortError;
    }
    // Ctrl-C stops the stream between two chunks; the link is closed as after any load.
    StopSignal stopSignal;
    stopSignal.OnSignal(nullptr, [&] { session.CancelTransfer(); });
    const bool loaded = session.SendRom(file);
    if (stopSignal.Raised() && !loaded) {
        std::fprintf(stderr, "Interrupted: %s\n", RomSender::RomLoadStoppedText);
        return ExitInterrupted;
    }
    if (loaded) {
        const qint64 size = QFileInfo(QString::fromStdString(file)).size();
        PrintLine("ROM loaded: " + QLocale(QLocale::English).toString(size).toStdString() + " bytes");
        return ExitOk;
    }
    std::fprintf(stderr, "%s: %s\n", Str::DownloadError, OneLine(FormatText(Str::DownloadFailed, file)).c_str());
    if (!server.LastRomError().empty()) std::fprintf(stderr, "%s\n", server.LastRomError().c_str());
    return ExitTransferFailed;
}

const tooling::CommandRegistration romCommand{
    {"rom", "loads FILE as the calculator's new ROM (ROM-load mode)", Rom, "rom --port NAME FILE",
     "options:\n"
     "  --port NAME         the calculator's port: QVxT0+ (its USB link), usb:VVVV:PPPP (a USB\n"
     "                      device by its id), COMn or a device path such as /dev/ttyUSB0\n"
     "  FILE                the ROM image (.bin): a regular file of 1 byte to 4 GB - 1\n"
     "\n"
     "Put the calculator in ROM-load mode first. Ends with \"ROM loaded: N bytes\" (exit 0) or\n"
     "\"ROM load failed: ...\" (exit 1); 130 when stopped by Ctrl-C, 3 on a port error.\n"}};

} // namespace
} // namespace cli
