// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/MemoryBackend.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "link/LinkBackend.h"
#include "link/LinkErrors.h"
#include "link/Trace.h"

std::size_t MemoryLine::Take(unsigned char* buffer, std::size_t n)
{
    const std::size_t count = std::min(n, input_.size() - at_);
    std::memcpy(buffer, input_.data() + at_, count);
    at_ += count;
    if (at_ == input_.size()) {
        input_.clear();
        at_ = 0;
    }
    return count;
}

class MemoryBackend final : public LinkBackend {
public:
    explicit MemoryBackend(std::shared_ptr<MemoryLine> line) : line_(std::move(line)) {}

    std::size_t Read(unsigned char* buffer, std::size_t n, int timeoutMs, const std::atomic<bool>& cancel) override
    {
        if (n == 0) return 0;
        if (line_->Queued() == 0 && !line_->draining_ && !cancel && line_->OnStarved) line_->OnStarved();
        if (line_->Queued() > 0) return line_->Take(buffer, n);
        if (line_->hungUp_) {
            Trace("read failed: the other side hung up");
            throw LinkError(LinkErrorKind::Lost, "", EIO);
        }
        ++line_->emptyReads_;
        line_->now_ += static_cast<uint32_t>(std::max(timeoutMs, 0));
        return 0;
    }

    // A line in memory takes every write at once: there is no wait for a stop to end.
    linkio::WriteOutcome Write(const char* data, std::size_t n, long, const WriteStop&) override
    {
        if (line_->hungUp_) {
            errno = EIO;
            return linkio::WriteOutcome::Failed;
        }
        if (line_->OnWritten) line_->OnWritten(ByteString(data, n));
        return linkio::WriteOutcome::Complete;
    }

    // Like the serial line: two quiet rounds of a few bytes.
    DrainPlan Drain() const override { return {2, 6, 100}; }
    void BeginDrain() override { line_->draining_ = true; }
    void EndDrain() override { line_->draining_ = false; }

    uint32_t Now() const override { return line_->now_; }
    void Pause(int ms, const std::atomic<bool>&) override { line_->now_ += static_cast<uint32_t>(std::max(ms, 0)); }

private:
    std::shared_ptr<MemoryLine> line_;
};

std::unique_ptr<LinkBackend> OpenMemoryBackend(std::shared_ptr<MemoryLine> line)
{
    return std::make_unique<MemoryBackend>(std::move(line));
}
