// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The one connection to the calculator: a serial line (termios) or the calculator's USB
// link (a read pipe and a write pipe: the pipe device, or a USB device's bulk endpoints
// through libusb), behind the same operations and time limits.
//
// The transfer server owns the Link and lends it to one engine at a time through a
// LinkLease (the Kermit server, the XModem send inside it, the wire receive, the ROM
// sender, the screen reader). A second lease while one is out is a programming error
// and throws, so "one thread uses the link at a time" is kept by ownership.
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "link/LinkIo.h"
#include "util/ByteString.h"

enum class LinkKind : uint8_t { Serial = 0, Usb = 1 };

// The calculator's serial rate.
inline constexpr int LinkBaud = 9600;

// Settle delays of the transfers, chosen when the link opens.
struct TimingProfileValues {
    int ReceiveSettleDelay;
    int CancelSettleDelay;
};
inline constexpr TimingProfileValues SerialSlowProfile{100, 1000}; // serial, baud <= 9600
inline constexpr TimingProfileValues SerialFastProfile{50, 100};   // serial, baud > 9600
inline constexpr TimingProfileValues UsbProfile{50, 100};
// The profile an open link uses: USB whatever the baud; serial by baud (above 9600 fast).
TimingProfileValues SelectTimingProfile(LinkKind kind, int baud);

class LinkBackend;
class MemoryLine;

class Link {
public:
    Link();
    // Closes the link.
    ~Link();
    Link(const Link&) = delete;
    Link& operator=(const Link&) = delete;

    // Opens the named port (a name IsUsbName accepts opens the USB link: "usb:VVVV:PPPP"
    // the device with that id through libusb, the others the pipe device when it is
    // present and otherwise a calculator found on the bus (ResolveUsbLinkName); anything else
    // a serial line) and drains its input. An open link is closed first. A failure
    // raises LinkError, the link closed: its kind and errno say what happened, its
    // Reason() why in words when the user can do something about it (no permission: the
    // udev rule to install; the device in use by another program), else it is empty.
    // Callers that report an open failure pass the reason to OpenErrorText /
    // RaiseOpenError.
    void Open(const std::string& name, int baud);
    // As Open, but the drain is owed instead (InputOwed): the engine that takes the link
    // next drains it in its own thread (ClearOwedInput) before it reads, so that a
    // program opening many lines at once does not wait out each line's drain in turn.
    void OpenOwingDrain(const std::string& name, int baud);
    // Opens a line held in memory (link/MemoryLine.h) that behaves as a link of that
    // kind (the engines pick their start bytes and timings by kind): tests and fuzz
    // targets run engines on it without real waits.
    void OpenMemory(std::shared_ptr<MemoryLine> line, LinkKind kind);
    // Stops the USB reader and closes whatever is open; a closed link stays closed.
    void Close();
    bool IsOpen() const;

    LinkKind Kind() const { return kind_; }
    const TimingProfileValues& Timing() const { return timing_; }
    // Replaces the settle delays of the open link (a fuzz target wants none).
    void SetTiming(const TimingProfileValues& timing) { timing_ = timing; }

    // Writes all bytes within the link's write limits. On serial a write whose limit
    // ran out is no failure (the protocols notice missing bytes); on USB a device that
    // takes nothing for a while (WriteStalled), a stop (Stopped) or any write error
    // (Lost, with errno) raise LinkError with an empty message.
    void Write(const ByteString& bytes);
    // One block (a ROM chunk) with a stall limit of the caller's. Raises LinkError:
    // WriteStalled ("The calculator took no data for N s"), Stopped, Lost or Closed
    // ("Cannot write to the calculator: " and the system's words, errno kept).
    void WriteBlock(const char* data, std::size_t size, long stallMs);

