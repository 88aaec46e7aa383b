// SPDX-License-Identifier: GPL-3.0-or-later
#include "kermit/FrameChannel.h"

#include <algorithm>

#include "link/Link.h"
#include "link/Trace.h"

namespace kermit {

FramePort FramePort::Over(Link& link)
{
    return FramePort{[&link](ByteString& buffer, int limitMs) { return link.ReadWithin(buffer, limitMs); },
                     [&link](const ByteString& bytes) { link.Write(bytes); }, [&link] { return link.Now(); }};
}

FrameChannel::FrameChannel(std::stop_token stop, FramePort port) : stop_(std::move(stop)), port_(std::move(port)) {}

bool FrameChannel::TimerExpired() const { return port_.clock() - start_ > FrameTimeMs || stop_.stop_requested(); }

int FrameChannel::TimeLeft() const
{
    const uint32_t used = port_.clock() - start_;
    const uint32_t left = used >= FrameTimeMs ? 1 : FrameTimeMs - used + 1;
    return std::min(static_cast<int>(left), ReadLimitMs);
}

bool FrameChannel::NextByte(uint8_t& byte)
{
    while (pendingAt_ >= pending_.size()) {
        if (TimerExpired()) return false;
        // One byte at a time, into the buffer the bytes are then taken from.
        pending_.resize(1);
        pendingAt_ = 0;
        if (port_.read(pending_, TimeLeft()) <= 0) {
            pending_.clear();
            skipToLineEnd_ = false; // the line went quiet: what was left of a broken frame is over
        }
    }
    byte = static_cast<uint8_t>(pending_[pendingAt_++]);
    return true;
}

void FrameChannel::PutBackMark()
{
    if (pendingAt_ > 0)
        pending_[--pendingAt_] = static_cast<char>(Mark);
    else
        pending_.insert(0, 1, static_cast<char>(Mark));
}

FrameChannel::BodyEnd FrameChannel::ReadBody(std::size_t n, ByteString& out)
{
    // Byte by byte: a MARK or an end of line inside a frame tells at once that the frame
    // lost bytes, where waiting for all n would hold the answer until the timer ran out.
    for (std::size_t i = 0; i < n; ++i) {
        uint8_t b = 0;
        if (!NextByte(b)) return BodyEnd::TimedOut;
        if (b == Mark) {
            PutBackMark();
            return BodyEnd::NewFrame;
        }
        out += static_cast<char>(b);
        if (b == '\r') return BodyEnd::LineEnded;
    }
    return BodyEnd::Complete;
}

ReceivedFrame FrameChannel::ReceiveFrame(int quietWaitMs)
{
    ReceivedFrame frame;
    if (quietWaitMs > 0 && pendingAt_ >= pending_.size() && !skipToLineEnd_) {
        pending_.resize(1);
        pendingAt_ = 0;
        if (stop_.stop_requested() || port_.read(pending_, quietWaitMs) <= 0) {
            pending_.clear();
            return frame; // a silence
        }
    }
    start_ = port_.clock();
    // Why a frame is broken, worded only while the trace is on: a number after the text.
    struct Why {
        const char* text = nullptr;
        int number = -1;
    };
    const auto broken = [&frame, this](Why why) {
        if (why.text) TraceWith([&] { return why.number < 0 ? std::string(why.text) : why.text + std::to_string(why.number); });
        frame.damaged = true;
        skipToLineEnd_ = true;
        return frame;
    };
    uint8_t b = 0;
    while (NextByte(b)) {
        if (skipToLineEnd_ && b != Mark) {
            // The rest of a broken frame: its bytes may look like start bytes ("D" is the
            // type of every data packet), so nothing counts before its end of line.
            if (b == '\r' || b == '\n') skipToLineEnd_ = false;
            continue;
        }
        if (b == XModemChecksumRequest || b == XModemCrcRequest) {
            frame.kind = KindXModemRequest;
            frame.data.assign(1, static_cast<char>(b));
            return frame;
        }
        if (b == ScreenPushByte) {
            frame.kind = KindScreenPush;
            return frame;
        }
        if (b != Mark) continue; // noise and the calculator's end-of-line; the timer runs on

        skipToLineEnd_ = false;
        start_ = port_.clock();
        uint8_t len = 0;
        if (!NextByte(len)) return broken({});
        if (len == Mark) { // the frame before lost everything after its MARK
            PutBackMark();
            continue;
        }
        const int n = UnChar(len);
        if (n > MaxReceiveLen || n < 3) { // below 3 there is no room for SEQ, TYPE and CHECK
            return broken({"<- kermit frame length= ", n});
        }
        ByteString raw(1, static_cast<char>(Mark));
        raw += static_cast<char>(len);
        switch (ReadBody(static_cast<std::size_t>(n), raw)) {
        case BodyEnd::Complete:
            break;
        case BodyEnd::NewFrame:
            // This frame lost bytes and the next one has begun (the calculator resent it):
            // the new frame is read from its MARK with a fresh timer.
            Trace("<- kermit frame broken off by a new frame");
            continue;
        case BodyEnd::LineEnded:
            skipToLineEnd_ = false;
            frame.damaged = true;
            Trace("<- kermit frame shorter than its length");
            return frame;
        case BodyEnd::TimedOut:
            return broken({"<- kermit frame cut short"});
        }
        // raw holds MARK, LEN and the n bytes SEQ TYPE DATA CHECK.
        const auto seqByte = static_cast<uint8_t>(raw[2]);
        const auto type = static_cast<uint8_t>(raw[3]);
        const int seq = UnChar(seqByte);
        if (seq < 0 || seq > MaxReceiveSeq) return broken({"<- kermit frame sequence= ", seq});
        const std::string_view body = std::string_view(raw).substr(1, static_cast<std::size_t>(n));
        if (ToChar(KermitCheck(body)) != raw.back()) return broken({"<- kermit frame chk do not match"});
        // A type byte that is not printable would read as one of the single-byte kinds
        // (0, 1, 0x80); no Kermit packet has such a type.
        if (type <= 0x20 || type >= 0x7F) return broken({"<- kermit frame type= ", type});
        // The calculator ends every frame with CR LF. Anything else right after CHECK means
        // the frame was longer than its LEN says (a byte doubled on the way), and its
        // matching check is chance: such a frame is damaged, as a short one is.
        uint8_t end = 0;
        if (!NextByte(end)) return broken({"<- kermit frame without its end of line"});
        if (end == Mark) {
            PutBackMark();
            return broken({"<- kermit frame without its end of line"});
        }
        if (end != '\r' && end != '\n') return broken({"<- kermit frame longer than its length"});
        frame.kind = type;
        frame.seq = seq;
        frame.data = raw.substr(4, static_cast<std::size_t>(n) - 3);
        if (Tracing()) TraceFrame(FrameTraceLine("<-", type, seq), raw);
        return frame;
    }
    return frame;
}

void FrameChannel::SendFrame(char type, int seq, std::string_view data)
{
    lastFrame_ = BuildFrame(type, seq, data);
    port_.write(lastFrame_);
    if (Tracing()) TraceFrame(FrameTraceLine("->", static_cast<uint8_t>(type), seq), lastFrame_);
}

void FrameChannel::ResendLastFrame()
{
    port_.write(lastFrame_);
    Trace("-> ***** resend Frame *****");
}

} // namespace kermit
