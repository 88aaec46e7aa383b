// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/UsbPipeBackend.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

#include "link/LinkBackend.h"
#include "link/LinkErrors.h"
#include "link/Trace.h"
#include "link/UsbIdleClock.h"
#include "link/UsbPipeReader.h"
#include "link/UsbPipes.h"
#include "util/MainThread.h"
#include "util/Ticks.h"

namespace {

// A USB device that takes no byte for this long has stopped working; a pipe has no
// write time limit of its own.
constexpr long UsbWriteStallMs = 20000;

class UsbPipeBackend final : public LinkBackend {
public:
    UsbPipeBackend(std::string name, int readPipe, int writePipe)
        : name_(std::move(name)), readPipe_(readPipe), writePipe_(writePipe)
    {
    }
    ~UsbPipeBackend() override
    {
        // The reader goes first: it polls the read pipe.
        reader_.reset();
        usbpipes::Close(readPipe_);
        usbpipes::Close(writePipe_);
    }

    std::size_t Read(unsigned char* buffer, std::size_t n, int timeoutMs, const std::atomic<bool>& cancel) override
    {
        std::size_t pos = 0;
        while (pos < n) {
            if (rxCount_ < rxNext_) {
                WaitForChunk(static_cast<uint32_t>(std::max(timeoutMs, 0)), cancel);
                if (rxCount_ < rxNext_) break;
            }
            const std::size_t m = std::min<std::size_t>(rxCount_ - rxNext_ + 1, n - pos);
            std::memcpy(buffer + pos, rx_ + rxNext_ - 1, m);
            rxNext_ += static_cast<uint32_t>(m);
            pos += m;
        }
        return pos;
    }

    // The write pipe is non-blocking: a block the device has room for goes out in one
    // write (a ROM chunk), the rest as room appears, within the stall limit or until a
    // stop.
    linkio::WriteOutcome Write(const char* data, std::size_t n, long stallMs, const WriteStop& stop) override
    {
        const ssize_t w = ::write(writePipe_, data, n);
        if (w == static_cast<ssize_t>(n)) return linkio::WriteOutcome::Complete;
        if (w < 0 && errno != EAGAIN && errno != EINTR) return linkio::WriteOutcome::Failed;
        const std::size_t done = w > 0 ? static_cast<std::size_t>(w) : 0;
        return linkio::WriteAll(writePipe_, data + done, n - done, -1, stallMs < 0 ? UsbWriteStallMs : stallMs, stop.fd);
    }

    // Four quiet rounds of up to 300 bytes, 10 ms each, with any chunk held dropped.
    DrainPlan Drain() const override { return {4, 300, 10}; }
    void BeforeDrainRound() override { rxCount_ = 0; }
    void EndDrain() override { rxCount_ = 0; }

    std::size_t BufferedBytes() const override { return rxCount_ >= rxNext_ ? rxCount_ - rxNext_ + 1 : 0; }
    bool ReaderRunning() const override { return reader_ && reader_->Running(); }
    void RestartIdleClock() override { idleClock_.Restart(); }

    // The pipes opened are still the ones under the device's names. A device that went
    // away and came back has new pipes there, and the old ones never carry a byte again.
    bool StillAttached() const override { return SameFile(readPipe_, 0) && SameFile(writePipe_, 1); }

private:
    bool SameFile(int fd, int pipe) const
    {
        struct stat opened {
        }, named{};
        if (::fstat(fd, &opened) != 0 || ::stat(UsbPipePath(name_, pipe).c_str(), &named) != 0) return false;
        return opened.st_dev == named.st_dev && opened.st_ino == named.st_ino;
    }

    // Pumps until a chunk is in rx_, the idle time reaches timeoutMs or cancel is set.
    // The idle clock carries over from one read to the next.
    void WaitForChunk(uint32_t timeoutMs, const std::atomic<bool>& cancel)
    {
        for (;;) {
            ProcessPendingEvents();
            Pump();
            const bool idleOver = idleClock_.StepOver(rxCount_ > 0, timeoutMs);
            if (rxCount_ >= rxNext_ || cancel || idleOver) return;
        }
    }

    // One hand-off step with the reader, started at the first.
    void Pump()
    {
        if (!reader_) reader_ = std::make_unique<UsbPipeReader>(readPipe_);
        rxNext_ = 1;
        rxCount_ = reader_->Pump(rx_);
    }

    const std::string name_;
    const int readPipe_;
    const int writePipe_;
    std::unique_ptr<UsbPipeReader> reader_;
    uint8_t rx_[UsbChunkSize] = {};
    uint32_t rxCount_ = 0;
    uint32_t rxNext_ = 1; // 1-based; the chunk is used up when rxNext_ > rxCount_
    UsbIdleClock idleClock_;
};

} // namespace

std::unique_ptr<LinkBackend> OpenUsbPipeBackend(const std::string& name)
{
    if (std::string problem = PipeDeviceProblem(name); !problem.empty()) {
        Trace("The pipe device is refused: " + problem);
        throw LinkError(LinkErrorKind::NoPermission, problem);
    }
    bool swapped = false; // a pipe of another user was opened after the check
    int firstErr = 0;
    const auto open = [&](int pipe) {
        const int fd = usbpipes::Open(name, pipe);
        if (fd < 0) {
            const int err = errno;
            if (firstErr == 0) firstErr = err;
            swapped = swapped || err == EPERM;
            Trace("Cannot open " + UsbPipePath(name, pipe) + ": " + std::strerror(err));
        }
        return fd;
    };
    const int readPipe = open(0);
    const int writePipe = open(1);
    if (readPipe < 0 || writePipe < 0) {
        usbpipes::Close(readPipe);
        usbpipes::Close(writePipe);
        if (swapped) throw LinkError(LinkErrorKind::NoPermission, PipeDeviceProblem(name), firstErr);
        const LinkErrorKind kind = firstErr == ENOENT || firstErr == ENXIO || firstErr == ENODEV ? LinkErrorKind::NotFound
                                   : firstErr == EACCES                                          ? LinkErrorKind::NoPermission
                                                                                                 : LinkErrorKind::OpenFailed;
        throw LinkError(kind, "", firstErr);
    }
    return std::make_unique<UsbPipeBackend>(name, readPipe, writePipe);
}
