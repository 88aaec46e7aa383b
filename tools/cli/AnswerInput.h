// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One line typed on standard input, ended early by a stop (one file per system).
#include <optional>
#include <string>

class StopSignal;

namespace cli {

// Waits until the line is complete, input ends, or a stop signal arrives (then nothing
// is returned).
std::optional<std::string> ReadAnswer(const StopSignal* stopSignal);

} // namespace cli
