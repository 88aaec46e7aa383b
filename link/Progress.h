#pragma once
// The progress texts of the transfers.
#include <cstdint>
#include <string>

#include "util/HostInterfaces.h"

// The three-line progress text. Nothing when total <= 0.
std::string ProgressText(int64_t done, int64_t total, uint32_t elapsedMs);
// Hands ProgressText to sink as a progress report of done of total.
void ReportProgress(int64_t done, int64_t total, uint32_t startTick, const StatusSink& sink);
// For a transfer whose size nobody announced (a file the calculator pushes, an object
// sent by wire): the bytes so far and the rate, two lines, no percentage.
std::string ReceivedText(int64_t done, uint32_t elapsedMs);
// Hands ReceivedText to sink as a progress report with no total (0).
void ReportReceived(int64_t done, uint32_t startTick, const StatusSink& sink);
