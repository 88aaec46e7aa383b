// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/sim/ScreenRole.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <functional>
#include <poll.h>
#include <unistd.h>
#include <vector>

#include <QImage>
#include <QString>

#include "link/LinkIo.h"
#include "tools/common/CommandTable.h"
#include "tools/sim/Bursts.h"
#include "tools/sim/PortOptions.h"
#include "tools/sim/RoleCommand.h"

namespace sim {

namespace {

void Fill(MonoBitmap& screen, const std::function<bool(int, int)>& black)
{
    screen = MonoBitmap(ScreenWidth, ScreenHeight);
    for (int y = 0; y < ScreenHeight; ++y)
        for (int x = 0; x < ScreenWidth; ++x) screen.Set(x, y, black(x, y));
}

// SIGUSR1 stands for the user pressing ON and 1: the handler counts the presses and
// wakes the waiting role through a pipe.
std::atomic<int> Presses{0};
int PressPipe[2] = {-1, -1};

void OnPress(int)
{
    ++Presses;
    const int saved = errno;
    const char byte = 1;
    (void)!::write(PressPipe[1], &byte, 1);
    errno = saved;
}

bool InstallPressSignal()
{
    if (::pipe2(PressPipe, O_CLOEXEC | O_NONBLOCK) != 0) return false;
    struct sigaction sa {};
    sa.sa_handler = OnPress;
    sigemptyset(&sa.sa_mask);
    return ::sigaction(SIGUSR1, &sa, nullptr) == 0;
}

// Waits for the next press; false when a stop signal came first.
bool WaitForPress()
{
    while (!StopRequested()) {
        if (Presses > 0) {
            --Presses;
            return true;
        }
        // In slices, so that a stop signal is seen too.
        linkio::PollUntil(PressPipe[0], POLLIN, linkio::DeadlineIn(200));
        char drain[16];
        while (::read(PressPipe[0], drain, sizeof drain) > 0) {}
    }
    return false;
}

const char* const ScreenPushHelp =
    "usage: calvyx-sim screen-push [port options] (--pattern NAME | --picture FILE) [options]\n\n"
    "Pushes the calculator's screen, as when ON and 1 are pressed together.\n\n"
    "  --pattern NAME   checker, frame, corners, blank or full\n"
    "  --picture FILE   any picture Qt reads, scaled to 131 x 64, dark pixels black\n"
    "  --layout L       row (header 0x80, the default) or page (header 0x1B)\n"
    "  --count N        screens to push (default 1)\n"
    "  --wait MS        pause before each screen (default 1500: the program reopens its link)\n"
    "  --trigger        push each screen when SIGUSR1 arrives instead (a script presses ON\n"
    "                   and 1 once the program is listening)\n"
    "  --burst N        bytes per burst (default 256; 0 sends the screen at once)\n"
    "  --gap MS         pause between bursts (default 5)\n"
    "  --linger MS      keep the link after the last screen (default 1000): a pseudo-terminal\n"
    "                   that closes at once would take the screen's bytes with it\n";

int RunScreenPush(std::vector<std::string> args)
{
    PortOptions options;
    MonoBitmap screen;
    bool haveScreen = false;
    uint8_t header = PushedScreenHeader;
    int count = 1, waitMs = 1500, burst = 256, gapMs = 5, lingerMs = 1000;
    bool trigger = false;
    const auto option = [&](const std::string& name, const std::string& value) -> std::string {
        std::string error;
        if (name == "--trigger") {
            trigger = true;
        } else if (name == "--pattern") {
            if (!PatternScreen(value, screen)) return "no pattern " + value;
            haveScreen = true;
        } else if (name == "--picture") {
            if (!PictureScreen(value, screen, error)) return error;
            haveScreen = true;
        } else if (name == "--layout") {
            if (value != "row" && value != "page") return "--layout is row or page";
            header = value == "page" ? PageLayoutHeader : PushedScreenHeader;
        } else if (name == "--count" || name == "--wait" || name == "--burst" || name == "--gap" || name == "--linger") {
            const auto n = tooling::WholeNumber(value);
            if (!n) return name + " needs a number";
            (name == "--count"   ? count
             : name == "--wait"  ? waitMs
             : name == "--burst" ? burst
             : name == "--gap"   ? gapMs
                                 : lingerMs) = *n;
        } else {
            return "unknown option " + name;
        }
        return {};
    };
    const auto word = [](const std::string& w) -> std::string { return "unexpected " + w; };
    if (const auto rc = ParseRoleArgs("screen-push", ScreenPushHelp, std::move(args), options, option, word, {"--trigger"}))
        return *rc;
    if (!haveScreen) return RoleUsage("screen-push", "--pattern or --picture is needed");

    if (trigger && !InstallPressSignal()) return RoleUsage("screen-push", "SIGUSR1 cannot be caught");
    const std::unique_ptr<SimPort> port = OpenSimPort(options);
    const ByteString image = EncodeScreen(screen, header);
    for (int n = 0; n < count; ++n) {
        if (trigger ? !WaitForPress() : WaitForStop(waitMs)) return 1;
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

const tooling::CommandRegistration screenPushCommand{{"screen-push", "push the calculator's screen (ON and 1)", RunScreenPush}};

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
