// SPDX-License-Identifier: GPL-3.0-or-later
#include <csignal>
#include <sys/types.h>

#include "tools/cli/Interrupt.h"

namespace cli {

// The child stops between two chunks, as after Ctrl-C.
void InterruptChild(std::int64_t processId) { ::kill(static_cast<pid_t>(processId), SIGINT); }

} // namespace cli
