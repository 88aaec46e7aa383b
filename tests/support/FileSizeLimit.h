// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A full disk, as far as one test process can have one: files written by this process
// cannot grow past a limit (writes past it fail with EFBIG, as writes on a full disk fail
// with ENOSPC). The previous limit and the signal's disposition come back at the end.
#include <csignal>
#include <sys/resource.h>

class ScopedFileSizeLimit {
public:
    explicit ScopedFileSizeLimit(rlim_t bytes)
    {
        ::getrlimit(RLIMIT_FSIZE, &previous_);
        // Without this the write past the limit would end the process.
        previousSignal_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = previous_;
        limit.rlim_cur = bytes;
        ok_ = ::setrlimit(RLIMIT_FSIZE, &limit) == 0;
    }
    ~ScopedFileSizeLimit()
    {
        ::setrlimit(RLIMIT_FSIZE, &previous_);
        std::signal(SIGXFSZ, previousSignal_);
    }
    ScopedFileSizeLimit(const ScopedFileSizeLimit&) = delete;
    ScopedFileSizeLimit& operator=(const ScopedFileSizeLimit&) = delete;

    bool Active() const { return ok_; }

private:
    rlimit previous_{};
    void (*previousSignal_)(int) = SIG_DFL;
    bool ok_ = false;
};
