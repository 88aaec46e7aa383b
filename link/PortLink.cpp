#include "link/PortLink.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <csignal>
#include <cstring>
#include <mutex>

#include "link/UsbPipeReader.h"
#include "link/SerialLine.h"
#include "link/UsbPipes.h"
#include "util/Ticks.h"

PortLinkRecord PortLink;
TimingProfileValues TimingProfile = SerialSlowProfile;
std::atomic<uint32_t> LastReceiveTime{0};

namespace {

// A write to a pipe whose reader has gone (an unplugged device) must fail with EPIPE,
// not end the program with SIGPIPE. Only a default disposition is changed.
void IgnoreBrokenPipe()
{
    static std::once_flag once;
    std::call_once(once, [] {
        struct sigaction old {};
        if (::sigaction(SIGPIPE, nullptr, &old) == 0 && old.sa_handler == SIG_DFL) ::signal(SIGPIPE, SIG_IGN);
    });
}

// A USB device that takes no byte for this long has stopped working; a pipe has no
// write time limit of its own.
constexpr long UsbWriteStallMs = 20000;

// ClearInput drains until the line was quiet for a number of rounds; a line that never
// pauses (noise on a floating input) would keep it going for ever, with the program's
// start-up waiting on it. After this long it gives up and leaves the rest to the
// protocols, which cope with stray bytes.
constexpr uint32_t ClearInputLimitMs = 10000;

void OpenUsb(const std::string& name)
{
    TimingProfile = UsbProfile;
    PortLink.RxCount = 0;
    PortLink.RxNext = 1;
    PortLink.IdleSince = 0;
    PortLink.Kind = LinkKind::Usb;
    PortLink.ReadHandle = usbpipes::Open(name, 0);
    if (PortLink.ReadHandle < 0) Trace("Cannot open " + UsbPipePath(name, 0) + ": " + std::strerror(errno));
    PortLink.WriteHandle = usbpipes::Open(name, 1);
    if (PortLink.WriteHandle < 0) Trace("Cannot open " + UsbPipePath(name, 1) + ": " + std::strerror(errno));
    if (PortLink.ReadHandle < 0 || PortLink.WriteHandle < 0) SeriousError();
}

void OpenSerial(const std::string& name, int baud)
{
    Trace("CreateFile for " + name);
    const std::string path = SerialDevicePath(name);
    const int fd = serialline::Open(path);
    if (fd < 0) {
        Trace("Cannot open " + path + ": " + std::strerror(errno));
        SeriousError();
    }
    TimingProfile = SelectTimingProfile(LinkKind::Serial, baud);
    Trace("SetCommState for " + name);
    if (!serialline::Configure(fd, baud)) {
        Trace("Cannot configure " + path + ": " + std::strerror(errno));
        // The handle is not in PortLink yet, so nobody else could close it.
        serialline::Close(fd);
        SeriousError();
    }
    PortLink.ReadHandle = PortLink.WriteHandle = fd;
    PortLink.Kind = LinkKind::Serial;
    SetLongTimeouts();
}

// Reads rounds of `size` bytes until `rounds` quiet ones came in a row. A round is quiet
// when its first six bytes are zero: nothing came, or only zero bytes.
void DrainUntilQuiet(int rounds, std::size_t size, int timeoutMs, void (*beforeRound)())
{
    const uint32_t start = Now();
    int quiet = 0;
    while (quiet < rounds) {
        if (TicksSince(start) >= ClearInputLimitMs) {
            Trace("Input never fell quiet; clearing given up");
            return;
        }
        beforeRound();
        ByteString buffer(size, '\0');
        ReadLink(buffer, timeoutMs);
        const bool zero = std::all_of(buffer.begin(), buffer.begin() + 6, [](char c) { return c == 0; });
        quiet = zero ? quiet + 1 : 0;
    }
}

} // namespace

void ResetPortLink()
{
    PortLink.ReadHandle = -1;
    PortLink.WriteHandle = -1;
    PortLink.Kind = LinkKind::Serial;
    PortLink.RxCount = 0;
    PortLink.RxNext = 1;
    PortLink.IdleSince = 0;
}

