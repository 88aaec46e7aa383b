// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/sim/KermitRole.h"

#include <chrono>
#include <stdexcept>
#include <thread>

#include "kermit/KermitFrame.h"
#include "xmodem/XModemBlock.h"

namespace sim {

using namespace kermit;

namespace {

using Clock = std::chrono::steady_clock;

int MsLeft(Clock::time_point deadline)
{
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

} // namespace

void WaitLineTime(std::size_t n)
{
    std::this_thread::sleep_for(std::chrono::microseconds(static_cast<long long>(static_cast<double>(n) * 1e6 / 960.0)));
}

std::string KermitPacket::Describe() const
{
    return std::string(1, type) + " seq " + std::to_string(seq) + " [" + HexBytes(data, 24) + "]";
}

KermitCalculator::KermitCalculator(SimPort& port, KermitOptions options) : port_(port), options_(options) {}

ByteString KermitCalculator::SendPacket(char type, int seq, std::string_view data)
{
    const ByteString frame = BuildFrame(type, seq, data);
    port_.Send(frame);
    return frame;
}

std::optional<KermitPacket> KermitCalculator::ReadPacket(int timeoutMs)
{
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        const ByteString mark = port_.ReceiveExactly(1, MsLeft(deadline));
        if (mark.empty()) return std::nullopt;
        if (static_cast<uint8_t>(mark[0]) != Mark) continue; // the PC's CR LF
        const ByteString len = port_.ReceiveExactly(1, MsLeft(deadline) + 200);
        if (len.empty()) return std::nullopt;
        const int n = UnChar(static_cast<uint8_t>(len[0]));
        if (n < 3 || n > 94) continue;
        const ByteString rest = port_.ReceiveExactly(static_cast<std::size_t>(n), MsLeft(deadline) + 500);
        if (rest.size() != static_cast<std::size_t>(n)) return std::nullopt;
        if (ToChar(KermitCheck(len + rest.substr(0, rest.size() - 1))) != rest.back()) continue;
        if (options_.paceReceived) WaitLineTime(rest.size() + 4); // MARK, LEN, ..., CR LF
        return KermitPacket{rest[1], UnChar(static_cast<uint8_t>(rest[0])), rest.substr(2, rest.size() - 3)};
    }
}

std::optional<KermitPacket> KermitCalculator::Exchange(char type, int seq, std::string_view data)
{
    for (int i = 0; i < options_.tries; ++i) {
        SendPacket(type, seq, data);
        if (auto answer = ReadPacket(options_.replyTimeoutMs)) return answer;
    }
    return std::nullopt;
}

std::vector<ByteString> KermitCalculator::DataFields(const ByteString& data) const
{
    // A prefixed byte takes two places: a smaller field could never carry it, and the
    // split would not advance.
    if (options_.maxLen < MinMaxLen || options_.maxLen > MaxMaxLen)
        throw std::invalid_argument("a Kermit frame length of " + std::to_string(options_.maxLen) + " is not " +
                                    std::to_string(MinMaxLen) + ".." + std::to_string(MaxMaxLen));
    std::vector<ByteString> fields;
    const std::size_t maxField = static_cast<std::size_t>(options_.maxLen - 3);
    for (std::size_t pos = 0; pos < data.size();) fields.push_back(EncodeChunk(data, pos, maxField));
    return fields;
}

KermitResult KermitCalculator::PushFile(const std::string& name, const ByteString& data)
{
    KermitResult r;
    int seq = options_.startSeq;
    // Sends one packet until the PC acknowledges it: a Y with the packet's number.
    auto deliver = [&](char type, std::string_view field) {
        for (int i = 0; i < options_.tries; ++i) {
            SendPacket(type, seq, field);
            const auto answer = ReadPacket(options_.replyTimeoutMs);
            if (!answer) continue;
            r.received.push_back(*answer);
            if (answer->type == ErrorType) {
                r.error = answer->data;
                return false;
            }
            if (answer->type == AckType && answer->seq == seq % 64) {
                seq = (seq + 1) % 64;
                return true;
            }
        }
        if (r.error.empty()) r.error = std::string("no Y to ") + type + " seq " + std::to_string(seq % 64);
        return false;
    };
    // The calculator announces its own parameters; the PC ignores them.
    if (!deliver(SendInitType, "p* @-#N1")) return r;
    if (!deliver(FileType, name)) return r;
    for (const ByteString& field : DataFields(data))
        if (!deliver(DataType, field)) return r;
    if (!deliver(EofType, "")) return r;
    r.ok = deliver(BreakType, "");
    return r;
}

KermitResult KermitCalculator::FetchFile(const std::string& name)
{
    KermitResult r;
    SendPacket(ReceiveInitType, 0, name);
    int expected = 0; // the sequence number of the next new packet
    bool inFile = false;
    for (int silences = 0; silences < options_.tries;) {
        const auto p = ReadPacket(options_.replyTimeoutMs);
        if (!p) {
            ++silences;
            // Ask again: the R itself while nothing came, else the packet it waits for.
            if (r.received.empty())
                SendPacket(ReceiveInitType, 0, name);
            else
                SendPacket(NakType, expected, "");
            continue;
        }
        silences = 0;
        r.received.push_back(*p);
        if (p->type == ErrorType) {
            r.error = p->data;
            return r;
        }
        if (p->type == NakType) {
            // The PC could not read what the calculator sent: before anything of the
            // file came, that was the R; later the calculator has only Ns and Ys to say.
            if (expected == 0)
                SendPacket(ReceiveInitType, 0, name);
            else
                SendPacket(NakType, expected, "");
            continue;
        }
        if (p->seq == (expected + 63) % 64) { // a resend of what it already took
            SendPacket(AckType, p->seq, p->type == SendInitType ? "p* @-#N1" : "");
            continue;
        }
        if (p->seq != expected) {
            SendPacket(NakType, expected, "");
            continue;
        }
        switch (p->type) {
        case SendInitType:
            SendPacket(AckType, p->seq, "p* @-#N1");
            break;
        case FileType:
            inFile = true;
            SendPacket(AckType, p->seq, "");
            break;
        case DataType:
            r.data += DecodeData(p->data);
            SendPacket(AckType, p->seq, "");
            break;
        case EofType:
            SendPacket(AckType, p->seq, "");
            break;
        case BreakType:
            SendPacket(AckType, p->seq, "");
            r.ok = inFile;
            if (!inFile) r.error = "B before any F";
            return r;
        default:
            r.error = "unexpected " + p->Describe();
            return r;
        }
        expected = (expected + 1) % 64;
    }
    r.error = "the PC fell silent";
    return r;
}

XModemReceiveResult ReceiveByXModem(SimPort& port, const XModemReceivePlan& plan)
{
    using namespace xmodem;
    XModemReceiveResult r;
    const CheckMode mode = CheckModeForStart(plan.startByte);
    const auto giveUp = Clock::now() + std::chrono::milliseconds(plan.giveUpMs);
    auto send = [&](uint8_t b) { port.Send(ByteString(1, static_cast<char>(b))); };
    std::vector<int> arrivals;
    unsigned expected = 1;
    bool started = false;
    auto nextStart = Clock::now();
    while (started || Clock::now() < giveUp) {
        if (!started && Clock::now() >= nextStart) {
            send(plan.startByte);
            nextStart = Clock::now() + std::chrono::milliseconds(plan.startRepeatMs);
        }
        const int wait = started ? plan.idleMs : std::max(1, std::min(MsLeft(nextStart), MsLeft(giveUp)));
        const ByteString head = port.ReceiveExactly(1, wait);
        if (head.empty()) {
            if (started) break;
            continue;
        }
        const auto h = static_cast<uint8_t>(head[0]);
        if (h == CAN) {
            r.cancelled = true;
            r.error = "the PC sent CAN";
            return r;
        }
        if (h == EOT) {
            if (plan.paceReceived) WaitLineTime(1);
            started = true;
            ++r.eots;
            if (r.eots > plan.silentEots) {
                send(ACK);
                r.ok = true;
                return r;
            }
            continue;
        }
        if (h != SOH && h != STX) continue; // noise
        started = true;
        const std::size_t length = BlockLength(h, mode);
        const ByteString block = head + port.ReceiveExactly(length - 1, 3000);
        if (plan.paceReceived) WaitLineTime(block.size());
        ++r.blocksSeen;
        const auto check = VerifyBlock(block, expected, mode);
        if (!check.Accepted()) {
            // A block it already took comes again when its ACK went missing.
            if (VerifyBlock(block, expected - 1, mode).Accepted()) {
                send(ACK);
                continue;
            }
            send(NAK);
            continue;
        }
        if (arrivals.size() < expected) arrivals.resize(expected, 0);
        const int arrival = ++arrivals[expected - 1];
        const uint8_t answer = plan.reply ? plan.reply(expected, arrival) : ACK;
        if (answer == ACK) {
            r.data.append(check.data);
            r.blockSizes.push_back(check.data.size());
            r.blockNumbers.push_back(static_cast<uint8_t>(block[1]));
            ++expected;
        }
        if (answer != 0) send(answer);
        if (answer == CAN) {
            r.error = "the calculator cancelled";
            return r;
        }
    }
    r.error = started ? "the PC fell silent" : "no block came";
    return r;
}

} // namespace sim
