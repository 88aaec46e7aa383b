// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/LibUsbBackend.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>
#include <utility>
#include <vector>

#include <libusb.h>

#include "link/LinkBackend.h"
#include "link/LinkErrors.h"
#include "link/Trace.h"
#include "link/UsbIdleClock.h"
#include "util/MainThread.h"
#include "util/Ticks.h"

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// The same limits as the pipe device, so that the protocols above see one kind of USB
// link: a write the device does not take within this long has stalled (reads share the
// pipe device's idle clock, UsbIdleClock).
constexpr long UsbWriteStallMs = 20000;
// The reading side never waits longer than this for a chunk before it looks at its
// idle clock and the cancel flag again; a waiting write looks at the stop as often.
constexpr int StepWaitMs = 100;
// After an IN transfer failed (a stall, an overflow, a bus error) the next one goes out
// this much later, so a device in trouble costs nothing while the link stays open.
constexpr int InRetryPauseMs = 100;
// The event thread's longest wait in libusb: how soon it notices its stop flag even if
// nothing wakes it.
constexpr int EventWaitMs = 50;
// How long a cancelled transfer gets to report back. The close as a whole stays within
// LibUsbCloseLimitMs.
constexpr int CancelWaitMs = 1000;

constexpr uint8_t VendorSpecificClass = 0xFF;

// A read whose cancel never reported back by the close: closing its handle or ending its
// context would hang or free what libusb may still hold, so all of it is kept, untouched,
// for the rest of the run, and listed here (rather than dropped) to say it is kept on
// purpose. It takes a device that stops answering USB requests; it has not happened
// outside slowed-down test runs.
struct AbandonedRead {
    libusb_context* context;
    libusb_device_handle* handle;
    libusb_transfer* transfer;
    std::vector<unsigned char> buffer;
};

void KeepAbandonedRead(AbandonedRead read)
{
    static std::mutex lock;
    static auto* const Kept = new std::vector<AbandonedRead>; // never freed: it is kept
    const std::lock_guard hold(lock);
    Kept->push_back(std::move(read));
}

std::string Hex4(uint16_t word)
{
    char text[5];
    std::snprintf(text, sizeof text, "%04x", word);
    return text;
}

std::string LibUsbText(int code) { return std::string(libusb_error_name(code)) + " (" + std::to_string(code) + ")"; }

// errno for a failed write, so that "write failed: <reason>" says something true.
int ErrnoOfStatus(int status)
{
    switch (status) {
    case LIBUSB_TRANSFER_NO_DEVICE:
        return ENODEV;
    case LIBUSB_TRANSFER_STALL:
        return EPIPE;
    case LIBUSB_TRANSFER_TIMED_OUT:
        return ETIMEDOUT;
    case LIBUSB_TRANSFER_OVERFLOW:
        return EOVERFLOW;
    default:
        return EIO;
    }
}

int ErrnoOfError(int code)
{
    switch (code) {
    case LIBUSB_ERROR_NO_DEVICE:
        return ENODEV;
    case LIBUSB_ERROR_BUSY:
        return EBUSY;
    case LIBUSB_ERROR_NO_MEM:
        return ENOMEM;
    case LIBUSB_ERROR_ACCESS:
        return EACCES;
    case LIBUSB_ERROR_PIPE:
        return EPIPE;
    default:
        return EIO;
    }
}

// The calculator's side of the device: the interface and its two bulk endpoints.
struct CalculatorInterface {
    int number = -1;
    uint8_t in = 0;
    uint8_t out = 0;
    int inPacketSize = 0;
};

