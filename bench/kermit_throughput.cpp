// SPDX-License-Identifier: GPL-3.0-or-later
// Measures the Kermit server against the virtual calculator on a pseudo-terminal, with
// the line throttled to 9600 baud (960 bytes/s) in both directions:
//  - push: a 50 KB file pushed with LEN-80 frames, against the bound the protocol
//    allows (every frame and every answer on the line, plus the engine's 10 ms pause);
//  - xmodem: a 300 KB file sent with XModem-1K (CRC), against its bound (every block,
//    every ACK, the EOT);
//  - idle: the CPU the server costs while the line is silent.
// Usage: bench_kermit_throughput [--part push|xmodem|idle|all] [--seconds S]
#include <QCoreApplication>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <sys/resource.h>

#include "kermit/KermitFrame.h"
#include "kermit/KermitServer.h"
#include "link/Link.h"
#include "link/Trace.h"
#include "tools/sim/KermitRole.h"
#include "tools/sim/SimPort.h"
#include "util/Ticks.h"
#include "util/Utils.h"
#include "xmodem/XModemBlock.h"

namespace {

constexpr double LineRate = 960.0; // bytes/s at 9600 baud, 8N1
constexpr double AnswerPauseS = 0.010;

ByteString RandomBytes(std::size_t n, uint32_t seed)
{
    std::mt19937 rng(seed);
    ByteString s(n, '\0');
    for (auto& c : s) c = static_cast<char>(rng() & 0xFF);
    return s;
}

double CpuSeconds()
{
    rusage u{};
    ::getrusage(RUSAGE_SELF, &u);
    return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

// Runs fn in a thread of its own while this (main) thread serves the engine's calls.
void RunServing(const std::function<void()>& fn)
{
    std::unique_ptr<QThread> t(QThread::create(fn));
    QEventLoop loop;
    QObject::connect(t.get(), &QThread::finished, &loop, &QEventLoop::quit, Qt::QueuedConnection);
    t->start();
    if (!t->isFinished()) loop.exec();
    t->wait();
}

// The engine's set-up for a bench: events go nowhere, the XModem chooser answers file.
KermitServer::Setup BenchSetup(const std::string& folder, const std::string* file = nullptr)
{
    KermitServer::Setup setup;
    setup.folder = folder;
    setup.chooseFile = [file](const std::string&, const std::string&) -> std::optional<std::string> {
        if (!file) return std::nullopt;
        return *file;
    };
    return setup;
}

struct Bench {
    std::string file; // what the XModem chooser answers
    QTemporaryDir folder;
    Link link;
    std::unique_ptr<sim::SimPort> port;
    std::unique_ptr<KermitServer> engine;

    Bench()
    {
        port = sim::CreatePtyPort();
        port->SetThrottle(true);
        link.Open(port->ProgramPortName(), LinkBaud);
        engine = std::make_unique<KermitServer>(LinkLease(link), BenchSetup(folder.path().toStdString(), &file));
    }
    ~Bench()
    {
        engine->Stop();
        engine.reset();
        link.Close();
    }
};

int Push()
{
    Bench b;
    const ByteString data = RandomBytes(50 * 1024, 1);
    sim::KermitOptions options;
    options.paceReceived = true;
    sim::KermitCalculator calc(*b.port, options);

    // The bound: each packet the calculator sends and the PC's answer cross the line one
    // after the other. The PC has the frame when its CHECK is in; the calculator's CR LF
    // arrive during the engine's 10 ms pause; the calculator reads the whole answer
    // before it sends the next packet.
    using namespace kermit;
    double boundS = 0;
    int seq = 0;
    auto exchange = [&](char type, std::string_view field, std::string_view answer) {
        const std::size_t frame = BuildFrame(type, seq, field).size() - 2;
        boundS +=
            static_cast<double>(frame + BuildFrame('Y', seq, answer).size()) / LineRate + std::max(AnswerPauseS, 2 / LineRate);
        ++seq;
    };
    exchange('S', "p* @-#N1", SendInit);
    exchange('F', "BENCH.BIN", "");
    const auto fields = calc.DataFields(data);
    for (const auto& f : fields) exchange('D', f, "");
    exchange('Z', "", "");
    exchange('B', "", "");

    sim::KermitResult r;
    double elapsed = 0;
    RunServing([&] {
        const uint32_t start = Now();
        r = calc.PushFile("BENCH.BIN", data);
        elapsed = TicksSince(start) / 1000.0;
    });
    const bool same = r.ok && ReadFileToString(b.folder.filePath("BENCH.BIN").toStdString()) == data;
    const double bound = static_cast<double>(data.size()) / boundS;
    const double measured = static_cast<double>(data.size()) / elapsed;
    std::printf("push: %zu bytes in %zu D frames (LEN <= 80), %s\n", data.size(), fields.size(),
                same ? "arrived byte-identical" : ("FAILED: " + r.error).c_str());
    std::printf("push: protocol bound %.1f bytes/s (%.2f s), measured %.1f bytes/s (%.2f s): %.1f%% of the bound\n", bound,
                boundS, measured, elapsed, 100.0 * measured / bound);
    return same ? 0 : 1;
}

int XModem()
{
    Bench b;
    const ByteString data = RandomBytes(300 * 1000, 2);
    b.file = b.folder.filePath("BENCH.QVA").toStdString();
    WriteStringToFile(data, b.file);

    using namespace xmodem;
    double boundBytes = 0;
    std::size_t blocks = 0;
    for (std::size_t left = data.size(); left > 0; ++blocks) {
        const bool large = left > LargeDataSize;
        boundBytes += static_cast<double>(BlockLength(large ? STX : SOH, CheckMode::Crc) + 1); // the block and its ACK
        left -= std::min(left, large ? LargeDataSize : SmallDataSize);
    }
    boundBytes += 2; // EOT and its ACK
    const double boundS = boundBytes / LineRate;

    sim::XModemReceivePlan plan;
    plan.startByte = CrcStart;
    plan.paceReceived = true;
    plan.startRepeatMs = 1000;
    // Timed from the first block to the ACK of the EOT: the handshake waits for the user.
    uint32_t firstBlock = 0;
    plan.reply = [&](unsigned block, int) {
        if (block == 1 && firstBlock == 0) firstBlock = Now();
        return ACK;
    };
    sim::XModemReceiveResult r;
    double elapsed = 0;
    RunServing([&] {
        r = sim::ReceiveByXModem(*b.port, plan);
        elapsed = TicksSince(firstBlock) / 1000.0;
    });
    // The first block was read (and its line time paid) before the timer started.
    elapsed += static_cast<double>(BlockLength(STX, CheckMode::Crc)) / LineRate;
    const bool same = r.ok && r.data.compare(0, data.size(), data) == 0;
    const double bound = static_cast<double>(data.size()) / boundS;
    const double measured = static_cast<double>(data.size()) / elapsed;
    std::printf("xmodem: %zu bytes in %zu blocks (1024 and 128, CRC), %s\n", data.size(), blocks,
                same ? "received identical" : ("FAILED: " + r.error).c_str());
    std::printf("xmodem: protocol bound %.1f bytes/s (%.1f s), measured %.1f bytes/s (%.1f s): %.1f%% of the bound\n", bound,
                boundS, measured, elapsed, 100.0 * measured / bound);
    return same ? 0 : 1;
}

int Idle(int seconds)
{
    int status = 0;
    for (const bool usb : {false, true}) {
        QTemporaryDir root;
        qputenv("CALVYX_DEVICE_ROOT", root.path().toLocal8Bit());
        Link link;
        std::unique_ptr<sim::SimPort> port =
            usb ? std::unique_ptr<sim::SimPort>(sim::CreateUsbDevice(root.path().toStdString())) : sim::CreatePtyPort();
        link.Open(port->ProgramPortName(), LinkBaud);
        auto engine = std::make_unique<KermitServer>(LinkLease(link), BenchSetup(root.path().toStdString()));
        SleepMs(500); // let it settle into its listening loop
        const double cpu0 = CpuSeconds();
        const uint32_t t0 = Now();
        QEventLoop loop;
        QTimer::singleShot(seconds * 1000, &loop, &QEventLoop::quit);
        loop.exec();
        const double cpu = CpuSeconds() - cpu0;
        const double wall = TicksSince(t0) / 1000.0;
        engine->Stop();
        engine.reset();
        link.Close();
        const double share = 100.0 * cpu / wall;
        std::printf("idle %s: server on a silent line used %.3f s CPU in %.1f s: %.2f%% of one core\n", usb ? "usb" : "serial",
                    cpu, wall, share);
        if (share >= 1.0) status = 1;
    }
    return status;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (std::getenv("CALVYX_BENCH_TRACE"))
        SetTraceSink([](const std::string& line) { std::fprintf(stderr, "%u %s\n", Now(), line.c_str()); });
    std::string part = "all";
    int seconds = 10;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (!std::strcmp(argv[i], "--part"))
            part = argv[i + 1];
        else if (!std::strcmp(argv[i], "--seconds"))
            seconds = std::atoi(argv[i + 1]);
    }
    int status = 0;
    if (part == "push" || part == "all") status |= Push();
    if (part == "xmodem" || part == "all") status |= XModem();
    if (part == "idle" || part == "all") status |= Idle(seconds);
    return status;
}
