// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Passes a stop on to a child process of this program (one file per system).
#include <cstdint>

namespace cli {

void InterruptChild(std::int64_t processId);

} // namespace cli
