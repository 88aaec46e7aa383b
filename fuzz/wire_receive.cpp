// The wire receive fed arbitrary bytes from the calculator through the link: the
// virtual calculator's pseudo-terminal plays the input turn by turn, the way the
// calculator sends a block and then waits for the PC's answer. After the last turn it
// sends EOT when the PC waits for a block, and hangs up in any case, which ends a
// receive still waiting for the rest of a block with a failed read.
//
// Input: turns of [length, 2 bytes little-endian][bytes]; the top bit of the length
// means that the user presses Cancel in the status dialog before the turn (the PC sees
// it before its next reply byte), the rest is cut to what is left. A turn goes out once
// the PC has answered the previous one, or once it has been quiet for a moment (it is
// then waiting for the rest of a block). While the PC clears its input (it does before
// each NAK) the calculator waits, or the clearing would throw the next turn away at
// random.
//
// Checks: the receive ends; the PC only ever sends its start byte, NAK, ACK and CAN; the
// data it keeps is made of whole blocks that the calculator really sent, with good
// checksums, numbered 1, 2, 3 ... in that order; it reports success only after an EOT.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <QCoreApplication>

#include "fuzz/FuzzCheck.h"
#include "link/Link.h"
#include "link/Trace.h"
#include "link/SerialLine.h"
#include "util/HostInterfaces.h"
#include "xmodem/XModemBlock.h"
#include "services/WireReceiver.h"
#include "tools/sim/QuietStatusDialog.h"
#include "tools/sim/SimPort.h"
#include "util/StringTable.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr std::size_t MaxInput = 4096;
constexpr int MaxTurns = 8;
constexpr std::size_t CancelBit = 0x8000;
// The PC answers a complete block or a stray byte within this; a PC still quiet after it
// waits for more bytes.
constexpr int QuietMs = 15;
// Bounds on the PC's start, its clearing and its end after the hang-up: beyond them the
// receive is taken as hung, which is a finding.
constexpr int StartLimitMs = 5000;
constexpr int ClearLimitMs = 5000;
constexpr int EndLimitMs = 10000;

// The global status dialog: open from the start of the receive until it reports the
// end (kind 3). Its reports run in the main thread, as the real dialog's do.
sim::QuietStatusDialog Dialog;

// Input clearings the PC began and finished, seen through its trace.
std::atomic<int> ClearsBegun{0};
std::atomic<int> ClearsDone{0};

bool Clearing() { return ClearsBegun.load() != ClearsDone.load(); }

long MsSince(Clock::time_point t)
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - t).count();
}

// The calculator listens for the PC for up to ms, serving the receive thread's calls to
// the dialog meanwhile; returns early once something came.
ByteString Listen(sim::SimPort& calculator, int ms)
{
    const auto start = Clock::now();
    ByteString heard;
    do {
        QCoreApplication::processEvents();
        heard += calculator.Receive(64, 2);
    } while (heard.empty() && MsSince(start) < ms);
    return heard;
}

// What the PC says after a turn: waits while it clears its input, and a moment more
// after each clearing for the NAK that follows it.
ByteString AwaitAnswer(sim::SimPort& calculator, const WireReceiver& rx)
{
    ByteString heard;
    auto quietSince = Clock::now();
    const auto start = quietSince;
    int doneBefore = ClearsDone.load();
    for (;;) {
        heard += Listen(calculator, 0);
        if (ClearsDone.load() != doneBefore) {
            doneBefore = ClearsDone.load();
            quietSince = Clock::now();
        }
        if (Clearing()) {
            if (MsSince(start) > ClearLimitMs) {
                std::fprintf(stderr, "the PC has been clearing its input for %d ms\n", ClearLimitMs);
                std::abort();
            }
            continue;
        }
        if (!heard.empty() || rx.isFinished() || MsSince(quietSince) >= QuietMs) return heard;
    }
}

// The program's side of the line. Short serial read limits keep the reads of a silent
// line brief.
void OpenProgramSide(Link& link, const std::string& path)
{
    try {
        link.Open(path, LinkBaud);
    } catch (const std::exception&) {
        std::fprintf(stderr, "cannot open %s\n", path.c_str());
        std::abort();
    }
    link.SetShortTimeouts();
    // No settling pause after a cancel, for a calculator that has hung up anyway.
    TimingProfileValues timing = link.Timing();
    timing.CancelSettleDelay = 0;
    link.SetTiming(timing);
}