// The first interface (first alternate setting) of vendor-specific class with exactly
// one bulk IN and one bulk OUT endpoint.
std::optional<CalculatorInterface> FindCalculatorInterface(const libusb_config_descriptor& config)
{
    for (int i = 0; i < config.bNumInterfaces; ++i) {
        const libusb_interface& iface = config.interface[i];
        if (iface.num_altsetting < 1) continue;
        const libusb_interface_descriptor& alt = iface.altsetting[0];
        if (alt.bInterfaceClass != VendorSpecificClass) continue;
        CalculatorInterface found;
        found.number = alt.bInterfaceNumber;
        int ins = 0, outs = 0;
        for (int e = 0; e < alt.bNumEndpoints; ++e) {
            const libusb_endpoint_descriptor& ep = alt.endpoint[e];
            if ((ep.bmAttributes & LIBUSB_TRANSFER_TYPE_MASK) != LIBUSB_TRANSFER_TYPE_BULK) continue;
            if (ep.bEndpointAddress & LIBUSB_ENDPOINT_IN) {
                ++ins;
                found.in = ep.bEndpointAddress;
                found.inPacketSize = ep.wMaxPacketSize & 0x7FF;
            } else {
                ++outs;
                found.out = ep.bEndpointAddress;
            }
        }
        if (ins == 1 && outs == 1 && found.inPacketSize > 0) return found;
    }
    return std::nullopt;
}

bool Matches(libusb_device* device, UsbId id)
{
    libusb_device_descriptor desc{};
    return libusb_get_device_descriptor(device, &desc) == 0 && desc.idVendor == id.vendor && desc.idProduct == id.product;
}

class LibUsbBackend final : public LinkBackend {
public:
    LibUsbBackend(libusb_context* context, libusb_device_handle* handle, CalculatorInterface iface, bool reattach)
        : context_(context), handle_(handle), iface_(iface), reattach_(reattach),
          inBuffer_(static_cast<std::size_t>(iface.inPacketSize) * InPacketsPerTransfer), in_(libusb_alloc_transfer(0))
    {
        eventThread_ = std::thread([this] { EventLoop(); });
    }

    ~LibUsbBackend() override { Close(); }

    std::size_t Read(unsigned char* buffer, std::size_t n, int timeoutMs, const std::atomic<bool>& cancel) override
    {
        std::size_t pos = 0;
        while (pos < n) {
            if (rxNext_ >= rx_.size()) {
                WaitForChunk(static_cast<uint32_t>(std::max(timeoutMs, 0)), cancel);
                if (rxNext_ >= rx_.size()) break;
            }
            const std::size_t m = std::min(rx_.size() - rxNext_, n - pos);
            std::memcpy(buffer + pos, rx_.data() + rxNext_, m);
            rxNext_ += m;
            pos += m;
        }
        return pos;
    }

    // One OUT transfer per call, a ROM chunk included: the calculator takes a block as
    // it comes, and the transfer ends when it has all of it or the stall limit passed.
    bool StillAttached() const override
    {
        std::lock_guard lock(mutex_);
        return !gone_;
    }

