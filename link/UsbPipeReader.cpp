#include "link/UsbPipeReader.h"

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <QThread>

#include "link/PortLink.h"
#include "util/AutoResetEvent.h"

std::atomic<bool> ReadCancel{false};

namespace {

constexpr int PumpWaitMs = 100;
// After the pipe reported end-of-file or a failure (the device was unplugged, or its
// far end closed), the reader waits this long before it tries again, so a vanished
// device costs nothing while the link is still open.
constexpr int ReaderRetryPauseMs = 100;

// Owns the USB pipe reads: one request, one chunk of up to 64 bytes. It blocks in
// poll() on the pipe and on a wake-up descriptor, so StopReaderThread can end it
// wherever it waits.
class UsbPipeReader : public QThread {
public:
    explicit UsbPipeReader(int pipeHandle);
    ~UsbPipeReader() override;
    // False when no wake-up descriptor could be made; the thread then never runs.
    bool Usable() const { return wakeFd_ >= 0; }
    // Makes Execute return from wherever it waits.
    void Wake();

protected:
    void run() override { Execute(); }

private:
    void Execute();
    // Reads one chunk into ChunkBuffer; false when woken to end.
    bool ReadChunk();
    // Waits out a failed pipe read; false when woken to end.
    bool PauseAfterFailure();

    const int PipeHandle;
    uint8_t ChunkBuffer[UsbChunkSize] = {};
    uint32_t ChunkCount = 0;
    int wakeFd_ = -1;
    std::atomic<bool> stopping_{false};
};

// The hand-off between PumpUsb (the reading side) and the reader.
UsbPipeReader* ReaderThread = nullptr;
AutoResetEvent RequestEvent;
AutoResetEvent DoneEvent;
bool RequestPending = false;
uint8_t SharedChunk[UsbChunkSize];
uint32_t SharedCount = 0;

UsbPipeReader::UsbPipeReader(int pipeHandle)
    : PipeHandle(pipeHandle), wakeFd_(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK))
{
}

UsbPipeReader::~UsbPipeReader()
{
    if (wakeFd_ >= 0) ::close(wakeFd_);
}

void UsbPipeReader::Wake()
{
    stopping_ = true;
    if (wakeFd_ >= 0) {
        const uint64_t one = 1;
        ssize_t r;
        do r = ::write(wakeFd_, &one, sizeof one);
        while (r < 0 && errno == EINTR);
    }
    RequestEvent.Set();
}

void UsbPipeReader::Execute()
{
    for (;;) {
        RequestEvent.Wait();
        if (stopping_) return;
        if (!ReadChunk()) return;
        std::memcpy(SharedChunk, ChunkBuffer, ChunkCount);
        SharedCount = ChunkCount;
        DoneEvent.Set();
    }
}

bool UsbPipeReader::ReadChunk()
{
    for (;;) {
        pollfd fds[2] = {{PipeHandle, POLLIN, 0}, {wakeFd_, POLLIN, 0}};
        const int r = ::poll(fds, 2, -1);
        if (r < 0 && errno == EINTR) continue;
        if (r > 0 && fds[1].revents) return false;
        if (r > 0 && (fds[0].revents & POLLIN)) {
            const ssize_t n = ::read(PipeHandle, ChunkBuffer, sizeof ChunkBuffer);
            if (n > 0) {
                ChunkCount = static_cast<uint32_t>(n);
                return true;
            }
            if (n < 0 && (errno == EAGAIN || errno == EINTR)) continue;
        }
        // End-of-file (no writer left), a hang-up or a failed read: nothing will come
        // until the device is back, and a FIFO keeps reporting it at once.
        if (!PauseAfterFailure()) return false;
    }
}

bool UsbPipeReader::PauseAfterFailure()
{
    pollfd wake{wakeFd_, POLLIN, 0};
    int r;
    do r = ::poll(&wake, 1, ReaderRetryPauseMs);
    while (r < 0 && errno == EINTR);
    return r == 0;
}

} // namespace

void PumpUsb()
{
    if (!ReaderThread) {
        RequestEvent.Reset();
        DoneEvent.Reset();
        RequestPending = false;
        ReaderThread = new UsbPipeReader(PortLink.ReadHandle);
        // Without a wake-up descriptor the reader could not be stopped: it is not
        // started, and every pump then simply finds no data.
        if (ReaderThread->Usable()) ReaderThread->start();
        else Trace("USB reader not started: no wake-up descriptor");
    }
    if (!RequestPending) RequestEvent.Set();
    RequestPending = true;
    PortLink.RxCount = 0;
    PortLink.RxNext = 1;
    if (!DoneEvent.WaitFor(PumpWaitMs)) return;
    RequestPending = false;
    std::memcpy(PortLink.RxBuffer, SharedChunk, SharedCount);
    PortLink.RxCount = SharedCount;
}

void StopReaderThread()
{
    if (!ReaderThread) return;
    ReaderThread->Wake();
    // Returns promptly: every wait of the reader ends on the wake-up.
    ReaderThread->wait();
    delete ReaderThread;
    ReaderThread = nullptr;
    RequestEvent.Reset();
    DoneEvent.Reset();
    RequestPending = false;
}

void ForgetReaderThread()
{
    // Normally there is no reader when the transfer server starts. One left running
    // would hold its pipe and wake-up descriptors for ever, so it is stopped instead.
    StopReaderThread();
}

bool ReaderThreadRunning() { return ReaderThread && ReaderThread->isRunning(); }
