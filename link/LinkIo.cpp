// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/LinkIo.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

namespace linkio {

namespace {

int MsUntil(Clock::time_point deadline)
{
    if (deadline == NoDeadline) return -1;
    const auto left = deadline - Clock::now();
    if (left <= Clock::duration::zero()) return 0;
    // Round up: a poll that wakes a fraction of a millisecond early would otherwise
    // report a time-out before the deadline.
    const auto ms = std::chrono::ceil<std::chrono::milliseconds>(left).count();
    return static_cast<int>(std::min<long long>(ms, 1'000'000'000));
}

// Marks a wait for room that ended at a stop request.
constexpr int StopSeen = -2;

// Waits until fd has room, reporting its revents (room wins over a stop), 0 at the
// deadline, -1 when poll failed, StopSeen when stopFd became readable and fd has none.
int PollForRoom(int fd, int stopFd, Clock::time_point deadline)
{
    if (stopFd < 0) return PollUntil(fd, POLLOUT, deadline);
    for (;;) {
        pollfd p[2] = {{fd, POLLOUT, 0}, {stopFd, POLLIN, 0}};
        const int r = ::poll(p, 2, MsUntil(deadline));
        if (r < 0 && errno == EINTR) continue;
        if (r < 0) return -1;
        if (p[0].revents) return p[0].revents;
        if (p[1].revents) return StopSeen;
        if (deadline != NoDeadline && Clock::now() >= deadline) return 0;
    }
}

} // namespace

int PollUntil(int fd, short events, Clock::time_point deadline)
{
    for (;;) {
        pollfd p{fd, events, 0};
        const int r = ::poll(&p, 1, MsUntil(deadline));
        if (r > 0) return p.revents;
        if (r == 0) {
            if (deadline == NoDeadline || Clock::now() >= deadline) return 0;
            continue;
        }
        if (errno != EINTR) return -1;
    }
}

long ReadUntil(int fd, unsigned char* buf, std::size_t n, Clock::time_point deadline, int wakeFd)
{
    std::size_t got = 0;
    while (got < n) {
        int re;
        if (wakeFd < 0) {
            re = PollUntil(fd, POLLIN, deadline);
        } else {
            pollfd p[2] = {{fd, POLLIN, 0}, {wakeFd, POLLIN, 0}};
            const int r = ::poll(p, 2, MsUntil(deadline));
            if (r < 0 && errno == EINTR) continue;
            if (r < 0) return -1;
            if (r == 0 && (deadline == NoDeadline || Clock::now() < deadline)) continue;
            if (p[1].revents && !p[0].revents) break; // woken: what came so far
            re = p[0].revents;
        }
        if (re == 0) break;
        if (re < 0) return -1;
        if (re & POLLIN) {
            const ssize_t r = ::read(fd, buf + got, n - got);
            if (r > 0) {
                got += static_cast<std::size_t>(r);
                continue;
            }
            if (r < 0 && (errno == EAGAIN || errno == EINTR)) continue;
            // Readable yet nothing to read: the other side has gone.
            if (r == 0) errno = EIO;
            return -1;
        }
        if (re & POLLNVAL)
            errno = EBADF;
        else
            errno = EIO; // POLLHUP or POLLERR without data: a hung-up line
        return -1;
    }
    return static_cast<long>(got);
}

bool SetNonBlocking(int fd, bool on)
{
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags < 0) return false;
    const int wanted = on ? (flags | O_NONBLOCK) : (flags & ~O_NONBLOCK);
    return wanted == flags || ::fcntl(fd, F_SETFL, wanted) == 0;
}

WriteOutcome WriteAll(int fd, const char* data, std::size_t n, long totalMs, long stallMs, int stopFd)
{
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags < 0) return WriteOutcome::Failed;
    // A blocking write of a large buffer could wait without limit; write what the
    // descriptor takes and wait for room with poll() instead.
    const bool wasBlocking = !(flags & O_NONBLOCK);
    if (wasBlocking && ::fcntl(fd, F_SETFL, flags | O_NONBLOCK) != 0) return WriteOutcome::Failed;

    const Clock::time_point total = totalMs < 0 ? NoDeadline : DeadlineIn(totalMs);
    WriteOutcome outcome = WriteOutcome::Complete;
    std::size_t sent = 0;
    while (sent < n) {
        const Clock::time_point stall = stallMs < 0 ? NoDeadline : DeadlineIn(stallMs);
        const int re = PollForRoom(fd, stopFd, std::min(total, stall));
        if (re == StopSeen) {
            errno = ECANCELED;
            outcome = WriteOutcome::Stopped;
            break;
        }
        if (re == 0) {
            outcome = WriteOutcome::TimedOut;
            break;
        }
        if (re < 0) {
            outcome = WriteOutcome::Failed;
            break;
        }
        if (re & POLLOUT) {
            const ssize_t w = ::write(fd, data + sent, n - sent);
            if (w > 0) {
                sent += static_cast<std::size_t>(w);
                continue;
            }
            if (w < 0 && (errno == EAGAIN || errno == EINTR)) continue;
            outcome = WriteOutcome::Failed;
            break;
        }
        // POLLERR on a pipe: no reader is left. POLLHUP on a terminal: hung up.
        errno = (re & POLLNVAL) ? EBADF : EPIPE;
        outcome = WriteOutcome::Failed;
        break;
    }
    if (wasBlocking) {
        const int saved = errno;
        ::fcntl(fd, F_SETFL, flags);
        errno = saved;
    }
    return outcome;
}

} // namespace linkio
