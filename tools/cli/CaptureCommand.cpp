// SPDX-License-Identifier: GPL-3.0-or-later
// calvyx-cli capture: waits for screens that the calculator pushes (ON and 1 pressed
// together) and saves each as the capture window draws it: the framed picture, border B,
// scaled by a whole number without smoothing, PNG or BMP by the file's extension. With
// --count N above 1 the files are numbered: shot-1.png, shot-2.png, ...
#include <QFileInfo>
#include <QImage>
#include <QString>

#include <cstdio>
#include <memory>
#include <optional>

#include "link/Link.h"
#include "link/LinkErrors.h"
#include "services/CalculatorSession.h"
#include "services/ScreenImage.h"
#include "services/ScreenPicture.h"
#include "services/ScreenReader.h"
#include "tools/cli/Commands.h"
#include "tools/cli/Port.h"
#include "tools/cli/Terminal.h"
#include "util/CalvyxError.h"
#include "util/MainThread.h"
#include "util/StopSignal.h"
#include "util/StringTable.h"

namespace cli {
namespace {

constexpr int MaxScale = 16;

// "shot.png" -> "shot-3.png" for the third of several screens.
QString NumberedPath(const QString& path, int n, int count)
{
    if (count == 1) return path;
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    return path.left(dot) + QStringLiteral("-%1").arg(n) + path.mid(dot);
}

// The picture of one screen as the capture window shows it, enlarged scale times.
QImage CapturePicture(const ByteString& screen, int border, int scale)
{
    return ScaledPicture(MonoBitmapToImage(FramedScreenPicture(screen, border)), scale);
}

int Capture(std::vector<std::string> words)
{
    const auto args = Args::Parse(words, {"port", "out", "count", "border", "scale"}, {});
    if (!args) return UsageError("capture");
    const auto port = args->Value("port");
    const auto out = args->Value("out");
    if (!port || !out || !args->Positional().empty()) return UsageError("capture", "--port and --out are needed");
    // An option left out counts as written with its default.
    const auto count = tooling::WholeNumber(args->Value("count").value_or("1"), 1, 1000000);
    const auto border = tooling::WholeNumber(args->Value("border").value_or("1"), 0, MaxBorderWidth);
    const auto scale = tooling::WholeNumber(args->Value("scale").value_or("1"), 1, MaxScale);
    if (!count) return UsageError("capture", "--count must be a whole number of at least 1");
    if (!border) return UsageError("capture", "--border must be 0 to " + std::to_string(MaxBorderWidth));
    if (!scale) return UsageError("capture", "--scale must be 1 to " + std::to_string(MaxScale));
    const QString path = QString::fromStdString(*out);
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix != QLatin1String("png") && suffix != QLatin1String("bmp"))
        return UsageError("capture", "--out must name a .png or .bmp file");
    if (!QFileInfo(QFileInfo(path).absolutePath()).isDir()) return UsageError("capture", "no folder for " + *out);

    // The session lends the reader: it reads on the port, and the link is its own.
    CalculatorSession session({}, {.kermitServer = false, .followDevice = false});
    session.Follow(*port);
    const auto hold = session.HoldLink();
    const std::unique_ptr<ScreenReader> capture = session.LendScreenReader();
    if (!capture) return UsageError("capture", "--port names no port");
    int saved = 0;
    int result = ExitOk;
    // The reads run in a thread of their own, so that the main thread can take Ctrl-C
    // and end a read in progress.
    auto reader = std::make_unique<WorkerThread>([&] {
        for (int n = 1; n <= *count; ++n) {
            ByteString screen;
            try {
                // The link is opened before the user is told to press ON and 1, so that
                // a screen pushed right after the line is not drained by the opening.
                // Capture keeps a link it finds open, and leaves it closed.
                capture->OpenLink();
                PrintLine("Waiting for screen " + std::to_string(n) + " of " + std::to_string(*count) + " on " + *port +
                          " (press ON and 1 together; Ctrl-C stops)");
                capture->ReadScreen({}, screen);
            } catch (const LinkError& e) {
                // The opening failed, or the link went while the screen came.
                capture->CloseLink();
                std::fprintf(stderr, "%s\n", PortErrorLineWithReason("capture", *port, e.Reason()).c_str());
                result = ExitPortError;
                return;
            } catch (const CalvyxError& e) {
                capture->CloseLink();
                std::fprintf(stderr, "%s\n", PortErrorLine("capture", *port, e.what()).c_str());
                result = ExitPortError;
                return;
            }
            if (screen.empty()) return; // stopped
            const QString file = NumberedPath(path, n, *count);
            try {
                SavePictureFile(CapturePicture(screen, *border, *scale), file);
            } catch (const CalvyxError& e) {
                std::fprintf(stderr, "Cannot save %s: %s\n", file.toStdString().c_str(), e.what());
                result = ExitTransferFailed;
                return;
            }
            ++saved;
            const char* layout = LayoutOfScreen(screen) == ScreenLayout::PageLayout ? "page" : "row";
            PrintLine("Screen " + std::to_string(n) + " of " + std::to_string(*count) + " (" + layout + " layout) saved to " +
                      file.toStdString());
        }
    });
    StopSignal stopSignal;
    stopSignal.OnSignal(nullptr, [&] { capture->Cancelled = true; });
    reader->start();
    WaitServingCalls(reader.get());
    if (result == ExitOk && saved < *count) {
        std::fprintf(stderr, "Stopped after %d of %d screens\n", saved, *count);
        result = stopSignal.Raised() ? ExitInterrupted : ExitTransferFailed;
    }
    return result;
}

const tooling::CommandRegistration captureCommand{
    {"capture", "saves the screens the calculator pushes as PNG or BMP pictures", Capture,
     "capture --port NAME --out FILE [--count N] [--border B] [--scale S]",
     "options:\n"
     "  --port NAME         the calculator's port: QVxT0+ (its USB link), usb:VVVV:PPPP (a USB\n"
     "                      device by its id), usb:BUS-PORT[.PORT...] (the USB device in that\n"
     "                      socket), COMn or a device path such as /dev/ttyUSB0\n"
     "  --out FILE          the picture to write; .png or .bmp chooses the format\n"
     "  --count N           take N screens (default 1); above 1 the files are numbered\n"
     "                      FILE-1.png, FILE-2.png, ...\n"
     "  --border B          the frame around the screen, 0 to 5 pixels (default 1)\n"
     "  --scale S           enlarge the picture S times without smoothing, 1 to 16 (default 1)\n"
     "\n"
     "Press ON and 1 together on the calculator to send its screen. Exit 0 when every\n"
     "picture is saved, 1 on a failure, 130 when stopped by Ctrl-C, 3 on a port error.\n"}};

} // namespace
} // namespace cli