    linkio::WriteOutcome Write(const char* data, std::size_t n, long stallMs, const WriteStop& stop) override
    {
        if (n == 0) return linkio::WriteOutcome::Complete;
        {
            std::lock_guard lock(mutex_);
            if (gone_) {
                errno = ENODEV;
                return linkio::WriteOutcome::Failed;
            }
        }
        auto out = std::make_unique<OutTransfer>();
        out->owner = this;
        out->data.assign(data, data + n);
        out->transfer = libusb_alloc_transfer(0);
        if (!out->transfer) {
            errno = ENOMEM;
            return linkio::WriteOutcome::Failed;
        }
        // No libusb time-out: the bound is kept here, where a time-out is told from a
        // failure.
        libusb_fill_bulk_transfer(out->transfer, handle_, iface_.out, out->data.data(), static_cast<int>(n), OutDone, out.get(),
                                  0);
        const int r = libusb_submit_transfer(out->transfer);
        if (r != 0) {
            Trace("USB write not started: " + LibUsbText(r));
            if (r == LIBUSB_ERROR_NO_DEVICE) MarkGone();
            libusb_free_transfer(out->transfer);
            errno = ErrnoOfError(r);
            return linkio::WriteOutcome::Failed;
        }
        const auto deadline = Clock::now() + milliseconds(stallMs < 0 ? UsbWriteStallMs : stallMs);
        std::unique_lock lock(mutex_);
        // In steps, like the reading side, so that a stop ends a transfer the device does
        // not take within one step; one that completes within it is never cut short.
        bool stopped = false;
        while (!out->done && Clock::now() < deadline) {
            changed_.wait_until(lock, std::min(deadline, Clock::now() + milliseconds(StepWaitMs)), [&] { return out->done; });
            if (!out->done && stop.requested) {
                stopped = true;
                break;
            }
        }
        if (!out->done) {
            lock.unlock();
            libusb_cancel_transfer(out->transfer);
            lock.lock();
            if (!changed_.wait_for(lock, milliseconds(CancelWaitMs), [&] { return out->done; })) {
                // libusb still owns the transfer: it must outlive this call, so it is
                // left behind rather than freed under libusb's feet.
                Trace(std::string("USB write ") + (stopped ? "stopped" : "stalled") + " and its cancel never completed");
                (void)out.release();
                errno = stopped ? ECANCELED : ETIMEDOUT;
                return stopped ? linkio::WriteOutcome::Stopped : linkio::WriteOutcome::TimedOut;
            }
        }
        const int status = out->status;
        const int actual = out->actual;
        lock.unlock();
        libusb_free_transfer(out->transfer);
        if (status == LIBUSB_TRANSFER_COMPLETED && actual == static_cast<int>(n)) return linkio::WriteOutcome::Complete;
        if (status == LIBUSB_TRANSFER_CANCELLED && stopped) {
            Trace("USB write stopped after " + std::to_string(actual) + " of " + std::to_string(n) + " bytes");
            errno = ECANCELED;
            return linkio::WriteOutcome::Stopped;
        }
        if (status == LIBUSB_TRANSFER_CANCELLED || status == LIBUSB_TRANSFER_TIMED_OUT) {
            Trace("USB write stalled after " + std::to_string(actual) + " of " + std::to_string(n) + " bytes");
            errno = ETIMEDOUT;
            return linkio::WriteOutcome::TimedOut;
        }
        if (status == LIBUSB_TRANSFER_NO_DEVICE) MarkGone();
        Trace("USB write ended with status " + std::to_string(status) + " after " + std::to_string(actual) + " bytes");
        errno = status == LIBUSB_TRANSFER_COMPLETED ? EIO : ErrnoOfStatus(status);
        return linkio::WriteOutcome::Failed;
    }

    // The pipe device's drain: four quiet rounds of up to 300 bytes, 10 ms each, with
    // the chunk in hand dropped.
    DrainPlan Drain() const override { return {4, 300, 10}; }
    void BeforeDrainRound() override { DropChunkInHand(); }
    void EndDrain() override { DropChunkInHand(); }

    std::size_t BufferedBytes() const override
    {
        std::size_t queued = 0;
        {
            std::lock_guard lock(mutex_);
            for (const auto& chunk : chunks_) queued += chunk.size();
        }
        return rx_.size() - rxNext_ + queued;
    }
    bool ReaderRunning() const override
    {
        std::lock_guard lock(mutex_);
        return inStarted_ && !closing_;
    }
    void RestartIdleClock() override { idleClock_.Restart(); }

private:
    // One packet per IN transfer: a transfer longer than a packet ends only at a short
    // or zero-length packet, and a calculator that sends exactly a packet's worth and
    // no zero-length packet would leave it waiting. A whole packet never overflows.
    static constexpr std::size_t InPacketsPerTransfer = 1;

    struct OutTransfer {
        LibUsbBackend* owner = nullptr;
        libusb_transfer* transfer = nullptr;
        std::vector<unsigned char> data;
        bool done = false;
        int status = 0;
        int actual = 0;
    };

    void DropChunkInHand()
    {
        rx_.clear();
        rxNext_ = 0;
    }

    // Waits until a chunk is in hand, the idle time reaches timeoutMs or cancel is set,
    // in steps of at most 100 ms. The idle clock carries over from one read to the next
    // and counts from the end of the first quiet step, as on the pipe device.
    void WaitForChunk(uint32_t timeoutMs, const std::atomic<bool>& cancel)
    {
        for (;;) {
            ProcessPendingEvents();
            const bool got = Step();
            const bool idleOver = idleClock_.StepOver(got, timeoutMs);
            if (got || cancel || idleOver) return;
        }
    }

