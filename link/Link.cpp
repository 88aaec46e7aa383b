// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/Link.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <stdexcept>

#include "link/LibUsbBackend.h"
#include "link/LinkBackend.h"
#include "link/LinkErrors.h"
#include "link/LinkEvent.h"
#include "link/MemoryBackend.h"
#include "link/PortName.h"
#include "link/SerialBackend.h"
#include "link/Trace.h"
#include "link/UsbDevices.h"
#include "link/UsbPipeBackend.h"
#include "util/Ticks.h"

namespace {

// ClearInput drains until the line was quiet for a number of rounds; a line that never
// pauses (noise on a floating input) would keep it going for ever, with the program's
// start-up waiting on it. After this long it gives up and leaves the rest to the
// protocols, which cope with stray bytes.
constexpr uint32_t ClearInputLimitMs = 10000;

[[noreturn]] void ClosedLink(const char* what)
{
    Trace(std::string(what) + " on a closed link");
    throw LinkError(LinkErrorKind::Closed, "", EBADF);
}

} // namespace

TimingProfileValues SelectTimingProfile(LinkKind kind, int baud)
{
    if (kind == LinkKind::Usb) return UsbProfile;
    return baud > LinkBaud ? SerialFastProfile : SerialSlowProfile;
}

Link::Link() : cancelFd_(linkevent::Make()), writeStopFd_(linkevent::Make()) {}

Link::~Link()
{
    Close();
    linkevent::Destroy(cancelFd_);
    linkevent::Destroy(writeStopFd_);
}

void Link::CancelRead()
{
    cancel_ = true;
    linkevent::Raise(cancelFd_);
}

void Link::StopWrites()
{
    writeStop_ = true;
    linkevent::Raise(writeStopFd_);
}

void Link::ResumeWrites()
{
    if (writeStop_.exchange(false)) linkevent::Lower(writeStopFd_);
}

void Link::Open(const std::string& name, int baud)
{
    OpenBackend(name, baud);
    try {
        ClearInput();
    } catch (...) {
        Close(); // a line that fails at once is not left half open
        throw;
    }
}

void Link::OpenOwingDrain(const std::string& name, int baud)
{
    OpenBackend(name, baud);
    inputOwed_ = true;
}

void Link::OpenBackend(const std::string& name, int baud)
{
    linkevent::PrepareProcess();
    // Opening over an open link would leak its descriptors and leave the USB reader on
    // the old pipe.
    Close();
    ResumeWrites();
    kind_ = IsUsbName(name) ? LinkKind::Usb : LinkKind::Serial;
    // The pipe device's name opens the pipe device when it is there (the virtual
    // calculator), else a calculator found on the bus.
    const std::string resolved = ResolveUsbLinkName(name);
    if (const auto id = ParseUsbId(resolved))
        backend_ = OpenLibUsbBackend(*id);
    else if (const auto socket = ParseUsbSocket(resolved))
        backend_ = OpenLibUsbBackendAt(*socket);
    else
        backend_ = kind_ == LinkKind::Usb ? OpenUsbPipeBackend(name) : OpenSerialBackend(name, baud, cancelFd_);
    timing_ = SelectTimingProfile(kind_, baud);
}

void Link::OpenMemory(std::shared_ptr<MemoryLine> line, LinkKind kind)
{
    Close();
    ResumeWrites();
    kind_ = kind;
    backend_ = OpenMemoryBackend(std::move(line));
    timing_ = SelectTimingProfile(kind_, LinkBaud);
    ClearInput();
}

uint32_t LinkBackend::Now() const { return ::Now(); }
void LinkBackend::Pause(int ms, const std::atomic<bool>&) { SleepMs(ms); }

void Link::Fail()
{
    Trace("the calculator broke off");
    if (backend_)
        backend_->Pause(100, cancel_);
    else
        SleepMs(100);
    throw LinkError(LinkErrorKind::BrokenOff);
}

uint32_t Link::Now() const { return backend_ ? backend_->Now() : ::Now(); }

void Link::Pause(int ms)
{
    if (backend_)
        backend_->Pause(ms, cancel_);
    else
        SleepMs(ms);
    Trace("Delay time = " + std::to_string(ms));
}

void Link::Close()
{
    inputOwed_ = false;
    // The backend stops its reader and closes its descriptors.
    backend_.reset();
}

bool Link::IsOpen() const { return backend_ != nullptr; }

void Link::Write(const ByteString& bytes)
{
    if (!backend_) ClosedLink("Write");
    if (bytes.empty()) return;
    const auto outcome = backend_->Write(bytes.data(), bytes.size(), -1, WriteStop{writeStop_, writeStopFd_});
    const int err = errno;
    if (outcome == linkio::WriteOutcome::Complete) return;
    if (outcome == linkio::WriteOutcome::TimedOut && kind_ == LinkKind::Serial) {
        // The serial write limit ran out: like a timed-out write on the port, this is
        // no failure; the protocols notice the missing bytes.
        Trace("Write time limit reached");
        return;
    }
    switch (outcome) {
    case linkio::WriteOutcome::Stopped:
        Trace("write stopped");
        throw LinkError(LinkErrorKind::Stopped, "", ECANCELED);
    case linkio::WriteOutcome::TimedOut:
        Trace("USB write stalled");
        throw LinkError(LinkErrorKind::WriteStalled, "", ETIMEDOUT);
    default:
        Trace(std::string("write failed: ") + std::strerror(err));
        throw LinkError(LinkErrorKind::Lost, "", err);
    }
}

