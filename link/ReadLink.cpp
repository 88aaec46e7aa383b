#include <algorithm>
#include <cerrno>
#include <cstring>

#include "link/PortLink.h"
#include "link/UsbPipeReader.h"
#include "link/SerialLine.h"
#include "util/MainThread.h"
#include "util/Ticks.h"

namespace {

// The idle clock restarts each time it reaches this, so a read gives up after its
// time limit only when that limit is at most this long.
constexpr uint32_t IdleClockPeriodMs = 1000;

// Pumps until a chunk is in RxBuffer, the idle time reaches timeoutMs or ReadCancel is
// set. The idle clock lives in PortLink and carries over from one read to the next.
void WaitForChunk(uint32_t timeoutMs)
{
    for (;;) {
        ProcessPendingEvents();
        PumpUsb();
        bool idleOver = false;
        if (PortLink.RxCount > 0) {
            PortLink.IdleSince = 0;
        } else {
            if (PortLink.IdleSince == 0) PortLink.IdleSince = Now();
            const uint32_t elapsed = TicksSince(PortLink.IdleSince);
            if (elapsed >= IdleClockPeriodMs) PortLink.IdleSince = Now();
            idleOver = elapsed >= timeoutMs;
        }
        if (PortLink.RxCount >= PortLink.RxNext || ReadCancel || idleOver) return;
    }
}

std::size_t ReadUsb(unsigned char* buffer, std::size_t n, int timeoutMs)
{
    std::size_t pos = 0;
    while (pos < n) {
        if (PortLink.RxCount < PortLink.RxNext) {
            WaitForChunk(static_cast<uint32_t>(std::max(timeoutMs, 0)));
            if (PortLink.RxCount < PortLink.RxNext) break;
        }
        const std::size_t m = std::min<std::size_t>(PortLink.RxCount - PortLink.RxNext + 1, n - pos);
        std::memcpy(buffer + pos, PortLink.RxBuffer + PortLink.RxNext - 1, m);
        PortLink.RxNext += static_cast<uint32_t>(m);
        pos += m;
    }
    return pos;
}

std::size_t ReadSerial(unsigned char* buffer, std::size_t n)
{
    if (PortLink.ReadHandle < 0) {
        Trace("Read on a closed link");
        SeriousError();
    }
    const long got = serialline::Read(PortLink.ReadHandle, buffer, n, serialline::CurrentLimits);
    if (got < 0) {
        Trace(std::string("ReadFile failed: ") + std::strerror(errno));
        SeriousError();
    }
    return static_cast<std::size_t>(got);
}

} // namespace

int ReadLink(ByteString& buffer, int timeoutMs)
{
    ReadCancel = false;
    auto* bytes = reinterpret_cast<unsigned char*>(buffer.data());
    const std::size_t n = buffer.size();
    const std::size_t count = PortLink.Kind == LinkKind::Serial ? ReadSerial(bytes, n) : ReadUsb(bytes, n, timeoutMs);
    std::fill(buffer.begin() + static_cast<std::ptrdiff_t>(count), buffer.end(), '\0');
    if (count > 0) LastReceiveTime = Now();
    return static_cast<int>(count);
}