    // One step of the reading side: the IN transfer goes out at the first, then the
    // step waits up to 100 ms for a chunk. The transfer stays queued whatever happens
    // here, so data that comes later is kept for the next step.
    bool Step()
    {
        StartReading();
        std::unique_lock lock(mutex_);
        changed_.wait_for(lock, milliseconds(StepWaitMs), [&] { return !chunks_.empty(); });
        if (chunks_.empty()) return false;
        rx_ = std::move(chunks_.front());
        chunks_.pop_front();
        rxNext_ = 0;
        return true;
    }

    void StartReading()
    {
        {
            std::lock_guard lock(mutex_);
            if (inStarted_ || closing_) return;
            inStarted_ = true;
        }
        libusb_fill_bulk_transfer(in_, handle_, iface_.in, inBuffer_.data(), static_cast<int>(inBuffer_.size()), InDone, this, 0);
        SubmitIn();
    }

    // Submits the IN transfer; on failure the device is gone or the next try is due
    // after a pause.
    void SubmitIn()
    {
        {
            std::lock_guard lock(mutex_);
            inFlight_ = true;
        }
        const int r = libusb_submit_transfer(in_);
        if (r == 0) return;
        Trace("USB read not started: " + LibUsbText(r));
        std::lock_guard lock(mutex_);
        inFlight_ = false;
        if (r == LIBUSB_ERROR_NO_DEVICE)
            gone_ = true;
        else
            inRetryAt_ = Clock::now() + milliseconds(InRetryPauseMs);
        changed_.notify_all();
    }

    static void LIBUSB_CALL InDone(libusb_transfer* transfer)
    {
        static_cast<LibUsbBackend*>(transfer->user_data)->InCompleted(transfer);
    }

    // Event thread. Every byte that came is kept, whatever the status: a transfer that
    // ended early (a time-out or a cancel) can still hold data.
    void InCompleted(libusb_transfer* transfer)
    {
        bool again = false;
        {
            std::lock_guard lock(mutex_);
            if (transfer->actual_length > 0) chunks_.emplace_back(transfer->buffer, transfer->buffer + transfer->actual_length);
            switch (transfer->status) {
            case LIBUSB_TRANSFER_COMPLETED:
            case LIBUSB_TRANSFER_TIMED_OUT:
                again = !closing_;
                break;
            case LIBUSB_TRANSFER_CANCELLED:
                break;
            case LIBUSB_TRANSFER_NO_DEVICE:
                gone_ = true;
                break;
            case LIBUSB_TRANSFER_STALL:
                clearHalt_ = true;
                [[fallthrough]];
            default:
                inRetryAt_ = Clock::now() + milliseconds(InRetryPauseMs);
                break;
            }
            if (!again) inFlight_ = false;
            changed_.notify_all();
        }
        if (transfer->status == LIBUSB_TRANSFER_NO_DEVICE)
            Trace("USB device gone");
        else if (transfer->status != LIBUSB_TRANSFER_COMPLETED && transfer->status != LIBUSB_TRANSFER_CANCELLED)
            Trace("USB read ended with status " + std::to_string(transfer->status) + ", " +
                  std::to_string(transfer->actual_length) + " bytes kept");
        if (again) {
            const int r = libusb_submit_transfer(transfer);
            if (r != 0) {
                Trace("USB read not restarted: " + LibUsbText(r));
                std::lock_guard lock(mutex_);
                inFlight_ = false;
                if (r == LIBUSB_ERROR_NO_DEVICE)
                    gone_ = true;
                else
                    inRetryAt_ = Clock::now() + milliseconds(InRetryPauseMs);
                changed_.notify_all();
            }
        }
    }

    static void LIBUSB_CALL OutDone(libusb_transfer* transfer)
    {
        auto* out = static_cast<OutTransfer*>(transfer->user_data);
        std::lock_guard lock(out->owner->mutex_);
        out->status = transfer->status;
        out->actual = transfer->actual_length;
        out->done = true;
        out->owner->changed_.notify_all();
    }

