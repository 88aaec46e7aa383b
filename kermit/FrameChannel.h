#pragma once
// Reading and writing Kermit frames on the link for the engine thread. The one-second
// frame timer runs on the monotonic tick clock and also expires when the engine has been
// asked to stop, so a stop request ends a frame read after the link read in progress.
#include <atomic>
#include <cstdint>
#include <functional>

#include "kermit/KermitFrame.h"
#include "util/ByteString.h"

class Link;

namespace kermit {

// How frames reach the calculator: normally a link and the tick clock. Tests hand in a
// scripted source and a clock of their own.
struct FramePort {
    std::function<int(ByteString&, int)> read;        // Link::Read
    std::function<void(const ByteString&)> write;     // Link::Write
    std::function<uint32_t()> clock;                  // Now
    static FramePort Over(Link& link);
};

struct ReceivedFrame {
    uint8_t kind = KindNone; // KindNone, KindXModemRequest, KindScreenPush or the TYPE letter
    int seq = 0;             // 0..64, frames only
    ByteString data;         // the raw (still encoded) data field; the start byte of an XModem request
};

class FrameChannel {
public:
    // The frame timer: how long a frame may take from its MARK, and how long noise
    // before a MARK is skipped.
    static constexpr uint32_t FrameTimeMs = 1000;
    static constexpr int ReadLimitMs = 1000;

    FrameChannel(const std::atomic<bool>& stopRequested, FramePort port);

    // Waits for one frame or single start byte (see ReceivedFrame). A frame that is too
    // long, has a bad sequence number or check, or is cut short by the timer yields
    // KindNone at once.
    ReceivedFrame ReceiveFrame();
    // Builds the frame, keeps it as LastFrame and writes it in one write.
    void SendFrame(char type, int seq, std::string_view data);
    void ResendLastFrame();
    const ByteString& LastFrame() const { return lastFrame_; }

private:
    bool TimerExpired() const;
    // Up to n bytes within the frame timer; a single zero byte when they did not all come.
    ByteString ReadExact(std::size_t n);

    const std::atomic<bool>& stop_;
    FramePort port_;
    uint32_t start_ = 0;
    ByteString lastFrame_;
    ByteString raw_; // the frame being assembled, from its MARK
};

} // namespace kermit
