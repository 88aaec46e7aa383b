// SPDX-License-Identifier: GPL-3.0-or-later
#include "util/StopSignal.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <thread>
#include <unistd.h>

namespace {

// What the handler touches: lock-free atomics only, so it stays async-signal-safe.
std::atomic<bool> gInstalled{false};
std::atomic<bool> gRaised{false};
std::atomic<int> gLevelFd{-1};
std::atomic<int> gNotifyFd{-1};
static_assert(std::atomic<bool>::is_always_lock_free && std::atomic<int>::is_always_lock_free);

void OnStopSignal(int)
{
    const int saved = errno;
    gRaised = true;
    const char byte = 1;
    // Either pipe may be full after a flood of signals; one byte in it is enough.
    (void)!::write(gLevelFd.load(), &byte, 1);
    (void)!::write(gNotifyFd.load(), &byte, 1);
    errno = saved;
}

bool MakePipe(int fds[2]) { return ::pipe2(fds, O_CLOEXEC | O_NONBLOCK) == 0; }

void ClosePipe(int fds[2])
{
    for (int i = 0; i < 2; ++i)
        if (fds[i] >= 0) ::close(fds[i]);
    fds[0] = fds[1] = -1;
}

} // namespace

StopSignal::StopSignal(const std::vector<int>& caught)
{
    if (gInstalled.exchange(true)) {
        // Two owners would fight over the handlers and the pipes they write.
        std::fprintf(stderr, "StopSignal: one lives at a time\n");
        std::abort();
    }
    gRaised = false;
    if (!MakePipe(level_) || !MakePipe(notify_)) {
        // Without a pipe the signals keep their old meaning (usually: end the process).
        ClosePipe(level_);
        ClosePipe(notify_);
        return;
    }
    gLevelFd = level_[1];
    gNotifyFd = notify_[1];
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    // The stop is seen through the flag and the pipes; a read or write elsewhere in the
    // program must not fail with EINTR because of it.
    action.sa_flags = SA_RESTART;
    for (int sig : caught) {
        Previous previous{sig, {}};
        if (::sigaction(sig, &action, &previous.action) == 0) previous_.push_back(previous);
    }
}

StopSignal::~StopSignal()
{
    // Handlers first: no signal may write to a descriptor after it is closed.
    for (const Previous& p : previous_) ::sigaction(p.signal, &p.action, nullptr);
    gLevelFd = -1;
    gNotifyFd = -1;
    delete notifier_;
    ClosePipe(level_);
    ClosePipe(notify_);
    gRaised = false;
    gInstalled = false;
}

bool StopSignal::Raised() const { return gRaised; }

bool StopSignal::Wait(int ms) const
{
    using namespace std::chrono;
    if (level_[0] < 0) {
        // No pipe, so no handler either: nothing can raise the stop.
        if (ms >= 0)
            std::this_thread::sleep_for(milliseconds(ms));
        else
            ::pause();
        return Raised();
    }
    const auto deadline = steady_clock::now() + milliseconds(ms);
    for (;;) {
        if (Raised()) return true;
        int timeout = -1;
        if (ms >= 0) {
            const auto left = ceil<milliseconds>(deadline - steady_clock::now()).count();
            if (left <= 0) return false;
            timeout = static_cast<int>(left);
        }
        pollfd fd{level_[0], POLLIN, 0};
        ::poll(&fd, 1, timeout); // EINTR or time-out: the loop looks again
    }
}

void StopSignal::OnSignal(QObject* context, std::function<void()> onSignal)
{
    delete notifier_;
    if (notify_[0] < 0) return;
    notifier_ = new QSocketNotifier(notify_[0], QSocketNotifier::Read, context);
    QObject::connect(notifier_, &QSocketNotifier::activated, notifier_, [fd = notify_[0], onSignal = std::move(onSignal)] {
        char bytes[64];
        ssize_t n;
        while ((n = ::read(fd, bytes, sizeof bytes)) > 0)
            for (ssize_t i = 0; i < n; ++i) onSignal();
    });
}
