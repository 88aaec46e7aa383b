// SPDX-License-Identifier: GPL-3.0-or-later
// Wire receive throughput on a serial line at the calculator's 9600 baud: the virtual
// calculator sends an object in XModem blocks through a pseudo-terminal throttled to
// 960 bytes/s. The protocol's bound is the time the calculator's bytes need on the line
// (blocks and EOT); what the receive adds is its turnaround between blocks. Prints the
// time taken, the bound and their ratio. Exit code 1 when below 97 % or when the object
// arrived damaged.
//
//   bench_WireReceive [size-in-bytes]     (default 300 KB: about five and a half minutes)
#include <QCoreApplication>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <future>
#include <random>

#include "link/Link.h"
#include "services/WireReceiver.h"
#include "tools/sim/SimPort.h"
#include "tools/sim/XModemSenderRole.h"
#include "util/MainThread.h"
#include "xmodem/XModemBlock.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr double LineBytesPerSecond = 960.0;

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const std::size_t size = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 300u * 1024;
    std::mt19937 rng(5);
    ByteString object(size, '\0');
    for (auto& c : object) c = static_cast<char>(rng() & 0xFF);

    auto calc = sim::CreatePtyPort();
    calc->SetThrottle(true);
    Link link;
    link.Open(calc->ProgramPortName(), LinkBaud);

    // The calculator's bytes on the line: each block with its header, number, complement
    // and checksum, then EOT.
    double lineBytes = 1;
    for (const auto& block : sim::CalculatorBlockData(object))
        lineBytes += static_cast<double>(
            xmodem::BlockLength(block.size() > xmodem::SmallDataSize ? xmodem::STX : xmodem::SOH, xmodem::CheckMode::Checksum));
    const double bound = lineBytes / LineBytesPerSecond;
    std::printf("Wire receive of %zu bytes at %.0f bytes/s: the protocol bound is %.1f s\n", size, LineBytesPerSecond, bound);
    std::fflush(stdout);

    WireReceiver receive(LinkLease(link), {}, {}, "(bench)", 0);
    auto calculator = std::async(std::launch::async, [&] {
        const auto start = Clock::now();
        auto result = sim::SendObjectByWire(*calc, object);
        return std::make_pair(result, std::chrono::duration<double>(Clock::now() - start).count());
    });
    WaitServingCalls(&receive);
    const auto [sent, seconds] = calculator.get();
    link.Close();

    const bool intact = sent.ok && receive.Success && receive.ReceivedData.substr(0, size) == object;
    const double ratio = bound / seconds;
    std::printf("  taken:             %8.1f s   (%d sendings, %d NAK)\n", seconds, sent.blocksSent, sent.naks);
    std::printf("  bound / taken:     %8.2f %%  (target >= 97 %%)\n", ratio * 100);
    std::printf("  object intact:     %s\n", intact ? "yes" : ("NO " + sent.error).c_str());
    return intact && ratio >= 0.97 ? 0 : 1;
}
