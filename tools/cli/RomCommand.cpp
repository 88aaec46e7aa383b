// SPDX-License-Identifier: GPL-3.0-or-later
// calvyx-cli rom: loads a new ROM into a calculator waiting in its ROM-load mode. The
// stream has no handshake: once started it runs to the end of the file.
#include <QCoreApplication>
#include <QFileInfo>
#include <QLocale>
#include <QProcess>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <memory>
#include <optional>
#include <variant>

#include "services/CalculatorClass.h"
#include "services/CalculatorSession.h"
#include "services/RomSender.h"
#include "tools/cli/Commands.h"
#include "tools/cli/Interrupt.h"
#include "tools/cli/Port.h"
#include "tools/cli/Terminal.h"
#include "util/CalvyxError.h"
#include "util/StopSignal.h"
#include "util/StringTable.h"
#include "util/TransferText.h"
#include "util/Utils.h"

namespace cli {
namespace {

// One calculator's load, run as a calvyx-cli of its own so that the loads of a class go
// at once, each with its own link and stream; its lines come out after "[LABEL] ".
struct Load {
    std::string port;
    std::string prefix;
    QProcess process;
    std::string out, err; // a line not yet complete
    int rc = ExitPortError;
};

void Forward(Load& load, bool fromErr, bool all)
{
    std::string& pending = fromErr ? load.err : load.out;
    pending += (fromErr ? load.process.readAllStandardError() : load.process.readAllStandardOutput()).toStdString();
    for (auto end = pending.find('\n'); end != std::string::npos || (all && !pending.empty()); end = pending.find('\n')) {
        const std::string line = pending.substr(0, end);
        pending.erase(0, end == std::string::npos ? pending.size() : end + 1);
        if (fromErr)
            std::fprintf(stderr, "%s%s\n", load.prefix.c_str(), line.c_str());
        else
            PrintLine(load.prefix + line);
    }
}

// "Error(WHY)", as the core words its errors for a message box, reads "WHY" here.
std::string Unwrapped(const std::string& text)
{
    const std::string head = std::string(Str::Error) + "(";
    if (text.size() > head.size() && text.compare(0, head.size(), head) == 0 && text.back() == ')')
        return OneLine(text.substr(head.size(), text.size() - head.size() - 1));
    return OneLine(text);
}

// The one line of a failed load, on stderr.
void PrintRomFailure(const std::string& why) { std::fprintf(stderr, "ROM load failed: %s\n", why.c_str()); }

// Why the file cannot be a ROM (missing, unreadable, empty, not a regular file, too
// large), or nothing.
std::optional<std::string> RomFileRefusal(const std::string& file)
{
    const QFileInfo info(QString::fromStdString(file));
    if (!info.exists() && !info.isSymLink()) return file + ": no such file";
    if (!info.exists()) return file + ": a link to nothing";
    if (info.isFile() && !info.isReadable()) return file + ": permission denied";
    if (const auto problem = RomFileProblem(file)) return Unwrapped(*problem);
    return std::nullopt;
}

int RomToClass(const std::vector<std::string>& ports, const std::string& file)
{
    std::vector<std::unique_ptr<Load>> loads;
    int running = 0;
    for (const auto& port : ports) {
        auto load = std::make_unique<Load>();
        load->port = port;
        load->prefix = "[" + ClassLabel(port) + "] ";
        Load* l = load.get();
        QObject::connect(&l->process, &QProcess::readyReadStandardOutput, [l] { Forward(*l, false, false); });
        QObject::connect(&l->process, &QProcess::readyReadStandardError, [l] { Forward(*l, true, false); });
        QObject::connect(&l->process, &QProcess::finished, [l, &running](int code, QProcess::ExitStatus status) {
            Forward(*l, false, true);
            Forward(*l, true, true);
            l->rc = status == QProcess::NormalExit ? code : ExitInterrupted;
            if (--running == 0) QCoreApplication::quit();
        });
        loads.push_back(std::move(load));
    }
    // Ctrl-C (or SIGTERM) stops every load between two chunks.
    StopSignal stopSignal;
    stopSignal.OnSignal(nullptr, [&] {
        for (const auto& l : loads)
            if (l->process.state() != QProcess::NotRunning) InterruptChild(l->process.processId());
    });
    const QString self = QCoreApplication::applicationFilePath();
    for (const auto& l : loads) {
        l->process.start(self, {"rom", "--port", QString::fromStdString(l->port), QString::fromStdString(file)});
        if (l->process.waitForStarted(5000)) {
            ++running;
        } else {
            std::fprintf(stderr, "%scannot start the load: %s\n", l->prefix.c_str(),
                         l->process.errorString().toStdString().c_str());
            l->rc = ExitTransferFailed;
        }
    }
    if (running > 0) QCoreApplication::exec();
    // Each calculator's result, then the worst of them: 0 only when every load succeeded.
    int rc = ExitOk;
    int loaded = 0;
    for (const auto& l : loads) {
        PrintLine(l->prefix + (l->rc == ExitOk ? "loaded" : "failed (exit " + std::to_string(l->rc) + ")"));
        loaded += l->rc == ExitOk ? 1 : 0;
        rc = std::max(rc, l->rc);
    }
    PrintLine("ROM loaded into " + std::to_string(loaded) + " of " + std::to_string(loads.size()) + " calculators");
    return rc;
}

int Rom(std::vector<std::string> words)
{
    const auto args = Args::Parse(words, {"port"}, {"all"});
    if (!args) return UsageError("rom");
    std::vector<std::string> ports = args->Values("port");
    const bool all = args->Has("all");
    if ((ports.empty() && !all) || args->Positional().size() != 1)
        return UsageError("rom", "--port (or --all) and one ROM file are needed");
    const std::string file = args->Positional()[0];

    // A file that cannot be a ROM is refused before the port is touched.
    if (const auto problem = RomFileRefusal(file)) {
        PrintRomFailure(*problem);
        return ExitTransferFailed;
    }
    if (all) {
        for (const auto& found : FindCalculators())
            if (std::find(ports.begin(), ports.end(), found) == ports.end()) ports.push_back(found);
        if (ports.empty()) {
            std::fprintf(stderr, "calvyx-cli rom: no calculator found\n");
            return ExitPortError;
        }
    }
    if (all || ports.size() > 1) return RomToClass(ports, file);
    const std::string port = ports.front();
    TerminalWindows windows;
    // One load and done: no Kermit server, no following the device.
    CalculatorSession session(windows.Host(), {.kermitServer = false, .followDevice = false});
    PrintOpenedPort(session);
    std::string failure; // how the load ended, when it failed
    QObject::connect(&session, &CalculatorSession::Event, [&failure](const SessionEvent& event) {
        if (const auto* t = std::get_if<TransferEvent>(&event); t && t->stage == TransferStage::Ended && !t->Succeeded())
            failure = Unwrapped(FailureWhy(*t));
    });
    try {
        // The port opens afresh for the load; "AUTO" is refused.
        if (!session.OpenForRom(port)) return ExitPortError;
    } catch (const CalvyxError& e) {
        std::fprintf(stderr, "%s\n", PortErrorLine("rom", port, e.what()).c_str());
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
    const std::string& said = session.Transfers().LastRomError();
    PrintRomFailure(!failure.empty() ? failure : !said.empty() ? Unwrapped(said) : "the calculator did not take the stream");
    return ExitTransferFailed;
}

const tooling::CommandRegistration romCommand{
    {"rom", "loads FILE as the calculator's new ROM (ROM-load mode)", Rom, "rom --port NAME [--port NAME...] | --all FILE",
     "options:\n"
     "  --port NAME         the calculator's port: QVxT0+ (its USB link), usb:VVVV:PPPP (a USB\n"
     "                      device by its id), usb:BUS-PORT[.PORT...] (the USB device in that\n"
     "                      socket), COMn or a device path such as /dev/ttyUSB0; given again,\n"
     "                      the same ROM goes to each calculator at once\n"
     "  --all               every calculator found (see calvyx-cli serve --all)\n"
     "  FILE                the ROM image (.bin): a regular file of 1 byte to 4 GB - 1\n"
     "\n"
     "Put the calculator in ROM-load mode first. Ends with \"ROM loaded: N bytes\" on stdout\n"
     "(exit 0) or \"ROM load failed: WHY\" on stderr (exit 1; a file that cannot be a ROM is\n"
     "refused so before the port is opened); 130 when stopped by Ctrl-C, 3 on a port error\n"
     "(\"calvyx-cli rom: cannot open NAME: WHY\" on stderr).\n"
     "With several calculators each line starts with [LABEL], each calculator's result\n"
     "follows (\"loaded\" or \"failed (exit N)\") and the exit code is the highest of theirs:\n"
     "0 only when every load succeeded.\n"
     "  calvyx-cli rom --all exam-mode.bin\n"}};

} // namespace
} // namespace cli
