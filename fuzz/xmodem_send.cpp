// SPDX-License-Identifier: GPL-3.0-or-later
// The XModem send driver fed arbitrary answers from the receiver through a line in
// memory (link/MemoryLine.h), run to its end in this thread: no real time passes, every
// reply time-out and pause is a step of the line's clock.
//
// Input: byte 0 picks the file (its low two bits: 0, 1, 1024 + 1 or 3000 bytes), the
// start byte that asked (bit 2: NAK or 'D') and whether the engine is asked to stop when
// the answers run out (bit 3). The rest are the receiver's answers, one chunk each time
// the sender waits for input: [length, its low 3 bits][bytes].
//
// Checks: the send ends; everything it writes is a block, an EOT or CAN; every block is
// well formed in one check mode (the mode of the start byte it last heard), numbered 1,
// 2, 3 ... with the file's bytes at that place and its padding, a block coming again
// unchanged, the next block only after the sender read an ACK; EOT only once
// every block went out; "sent" only after an ACK to an EOT.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <stop_token>
#include <string>

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>

#include "fuzz/FuzzCheck.h"
#include "link/Link.h"
#include "link/MemoryLine.h"
#include "util/CalvyxError.h"
#include "util/TransferEvent.h"
#include "util/Utils.h"
#include "xmodem/XModemBlock.h"
#include "xmodem/XModemSend.h"

using namespace xmodem;

namespace {

constexpr std::size_t MaxInput = 4096;
constexpr uint64_t HangReads = 10000;

// The files the user may pick, written once.
QTemporaryDir* Folder = nullptr;
ByteString Contents[4];
std::string Paths[4];

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    static QCoreApplication app(*argc, *argv);
    Folder = new QTemporaryDir;
    const std::size_t sizes[4] = {0, 1, LargeDataSize + 1, 3000};
    for (int i = 0; i < 4; ++i) {
        for (std::size_t b = 0; b < sizes[i]; ++b) Contents[i] += static_cast<char>((b * 7 + i) & 0xFF);
        Paths[i] = Folder->filePath(QString("file%1").arg(i)).toStdString();
        WriteStringToFile(Contents[i], Paths[i]);
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1 || size > MaxInput) return 0;
    const int pick = data[0] & 3;
    const uint8_t request = (data[0] & 4) ? CrcStart : NAK;
    const bool stopAtEnd = (data[0] & 8) != 0;
    const ByteString& content = Contents[pick];
    std::size_t at = 1;

    auto line = std::make_shared<MemoryLine>();
    std::stop_source stop;
    std::vector<ByteString> writes;
    ByteString answers;          // every byte queued for the sender
    std::vector<bool> ackBefore; // per write: the last byte the sender read was an ACK
    line->OnWritten = [&](const ByteString& bytes) {
        writes.push_back(bytes);
        const std::size_t read = answers.size() - line->Queued();
        ackBefore.push_back(read > 0 && static_cast<uint8_t>(answers[read - 1]) == ACK);
    };
    line->OnStarved = [&] {
        if (line->EmptyReads() > HangReads) {
            std::fprintf(stderr, "the send keeps reading a silent line\n");
            std::abort();
        }
        if (at < size) {
            const std::size_t length = std::min<std::size_t>(data[at] & 7, size - at - 1);
            const ByteString bytes(reinterpret_cast<const char*>(data + at + 1), length);
            at += 1 + length;
            answers += bytes;
            line->Queue(bytes);
        } else if (stopAtEnd) {
            stop.request_stop();
        }
    };

    Link link;
    link.OpenMemory(line, LinkKind::Serial);
    XModemSendSteps steps;
    steps.link = &link;
    steps.chooseFile = [pick](const std::string&, const std::string&) -> std::optional<std::string> { return Paths[pick]; };
    steps.stop = stop.get_token();
    steps.requestByte = request;
    steps.folder = Folder->path().toStdString();
    // Every send that got its file tells how it ended, once, after it started.
    int started = 0, ended = 0;
    steps.events = [&](const TransferEvent& event) {
        FUZZ_CHECK(event.kind == TransferKind::XModemSend);
        FUZZ_CHECK(ended == 0);
        if (event.stage == TransferStage::Started) ++started;
        if (event.stage == TransferStage::Ended) ++ended;
        if (event.stage == TransferStage::Progress) FUZZ_CHECK(event.done <= event.total);
        FUZZ_CHECK(started == 1);
    };

    XModemSendResult result;
    try {
        result = SendFileByXModem(steps);
    } catch (const CalvyxError&) {
        // The receiver cancelled during the handshake: nothing went out, and the send
        // said so.
        for (const auto& w : writes) FUZZ_CHECK(w.empty());
        FUZZ_CHECK(ended == 1);
        return 0;
    }
    FUZZ_CHECK(ended == 1);

    // Walk what went out.
    const std::size_t blocksInFile = [&] {
        std::size_t n = 0;
        for (std::size_t left = content.size(); left > 0; ++n)
            left -= std::min(left, left > LargeDataSize ? LargeDataSize : SmallDataSize);
        return n;
    }();
    std::optional<CheckMode> mode;
    unsigned current = 0;   // number of the last block that went out
    std::size_t offset = 0; // file offset of the current block
    std::size_t currentSize = 0;
    ByteString lastBlock; // as it went out, to tell a block sent again from the next one
    bool eotSent = false;
    for (std::size_t i = 0; i < writes.size(); ++i) {
        const ByteString& w = writes[i];
        FUZZ_CHECK(!w.empty());
        const auto head = static_cast<uint8_t>(w[0]);
        if (head == CAN) {
            FUZZ_CHECK(w.find_first_not_of(static_cast<char>(CAN)) == ByteString::npos);
            continue;
        }
        if (head == EOT) {
            FUZZ_CHECK(w.size() == 1);
            FUZZ_CHECK(current == blocksInFile && (current == 0 || eotSent || ackBefore[i]));
            eotSent = true;
            continue;
        }
        FUZZ_CHECK(head == SOH || head == STX);
        FUZZ_CHECK(!eotSent);
        if (!mode) mode = w.size() == BlockLength(head, CheckMode::Checksum) ? CheckMode::Checksum : CheckMode::Crc;
        if (current > 0 && w == lastBlock) {
            // The same block again (after a NAK, silence or noise): unchanged.
            continue;
        } else {
            lastBlock = w;
            FUZZ_CHECK(current == 0 || ackBefore[i]);
            offset += currentSize;
            ++current;
            const auto v = VerifyBlock(w, current, *mode);
            FUZZ_CHECK(v.Accepted());
            currentSize = v.data.size();
            FUZZ_CHECK(offset < content.size());
            const std::size_t real = std::min(currentSize, content.size() - offset);
            FUZZ_CHECK(v.data.compare(0, real, content, offset, real) == 0);
            FUZZ_CHECK(v.data.find_first_not_of(static_cast<char>(PadByte), real) == ByteString::npos);
        }
    }
    if (result == XModemSendResult::Sent || result == XModemSendResult::SentEndUnconfirmed) {
        FUZZ_CHECK(eotSent && current == blocksInFile);
    }
    if (result == XModemSendResult::Sent) {
        const std::size_t read = answers.size() - line->Queued();
        FUZZ_CHECK(!writes.empty() && writes.back() == ByteString(1, static_cast<char>(EOT)));
        FUZZ_CHECK(read > 0 && static_cast<uint8_t>(answers[read - 1]) == ACK);
    }
    if (result == XModemSendResult::NoStart) FUZZ_CHECK(current == 0);
    return 0;
}