    // Reads up to buffer.size() bytes and returns the count (0: nothing came in time);
    // the rest of buffer is zeroed. Every kind of line honours timeoutMs: a serial read
    // ends timeoutMs after the time the bytes take on the line (1 ms a byte), a USB read
    // once the line has been idle for timeoutMs, a line in memory moves its clock on by
    // timeoutMs; any of them ends early at CancelRead. A failed line raises LinkError.
    int Read(ByteString& buffer, int timeoutMs);
    // One byte within timeoutMs (as Read), or nothing when none came.
    std::optional<uint8_t> ReadByte(int timeoutMs);
    // As Read, but no kind of line waits longer than maxWaitMs in all: for a reader that
    // keeps a timer of its own.
    int ReadWithin(ByteString& buffer, int maxWaitMs);
    // Drains what the calculator still sends until the line is quiet (bounded in time).
    // drained, when given, sees every byte the drain read (not what a serial purge
    // dropped unread).
    void ClearInput(const std::function<void(const ByteString&)>& drained = {});
    // The drain of an OpenOwingDrain not done yet (a whole ClearInput does it).
    bool InputOwed() const { return inputOwed_; }
    // Does the owed drain, if any. stopped, when given, is asked after each round: a
    // drain cut short by it stays owed.
    void ClearOwedInput(const std::function<bool()>& stopped = {});
    // LinkError BrokenOff (empty message) after a pause of 100 ms on the line's clock:
    // what an engine calls when the calculator broke off (its CAN).
    [[noreturn]] void Fail();
    // A settle time of the protocols, on the line's clock: a real line sleeps, a line in
    // memory only moves its clock on.
    void Pause(int ms);
    // The line's clock: util/Ticks' Now() for a real line, the virtual one in memory.
    uint32_t Now() const;
    // Any thread: a read in progress gives up (a serial read at once, a USB read at its
    // next step of at most 100 ms). Cleared by the next Read.
    void CancelRead();
    // Any thread: a write that waits for the device gives up within about 100 ms
    // (LinkError Stopped), and so does every later write that would
    // wait, until the link opens again or the lease of the engine it stopped ends. What
    // the device takes at once still goes out: a stop never cuts a write that does not
    // wait (the Kermit server's last word on a serial line).
    void StopWrites();
    // Tick of the last read that returned at least one byte. Read by the main
    // window's poll; RestartQuietClock makes the line count as heard at tick.
    uint32_t LastReceiveTime() const { return lastReceive_; }
    void RestartQuietClock(uint32_t tick) { lastReceive_ = tick; }

    // For tests: bytes of a received USB chunk not read yet; whether a USB reader
    // thread runs.
    std::size_t BufferedBytes() const;
    bool ReaderRunning() const;
    // False when the link is closed, or its device went away since it was opened (even
    // if a device of the same name is back: it is reopened, not reused).
    bool StillAttached() const;
    // For tests: the USB idle clock, which runs on from one read to the next, starts
    // afresh with the next read.
    void RestartIdleClock();

    bool Lent() const { return lent_; }

private:
    friend class LinkLease;
    int ReadFromBackend(ByteString& buffer, int timeoutMs, bool bounded);
    // Ends what StopWrites asked for: a new engine, or a reopened link, writes again.
    void ResumeWrites();
    void OpenBackend(const std::string& name, int baud);
    // False when stopped cut it short.
    bool DrainUntilQuiet(int rounds, std::size_t size, int timeoutMs, const std::function<void(const ByteString&)>& drained,
                         const std::function<bool()>& stopped = {});
    bool Drain(const std::function<void(const ByteString&)>& drained, const std::function<bool()>& stopped);

    [[noreturn]] void WriteFailed(linkio::WriteOutcome outcome, int err, long stallMs);

    std::unique_ptr<LinkBackend> backend_;
    LinkKind kind_ = LinkKind::Serial;
    TimingProfileValues timing_ = SerialSlowProfile;
    std::atomic<uint32_t> lastReceive_{0};
    std::atomic<bool> cancel_{false};
    std::atomic<bool> lent_{false};
    std::atomic<bool> inputOwed_{false};
    // Readable while a cancel is pending: the serial backend's poll waits on it too.
    int cancelFd_ = -1;
    // The same pair for a stop of writes; it outlives reads, which clear cancel_.
    std::atomic<bool> writeStop_{false};
    int writeStopFd_ = -1;
};

// The right to use the link, held by one engine at a time. Giving it back is the end
// of the lease's life (an engine holds it for as long as it runs).
class LinkLease {
public:
    // Throws std::logic_error when the link is lent already.
    explicit LinkLease(Link& link);
    LinkLease(LinkLease&& other) noexcept;
    LinkLease& operator=(LinkLease&&) = delete;
    LinkLease(const LinkLease&) = delete;
    LinkLease& operator=(const LinkLease&) = delete;
    ~LinkLease();

    Link& operator*() const { return *link_; }
    Link* operator->() const { return link_; }

private:
    Link* link_;
};
