// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/SerialBackend.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <poll.h>

#include "link/LinkBackend.h"
#include "link/LinkErrors.h"
#include "link/PortName.h"
#include "link/SerialLine.h"
#include "link/Trace.h"

namespace {

class SerialBackend final : public LinkBackend {
public:
    SerialBackend(int fd, int wakeFd) : fd_(fd), wakeFd_(wakeFd) {}
    ~SerialBackend() override { serialline::Close(fd_); }

    // The caller's limit after the time the bytes take on the line.
    std::size_t Read(unsigned char* buffer, std::size_t n, int timeoutMs, const std::atomic<bool>&) override
    {
        const long lineMs = static_cast<long>(n) * serialline::ReadMsPerByte;
        return ReadUnder(lineMs + std::max(timeoutMs, 0), buffer, n);
    }

    // The whole read within maxWaitMs.
    std::size_t ReadWithin(unsigned char* buffer, std::size_t n, int maxWaitMs, const std::atomic<bool>&) override
    {
        return ReadUnder(std::max(maxWaitMs, 0), buffer, n);
    }

    // The line's own write limit applies (a stall limit is a USB matter): at 30 ms a
    // byte a ROM chunk on a line that takes nothing would wait a minute, a stop ends it.
    linkio::WriteOutcome Write(const char* data, std::size_t n, long, const WriteStop& stop) override
    {
        return serialline::Write(fd_, data, n, stop.fd);
    }

    // Two quiet rounds of 6 bytes, 100 ms after the line's time each, the driver's
    // input queue discarded before each.
    DrainPlan Drain() const override { return {2, 6, 100}; }
    void BeforeDrainRound() override { serialline::DiscardInput(fd_); }

    // A line that hung up (an unplugged USB serial adapter, a pseudo-terminal whose far
    // end closed) says so on its descriptor for good; CLOCAL keeps a missing carrier out
    // of it.
    bool StillAttached() const override
    {
        pollfd p{fd_, 0, 0};
        return !(::poll(&p, 1, 0) == 1 && (p.revents & (POLLHUP | POLLERR | POLLNVAL)));
    }

private:
    std::size_t ReadUnder(long limitMs, unsigned char* buffer, std::size_t n)
    {
        // A stop ends the wait at once instead of after the limit.
        const long got = serialline::Read(fd_, buffer, n, limitMs, wakeFd_);
        if (got < 0) {
            const int err = errno;
            Trace(std::string("read failed: ") + std::strerror(err));
            throw LinkError(LinkErrorKind::Lost, "", err);
        }
        return static_cast<std::size_t>(got);
    }

    const int fd_;
    const int wakeFd_;
};

LinkErrorKind OpenErrorKind(int err)
{
    switch (err) {
    case ENOENT:
    case ENODEV:
    case ENXIO:
        return LinkErrorKind::NotFound;
    case EACCES:
    case EPERM:
        return LinkErrorKind::NoPermission;
    case EBUSY:
        return LinkErrorKind::Busy;
    default:
        return LinkErrorKind::OpenFailed;
    }
}

} // namespace

std::unique_ptr<LinkBackend> OpenSerialBackend(const std::string& name, int baud, int wakeFd)
{
    const std::string path = SerialDevicePath(name);
    Trace("open " + path);
    const int fd = serialline::Open(path);
    if (fd < 0) {
        const int err = errno;
        Trace("Cannot open " + path + ": " + std::strerror(err));
        throw LinkError(OpenErrorKind(err), "", err);
    }
    Trace("configure " + path + " at " + std::to_string(baud) + " baud");
    if (!serialline::Configure(fd, baud)) {
        const int err = errno;
        Trace("Cannot configure " + path + ": " + std::strerror(err));
        serialline::Close(fd);
        throw LinkError(LinkErrorKind::OpenFailed, "", err);
    }
    return std::make_unique<SerialBackend>(fd, wakeFd);
}
