#include "tools/sim/ScreenRole.h"

#include <cstdio>
#include <functional>
#include <vector>

#include <QImage>
#include <QString>

#include "tools/sim/Bursts.h"
#include "tools/sim/Commands.h"
#include "tools/sim/PortOptions.h"

namespace sim {

namespace {

void Fill(MonoBitmap& screen, const std::function<bool(int, int)>& black)
{
    screen = MonoBitmap(ScreenWidth, ScreenHeight);
    for (int y = 0; y < ScreenHeight; ++y)
        for (int x = 0; x < ScreenWidth; ++x) screen.Set(x, y, black(x, y));
}

const char* const ScreenPushHelp =
    "usage: calvyx-sim screen-push [port options] (--pattern NAME | --picture FILE) [options]\n\n"
    "Pushes the calculator's screen, as when ON and 1 are pressed together.\n\n"
    "  --pattern NAME   checker, frame, corners, blank or full\n"
    "  --picture FILE   any picture Qt reads, scaled to 131 x 64, dark pixels black\n"
    "  --layout L       row (header 0x80, the default) or page (header 0x1B)\n"
    "  --count N        screens to push (default 1)\n"
    "  --wait MS        pause before each screen (default 1500: the program reopens its link)\n"
    "  --burst N        bytes per burst (default 256; 0 sends the screen at once)\n"
    "  --gap MS         pause between bursts (default 5)\n"
    "  --linger MS      keep the link after the last screen (default 1000): a pseudo-terminal\n"
    "                   that closes at once would take the screen's bytes with it\n\n"
    "port options:\n";

int Usage(const std::string& why)
{
    std::fprintf(stderr, "calvyx-sim screen-push: %s\n", why.c_str());
    return 2;
}

int RunScreenPush(std::vector<std::string> args)
{
    for (const auto& a : args)
        if (a == "--help" || a == "-h") {
            std::printf("%s%s", ScreenPushHelp, PortOptionsHelp);
            return 0;
        }
    PortOptions options;
    if (const std::string error = TakePortOptions(args, options); !error.empty()) return Usage(error);
    MonoBitmap screen;
    bool haveScreen = false;
    uint8_t header = PushedScreenHeader;
    int count = 1, waitMs = 1500, burst = 256, gapMs = 5, lingerMs = 1000;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (i + 1 >= args.size()) return Usage(a + " needs a value");
        const std::string value = args[++i];
        std::string error;
        if (a == "--pattern") {
            if (!PatternScreen(value, screen)) return Usage("no pattern " + value);
            haveScreen = true;
        } else if (a == "--picture") {
            if (!PictureScreen(value, screen, error)) return Usage(error);
            haveScreen = true;
        } else if (a == "--layout" && (value == "row" || value == "page")) {
            header = value == "page" ? PageLayoutHeader : PushedScreenHeader;
        } else if (a == "--count" || a == "--wait" || a == "--burst" || a == "--gap" || a == "--linger") {
            int n = -1;
            try {
                n = std::stoi(value);
            } catch (...) {
            }
            if (n < 0) return Usage(a + " needs a number");
            (a == "--count" ? count : a == "--wait" ? waitMs : a == "--burst" ? burst : a == "--gap" ? gapMs : lingerMs) = n;
        } else {
            return Usage("unknown option " + a);
        }
    }
    if (!haveScreen) return Usage("--pattern or --picture is needed");

    const std::unique_ptr<SimPort> port = OpenSimPort(options);
    const ByteString image = EncodeScreen(screen, header);
    for (int n = 0; n < count; ++n) {
        if (WaitForStop(waitMs)) return 1;
        if (!SendInBursts(*port, image, static_cast<std::size_t>(burst), gapMs)) {
            std::fprintf(stderr, "calvyx-sim screen-push: the program's side is gone\n");
            return 1;
        }
        std::printf("screen %d pushed\n", n + 1);
        std::fflush(stdout);
    }
    WaitForStop(lingerMs);
    return 0;
}

const CommandRegistration screenPushCommand{{"screen-push", "push the calculator's screen (ON and 1)", RunScreenPush}};

} // namespace

bool PatternScreen(const std::string& name, MonoBitmap& screen)
{
    const int right = ScreenWidth - 1;
    const int bottom = ScreenHeight - 1;
    if (name == "checker")
        Fill(screen, [](int x, int y) { return (x + y) % 2 == 0; });
    else if (name == "frame")
        Fill(screen, [&](int x, int y) { return x == 0 || y == 0 || x == right || y == bottom || x == 2 * y; });
    else if (name == "corners")
        Fill(screen, [&](int x, int y) { return (x == 0 || x == right) && (y == 0 || y == bottom); });
    else if (name == "blank")
        Fill(screen, [](int, int) { return false; });
    else if (name == "full")
        Fill(screen, [](int, int) { return true; });
    else
        return false;
    return true;
}

bool PictureScreen(const std::string& path, MonoBitmap& screen, std::string& error)
{
    const QImage picture(QString::fromStdString(path));
    if (picture.isNull()) {
        error = "cannot read the picture " + path;
        return false;
    }
    const QImage grey = picture.scaled(ScreenWidth, ScreenHeight, Qt::IgnoreAspectRatio, Qt::FastTransformation)
                            .convertToFormat(QImage::Format_Grayscale8);
    Fill(screen, [&](int x, int y) { return grey.constScanLine(y)[x] < 128; });
    return true;
}

} // namespace sim