    void MarkGone()
    {
        std::lock_guard lock(mutex_);
        gone_ = true;
        changed_.notify_all();
    }

    // Event thread: libusb's events until the close stops it, and the IN transfer's
    // retry after a pause.
    void EventLoop()
    {
        while (!stopEvents_) {
            timeval tv{0, suseconds_t{EventWaitMs} * 1000};
            const int r = libusb_handle_events_timeout_completed(context_, &tv, nullptr);
            if (r < 0 && r != LIBUSB_ERROR_INTERRUPTED) {
                // libusb itself is failing: wait a round rather than call it again at once.
                std::unique_lock lock(mutex_);
                changed_.wait_for(lock, milliseconds(EventWaitMs), [&] { return stopEvents_.load(); });
            }
            RetryInIfDue();
        }
    }

    void RetryInIfDue()
    {
        bool clearHalt = false;
        {
            std::lock_guard lock(mutex_);
            if (!inStarted_ || inFlight_ || gone_ || closing_ || !inRetryAt_ || Clock::now() < *inRetryAt_) return;
            inRetryAt_.reset();
            clearHalt = std::exchange(clearHalt_, false);
        }
        if (clearHalt) {
            const int r = libusb_clear_halt(handle_, iface_.in);
            if (r != 0) Trace("clearing the read endpoint's stall failed: " + LibUsbText(r));
        }
        SubmitIn();
    }

    // Cancel the IN transfer and wait for it, stop the event thread, release, close,
    // and end libusb last: libusb_close with a transfer still pending would hang, so a
    // transfer that never reports back keeps the handle open rather than the program.
    void Close()
    {
        const auto deadline = Clock::now() + milliseconds(LibUsbCloseLimitMs - EventWaitMs * 2);
        bool cancelIn = false;
        {
            std::lock_guard lock(mutex_);
            closing_ = true;
            cancelIn = inFlight_;
        }
        if (cancelIn) {
            const int r = libusb_cancel_transfer(in_);
            if (r != 0 && r != LIBUSB_ERROR_NOT_FOUND) Trace("cancelling the USB read failed: " + LibUsbText(r));
            std::unique_lock lock(mutex_);
            changed_.wait_until(lock, std::min(deadline, Clock::now() + milliseconds(CancelWaitMs)), [&] { return !inFlight_; });
        }
        stopEvents_ = true;
        {
            std::lock_guard lock(mutex_);
            changed_.notify_all();
        }
        libusb_interrupt_event_handler(context_);
        if (eventThread_.joinable()) eventThread_.join();
        bool pending;
        {
            std::lock_guard lock(mutex_);
            pending = inFlight_;
        }
        if (pending) {
            Trace("USB read still pending at close; the device handle is left open");
            KeepAbandonedRead({context_, handle_, in_, std::move(inBuffer_)});
            return;
        }
        libusb_free_transfer(in_);
        const int r = libusb_release_interface(handle_, iface_.number);
        if (r != 0) Trace("releasing the USB interface: " + LibUsbText(r));
        if (reattach_ && r == 0) libusb_attach_kernel_driver(handle_, iface_.number);
        libusb_close(handle_);
        libusb_exit(context_);
    }

    libusb_context* const context_;
    libusb_device_handle* const handle_;
    const CalculatorInterface iface_;
    const bool reattach_;

    // Shared with the event thread.
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::vector<uint8_t>> chunks_;
    bool inStarted_ = false;
    bool inFlight_ = false;
    bool gone_ = false;
    bool closing_ = false;
    bool clearHalt_ = false;
    std::optional<Clock::time_point> inRetryAt_;
    std::atomic<bool> stopEvents_{false};

    std::vector<unsigned char> inBuffer_;
    libusb_transfer* const in_;
    std::thread eventThread_;

    // The reading side's own: the chunk in hand.
    std::vector<uint8_t> rx_;
    std::size_t rxNext_ = 0;
    UsbIdleClock idleClock_;
};