ByteString ChecksumBlock(unsigned number, std::string_view data)
{
    const auto n = static_cast<uint8_t>(number & 0xFF);
    ByteString block(1, static_cast<char>(data.size() == xmodem::SmallDataSize ? xmodem::SOH : xmodem::STX));
    block += static_cast<char>(n);
    block += static_cast<char>(255 - n);
    block.append(data);
    unsigned sum = 0;
    for (unsigned char c : data) sum += c;
    block += static_cast<char>(sum & 0xFF);
    return block;
}

// True when kept splits into the data of blocks numbered number, number + 1 ... each of
// which the calculator sent whole, as a block with a good checksum.
bool MadeOfSentBlocks(const ByteString& sent, std::string_view kept, unsigned number)
{
    if (kept.empty()) return true;
    for (const std::size_t size : {xmodem::SmallDataSize, xmodem::LargeDataSize}) {
        if (kept.size() < size) continue;
        if (sent.find(ChecksumBlock(number, kept.substr(0, size))) == ByteString::npos) continue;
        if (MadeOfSentBlocks(sent, kept.substr(size), number + 1)) return true;
    }
    return false;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    // The receive reports to the dialog through the main thread, which the calculator's
    // waits below keep serving.
    static QCoreApplication app(*argc, *argv);
    static const bool show = std::getenv("CALVYX_FUZZ_TRACE") != nullptr;
    SetTraceSink([](const std::string& line) {
        if (show) {
            static const auto t0 = Clock::now();
            std::fprintf(stderr, "%6ld %s\n", MsSince(t0), line.c_str());
        }
        if (line.rfind("Clearing input stream", 0) == 0) ++ClearsBegun;
        else if (line.find("Clear completed") != std::string::npos) ++ClearsDone;
    });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > MaxInput) return 0;
    const auto calculator = sim::CreatePtyPort();
    Link link;
    OpenProgramSide(link, calculator->ProgramPortName());
    ClearsBegun = ClearsDone = 0;

    ByteString sent;
    ByteString heard;
    {
        WireReceiver rx(LinkLease(link), &Dialog, Str::SendByWire, 0);
        heard = Listen(*calculator, StartLimitMs); // the start byte
        bool answered = !heard.empty();
        std::size_t at = 0;
        for (int turn = 0; turn < MaxTurns && at + 2 <= size && !rx.isFinished(); ++turn) {
            const std::size_t word = data[at] | (std::size_t(data[at + 1]) << 8);
            const std::size_t length = std::min<std::size_t>(word & (CancelBit - 1), size - at - 2);
            if (word & CancelBit) Dialog.Cancel();
            const ByteString bytes(reinterpret_cast<const char*>(data + at + 2), length);
            at += 2 + length;
            if (!calculator->Send(bytes)) break;
            sent += bytes;
            const ByteString answer = AwaitAnswer(*calculator, rx);
            answered = !answer.empty();
            heard += answer;
        }
        // A PC that answered the last turn waits for the next block: an EOT ends the
        // receive at once. One still waiting for the rest of a block learns of the
        // end from the hang-up (a failed read, then the error path).
        if (answered && !rx.isFinished()) {
            const ByteString eot(1, static_cast<char>(xmodem::EOT));
            if (calculator->Send(eot)) {
                sent += eot;
                heard += AwaitAnswer(*calculator, rx);
            }
        }
        heard += Listen(*calculator, 0);
        calculator->Hangup();
        const auto hungUp = Clock::now();
        while (!rx.wait(2) && MsSince(hungUp) < EndLimitMs) QCoreApplication::processEvents();
        if (!rx.isFinished()) {
            std::fprintf(stderr, "the receive did not end within %d ms of the hang-up\n", EndLimitMs);
            std::abort();
        }
        link.Close();

        FUZZ_CHECK(!heard.empty() && heard[0] == xmodem::CrcStart); // 'D' on a serial line
        for (std::size_t i = 1; i < heard.size(); ++i) {
            const auto b = static_cast<uint8_t>(heard[i]);
            FUZZ_CHECK(b == xmodem::NAK || b == xmodem::ACK || b == xmodem::CAN);
        }
        FUZZ_CHECK(rx.ReceivedData.size() % xmodem::SmallDataSize == 0);
        FUZZ_CHECK(MadeOfSentBlocks(sent, rx.ReceivedData, 1));
        if (rx.Success) FUZZ_CHECK(sent.find(static_cast<char>(xmodem::EOT)) != ByteString::npos);
    }
    return 0;
}
