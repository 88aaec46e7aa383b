// SPDX-License-Identifier: GPL-3.0-or-later
#include <cerrno>
#include <poll.h>
#include <unistd.h>

#include "tools/cli/AnswerInput.h"
#include "util/StopSignal.h"

namespace cli {

// One line typed on standard input. Waits until the line is complete, input ends, or a
// stop signal arrives (then nothing is returned), like a file dialog that waits for the
// user; nothing else runs meanwhile, and the calculator repeats its request until then.
std::optional<std::string> ReadAnswer(const StopSignal* stopSignal)
{
    std::string line;
    for (;;) {
        pollfd fds[2] = {{STDIN_FILENO, POLLIN, 0}, {stopSignal ? stopSignal->Fd() : -1, POLLIN, 0}};
        const int n = ::poll(fds, fds[1].fd >= 0 ? 2 : 1, -1);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 || (fds[1].revents & POLLIN)) return std::nullopt;
        char buf[256];
        const ssize_t got = ::read(STDIN_FILENO, buf, sizeof buf);
        if (got < 0 && (errno == EINTR || errno == EAGAIN)) continue;
        if (got <= 0) return std::nullopt;
        line.append(buf, static_cast<std::size_t>(got));
        if (const auto end = line.find('\n'); end != std::string::npos) {
            line.resize(end);
            if (!line.empty() && line.back() == '\r') line.pop_back();
            return line;
        }
    }
}

} // namespace cli
