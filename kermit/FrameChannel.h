// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Reading and writing Kermit frames on the link for the engine thread. The one-second
// frame timer runs on the line's clock (the monotonic tick clock on a real line) and also expires when the engine has been
// asked to stop; no read waits longer than what is left of it, so a broken frame is
// noticed within about a second on every kind of line.
#include <cstdint>
#include <functional>
#include <stop_token>

#include "kermit/KermitFrame.h"
#include "util/ByteString.h"

class Link;

namespace kermit {

// How frames reach the calculator: normally a link and the tick clock. Tests hand in a
// scripted source and a clock of their own. read(buffer, ms) returns what came within
// at most ms (fewer bytes than asked for when the time ran out).
struct FramePort {
    std::function<int(ByteString&, int)> read;    // Link::ReadWithin
    std::function<void(const ByteString&)> write; // Link::Write
    std::function<uint32_t()> clock;              // Link::Now: the line's clock
    static FramePort Over(Link& link);
};

struct ReceivedFrame {
    uint8_t kind = KindNone; // KindNone, KindXModemRequest, KindScreenPush or the TYPE letter
    int seq = 0;             // 0..64, frames only
    ByteString data;         // the raw (still encoded) data field; the start byte of an XModem request
    // KindNone only: a frame began but was broken (bad length, sequence or check, or cut
    // short by the timer), as opposed to a line that stayed silent or carried noise.
    bool damaged = false;
};

class FrameChannel {
public:
    // The frame timer: how long a frame may take from its MARK, and how long noise
    // before a MARK is skipped.
    static constexpr uint32_t FrameTimeMs = 1000;
    static constexpr int ReadLimitMs = 1000;

    // stop: the owner's stop; once requested, the frame timer counts as expired.
    FrameChannel(std::stop_token stop, FramePort port);

    // Waits for one frame or single start byte (see ReceivedFrame). A MARK inside a frame
    // starts a new frame (the one before it lost bytes). A frame that is too long, has a
    // bad sequence number or check, ends in a CR before its length, is not followed by its
    // end of line, or is cut short by the timer yields a damaged KindNone
    // at once; what is left of it, up to its end of line, is skipped, so its bytes are never
    // taken for start bytes.
    //
    // quietWaitMs > 0: while nothing of a frame has come yet, its first byte is waited
    // for this long (a stop ends the wait) instead of the frame timer; nothing by then is
    // a silence. An idle server sleeps so until the calculator speaks.
    ReceivedFrame ReceiveFrame(int quietWaitMs = 0);
    // Builds the frame, keeps it as LastFrame and writes it in one write.
    void SendFrame(char type, int seq, std::string_view data);
    void ResendLastFrame();
    const ByteString& LastFrame() const { return lastFrame_; }

private:
    bool TimerExpired() const;
    // Milliseconds left of the frame timer (at least 1).
    int TimeLeft() const;
    // One byte, from what an earlier read brought or from the line within the timer;
    // false when the timer ran out first.
    bool NextByte(uint8_t& byte);
    // The n bytes after LEN within the frame timer, appended to out. Ends early at a MARK
    // (left to be read as the start of the next frame) or a CR (the calculator's end of
    // line: no frame holds one, its control bytes are prefixed).
    enum class BodyEnd { Complete, NewFrame, LineEnded, TimedOut };
    BodyEnd ReadBody(std::size_t n, ByteString& out);

    std::stop_token stop_;
    FramePort port_;
    uint32_t start_ = 0;
    ByteString lastFrame_;
    // The MARK just taken begins the next frame: it is read again.
    void PutBackMark();

    ByteString pending_; // bytes read; those from pendingAt_ on are still to be taken
    std::size_t pendingAt_ = 0;
    bool skipToLineEnd_ = false; // the rest of a broken frame is still arriving
};

} // namespace kermit
