#include "link/Progress.h"
#include "util/StringTable.h"
#include "util/Ticks.h"

namespace {

// From this rate on the text counts in Kbytes.
constexpr int64_t KbyteRate = 10240;

} // namespace

std::string ProgressText(int64_t done, int64_t total, uint32_t elapsedMs)
{
    if (total <= 0) return {};
    const int64_t rate = done * 1000 / (static_cast<int64_t>(elapsedMs) + 1);
    if (rate < KbyteRate) {
        return std::to_string(done) + "/" + std::to_string(total) + Str::Bytes + "\r\n(" + std::to_string(done * 100 / total) +
               "%)\r\n" + std::to_string(rate) + Str::BytesPerSec;
    }
    // The Kbytes form takes its percentage from done - 1: a finished transfer shows 99%
    // until the dialog closes.
    return std::to_string(done / 1024) + "/" + std::to_string(total / 1024) + Str::KBytes + "\r\n(" +
           std::to_string((done - 1) * 100 / total) + "%)\r\n" + std::to_string(rate / 1024) + Str::KBytesPerSec;
}

std::string ReceivedText(int64_t done, uint32_t elapsedMs)
{
    const int64_t rate = done * 1000 / (static_cast<int64_t>(elapsedMs) + 1);
    if (rate < KbyteRate) return std::to_string(done) + Str::Bytes + "\r\n" + std::to_string(rate) + Str::BytesPerSec;
    return std::to_string(done / 1024) + Str::KBytes + "\r\n" + std::to_string(rate / 1024) + Str::KBytesPerSec;
}

void ReportReceived(int64_t done, uint32_t startTick, const StatusSink& sink)
{
    if (!sink) return;
    sink(StatusReport::Progress(ReceivedText(done, TicksSince(startTick)), static_cast<int>(done), 0));
}

void ReportProgress(int64_t done, int64_t total, uint32_t startTick, const StatusSink& sink)
{
    if (total <= 0 || !sink) return;
    sink(StatusReport::Progress(ProgressText(done, total, TicksSince(startTick)), static_cast<int>(done),
                                static_cast<int>(total)));
}