// Which device to open: the first that matches, named so in the trace.
struct DeviceChoice {
    std::function<bool(libusb_device*)> matches;
    std::string name; // "usb:1e3a:0401" or "usb:1-2.3"
};

// Finds and opens the device; nullptr with kind and whyNot set as OpenLibUsbBackend says.
// id becomes the id of the device found.
libusb_device_handle* OpenDevice(libusb_context* context, const DeviceChoice& choice, UsbId& id, LinkErrorKind& kind,
                                 std::string& whyNot, std::optional<CalculatorInterface>& iface)
{
    libusb_device** list = nullptr;
    const ssize_t count = libusb_get_device_list(context, &list);
    if (count < 0) {
        Trace("USB devices not listed: " + LibUsbText(static_cast<int>(count)));
        return nullptr;
    }
    libusb_device_handle* handle = nullptr;
    bool found = false;
    for (ssize_t i = 0; i < count && !handle; ++i) {
        libusb_device_descriptor desc{};
        if (libusb_get_device_descriptor(list[i], &desc) != 0 || !choice.matches(list[i])) continue;
        found = true;
        id = {desc.idVendor, desc.idProduct};
        libusb_config_descriptor* config = nullptr;
        if (libusb_get_active_config_descriptor(list[i], &config) != 0 &&
            libusb_get_config_descriptor(list[i], 0, &config) != 0) {
            Trace("USB device " + choice.name + " has no readable configuration");
            continue;
        }
        iface = FindCalculatorInterface(*config);
        libusb_free_config_descriptor(config);
        if (!iface) {
            Trace("USB device " + choice.name + " has no interface with one bulk IN and one bulk OUT endpoint");
            continue;
        }
        const int r = libusb_open(list[i], &handle);
        if (r != 0) {
            handle = nullptr;
            Trace("Cannot open USB device " + choice.name + ": " + LibUsbText(r));
            if (r == LIBUSB_ERROR_ACCESS) {
                kind = LinkErrorKind::NoPermission;
                whyNot = UsbNoPermissionText(id);
            }
        }
    }
    libusb_free_device_list(list, 1);
    if (!found) {
        kind = LinkErrorKind::NotFound;
        Trace("No USB device " + choice.name);
    }
    return handle;
}

std::unique_ptr<LinkBackend> OpenChosen(const DeviceChoice& choice)
{
    libusb_context* context = nullptr;
    if (const int r = libusb_init(&context); r != 0) {
        Trace("libusb not started: " + LibUsbText(r));
        throw LinkError(LinkErrorKind::OpenFailed, "", ErrnoOfError(r));
    }
    std::optional<CalculatorInterface> iface;
    LinkErrorKind kind = LinkErrorKind::OpenFailed;
    std::string whyNot;
    UsbId id;
    libusb_device_handle* handle = OpenDevice(context, choice, id, kind, whyNot, iface);
    if (!handle) {
        libusb_exit(context);
        throw LinkError(kind, whyNot);
    }
    const std::string& name = choice.name;
    // Only a driver libusb reports as bound is detached. An unknown answer (a negative
    // one) goes on to the claim, which says whether the interface is free; libusb's
    // automatic detach is not used, it fails where the answer is unknown.
    bool detached = false;
    const int active = libusb_kernel_driver_active(handle, iface->number);
    if (active == 1) {
        const int r = libusb_detach_kernel_driver(handle, iface->number);
        if (r == 0)
            detached = true;
        else
            Trace("Cannot detach the kernel driver of USB device " + name + ": " + LibUsbText(r));
    } else if (active < 0) {
        Trace("Kernel driver of USB device " + name + " unknown: " + LibUsbText(active));
    }
    if (const int r = libusb_claim_interface(handle, iface->number); r != 0) {
        Trace("Cannot claim interface " + std::to_string(iface->number) + " of USB device " + name + ": " + LibUsbText(r));
        if (detached) libusb_attach_kernel_driver(handle, iface->number);
        libusb_close(handle);
        libusb_exit(context);
        if (r == LIBUSB_ERROR_BUSY) throw LinkError(LinkErrorKind::Busy, UsbInUseText(id), EBUSY);
        if (r == LIBUSB_ERROR_ACCESS) throw LinkError(LinkErrorKind::NoPermission, UsbNoPermissionText(id), EACCES);
        throw LinkError(LinkErrorKind::OpenFailed, "", ErrnoOfError(r));
    }
    Trace("USB device " + name + " interface " + std::to_string(iface->number) + ", " + std::to_string(iface->inPacketSize) +
          "-byte packets");
    return std::make_unique<LibUsbBackend>(context, handle, *iface, detached);
}