bool LinkIsOpen() { return PortLink.ReadHandle >= 0 || PortLink.WriteHandle >= 0; }

TimingProfileValues SelectTimingProfile(LinkKind kind, int baud)
{
    if (kind == LinkKind::Usb) return UsbProfile;
    return baud > LinkBaud ? SerialFastProfile : SerialSlowProfile;
}

std::string SerialDevicePath(const std::string& name)
{
    if (name.size() > 3 && name.compare(0, 3, "COM") == 0) {
        // A number too large for the type is no COM name either; it stays as given.
        unsigned n = 0;
        const char* end = name.data() + name.size();
        const auto [at, ec] = std::from_chars(name.data() + 3, end, n);
        if (ec == std::errc() && at == end && n >= 1 && n <= 256) return "/dev/ttyS" + std::to_string(n - 1);
    }
    return name;
}

void OpenLink(const std::string& name, int baud)
{
    IgnoreBrokenPipe();
    // Opening over an open link would leak its descriptors and leave the USB reader on
    // the old pipe; callers close first, this makes sure.
    if (LinkIsOpen() || ReaderThreadRunning()) CloseLink();
    PortLink.WriteHandle = -1;
    if (IsUsbName(name)) OpenUsb(name);
    else OpenSerial(name, baud);
    ClearInput();
}

void CloseLink()
{
    StopReaderThread();
    const int read = PortLink.ReadHandle;
    const int write = PortLink.WriteHandle == read ? -1 : PortLink.WriteHandle;
    // Whichever handle a failed open left behind is closed, the write pipe included
    // when the read pipe is the one that failed.
    if (read < 0 && write < 0) return;
    if (PortLink.Kind == LinkKind::Serial) serialline::Close(read);
    else usbpipes::Close(read);
    usbpipes::Close(write);
    ResetPortLink();
}

void WriteLink(const ByteString& bytes)
{
    const int fd = PortLink.WriteHandle;
    if (fd < 0) {
        Trace("Write on a closed link");
        SeriousError();
    }
    if (bytes.empty()) return;
    const bool serial = PortLink.Kind == LinkKind::Serial;
    const auto outcome = serial ? serialline::Write(fd, bytes.data(), bytes.size(), serialline::CurrentLimits)
                                : linkio::WriteAll(fd, bytes.data(), bytes.size(), -1, UsbWriteStallMs);
    if (outcome == linkio::WriteOutcome::Complete) return;
    if (outcome == linkio::WriteOutcome::TimedOut && serial) {
        // The serial write limit ran out: like a timed-out write on the port, this is
        // no failure; the protocols notice the missing bytes.
        Trace("Write time limit reached");
        return;
    }
    if (outcome == linkio::WriteOutcome::TimedOut) Trace("USB write stalled");
    else Trace(std::string("WriteFile failed: ") + std::strerror(errno));
    SeriousError();
}

void ClearInput()
{
    Trace("Clearing input stream  {");
    if (PortLink.Kind == LinkKind::Serial) {
        const serialline::Limits saved = serialline::CurrentLimits;
        SetShortTimeouts();
        struct Restore {
            serialline::Limits limits;
            ~Restore() { serialline::CurrentLimits = limits; }
        } restore{saved};
        DrainUntilQuiet(2, 6, 1000, [] {
            if (PortLink.ReadHandle >= 0) serialline::Purge(PortLink.ReadHandle);
        });
    } else {
        DrainUntilQuiet(4, 300, 10, [] { PortLink.RxCount = 0; });
        PortLink.RxCount = 0;
    }
    Trace("}  Clear completed");
}

void SetShortTimeouts()
{
    if (PortLink.Kind == LinkKind::Usb) return;
    serialline::CurrentLimits = serialline::ShortLimits;
}

void SetLongTimeouts()
{
    if (PortLink.Kind == LinkKind::Usb) return;
    serialline::CurrentLimits = serialline::LongLimits;
}

void Delay(int ms)
{
    SleepMs(ms);
    Trace("Delay time = " + std::to_string(ms));
}
