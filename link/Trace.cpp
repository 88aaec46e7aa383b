// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/Trace.h"

#include <atomic>
#include <mutex>

namespace {

// The product has no sink: a trace line costs one atomic load.
std::atomic<bool> HasSink{false};
std::mutex SinkMutex;
TraceSink Sink;

} // namespace

void SetTraceSink(TraceSink sink)
{
    std::lock_guard lock(SinkMutex);
    Sink = std::move(sink);
    HasSink = static_cast<bool>(Sink);
}

bool Tracing() { return HasSink.load(std::memory_order_relaxed); }

void Trace(const std::string& text)
{
    if (!HasSink) return;
    TraceSink sink;
    {
        std::lock_guard lock(SinkMutex);
        sink = Sink;
    }
    // Called outside the lock, so a sink may trace or replace itself.
    if (sink) sink(text);
}

void TraceFrame(const std::string& text, const ByteString& data)
{
    if (!HasSink) return;
    Trace(text + " " + HexBytes(data));
}
