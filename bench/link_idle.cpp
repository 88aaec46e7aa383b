// SPDX-License-Identifier: GPL-3.0-or-later
// Measures the link's two resource targets against the virtual calculator:
//  - idle: the CPU that a ReadLink costs while it waits on a silent line (USB and
//    serial), as a share of one core over a few seconds;
//  - leaks: open descriptors, threads and heap in use before and after opening and
//    closing the link many times.
// Usage: bench_link_idle [--part idle|leaks|all] [--kind usb|serial|both]
//                        [--seconds S] [--cycles N]
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fstream>
#include <malloc.h>
#include <memory>
#include <string>
#include <sys/resource.h>
#include <unistd.h>

#include "link/Link.h"
#include "tools/sim/SimPort.h"
#include "util/Ticks.h"

namespace {

double CpuSeconds()
{
    rusage u{};
    ::getrusage(RUSAGE_SELF, &u);
    return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

int OpenDescriptors()
{
    int n = 0;
    if (DIR* d = ::opendir("/proc/self/fd")) {
        while (const dirent* e = ::readdir(d))
            if (e->d_name[0] != '.') ++n;
        ::closedir(d);
    }
    return n - 1; // the directory's own descriptor
}

long StatusValue(const char* key)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(key, 0) == 0) return std::atol(line.c_str() + std::strlen(key));
    return -1;
}

struct Resources {
    int fds;
    long threads;
    long rssKb;
    std::size_t heapBytes;
};

Resources Measure()
{
    // A joined reader has finished its work, but its system thread may still be on
    // its way out for a moment; let it go before counting.
    SleepMs(100);
    return {OpenDescriptors(), StatusValue("Threads:"), StatusValue("VmRSS:"), ::mallinfo2().uordblks};
}

// The calculator's end for one kind; the USB device under a private device root.
struct Calculator {
    explicit Calculator(bool usb)
    {
        if (usb) {
            char root[] = "/tmp/calvyx-bench-XXXXXX";
            if (!::mkdtemp(root)) std::exit(1);
            rootPath = root;
            ::setenv("CALVYX_DEVICE_ROOT", root, 1);
            port = sim::CreateUsbDevice(root);
        } else {
            port = sim::CreatePtyPort();
        }
    }
    ~Calculator()
    {
        port.reset();
        if (!rootPath.empty()) ::rmdir(rootPath.c_str());
    }
    std::unique_ptr<sim::SimPort> port;
    std::string rootPath;
};

void Idle(bool usb, int seconds)
{
    Link link;
    Calculator calc(usb);
    link.Open(calc.port->ProgramPortName(), LinkBaud);
    ByteString buffer(1, '\0');
    const double cpu0 = CpuSeconds();
    const uint32_t start = Now();
    int reads = 0, got = 0;
    while (TicksSince(start) < static_cast<uint32_t>(seconds) * 1000) {
        got += link.Read(buffer, usb ? 1000 : 3000); // what the transfers wait for a reply
        ++reads;
    }
    const double wall = TicksSince(start) / 1000.0;
    const double cpu = CpuSeconds() - cpu0;
    link.Close();
    std::printf("idle %-6s: %d silent link reads in %.1f s used %.3f s CPU = %.2f%% of one core%s\n", usb ? "USB" : "serial",
                reads, wall, cpu, 100.0 * cpu / wall, got ? " (bytes arrived!)" : "");
}

void Leaks(bool usb, int cycles)
{
    Link link;
    Calculator calc(usb);
    const std::string name = calc.port->ProgramPortName();
    // One cycle first: the first open sets up what lives for the whole process.
    link.Open(name, LinkBaud);
    link.Close();
    const Resources before = Measure();
    const uint32_t start = Now();
    Resources half{};
    for (int i = 0; i < cycles; ++i) {
        link.Open(name, LinkBaud);
        link.Close();
        if (i + 1 == cycles / 2) half = Measure();
    }
    const Resources after = Measure();
    // The half-way figures tell a leak (growing with the cycles) from a cache that
    // settles at some size.
    std::printf(
        "leaks %-6s: %d open/close cycles in %.0f s: descriptors %d -> %d -> %d, threads %ld -> %ld -> %ld, "
        "heap in use %zu -> %zu -> %zu bytes, RSS %ld -> %ld -> %ld kB (before, half-way, after)\n",
        usb ? "USB" : "serial", cycles, TicksSince(start) / 1000.0, before.fds, half.fds, after.fds, before.threads, half.threads,
        after.threads, before.heapBytes, half.heapBytes, after.heapBytes, before.rssKb, half.rssKb, after.rssKb);
}

} // namespace

int main(int argc, char** argv)
{
    std::string part = "all", kind = "both";
    int seconds = 5, cycles = 1000;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string a = argv[i];
        if (a == "--part")
            part = argv[i + 1];
        else if (a == "--kind")
            kind = argv[i + 1];
        else if (a == "--seconds")
            seconds = std::atoi(argv[i + 1]);
        else if (a == "--cycles")
            cycles = std::atoi(argv[i + 1]);
        else {
            std::fprintf(stderr, "unknown option %s\n", a.c_str());
            return 2;
        }
    }
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    for (const bool usb : {true, false}) {
        if (kind != "both" && kind != (usb ? "usb" : "serial")) continue;
        if (part == "idle" || part == "all") Idle(usb, seconds);
        if (part == "leaks" || part == "all") Leaks(usb, cycles);
    }
    return 0;
}