// Whether any device on the bus matches.
bool AnyAttached(const std::function<bool(libusb_device*)>& matches)
{
    libusb_context* context = nullptr;
    if (libusb_init(&context) != 0) return false;
    libusb_device** list = nullptr;
    const ssize_t count = libusb_get_device_list(context, &list);
    bool attached = false;
    for (ssize_t i = 0; i < count && !attached; ++i) attached = matches(list[i]);
    if (count >= 0) libusb_free_device_list(list, 1);
    libusb_exit(context);
    return attached;
}

const char* const SysUsbDevices = "/sys/bus/usb/devices/";

// A number in a sysfs attribute file ("5\n"); nothing when unreadable.
std::optional<int> SysNumber(const std::string& path)
{
    std::ifstream in(path);
    int value = 0;
    if (!(in >> value)) return std::nullopt;
    return value;
}

bool KernelDeviceAt(const std::string& kernelName, int bus, int address)
{
    return SysNumber(SysUsbDevices + kernelName + "/busnum") == bus &&
           SysNumber(SysUsbDevices + kernelName + "/devnum") == address;
}

} // namespace

std::optional<UsbSocket> SocketOfDevice(libusb_device* device)
{
    const int bus = libusb_get_bus_number(device);
    const int address = libusb_get_device_address(device);
    uint8_t ports[7];
    const int depth = libusb_get_port_numbers(device, ports, sizeof ports);
    if (depth > 0) {
        UsbSocket socket{bus, {}};
        for (int i = 0; i < depth; ++i) socket.ports.push_back(ports[i]);
        if (KernelDeviceAt(socket.KernelName(), bus, address)) return socket;
    }
    // libusb knows the chain only as far as it enumerated the hubs on the way.
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(SysUsbDevices, ec)) {
        const std::string name = entry.path().filename().string();
        auto socket = ParseUsbKernelName(name);
        if (socket && KernelDeviceAt(name, bus, address)) return socket;
    }
    return std::nullopt;
}

std::unique_ptr<LinkBackend> OpenLibUsbBackend(UsbId id)
{
    return OpenChosen({[id](libusb_device* device) { return Matches(device, id); }, UsbIdName(id)});
}

std::unique_ptr<LinkBackend> OpenLibUsbBackendAt(const UsbSocket& socket)
{
    return OpenChosen({[socket](libusb_device* device) { return SocketOfDevice(device) == socket; }, UsbSocketName(socket)});
}

bool UsbDeviceAttached(UsbId id)
{
    return AnyAttached([id](libusb_device* device) { return Matches(device, id); });
}

bool UsbSocketAttached(const UsbSocket& socket)
{
    return AnyAttached([&socket](libusb_device* device) { return SocketOfDevice(device) == socket; });
}

std::string UsbNoPermissionText(UsbId id)
{
    const std::string vendor = Hex4(id.vendor);
    const std::string product = Hex4(id.product);
    return "You have no permission to use the USB device " + vendor + ":" + product +
           ". Install the udev rule 70-calvyx.rules: put the line SUBSYSTEM==\"usb\", ENV{DEVTYPE}==\"usb_device\", "
           "ATTR{idVendor}==\"" +
           vendor + "\", ATTR{idProduct}==\"" + product +
           "\", TAG+=\"uaccess\" into /etc/udev/rules.d/70-calvyx.rules, run "
           "\"sudo udevadm control --reload-rules\" and plug the calculator in again";
}

std::string UsbInUseText(UsbId id)
{
    return "The USB device " + Hex4(id.vendor) + ":" + Hex4(id.product) + " is in use by another program; close it and try again";
}
