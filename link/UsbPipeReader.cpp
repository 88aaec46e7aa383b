// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/UsbPipeReader.h"

#include <cerrno>
#include <cstring>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include "link/Trace.h"
#include "util/MainThread.h"

namespace {

constexpr int PumpWaitMs = 100;
// After the pipe reported end-of-file or a failure (the device was unplugged, or its
// far end closed), the reader waits this long before it tries again, so a vanished
// device costs nothing while the link is still open.
constexpr int ReaderRetryPauseMs = 100;

} // namespace

// Reads one chunk per request into the reader's shared buffer.
class UsbPipeReader::Thread : public WorkerThread {
public:
    Thread(UsbPipeReader& owner, int pipe) : owner_(owner), pipe_(pipe), wakeFd_(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}
    ~Thread() override
    {
        if (wakeFd_ >= 0) ::close(wakeFd_);
    }
    // False when no wake-up descriptor could be made; the thread then never runs.
    bool Usable() const { return wakeFd_ >= 0; }

    // Makes Work() return from wherever it waits.
    void Wake()
    {
        stopping_ = true;
        if (wakeFd_ >= 0) {
            const uint64_t one = 1;
            ssize_t r;
            do r = ::write(wakeFd_, &one, sizeof one);
            while (r < 0 && errno == EINTR);
        }
        owner_.request_.Set();
    }

protected:
    void Work() override
    {
        for (;;) {
            owner_.request_.Wait();
            if (stopping_) return;
            if (!ReadChunk()) return;
            std::memcpy(owner_.shared_, chunk_, count_);
            owner_.sharedCount_ = count_;
            owner_.done_.Set();
        }
    }

private:
    // Reads one chunk; false when woken to end.
    bool ReadChunk()
    {
        for (;;) {
            pollfd fds[2] = {{pipe_, POLLIN, 0}, {wakeFd_, POLLIN, 0}};
            const int r = ::poll(fds, 2, -1);
            if (r < 0 && errno == EINTR) continue;
            if (r > 0 && fds[1].revents) return false;
            if (r > 0 && (fds[0].revents & POLLIN)) {
                const ssize_t n = ::read(pipe_, chunk_, sizeof chunk_);
                if (n > 0) {
                    count_ = static_cast<uint32_t>(n);
                    return true;
                }
                if (n < 0 && (errno == EAGAIN || errno == EINTR)) continue;
            }
            // End-of-file (no writer left), a hang-up or a failed read: nothing will
            // come until the device is back, and a FIFO keeps reporting it at once.
            if (!PauseAfterFailure()) return false;
        }
    }

    // Waits out a failed pipe read; false when woken to end.
    bool PauseAfterFailure()
    {
        pollfd wake{wakeFd_, POLLIN, 0};
        int r;
        do r = ::poll(&wake, 1, ReaderRetryPauseMs);
        while (r < 0 && errno == EINTR);
        return r == 0;
    }

    UsbPipeReader& owner_;
    const int pipe_;
    const int wakeFd_;
    uint8_t chunk_[UsbChunkSize] = {};
    uint32_t count_ = 0;
    std::atomic<bool> stopping_{false};
};

UsbPipeReader::UsbPipeReader(int pipe) : thread_(std::make_unique<Thread>(*this, pipe))
{
    // Without a wake-up descriptor the reader could not be stopped: it is not started,
    // and every pump then simply finds no data.
    if (thread_->Usable())
        thread_->start();
    else
        Trace("USB reader not started: no wake-up descriptor");
}

UsbPipeReader::~UsbPipeReader() { Stop(); }

uint32_t UsbPipeReader::Pump(uint8_t (&out)[UsbChunkSize])
{
    if (!requestPending_) request_.Set();
    requestPending_ = true;
    if (!done_.WaitFor(PumpWaitMs)) return 0;
    requestPending_ = false;
    std::memcpy(out, shared_, sharedCount_);
    return sharedCount_;
}

void UsbPipeReader::Stop()
{
    if (!thread_) return;
    thread_->Wake();
    // Returns promptly: every wait of the reader ends on the wake-up.
    thread_->Join();
    thread_.reset();
}

bool UsbPipeReader::Running() const { return thread_ && thread_->isRunning(); }
