// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/cli/Interrupt.h"

namespace cli {

// The children share this program's console, which hands Ctrl+C to each of them itself.
void InterruptChild(std::int64_t) {}

} // namespace cli