void Link::WriteBlock(const char* data, std::size_t size, long stallMs)
{
    if (!backend_) WriteFailed(linkio::WriteOutcome::Failed, EBADF, stallMs);
    const auto outcome = backend_->Write(data, size, stallMs, WriteStop{writeStop_, writeStopFd_});
    if (outcome != linkio::WriteOutcome::Complete) WriteFailed(outcome, errno, stallMs);
}

void Link::WriteFailed(linkio::WriteOutcome outcome, int err, long stallMs)
{
    switch (outcome) {
    case linkio::WriteOutcome::TimedOut:
        throw LinkError(LinkErrorKind::WriteStalled, "The calculator took no data for " + std::to_string(stallMs / 1000) + " s",
                        ETIMEDOUT);
    case linkio::WriteOutcome::Stopped:
        throw LinkError(LinkErrorKind::Stopped, "The write was stopped", ECANCELED);
    default:
        throw LinkError(backend_ ? LinkErrorKind::Lost : LinkErrorKind::Closed,
                        std::string("Cannot write to the calculator: ") + std::strerror(err), err);
    }
}

int Link::Read(ByteString& buffer, int timeoutMs) { return ReadFromBackend(buffer, timeoutMs, false); }

int Link::ReadWithin(ByteString& buffer, int maxWaitMs) { return ReadFromBackend(buffer, maxWaitMs, true); }

std::optional<uint8_t> Link::ReadByte(int timeoutMs)
{
    ByteString one(1, '\0');
    if (Read(one, timeoutMs) == 0) return std::nullopt;
    return static_cast<uint8_t>(one[0]);
}

int Link::ReadFromBackend(ByteString& buffer, int timeoutMs, bool bounded)
{
    // A cancel left over from before this read is cleared, its wake-up included (only
    // then: a read costs no extra system call).
    if (cancel_.exchange(false)) linkevent::Lower(cancelFd_);
    if (!backend_) ClosedLink("Read");
    auto* bytes = reinterpret_cast<unsigned char*>(buffer.data());
    const std::size_t count = bounded ? backend_->ReadWithin(bytes, buffer.size(), timeoutMs, cancel_)
                                      : backend_->Read(bytes, buffer.size(), timeoutMs, cancel_);
    std::fill(buffer.begin() + static_cast<std::ptrdiff_t>(count), buffer.end(), '\0');
    if (count > 0) lastReceive_ = backend_->Now();
    return static_cast<int>(count);
}

void Link::ClearInput(const std::function<void(const ByteString&)>& drained) { Drain(drained, {}); }

void Link::ClearOwedInput(const std::function<bool()>& stopped)
{
    if (inputOwed_) Drain({}, stopped);
}

bool Link::Drain(const std::function<void(const ByteString&)>& drained, const std::function<bool()>& stopped)
{
    Trace("Clearing input stream  {");
    if (!backend_) ClosedLink("Read");
    const LinkBackend::DrainPlan plan = backend_->Drain();
    backend_->BeginDrain();
    struct End {
        LinkBackend& backend;
        ~End() { backend.EndDrain(); }
    } end{*backend_};
    if (!DrainUntilQuiet(plan.rounds, plan.size, plan.timeoutMs, drained, stopped)) {
        Trace("}  Clear stopped");
        return false;
    }
    inputOwed_ = false;
    Trace("}  Clear completed");
    return true;
}

// Reads rounds of `size` bytes until `rounds` quiet ones came in a row. A round is quiet
// when its first six bytes are zero: nothing came, or only zero bytes.
bool Link::DrainUntilQuiet(int rounds, std::size_t size, int timeoutMs, const std::function<void(const ByteString&)>& drained,
                           const std::function<bool()>& stopped)
{
    const uint32_t start = Now();
    int quiet = 0;
    while (quiet < rounds) {
        if (stopped && stopped()) return false;
        if (Now() - start >= ClearInputLimitMs) {
            Trace("Input never fell quiet; clearing given up");
            return true;
        }
        backend_->BeforeDrainRound();
        ByteString buffer(size, '\0');
        const int got = Read(buffer, timeoutMs);
        if (drained && got > 0) drained(buffer.substr(0, static_cast<std::size_t>(got)));
        const bool zero = std::all_of(buffer.begin(), buffer.begin() + 6, [](char c) { return c == 0; });
        quiet = zero ? quiet + 1 : 0;
    }
    return true;
}

std::size_t Link::BufferedBytes() const { return backend_ ? backend_->BufferedBytes() : 0; }

bool Link::StillAttached() const { return backend_ && backend_->StillAttached(); }

bool Link::ReaderRunning() const { return backend_ && backend_->ReaderRunning(); }

void Link::RestartIdleClock()
{
    if (backend_) backend_->RestartIdleClock();
}

LinkLease::LinkLease(Link& link) : link_(&link)
{
    if (link.lent_.exchange(true)) throw std::logic_error("the link is lent already");
}

LinkLease::LinkLease(LinkLease&& other) noexcept : link_(other.link_) { other.link_ = nullptr; }

LinkLease::~LinkLease()
{
    if (!link_) return;
    link_->ResumeWrites();
    link_->lent_ = false;
}
