// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The calculator's side of the Kermit server dialogue and of the XModem send, on top of
// a SimPort: push a file (S, F, D..., Z, B with frames of at most LEN 80, ending in
// CR LF), fetch one (R), ask for an XModem transfer (NAK or "D") and take the blocks.
// Low-level calls let a test send any packet, repeat one or send one out of sequence;
// faults (drop, corrupt, delay) come from the port's FaultPlan.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "tools/sim/SimPort.h"
#include "util/ByteString.h"

namespace sim {

// A frame the PC sent, as the calculator parsed it.
struct KermitPacket {
    char type = 0;
    int seq = 0;
    ByteString data; // raw (still encoded)
    std::string Describe() const;
};

struct KermitResult {
    bool ok = false;
    std::string error;                  // why it failed, or the text of the PC's E packet
    ByteString data;                    // a fetched file
    std::vector<KermitPacket> received; // every frame the PC sent, in order
};

// The frame lengths the calculator can use: room for SEQ, TYPE, CHECK and one
// prefixed data byte, up to the longest LEN a character can carry.
constexpr int MinMaxLen = 5;
constexpr int MaxMaxLen = 94;

struct KermitOptions {
    int maxLen = 80;           // LEN of the longest frame the calculator sends (MinMaxLen..MaxMaxLen)
    int replyTimeoutMs = 4000; // how long the calculator waits for an answer
    int tries = 6;             // sends of one packet before it gives up
    int startSeq = 0;          // sequence number of the S (later ones follow mod 64)
    // The PC's frames reach the calculator at the line rate: after reading one, the
    // calculator waits the time its bytes take on a 9600-baud line (the port's throttle
    // paces only what the calculator sends).
    bool paceReceived = false;
};

class KermitCalculator {
public:
    explicit KermitCalculator(SimPort& port, KermitOptions options = {});

    // One frame, as the calculator sends it (CR LF at the end). Returns the wire bytes.
    ByteString SendPacket(char type, int seq, std::string_view data);
    // The PC's next frame within timeoutMs (noise skipped); nothing on time-out or a
    // frame that fails its check.
    std::optional<KermitPacket> ReadPacket(int timeoutMs);
    // Sends a packet and waits for the PC's answer; resends on silence up to `tries`.
    std::optional<KermitPacket> Exchange(char type, int seq, std::string_view data);

    // The calculator pushes a file: S, F, D..., Z, B. ok when every packet got its Y.
    KermitResult PushFile(const std::string& name, const ByteString& data);
    // The calculator asks for a file by name and receives it.
    KermitResult FetchFile(const std::string& name);

    // The calculator's data fields for a file: at most maxLen - 3 bytes each. Throws
    // std::invalid_argument for a maxLen outside MinMaxLen..MaxMaxLen.
    std::vector<ByteString> DataFields(const ByteString& data) const;

    const KermitOptions& Options() const { return options_; }

private:
    SimPort& port_;
    KermitOptions options_;
};

// How the calculator answers XModem blocks in a test: by default ACK every good block.
struct XModemReceivePlan {
    uint8_t startByte = 0x15; // NAK: checksum blocks; 'D': CRC blocks
    int startRepeatMs = 1500; // the start byte is repeated until a block comes
    int giveUpMs = 20000;     // waiting for the first block (or EOT)
    int idleMs = 5000;        // once blocks came: silence after which it gives up
    // Called with the 1-based number of each block received intact and the how-many-th
    // time it came; returns the reply byte (ACK, NAK, CAN) or 0 for silence.
    std::function<uint8_t(unsigned block, int arrival)> reply;
    // Answer to EOT: ACK, or 0 to stay silent (the first `silentEots` EOTs).
    int silentEots = 0;
    // Blocks reach the calculator at the line rate (see KermitOptions::paceReceived).
    bool paceReceived = false;
};

struct XModemReceiveResult {
    bool ok = false; // EOT seen and acknowledged
    std::string error;
    bool cancelled = false;              // the PC sent CAN (the user declined the file)
    ByteString data;                     // every block's data, padding included
    std::vector<std::size_t> blockSizes; // 128 or 1024 per accepted block
    std::vector<unsigned> blockNumbers;  // the numbers on the wire, per accepted block
    int blocksSeen = 0;                  // blocks received, repeats included
    int eots = 0;
};

// Waits the time n bytes take on the line at 9600 baud (960 bytes/s).
void WaitLineTime(std::size_t n);

// The calculator asks for a file by XModem and receives it.
XModemReceiveResult ReceiveByXModem(SimPort& port, const XModemReceivePlan& plan);

} // namespace sim
