#include "kermit/FrameChannel.h"

#include "link/Link.h"
#include "link/Trace.h"
#include "util/Ticks.h"

namespace kermit {

FramePort FramePort::Over(Link& link)
{
    return FramePort{[&link](ByteString& buffer, int timeoutMs) { return link.Read(buffer, timeoutMs); },
                     [&link](const ByteString& bytes) { link.Write(bytes); }, Now};
}

FrameChannel::FrameChannel(const std::atomic<bool>& stopRequested, FramePort port)
    : stop_(stopRequested), port_(std::move(port))
{
}

bool FrameChannel::TimerExpired() const
{
    return port_.clock() - start_ > FrameTimeMs || stop_.load();
}

ByteString FrameChannel::ReadExact(std::size_t n)
{
    ByteString result;
    while (result.size() < n && !TimerExpired()) {
        ByteString buf(n - result.size(), '\0');
        const int got = port_.read(buf, ReadLimitMs);
        if (got > 0) result.append(buf, 0, static_cast<std::size_t>(got));
    }
    if (result.size() != n) result.assign(1, '\0');
    raw_ += result;
    return result;
}

ReceivedFrame FrameChannel::ReceiveFrame()
{
    ReceivedFrame frame;
    start_ = port_.clock();
    while (!TimerExpired()) {
        raw_.clear();
        const auto b = static_cast<uint8_t>(ReadExact(1)[0]);
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

        start_ = port_.clock();
        const auto len = static_cast<uint8_t>(ReadExact(1)[0]);
        if (TimerExpired()) return frame;
        const int n = UnChar(len);
        if (n > MaxReceiveLen || n < 3) { // below 3 there is no room for SEQ, TYPE and CHECK
            Trace("<- kermit frame length= " + std::to_string(n));
            return frame;
        }
        ReadExact(static_cast<std::size_t>(n));
        if (TimerExpired()) return frame;
        // raw_ now holds MARK, LEN and the n bytes SEQ TYPE DATA CHECK.
        const auto seqByte = static_cast<uint8_t>(raw_[2]);
        const auto type = static_cast<uint8_t>(raw_[3]);
        const int seq = UnChar(seqByte);
        if (seq < 0 || seq > MaxReceiveSeq) {
            Trace("<- kermit frame sequence= " + std::to_string(seq));
            return frame;
        }
        const std::string_view body = std::string_view(raw_).substr(1, static_cast<std::size_t>(n));
        if (ToChar(KermitCheck(body)) != raw_.back()) {
            Trace("<- kermit frame chk do not match");
            return frame;
        }
        // A type byte that is not printable would read as one of the single-byte kinds
        // (0, 1, 0x80); no Kermit packet has such a type.
        if (type <= 0x20 || type >= 0x7F) {
            Trace("<- kermit frame type= " + std::to_string(type));
            return frame;
        }
        frame.kind = type;
        frame.seq = seq;
        frame.data = raw_.substr(4, static_cast<std::size_t>(n) - 3);
        TraceFrame(FrameTraceLine("<-", type, seq), raw_);
        return frame;
    }
    return frame;
}

void FrameChannel::SendFrame(char type, int seq, std::string_view data)
{
    lastFrame_ = BuildFrame(type, seq, data);
    port_.write(lastFrame_);
    TraceFrame(FrameTraceLine("->", static_cast<uint8_t>(type), seq), lastFrame_);
}

void FrameChannel::ResendLastFrame()
{
    port_.write(lastFrame_);
    Trace("-> ***** resend Frame *****");
}

} // namespace kermit
