// SPDX-License-Identifier: GPL-3.0-or-later
// How long the main window's event loop is held up while the calculator pushes a 300 KB
// file through the Kermit server on the USB pipe device: a 10 ms timer in the main
// thread records the longest gap between its ticks, from the first packet to the last.
// The window polls the device, shows the busy state and serves every status report
// meanwhile. Target: no gap above 100 ms.
// Usage: bench_mainwindow_responsiveness [--kbytes N]     (offscreen unless a display is set)
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

#include "mainwindow/CommandLine.h"
#include "mainwindow/MainWindow.h"
#include "services/TransferServer.h"
#include "tools/sim/KermitRole.h"
#include "tools/sim/SimPort.h"
#include "util/Settings.h"
#include "util/Utils.h"
#include "windows/TransferStatusDialog.h"

namespace {

constexpr int TickMs = 10;
constexpr qint64 TargetMs = 100;

// A private session: settings, runtime folder and device root of the bench's own.
std::string PrepareSession(const std::string& root)
{
    for (const char* sub : {"config", "runtime", "data", "devices", "calc"})
        QDir().mkpath(QString::fromStdString(root + "/" + sub));
    QFile::setPermissions(QString::fromStdString(root + "/runtime"),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    ::setenv("XDG_CONFIG_HOME", (root + "/config").c_str(), 1);
    ::setenv("XDG_RUNTIME_DIR", (root + "/runtime").c_str(), 1);
    ::setenv("XDG_DATA_HOME", (root + "/data").c_str(), 1);
    ::setenv("CALVYX_DEVICE_ROOT", (root + "/devices").c_str(), 1);
    if (!std::getenv("DISPLAY")) ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    return root + "/calc";
}

} // namespace

int main(int argc, char** argv)
{
    int kbytes = 300;
    for (int i = 1; i + 1 < argc; ++i)
        if (std::strcmp(argv[i], "--kbytes") == 0) kbytes = std::atoi(argv[i + 1]);
    QTemporaryDir session(QDir::tempPath() + "/calvyx-bench-XXXXXX");
    const std::string folder = PrepareSession(session.path().toStdString());
    QApplication app(argc, argv);
    SetProgramArguments({"calvyx", "QVxT0+"});
    {
        auto settings = OpenSettings();
        settings->setValue("dir", QString::fromStdString(folder));
    }
    auto device = sim::CreateUsbDevice(std::getenv("CALVYX_DEVICE_ROOT"));
    MainWindow window([] {});
    window.SkipStartupAbout();
    window.show();

    // Wait for the Kermit server to take the device.
    QElapsedTimer clock;
    clock.start();
    while (!window.Server().KermitServerRunning() && clock.elapsed() < 5000) app.processEvents(QEventLoop::WaitForMoreEvents, 50);
    if (!window.Server().KermitServerRunning()) {
        std::fprintf(stderr, "the Kermit server did not start\n");
        return 1;
    }

    ByteString data;
    data.reserve(static_cast<std::size_t>(kbytes) * 1024);
    for (int i = 0; i < kbytes * 1024; ++i) data += static_cast<char>((i * 131 + 17) & 0xFF);
    std::atomic<bool> done{false};
    sim::KermitResult result;
    qint64 longestGap = 0, ticks = 0;
    QElapsedTimer sinceTick;
    QTimer probe;
    probe.setTimerType(Qt::PreciseTimer);
    QObject::connect(&probe, &QTimer::timeout, [&] {
        longestGap = std::max(longestGap, sinceTick.restart());
        ++ticks;
        if (done) app.quit();
    });
    clock.restart();
    sinceTick.start();
    probe.start(TickMs);
    std::thread calculator([&] {
        result = sim::KermitCalculator(*device).PushFile("BIG.QVA", data);
        done = true;
    });
    app.exec();
    calculator.join();
    const qint64 elapsed = clock.elapsed();

    const bool arrived = ReadFileToString(folder + "/BIG.QVA") == data;
    std::printf("pushed %d KB through the main window in %.1f s (%s)\n", kbytes, static_cast<double>(elapsed) / 1000.0,
                result.ok && arrived ? "arrived intact" : ("FAILED: " + result.error).c_str());
    std::printf("event loop: %lld ticks of %d ms, longest gap %lld ms (target < %lld ms): %s\n", static_cast<long long>(ticks),
                TickMs, static_cast<long long>(longestGap), static_cast<long long>(TargetMs),
                longestGap < TargetMs ? "met" : "NOT met");
    std::fflush(stdout);
    std::_Exit(result.ok && arrived && longestGap < TargetMs ? 0 : 1);
}
