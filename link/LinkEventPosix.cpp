// SPDX-License-Identifier: GPL-3.0-or-later
#include <cerrno>
#include <csignal>
#include <cstdint>
#include <mutex>
#include <sys/eventfd.h>
#include <unistd.h>

#include "link/LinkEvent.h"

namespace linkevent {

int Make() { return ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK); }

// An eventfd stays readable from the first Raise to the next Lower.
void Raise(int event)
{
    if (event < 0) return;
    const uint64_t one = 1;
    ssize_t r;
    do r = ::write(event, &one, sizeof one);
    while (r < 0 && errno == EINTR);
}

void Lower(int event)
{
    if (event < 0) return;
    uint64_t pending = 0;
    while (::read(event, &pending, sizeof pending) > 0) {}
}

void Destroy(int event)
{
    if (event >= 0) ::close(event);
}

// A write to a pipe whose reader has gone (an unplugged device) must fail with EPIPE,
// not end the program with SIGPIPE. Only a default disposition is changed.
void PrepareProcess()
{
    static std::once_flag once;
    std::call_once(once, [] {
        struct sigaction old {};
        if (::sigaction(SIGPIPE, nullptr, &old) == 0 && old.sa_handler == SIG_DFL) ::signal(SIGPIPE, SIG_IGN);
    });
}

} // namespace linkevent
