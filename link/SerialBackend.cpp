#include "link/SerialBackend.h"

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

    std::size_t Read(unsigned char* buffer, std::size_t n, int, const std::atomic<bool>&) override
    {
        return ReadUnder(limits_, buffer, n);
    }

    std::size_t ReadWithin(unsigned char* buffer, std::size_t n, int maxWaitMs, const std::atomic<bool>&) override
    {
        serialline::Limits limits = limits_;
        const long lineMs = static_cast<long>(n) * limits.readPerByte + limits.readConstant;
        if (maxWaitMs >= 0 && lineMs > maxWaitMs) {
            limits.readPerByte = 0;
            limits.readConstant = maxWaitMs;
        }
        return ReadUnder(limits, buffer, n);
    }

    // The line's own write limit applies (a stall limit is a USB matter): at 30 ms a
    // byte a ROM chunk on a line that takes nothing would wait a minute, a stop ends it.
    linkio::WriteOutcome Write(const char* data, std::size_t n, long, const WriteStop& stop) override
    {
        return serialline::Write(fd_, data, n, limits_, stop.fd);
    }

    // Two quiet rounds of 6 bytes under the short limits, the driver's queues purged
    // before each; the limits in force before come back afterwards.
    DrainPlan Drain() const override { return {2, 6, 1000}; }
    void BeginDrain() override
    {
        saved_ = limits_;
        limits_ = serialline::ShortLimits;
    }
    void BeforeDrainRound() override { serialline::Purge(fd_); }
    void EndDrain() override { limits_ = saved_; }

    void SetShortTimeouts() override { limits_ = serialline::ShortLimits; }
    void SetLongTimeouts() override { limits_ = serialline::LongLimits; }

    // A line that hung up (an unplugged USB serial adapter, a pseudo-terminal whose far
    // end closed) says so on its descriptor for good; CLOCAL keeps a missing carrier out
    // of it.
    bool StillAttached() const override
    {
        pollfd p{fd_, 0, 0};
        return !(::poll(&p, 1, 0) == 1 && (p.revents & (POLLHUP | POLLERR | POLLNVAL)));
    }

private:
    std::size_t ReadUnder(const serialline::Limits& limits, unsigned char* buffer, std::size_t n)
    {
        // A stop ends the wait at once instead of after the long read limit (3 s).
        const long got = serialline::Read(fd_, buffer, n, limits, wakeFd_);
        if (got < 0) {
            Trace(std::string("read failed: ") + std::strerror(errno));
            SeriousError();
        }
        return static_cast<std::size_t>(got);
    }

    const int fd_;
    const int wakeFd_;
    serialline::Limits limits_ = serialline::LongLimits;
    serialline::Limits saved_ = serialline::LongLimits;
};

} // namespace

std::unique_ptr<LinkBackend> OpenSerialBackend(const std::string& name, int baud, int wakeFd)
{
    const std::string path = SerialDevicePath(name);
    Trace("open " + path);
    const int fd = serialline::Open(path);
    if (fd < 0) {
        Trace("Cannot open " + path + ": " + std::strerror(errno));
        SeriousError();
    }
    Trace("configure " + path + " at " + std::to_string(baud) + " baud");
    if (!serialline::Configure(fd, baud)) {
        Trace("Cannot configure " + path + ": " + std::strerror(errno));
        serialline::Close(fd);
        SeriousError();
    }
    return std::make_unique<SerialBackend>(fd, wakeFd);
}
