// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The ROM update: a calculator waiting in its ROM-load mode takes a new operating system
// as one plain stream, the file's length (4 bytes, least significant first) and then the
// file, with no handshake and no acknowledgement. The sender writes it in chunks and
// closes the link.
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <stop_token>
#include <string>

#include "link/Link.h"
#include "util/ByteString.h"
#include "util/MainThread.h"
#include "util/TransferEvent.h"

// The stream held whole in memory, in pages of its own that go back to the system as
// soon as the update is over. A ROM is megabytes: in a plain string the allocator keeps
// the freed block for later (after a few updates from worker threads the program held
// twice the ROM's size), while these pages are never more than one stream.
class RomStreamBuffer {
public:
    explicit RomStreamBuffer(std::size_t size); // throws std::bad_alloc
    ~RomStreamBuffer();
    RomStreamBuffer(const RomStreamBuffer&) = delete;
    RomStreamBuffer& operator=(const RomStreamBuffer&) = delete;
    char* data() { return data_; }
    const char* data() const { return data_; }
    std::size_t size() const { return size_; }

private:
    char* data_ = nullptr;
    std::size_t size_ = 0;
};

// The ROM update thread: sends one file as the ROM stream and reports it as transfer
// events (kind RomLoad).
class RomSender final : public WorkerThread {
public:
    // Starts the thread at once on the lent link, which must be open; leaves it closed
    // in every case. events (from the sender's thread; it goes on once the sink has
    // returned) hears Started, Connecting, the progress before every chunk and once
    // more after the last, and the end; a failure's detail is ErrorText. A stop
    // requested on stop (any thread: the window closing, Ctrl-C, Cancel) ends the load
    // before its next chunk, and a chunk that waits for a calculator that takes no data
    // gives up within about 100 ms; ErrorText is then RomLoadStoppedText.
    RomSender(LinkLease link, const std::string& fileName, TransferEventSink events, std::stop_token stop = {});
    // Waits for the thread, serving its synchronised calls meanwhile.
    ~RomSender() override;

    const std::string FileName;
    // True once the whole stream has been written. Read after the thread has ended.
    std::atomic<bool> Success{false};
    // Why the update failed (empty on success), for a caller that can show it.
    std::string ErrorText;

    static constexpr std::size_t ChunkSize = 2048;
    // ErrorText of a stopped load.
    static constexpr const char* RomLoadStoppedText = "The ROM load was stopped";
    // A calculator that takes no byte for this long is taken as gone.
    static constexpr int StallLimitMs = 30000;

protected:
    void Work() override;

private:
    void Report(TransferEvent event);

    LinkLease link_;
    const TransferEventSink events_;
    const std::stop_token stop_;
    // Ends a write that waits for the calculator at once; gone before the lease is.
    std::optional<std::stop_callback<std::function<void()>>> onStop_;
};

// Why fileName cannot be a ROM, or nothing when it can: it must be a regular file
// (a pipe or a device has no size to announce, and opening one must not wait), not
// empty, and no larger than the 4-byte length prefix can describe. Looks at the file
// only; nothing is sent.
std::optional<std::string> RomFileProblem(const std::string& fileName);

// The stream of a ROM file: its length prefix, then the file. Raises CalvyxError when the
// file cannot be opened or read, or is too large for the prefix.
std::unique_ptr<RomStreamBuffer> ReadRomStream(const std::string& fileName);

// Writes the stream to the link in chunks of RomSender::ChunkSize, one block write each, calling beforeChunk with the bytes sent so far before each chunk and
// once more after the last. A write error, a vanished calculator or one that takes no
// byte for RomSender::StallLimitMs raise LinkError (its message says what happened).
void WriteRomStream(Link& link, const RomStreamBuffer& stream, const std::function<void(int64_t sent)>& beforeChunk);

// The 4-byte length prefix of the stream, least significant byte first.
ByteString RomLengthPrefix(uint32_t size);
